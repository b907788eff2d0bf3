#include "Platform/Time.h"

#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Processor.h"

namespace plat {

// The counter runs at 10 MHz, as on the platform the program was first written for.
static const int64_t kPerformanceFrequency = 10'000'000;

uint64_t GetTickCount64() { return vb::GetClock().NowNs() / 1'000'000u; }

void Sleep(uint32_t milliseconds) { vb::GetClock().SleepNs(uint64_t(milliseconds) * 1'000'000u); }

bool QueryPerformanceFrequency(int64_t* frequency)
{
    if (!frequency || vb::Machine::Instance().GetFaults().IsSet("performance-counter"))
        return false;
    *frequency = kPerformanceFrequency;
    return true;
}

bool QueryPerformanceCounter(int64_t* counter)
{
    if (!counter || vb::Machine::Instance().GetFaults().IsSet("performance-counter"))
        return false;
    *counter = static_cast<int64_t>(vb::GetClock().NowNs() / 100u);
    return true;
}

uint64_t ReadTsc() { return vb::Machine::Instance().Get<vb::Processor>().ReadTsc(); }

} // namespace plat
