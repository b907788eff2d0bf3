// Per-processor busy shares from the kernel's counters (lines "cpuN user nice
// system idle iowait irq softirq steal ..." in clock ticks).
#include "VirtualBoard/Devices/HostLoad.h"

#include <algorithm>
#include <fstream>
#include <mutex>
#include <sstream>

namespace vb {

namespace {

// A shorter span between two readings gives a share of too few ticks to mean
// anything: the previous share stays until this many ticks have gone by.
constexpr uint64_t kMinTicks = 10;

std::mutex g_fileMutex;
std::string g_counterFile = "/proc/stat";
uint64_t g_uFileChanges = 0;   // a reading of an earlier file is not used again

std::string CounterFile()
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    return g_counterFile;
}

uint64_t FileChanges()
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    return g_uFileChanges;
}

} // namespace

void HostLoad::SetCounterFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    g_counterFile = path.empty() ? std::string("/proc/stat") : path;
    ++g_uFileChanges;
}

std::vector<HostLoad::Counters> HostLoad::_Read()
{
    std::vector<Counters> out;
    std::ifstream file(CounterFile());
    std::string line;
    while (std::getline(file, line)) {
        // "cpu" alone is the sum of all processors; "cpu0", "cpu1"... are the processors.
        if (line.size() < 4 || line.compare(0, 3, "cpu") != 0 || line[3] < '0' || line[3] > '9')
            continue;
        std::istringstream fields(line.substr(line.find(' ')));
        uint64_t v[8] = {};
        for (uint64_t& x : v)
            if (!(fields >> x))
                x = 0;
        Counters c;
        for (uint64_t x : v)
            c.total += x;
        const uint64_t idle = v[3] + v[4];
        c.busy = c.total - idle;
        out.push_back(c);
    }
    return out;
}

const std::vector<HostLoad::Counters>& HostLoad::_PassReading(int core)
{
    const uint64_t file = FileChanges();
    if (m_pass.empty() || m_passCores.count(core) || file != m_uPassFile) {
        m_pass = _Read();
        m_passCores.clear();
        m_uPassFile = file;
    }
    m_passCores.insert(core);
    return m_pass;
}

double HostLoad::Usage(int core)
{
    if (core < 0)
        return 0;
    const std::vector<Counters>& host = _PassReading(core);
    if (host.empty())
        return 0;
    const Counters& now = host[static_cast<size_t>(core) % host.size()];
    if (m_cores.size() <= static_cast<size_t>(core))
        m_cores.resize(static_cast<size_t>(core) + 1);
    Core& c = m_cores[static_cast<size_t>(core)];
    if (!c.started || now.total < c.last.total || now.busy < c.last.busy) {
        // First reading, or the counters started again (a processor taken offline and back).
        if (!c.started)
            c.usage = now.total ? 100.0 * static_cast<double>(now.busy) / static_cast<double>(now.total) : 0;
        c.started = true;
        c.last = now;
        return c.usage;
    }
    const uint64_t ticks = now.total - c.last.total;
    if (ticks >= kMinTicks) {
        c.usage = std::clamp(100.0 * static_cast<double>(now.busy - c.last.busy) / static_cast<double>(ticks), 0.0, 100.0);
        c.last = now;
    }
    return c.usage;
}

} // namespace vb
