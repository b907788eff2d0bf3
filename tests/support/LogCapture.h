#pragma once
// Every line the log let through during the current test.
#include <mutex>
#include <string>
#include <vector>

#include "Engine/Log.h"

namespace test {

class LogCapture : public ILogObserver {
public:
    static LogCapture& Instance();
    void OnLogLine(int type, const char* line) override;
    std::vector<std::string> Lines() const;
    // The lines written as errors (ltError), in order.
    std::vector<std::string> ErrorLines() const;
    bool Contains(const std::string& fragment) const;
    size_t Count(const std::string& fragment) const;
    void Clear();
private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::vector<std::string> m_errorLines;
};

// Shorthands for tests.
inline bool LogContains(const std::string& fragment) { return LogCapture::Instance().Contains(fragment); }
inline size_t LogCount(const std::string& fragment) { return LogCapture::Instance().Count(fragment); }
// Lines of one failed check (check: "LOG_CHECK_ERROR(pChannel)") that name method ("Class::Method").
size_t LogCheckCount(const std::string& check, const std::string& method);

} // namespace test
