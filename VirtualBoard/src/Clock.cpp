#include "VirtualBoard/Clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vb {

uint64_t SystemClock::NowNs()
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepNs(uint64_t ns)
{
    std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
}

namespace {
SystemClock g_systemClock;
std::atomic<IClock*> g_clock{&g_systemClock};
}

IClock& GetClock() { return *g_clock.load(); }

void SetClock(IClock* clock) { g_clock.store(clock ? clock : &g_systemClock); }

bool WaitOnClock(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t ns,
                 const std::function<bool()>& stopped)
{
    return WaitOnClockUntil(cv, lock, GetClock().NowNs() + ns, stopped);
}

bool WaitOnClockUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadlineNs,
                      const std::function<bool()>& stopped)
{
    // Longest real wait between two looks at the clock.
    constexpr uint64_t kSliceNs = 10'000'000;
    while (!stopped()) {
        const uint64_t now = GetClock().NowNs();
        if (now >= deadlineNs)
            return false;
        cv.wait_for(lock, std::chrono::nanoseconds(std::min(deadlineNs - now, kSliceNs)));
    }
    return true;
}

} // namespace vb
