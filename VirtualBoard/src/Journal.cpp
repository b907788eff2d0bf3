#include "VirtualBoard/Journal.h"
#include "VirtualBoard/Machine.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace vb {

void Journal::Record(std::string line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(std::move(line));
}

std::vector<std::string> Journal::Entries() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
}

namespace {

template <class Lines>
bool AnyHolds(const Lines& lines, const std::string& fragment)
{
    for (const auto& line : lines)
        if (line.find(fragment) != std::string::npos)
            return true;
    return false;
}

} // namespace

bool Journal::Contains(const std::string& fragment) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return AnyHolds(m_entries, fragment);
}

void Journal::Trace(std::string line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_trace.push_back(std::move(line));
    if (m_trace.size() > kTraceLimit)
        m_trace.pop_front();
}

void Journal::Note(std::string line, bool bSucceededRead)
{
    if (bSucceededRead)
        Trace(std::move(line));
    else
        Record(std::move(line));
}

bool Journal::Traced(const std::string& fragment) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return AnyHolds(m_trace, fragment);
}

void Journal::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
    m_trace.clear();
}

namespace {
std::atomic<ReportSink> g_sink{nullptr};
}

void SetReportSink(ReportSink sink) { g_sink.store(sink); }

ReportSink GetReportSink() { return g_sink.load(); }

void Report(int type, const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Machine::Instance().GetJournal().Record(std::string("report: ") + line);
    if (ReportSink sink = g_sink.load())
        sink(type, line);
}

} // namespace vb
