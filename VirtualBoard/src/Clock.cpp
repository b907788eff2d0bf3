#include "VirtualBoard/Clock.h"

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

} // namespace vb
