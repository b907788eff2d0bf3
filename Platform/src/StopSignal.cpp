#include "Platform/StopSignal.h"

#include "Platform/Time.h"
#include "VirtualBoard/Clock.h"

namespace plat {

void StopSignal::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bSet = true;
    }
    m_cv.notify_all();
}

void StopSignal::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bSet = false;
}

bool StopSignal::IsSet() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bSet;
}

bool StopSignal::Wait(uint32_t milliseconds) { return WaitUntil(GetTickCount64() + milliseconds); }

bool StopSignal::WaitUntil(uint64_t deadlineMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return vb::WaitOnClockUntil(m_cv, lock, deadlineMs * 1'000'000u, [this] { return m_bSet; });
}

} // namespace plat
