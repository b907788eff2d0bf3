#pragma once
// Shared by the testers: the timing loop, the installed test override and the
// byte counts of the cache and memory kernels.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "QVXLogic/Testers.h"
#include "Testers/Kernels.h"

namespace qvx {

// The installed override, or null (any thread).
IQvxTesterOverride* TesterOverride();

// Bytes swept per call of a timed body: long enough that reading the clock costs
// nothing measurable, short enough that a stop is seen within a few milliseconds.
constexpr size_t kChunkBytes = 16u << 20;

// A working set rounded down to whole sweep blocks (at least one).
inline size_t SweepBytes(size_t bytes) { return std::max(kSweepBlock, bytes / kSweepBlock * kSweepBlock); }

// Bytes per second in MB/s, as the float the testers return.
inline float MegabytesPerSecond(double bytesPerSecond) { return static_cast<float>(bytesPerSecond / 1e6); }

} // namespace qvx

// Steady time, not the simulated board's clock: these are real measurements.
template <class Body>
double CTesterBase::_BestRate(Body body)
{
    using Clock = std::chrono::steady_clock;
    double best = 0.0;
    for (int pass = 0; pass < m_nPasses; ++pass) {
        double work = 0.0, seconds = 0.0;
        const Clock::time_point start = Clock::now();
        do {
            if (_Stopping())
                return 0.0;
            work += body();
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        } while (seconds < m_dPassTime);
        if (seconds > 0.0 && std::isfinite(work / seconds))
            best = std::max(best, work / seconds);
    }
    return _Stopping() ? 0.0 : best;
}
