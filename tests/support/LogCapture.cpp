#include "support/LogCapture.h"

namespace test {

LogCapture& LogCapture::Instance()
{
    static LogCapture capture;
    return capture;
}

void LogCapture::OnLogLine(int type, const char* line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.emplace_back(line);
    if (type == ltError)
        m_errorLines.emplace_back(line);
}

std::vector<std::string> LogCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

std::vector<std::string> LogCapture::ErrorLines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errorLines;
}

bool LogCapture::Contains(const std::string& fragment) const { return Count(fragment) > 0; }

size_t LogCapture::Count(const std::string& fragment) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t n = 0;
    for (const auto& l : m_lines)
        if (l.find(fragment) != std::string::npos)
            ++n;
    return n;
}

size_t LogCheckCount(const std::string& check, const std::string& method)
{
    const std::string head = check + " at line ";
    const std::string tail = " in " + method + "\n";
    size_t n = 0;
    for (const std::string& line : LogCapture::Instance().Lines())
        n += line.find(head) != std::string::npos && line.size() >= tail.size()
            && line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
    return n;
}

void LogCapture::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
    m_errorLines.clear();
}

} // namespace test
