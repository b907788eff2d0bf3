#include "Pinning.h"

#include <sched.h>

#include <algorithm>

#include "Testers/CacheSizes.h"

namespace bench {

int ChooseCpu(int asked)
{
    const std::vector<int> allowed = qvx::CallingThreadCpus();
    if (asked < 0)
        return allowed.empty() ? -1 : allowed.back();
    return std::find(allowed.begin(), allowed.end(), asked) != allowed.end() ? asked : -1;
}

bool PinCallingThread(int cpu)
{
    if (cpu < 0 || cpu >= CPU_SETSIZE)
        return false;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof(set), &set) == 0;
}

// taskset (util-linux, on every Debian system) sets the tool's CPUs before it starts:
// tools that pin their own threads (likwid-bench) then pick from that one CPU.
QStringList OnCpu(int cpu, const QString& program, const QStringList& arguments)
{
    return QStringList{QStringLiteral("taskset"), QStringLiteral("--cpu-list"), QString::number(cpu), program} + arguments;
}

} // namespace bench
