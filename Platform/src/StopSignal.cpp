#include "Platform/StopSignal.h"

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

bool StopSignal::Wait(uint32_t milliseconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return vb::WaitOnClock(m_cv, lock, uint64_t(milliseconds) * 1'000'000u, [this] { return m_bSet; });
}

} // namespace plat
