// The tuner's run: the search over the reference clocks, each step probed with
// the test centre's stress work, and the way back after an abort, a refusal or a
// hang. Status, current value and abort flag are atomics, so the GUI thread may
// ask and abort while the tuning thread runs.
#include "QVXLogic/SystemTune.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "Engine/LogCheck.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "QVXLogic/TestCenter.h"
#include "TestCenter/CaseWork.h"
#include "TestCenter/StabilityProbe.h"
#include "Tune/ReferenceSteps.h"
#include "Tune/TuneGate.h"
#include "Tune/TuneResults.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Devices/KeepAliveWatchdog.h"
#include "VirtualBoard/Stability/StabilityModel.h"

namespace {

// Clocks skipped by one coarse step; the fine steps then fill the gap below the
// first coarse step that failed.
constexpr size_t kCoarseStride = 5;
// How often a run that waits for the watchdog looks at it (board clock).
constexpr uint64_t kRecoveryPollNs = 50'000'000;

enum class Step { Stable, Unstable, Failed, Aborted };

vb::KeepAliveWatchdog& Watchdog() { return vb::Machine::Instance().Get<vb::KeepAliveWatchdog>(); }
vb::StabilityModel& Model() { return vb::Machine::Instance().Get<vb::StabilityModel>(); }

} // namespace

class CSystemTune::CImpl {
public:
    std::atomic<int> m_nStatus{stsIdle};
    std::atomic<double> m_dCurrent{0};
    std::atomic<double> m_dTarget{0};
    std::atomic<bool> m_bAbort{false};
    qvx::TuneResults m_Results;

    void Run();

    void Abort()
    {
        m_bAbort = true;
        { std::lock_guard<std::mutex> lock(m_mutex); }
        m_Wake.notify_all();
        qvx::TuneGate::Instance().Wake();
    }

private:
    Step _Search(const std::vector<double>& steps, size_t* pBest);
    Step _Try(double dClock);
    Step _AfterHang();
    bool _Wait(uint64_t ns);
    void _Finish(double dClock);

    IClockGeneratorDevice* m_pClockGen = nullptr;
    std::unique_ptr<qvx::CStabilityProbe> m_pProbe;
    std::mutex m_mutex;
    std::condition_variable m_Wake;
};

void CSystemTune::CImpl::Run()
{
    // A flag left from an abort between runs must not end this one.
    m_bAbort = false;
    m_Results.Clear();
    // A hang that a Stability run left would keep the keep-alive pulses from
    // counting, and the watchdog would reset the clocks in the middle of the search.
    qvx::EndHang();
    m_pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    const double dStart = m_pClockGen ? m_pClockGen->GetHTRefClock() : 0;
    m_dCurrent = dStart;
    m_nStatus = stsTuning;

    const std::vector<double> steps = qvx::ReferenceSteps(m_pClockGen);
    if (!m_pClockGen || steps.empty()) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pClockGen && !steps.empty()");
        m_nStatus = stsFailed;
        return;
    }
    m_dTarget = steps.back();
    m_pProbe = std::make_unique<qvx::CStabilityProbe>(g_TestCenter.IsLightMode());

    size_t best = 0;
    const Step outcome = _Search(steps, &best);
    m_pProbe.reset();
    if (outcome == Step::Stable) {
        _Finish(steps[best]);
        return;
    }
    // Failed or aborted: the board goes back to where the run found it.
    if (m_pClockGen->GetHTRefClock() != dStart && !m_pClockGen->SetHTRefClock(dStart))
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pClockGen->SetHTRefClock(dStart)");
    m_dCurrent = dStart;
    m_nStatus = outcome == Step::Aborted ? stsIdle : stsFailed;
}

// Coarse steps upward until one fails, then fine steps from the last stable one.
// On success *pBest is the highest stable step, and it is applied.
Step CSystemTune::CImpl::_Search(const std::vector<double>& steps, size_t* pBest)
{
    Step step = _Try(steps[0]);
    if (step != Step::Stable)
        return step == Step::Unstable ? Step::Failed : step;
    size_t best = 0, limit = steps.size();
    for (size_t next = kCoarseStride; next < steps.size(); next += kCoarseStride) {
        step = _Try(steps[next]);
        if (step == Step::Failed || step == Step::Aborted)
            return step;
        if (step == Step::Unstable) {
            limit = next;
            break;
        }
        best = next;
    }
    for (size_t next = best + 1; next < limit; ++next) {
        step = _Try(steps[next]);
        if (step == Step::Failed || step == Step::Aborted)
            return step;
        if (step == Step::Unstable)
            break;
        best = next;
    }
    *pBest = best;
    return Step::Stable;
}

// Applies one clock, lets it settle and probes it. An unstable clock is left
// at once for the last stable one.
Step CSystemTune::CImpl::_Try(double dClock)
{
    if (!qvx::TuneGate::Instance().Pass(m_bAbort))
        return Step::Aborted;
    const double dBefore = m_pClockGen->GetHTRefClock();
    m_dCurrent = dClock;
    const bool bSet = m_pClockGen->SetHTRefClock(dClock);
    if (!bSet) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pClockGen->SetHTRefClock(dClock)");
        return Step::Failed;
    }
    if (!_Wait(qvx::TuneGate::Instance().SettleNs()))
        return Step::Aborted;
    const qvx::ProbeOutcome probe = m_pProbe->Run(qvx::TuneGate::Instance().ProbeNs(), &m_bAbort);
    if (probe.bAborted)
        return Step::Aborted;
    Step step = probe.bStable ? Step::Stable : Step::Unstable;
    if (probe.bHang)
        step = _AfterHang();
    if (step == Step::Unstable && m_pClockGen->GetHTRefClock() != dBefore && !m_pClockGen->SetHTRefClock(dBefore)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pClockGen->SetHTRefClock(dBefore)");
        return Step::Failed;
    }
    return step;
}

// A hung board comes back only through the south bridge's watchdog, and only while
// the program keeps it in keep-alive mode; the step then counts as unstable.
Step CSystemTune::CImpl::_AfterHang()
{
    vb::KeepAliveWatchdog& watchdog = Watchdog();
    const uint64_t waited = 2 * watchdog.TimeoutNs();
    const uint64_t start = vb::GetClock().NowNs();
    for (;;) {
        watchdog.Poll();
        if (!Model().IsHung())
            return Step::Unstable;
        if (!watchdog.Mode() || vb::GetClock().NowNs() - start > waited)
            break;
        if (!_Wait(kRecoveryPollNs))
            return Step::Aborted;
    }
    LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "!Model().IsHung()");
    // Only its reset button would bring a real board back. The simulated one takes
    // that as done, so the program and the next run find a live board.
    Model().Recover();
    return Step::Failed;
}

// Waits ns of the board clock; false when aborted first.
bool CSystemTune::CImpl::_Wait(uint64_t ns)
{
    if (ns == 0)
        return !m_bAbort;
    std::unique_lock<std::mutex> lock(m_mutex);
    return !vb::WaitOnClock(m_Wake, lock, ns, [this] { return m_bAbort.load(); });
}

// Leaves the highest stable clock applied and its results for the value store.
void CSystemTune::CImpl::_Finish(double dClock)
{
    if (m_pClockGen->GetHTRefClock() != dClock && !m_pClockGen->SetHTRefClock(dClock)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pClockGen->SetHTRefClock(dClock)");
        m_nStatus = stsFailed;
        return;
    }
    m_dCurrent = dClock;
    std::vector<qvx::TuneValue> values;
    values.push_back({m_pClockGen->GetTypeName(), m_pClockGen->GetName(), u"CPUTune", dClock});
    if (ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0))
        values.push_back({pCPU->GetTypeName(), pCPU->GetName(), u"MultiplierTune", pCPU->GetCurrentMultiplier()});
    MEMORY_CONFIG config{};
    if (IMemoryControllerDevice* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
        pMC && pMC->GetConfig(&config))
        values.push_back({pMC->GetTypeName(), pMC->GetName(), u"MemoryClockTune", config.MemClk});
    m_Results.Set(std::move(values));
    m_nStatus = stsFinished;
}

CSystemTune::CSystemTune() : m_pImpl(std::make_unique<CImpl>())
{
    if (auto* pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0))
        m_pImpl->m_dCurrent = pClockGen->GetHTRefClock();
}

CSystemTune::~CSystemTune() = default;

void CSystemTune::Run() { m_pImpl->Run(); }

void CSystemTune::Abort() { m_pImpl->Abort(); }

int CSystemTune::GetStatus()
{
    const int nStatus = m_pImpl->m_nStatus.load();
    if (nStatus == stsFinished)
        m_pImpl->m_Results.Deliver();
    return nStatus;
}

double CSystemTune::GetTargetValue() { return m_pImpl->m_dTarget.load(); }

double CSystemTune::GetCurrentValue() { return m_pImpl->m_dCurrent.load(); }
