#pragma once
// What the simulated machine was asked to do, one line per request, so tests can
// check what reached the hardware and in which order. The journal keeps every
// request that changed something or failed; requests that only read go to a short
// trace of the newest ones, since the program polls for as long as it runs.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace vb {

class Journal {
public:
    void Record(std::string line);
    std::vector<std::string> Entries() const;
    bool Contains(const std::string& fragment) const;
    // A read that succeeded: kept among the newest kTraceLimit only.
    void Trace(std::string line);
    bool Traced(const std::string& fragment) const;
    // A request as it ended: traced when it was a read that succeeded, else recorded.
    void Note(std::string line, bool bSucceededRead);
    // Empties the journal and the trace.
    void Clear();

    static constexpr size_t kTraceLimit = 64;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
    std::deque<std::string> m_trace;
};

// Diagnostics of the stand-ins: recorded in the journal and passed to a sink that
// the Engine points at its log when it loads.
enum ReportType { rtError = 1, rtWarning = 2, rtInfo = 4 };
using ReportSink = void (*)(int type, const char* line);
void SetReportSink(ReportSink sink);
ReportSink GetReportSink();
void Report(int type, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace vb
