#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

#include "Platform/Priority.h"
#include "Platform/Time.h"

namespace {

// Counter ticks in the given milliseconds; 0 when the counter has no frequency.
int64_t TargetTicks(unsigned milliseconds)
{
    int64_t frequency = 0;
    if (!plat::QueryPerformanceFrequency(&frequency))
        return 0;
    return frequency / 1000 * static_cast<int64_t>(milliseconds);
}

void BusyWait(unsigned milliseconds)
{
    const int64_t target = TargetTicks(milliseconds);
    int64_t start = 0, now = 0;
    if (target == 0 || !plat::QueryPerformanceCounter(&start))
        return;
    do {
        if (!plat::QueryPerformanceCounter(&now))
            return;
    } while (now - start < target);
}

// The same set-up as BusyWait and one more read: what the measurement itself costs.
void Overhead(unsigned milliseconds)
{
    const int64_t target = TargetTicks(milliseconds);
    int64_t start = 0, now = 0;
    if (target == 0 || !plat::QueryPerformanceCounter(&start))
        return;
    do {
        if (!plat::QueryPerformanceCounter(&now))
            return;
    } while (now - start == target);
}

} // namespace

double g_GetCPUFrequency(unsigned loops, unsigned milliseconds, int threadPriority, uint32_t priorityClass)
{
    if (loops == 0 || milliseconds == 0)
        return 0;

    plat::IPriority& priority = plat::Priority();
    uint32_t oldClass = 0;
    int oldThreadPriority = 0;
    bool classChanged = false, threadChanged = false;
    if (priorityClass != 0 && priority.GetPriorityClass(&oldClass)) {
        classChanged = priority.SetPriorityClass(priorityClass);
        LOG_CHECK_ERROR(classChanged);     // measured all the same, just less precisely
    }
    if (threadPriority != 0x7FFFFFFF && priority.GetThreadPriority(&oldThreadPriority)) {
        threadChanged = priority.SetThreadPriority(threadPriority);
        LOG_CHECK_ERROR(threadChanged);
    }

    int64_t busy = 0, overhead = 0;
    for (unsigned i = 0; i < loops; ++i) {
        uint64_t t0 = RDTSC();
        BusyWait(milliseconds);
        busy += static_cast<int64_t>(RDTSC() - t0);

        t0 = RDTSC();
        Overhead(milliseconds);
        overhead += static_cast<int64_t>(RDTSC() - t0);
    }

    if (threadChanged)
        priority.SetThreadPriority(oldThreadPriority);
    if (classChanged)
        priority.SetPriorityClass(oldClass);

    return static_cast<double>(busy - overhead) / loops / milliseconds / 1000.0;
}

uint64_t RDTSC() { return plat::ReadTsc(); }
