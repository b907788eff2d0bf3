#include "Tune/TuneGate.h"

#include <chrono>

#include "QVXLogic/SystemTune.h"

namespace qvx {

TuneGate& TuneGate::Instance()
{
    static TuneGate gate;
    return gate;
}

void TuneGate::SetStepTimes(uint64_t settleNs, uint64_t probeNs)
{
    m_uSettleNs = settleNs;
    m_uProbeNs = probeNs;
}

void TuneGate::SetGated(bool gated)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bGated = gated;
        m_nReleased = 0;
        if (!gated)
            m_bHeldThroughAbort = false;
    }
    m_cv.notify_all();
}

void TuneGate::SetHeldThroughAbort(bool held)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bHeldThroughAbort = held;
    }
    m_cv.notify_all();
}

void TuneGate::Release(int steps)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nReleased += steps > 0 ? steps : 0;
    }
    m_cv.notify_all();
}

bool TuneGate::WaitUntilWaiting(unsigned timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [this] { return m_nWaiting > 0 && m_nReleased == 0; });
}

bool TuneGate::Pass(const std::atomic<bool>& abort)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_bGated)
        return !abort.load();
    ++m_nWaiting;
    m_cv.notify_all();
    m_cv.wait(lock, [&] { return (abort.load() && !m_bHeldThroughAbort) || !m_bGated || m_nReleased > 0; });
    --m_nWaiting;
    if (abort.load())
        return false;
    if (m_bGated)
        --m_nReleased;
    return true;
}

void TuneGate::Wake()
{
    // Taken once, so that a run between its look at the flag and its wait cannot
    // miss the call.
    { std::lock_guard<std::mutex> lock(m_mutex); }
    m_cv.notify_all();
}

} // namespace qvx

void CSystemTune::SetStepTimes(uint64_t settleNs, uint64_t probeNs) { qvx::TuneGate::Instance().SetStepTimes(settleNs, probeNs); }
void CSystemTune::SetGated(bool gated) { qvx::TuneGate::Instance().SetGated(gated); }
void CSystemTune::SetHeldThroughAbort(bool held) { qvx::TuneGate::Instance().SetHeldThroughAbort(held); }
void CSystemTune::ReleaseSteps(int steps) { qvx::TuneGate::Instance().Release(steps); }
bool CSystemTune::WaitAtGate(unsigned timeoutMs) { return qvx::TuneGate::Instance().WaitUntilWaiting(timeoutMs); }
