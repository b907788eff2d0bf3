#pragma once
// Everything the simulated machine was asked to do, one line per request, so tests
// can check what reached the hardware and in which order.
#include <mutex>
#include <string>
#include <vector>

namespace vb {

class Journal {
public:
    void Record(std::string line);
    std::vector<std::string> Entries() const;
    bool Contains(const std::string& fragment) const;
    void Clear();
private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

// Diagnostics of the stand-ins: recorded in the journal and passed to a sink that
// the Engine points at its log when it loads.
enum ReportType { rtError = 1, rtWarning = 2, rtInfo = 4 };
using ReportSink = void (*)(int type, const char* line);
void SetReportSink(ReportSink sink);
ReportSink GetReportSink();
void Report(int type, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace vb
