#pragma once
// This computer's cache sizes as the operating system reports them, for sizing
// the testers' working sets.
#include <QString>

#include <cstddef>
#include <vector>

namespace qvx {

struct CACHE_SIZES {
    size_t uL1Data;      // bytes; 16 KiB when not reported
    size_t uL2;          // bytes; 256 KiB when not reported
};

// Read once per process (sysconf, then sysfs).
const CACHE_SIZES& HostCacheSizes();

// The last cache level (the highest that holds data) of a CPU, as its sysfs entry says.
struct SHARED_CACHE {
    int nLevel = 0;
    size_t uBytes = 0;    // 0: not known
    QString sharedCpus;   // the CPUs that share it, as sysfs lists them ("0-7")
};

// Where the system lists its processors and their caches.
inline const QString kSysCpuRoot = QStringLiteral("/sys/devices/system/cpu");

// The last-level cache a thread running on any of cpus meets, from the entries under
// cpuRoot (cpuN/cache/indexK): the largest of theirs, since such a thread may move to
// any of them. Nothing (0 bytes) when cpus is empty or an entry cannot be read.
SHARED_CACHE LastLevelCache(const QString& cpuRoot, const std::vector<int>& cpus);
// The CPUs the calling thread may run on (its affinity), ascending; empty when unknown.
// Threads it starts inherit them.
std::vector<int> CallingThreadCpus();

// Bytes of memory installed; 0 when unknown.
size_t PhysicalMemory();
// The powers of two next to value.
size_t PowerOfTwoAtLeast(size_t value);
size_t PowerOfTwoAtMost(size_t value);

} // namespace qvx
