#pragma once
// This computer's cache sizes as the operating system reports them, for sizing
// the testers' working sets.
#include <cstddef>

namespace qvx {

struct CACHE_SIZES {
    size_t uL1Data;      // bytes; 16 KiB when not reported
    size_t uL2;          // bytes; 256 KiB when not reported
    size_t uLastLevel;   // bytes of the largest cache; 0 when not reported
};

// Read once per process (sysconf, then sysfs).
const CACHE_SIZES& HostCacheSizes();
// Bytes of memory installed; 0 when unknown.
size_t PhysicalMemory();
// The powers of two next to value.
size_t PowerOfTwoAtLeast(size_t value);
size_t PowerOfTwoAtMost(size_t value);

} // namespace qvx
