#pragma once
// The real load of the computer the simulation runs on, read from the operating
// system's per-processor counters, so that a benchmark or a stability run of the
// program shows in the simulated processors' usage.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace vb {

class HostLoad {
public:
    // Busy share in percent (0-100) of host processor (core modulo the host's
    // count) since this core's previous reading; the first reading gives the share
    // since the host started. 0 when the counters cannot be read. One reading of
    // the counters serves a pass over the cores: it is read again when a core of
    // the pass asks a second time (the next tick), not once per core.
    double Usage(int core);

    // Where the counters are read ("/proc/stat"); a test points it at a file of its
    // own, an empty path restores the default.
    static void SetCounterFile(const std::string& path);

private:
    struct Counters {
        uint64_t busy = 0, total = 0;
    };
    struct Core {
        Counters last;
        double usage = 0;
        bool started = false;
    };
    static std::vector<Counters> _Read();
    const std::vector<Counters>& _PassReading(int core);

    std::vector<Core> m_cores;
    std::vector<Counters> m_pass;      // the counters as read for the current pass
    std::set<int> m_passCores;         // the cores it has served
    uint64_t m_uPassFile = 0;          // the counter file it was read from
};

} // namespace vb
