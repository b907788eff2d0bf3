#include "Testing/BenchmarkThreads.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int Clamp(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

} // namespace

CBenchmarkThread::~CBenchmarkThread() { Stop(ULONG_MAX); }

bool CBenchmarkThread::Start(QThread::Priority ePriority)
{
    if (IsBusy())
        return false;
    m_bStop.store(false, std::memory_order_relaxed);
    m_bBusy.store(true, std::memory_order_relaxed);
    start(ePriority);
    return true;
}

bool CBenchmarkThread::Stop(unsigned long msTimeout)
{
    RequestStop();
    // The busy flag, cleared by the thread itself, is what shows its work has ended.
    return wait(msTimeout) && !IsBusy();
}

void CBenchmarkThread::Adopt(CTesterBase& tester)
{
    tester.SetStopFlag(&m_bStop);
    m_Testers.push_back(&tester);
}

void CBenchmarkThread::run()
{
    Work();
    // Here, on the one thread that uses the buffers, and before the owner can see the
    // thread idle: the main-memory buffer alone may be a good part of the memory.
    for (CTesterBase* pTester : m_Testers)
        pTester->ReleaseBuffer();
    m_bBusy.store(false, std::memory_order_release);
}

CPerformanceTestThread::CPerformanceTestThread()
    : m_pIntegerTester(std::make_unique<CCPUTesterIC>()), m_pFPTester(std::make_unique<CCPUTesterFPC>()),
      m_pMemoryTester(std::make_unique<CMemoryTester>()), m_pCacheTester(std::make_unique<CCacheTester>())
{
    Adopt(*m_pIntegerTester);
    Adopt(*m_pFPTester);
    Adopt(*m_pMemoryTester);
    Adopt(*m_pCacheTester);
}

// The thread must have ended before its testers go.
CPerformanceTestThread::~CPerformanceTestThread() { Stop(ULONG_MAX); }

bool CPerformanceTestThread::StartRun()
{
    if (IsBusy())
        return false;
    m_bFinished.store(false, std::memory_order_release);
    return Start(QThread::InheritPriority);
}

int CPerformanceTestThread::Truncate(double dValue)
{
    if (std::isnan(dValue))
        return 0;
    return Clamp(static_cast<long long>(std::clamp(std::trunc(dValue), double(INT_MIN), double(INT_MAX))));
}

int CPerformanceTestThread::SpeedScore(float fRead, float fWrite)
{
    return Truncate(((static_cast<double>(fRead) + static_cast<double>(fWrite)) * 0.5) / 10.0);
}

// Each enabled item once, in order, each tester asked only what its score needs
// (write before read). An aborted run stores nothing and never reports finished.
void CPerformanceTestThread::Work()
{
    int nInteger = 0, nFP = 0, nMemory = 0, nCache = 0;
    if (m_bIntegerEnabled && !StopRequested())
        nInteger = Clamp(static_cast<long long>(Truncate(m_pIntegerTester->GetBenchmarkValue())) * m_nCoreCount);
    if (m_bFPEnabled && !StopRequested())
        nFP = Truncate(m_pFPTester->GetBenchmarkValue());
    if (m_bMemoryEnabled && !StopRequested()) {
        const float fWrite = m_pMemoryTester->GetMainMemoryWriteSpeed();
        nMemory = SpeedScore(m_pMemoryTester->GetMainMemoryReadSpeed(), fWrite);
    }
    if (m_bCacheEnabled && !StopRequested()) {
        const float fWrite = m_pCacheTester->GetL1CacheWriteSpeed();
        nCache = SpeedScore(m_pCacheTester->GetL1CacheReadSpeed(), fWrite);
    }
    if (StopRequested())
        return;
    m_nIntegerScore = nInteger;
    m_nFPScore = nFP;
    m_nMemoryScore = nMemory;
    m_nCacheScore = nCache;
    m_nTotalScore = Clamp(static_cast<long long>(nInteger) + nFP + nMemory + nCache);
    m_bFinished.store(true, std::memory_order_release);
}

CalcPIThread::CalcPIThread() : m_pTester(std::make_unique<CCPUTesterIC>()) { Adopt(*m_pTester); }

CalcPIThread::~CalcPIThread() { Stop(ULONG_MAX); }

void CalcPIThread::Work() { m_pTester->GetBenchmarkValue(); }

CMemoryTestThread::CMemoryTestThread() : m_pTester(std::make_unique<CMemoryTester>()) { Adopt(*m_pTester); }

CMemoryTestThread::~CMemoryTestThread() { Stop(ULONG_MAX); }
