// The test centre: its cases, one worker thread per case of a run, and the queues
// the workers fill. Workers pace themselves to a few batches a second and stop at
// their first error; Stop wakes every wait and joins them.
#include "QVXLogic/TestCenter.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <system_error>
#include <thread>
#include <vector>

#include "Devices/DeviceSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "TestCenter/CaseWork.h"
#include "TestCenter/RecordQueues.h"
#include "TestCenter/StabilityTestCase.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Stability/StabilityModel.h"

namespace {

// A batch starts at most every 250 ms of the board clock: a few results a second.
constexpr uint64_t kBatchPeriodNs = 250'000'000;
// Longest single wait, so a clock that a test moves by hand is noticed.
constexpr uint64_t kWaitSliceNs = 20'000'000;
// Fault switch: every batch of every case spoils one answer.
const char* const kSpoilFault = "qvx:TestCenter.SpoilResults";

struct Worker {
    qvx::CStabilityTestCase* pCase = nullptr;
    int nRepeat = 0;
    std::thread thread;
    int nBatches = 0;      // guarded by the centre's mutex
    bool bEnded = false;   // guarded by the centre's mutex
};

} // namespace

class CTestCenter::CImpl {
public:
    ~CImpl() { Stop(); }

    IStabilityTestCase* GetCase(TEST_CASE_TYPE type, int processor)
    {
        std::lock_guard<std::mutex> lock(m_CasesMutex);
        std::unique_ptr<qvx::CStabilityTestCase>& entry = m_Cases[{type, processor}];
        if (!entry)
            entry = std::make_unique<qvx::CStabilityTestCase>(type, processor);
        return entry.get();
    }

    qvx::CStabilityTestCase* Find(IStabilityTestCase* testCase)
    {
        std::lock_guard<std::mutex> lock(m_CasesMutex);
        for (auto& [key, entry] : m_Cases)
            if (entry.get() == testCase)
                return entry.get();
        return nullptr;
    }

    bool Start()
    {
        std::lock_guard<std::mutex> control(m_ControlMutex);
        LOG_PROCESS_ERROR(!qvx::Refused("TestCenter", "Start"));
        LOG_PROCESS_ERROR(!_IsRunning());
        _Join();   // workers of a run that ended by itself

        std::vector<qvx::CStabilityTestCase*> active;
        {
            std::lock_guard<std::mutex> lock(m_CasesMutex);
            for (auto& [key, entry] : m_Cases)
                if (entry->m_nRepeat.load() != 0)
                    active.push_back(entry.get());
        }
        LOG_PROCESS_ERROR(!active.empty());

        m_Queues.Clear();
        qvx::ClearMachineChecks();
        qvx::EndHang();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = false;
            m_bScriptedRun = m_bScripted.load();
        }
        if (m_bScripted)
            return true;
        const bool light = m_bLight.load();
        const uint64_t seed = vb::Machine::Instance().Get<vb::StabilityModel>().Parameters().seed + m_uRuns++;
        for (qvx::CStabilityTestCase* pCase : active) {
            auto worker = std::make_unique<Worker>();
            worker->pCase = pCase;
            worker->nRepeat = pCase->m_nRepeat.load();
            Worker* pWorker = worker.get();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_Workers.push_back(std::move(worker));
            }
            try {
                pWorker->thread = std::thread([this, pWorker, light, seed] { _Work(pWorker, light, seed); });
            } catch (const std::system_error& e) {
                g_Log.Write(ltError, "QVXLogic: cannot start a stability worker: %s\n", e.what());
                _StopAndJoin();
                return false;
            }
        }
        return true;
    }

    bool Stop()
    {
        std::lock_guard<std::mutex> control(m_ControlMutex);
        _StopAndJoin();
        return true;
    }

    bool IsRunning()
    {
        std::lock_guard<std::mutex> control(m_ControlMutex);
        return _IsRunning();
    }

    bool WaitForBatches(int batches, unsigned timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_Progress.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            for (const auto& w : m_Workers)
                if (!w->bEnded && w->nBatches < batches)
                    return false;
            return true;
        });
    }

    void ClockMoved()
    {
        // Taken first, so a worker between its look at the clock and its wait
        // cannot miss the wake.
        { std::lock_guard<std::mutex> lock(m_mutex); }
        m_Wake.notify_all();
    }

    qvx::RecordQueues m_Queues;
    std::atomic<bool> m_bLight{false};
    std::atomic<bool> m_bScripted{false};

private:
    bool _IsRunning()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bScriptedRun)
            return true;
        for (const auto& w : m_Workers)
            if (!w->bEnded)
                return true;
        return false;
    }

    void _StopAndJoin()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
            m_bScriptedRun = false;
        }
        m_Wake.notify_all();
        _Join();
    }

    // Joins without the mutex, which the workers need to finish.
    void _Join()
    {
        for (auto& w : m_Workers)
            if (w->thread.joinable())
                w->thread.join();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_Workers.clear();
    }

    void _Work(Worker* pWorker, bool light, uint64_t seed)
    {
        qvx::CaseWork work(pWorker->pCase->GetType(), pWorker->pCase->GetProcessor(), light, seed);
        for (int n = 0; pWorker->nRepeat < 0 || n < pWorker->nRepeat; ++n) {
            const uint64_t start = vb::GetClock().NowNs();
            if (_Stopping())
                break;
            const bool spoil = vb::Machine::Instance().GetFaults().IsSet(kSpoilFault);
            const qvx::BatchOutcome outcome = work.Run(spoil);
            if (outcome.error) {
                // The part is unstable: further batches would only repeat it.
                m_Queues.PushError(pWorker->pCase, outcome.error);
                break;
            }
            m_Queues.PushResult(pWorker->pCase, outcome.hz);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                ++pWorker->nBatches;
            }
            m_Progress.notify_all();
            const bool bLast = pWorker->nRepeat >= 0 && n + 1 >= pWorker->nRepeat;
            if (bLast || !_WaitUntil(start + kBatchPeriodNs))
                break;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            pWorker->bEnded = true;
        }
        m_Progress.notify_all();
    }

    bool _Stopping()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bStop;
    }

    // Waits for the board clock to reach deadline; false when stopped first.
    bool _WaitUntil(uint64_t deadline)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_bStop) {
            const uint64_t now = vb::GetClock().NowNs();
            if (now >= deadline)
                return true;
            m_Wake.wait_for(lock, std::chrono::nanoseconds(std::min(deadline - now, kWaitSliceNs)));
        }
        return false;
    }

    std::mutex m_CasesMutex;
    std::map<std::pair<int, int>, std::unique_ptr<qvx::CStabilityTestCase>> m_Cases;

    std::mutex m_ControlMutex;   // one Start or Stop at a time
    std::mutex m_mutex;          // the flags and the workers' progress
    std::condition_variable m_Wake;
    std::condition_variable m_Progress;
    bool m_bStop = false;
    bool m_bScriptedRun = false;
    std::vector<std::unique_ptr<Worker>> m_Workers;
    uint64_t m_uRuns = 0;
};

CTestCenter::CTestCenter() : m_pImpl(std::make_unique<CImpl>()) {}

CTestCenter::~CTestCenter() = default;

IStabilityTestCase* CTestCenter::GetTestCase(TEST_CASE_TYPE type, int processor)
{
    if (type == tctCPU || type == tctFPU) {
        const long cores = static_cast<long>(g_DeviceManager.GetDeviceCount(dtCPU));
        if (processor < 0 || processor >= cores)
            return nullptr;
    } else if (type != tctCalculation && type != tctMCA) {
        return nullptr;
    } else if (processor != -1) {
        return nullptr;
    }
    return m_pImpl->GetCase(type, processor);
}

bool CTestCenter::SetRepeatTimes(IStabilityTestCase* testCase, int times)
{
    qvx::CStabilityTestCase* pCase = m_pImpl->Find(testCase);
    LOG_PROCESS_ERROR(pCase);
    LOG_PROCESS_ERROR(times >= -1);
    pCase->m_nRepeat = times;
    return true;
}

bool CTestCenter::Start() { return m_pImpl->Start(); }

bool CTestCenter::Stop() { return m_pImpl->Stop(); }

ERROR_MESSAGE* CTestCenter::PopError() { return m_pImpl->m_Queues.PopError(); }

TEST_RESULT* CTestCenter::PopResult() { return m_pImpl->m_Queues.PopResult(); }

void CTestCenter::SetLightMode(bool light) { m_pImpl->m_bLight = light; }

bool CTestCenter::IsLightMode() const { return m_pImpl->m_bLight; }

bool CTestCenter::IsRunning() { return m_pImpl->IsRunning(); }

void CTestCenter::SetScripted(bool scripted) { m_pImpl->m_bScripted = scripted; }

bool CTestCenter::InjectError(IStabilityTestCase* testCase, int32_t code)
{
    return m_pImpl->m_Queues.PushError(testCase, code);
}

bool CTestCenter::InjectResult(IStabilityTestCase* testCase, double value)
{
    m_pImpl->m_Queues.PushResult(testCase, value);
    return true;
}

bool CTestCenter::WaitForBatches(int batches, unsigned timeoutMs) { return m_pImpl->WaitForBatches(batches, timeoutMs); }

void CTestCenter::ClockMoved() { m_pImpl->ClockMoved(); }
