#pragma once
// The Benchmark page's worker threads. Each owns its testers and runs them; none
// touches the user interface. Stopping is cooperative: the owner raises the stop
// flag, which the testers look at every few milliseconds, and waits for the end.
// A thread object is never destroyed while its thread runs, and holds no tester
// buffer once its work has ended.
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

#include "QVXLogic/Testers.h"

// What the three threads share: the stop flag handed to their testers and a busy
// flag that is set before start and cleared as the last thing the thread does.
class CBenchmarkThread : public QThread {
    Q_OBJECT
public:
    ~CBenchmarkThread() override;

    // Clears the stop flag, marks the thread busy and starts it (GUI thread).
    bool Start(QThread::Priority ePriority);   // false: still busy with the last work
    // Asks a running measurement to end early (any thread).
    void RequestStop() { m_bStop.store(true, std::memory_order_relaxed); }
    // RequestStop, then waits at most msTimeout for the thread to end; true when it has.
    bool Stop(unsigned long msTimeout = 5000);
    // True from Start until the thread has finished its work.
    bool IsBusy() const { return m_bBusy.load(std::memory_order_acquire); }

protected:
    CBenchmarkThread() = default;
    // Hands the tester this thread's stop flag and gives its work buffer back each
    // time the thread's work ends (completed or stopped).
    void Adopt(CTesterBase& tester);
    bool StopRequested() const { return m_bStop.load(std::memory_order_relaxed); }
    // The thread's work.
    virtual void Work() = 0;

private:
    void run() final;

    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bBusy{false};
    std::vector<CTesterBase*> m_Testers;   // owned by the subclass
};

// The main benchmark thread: runs the enabled items once each and turns the
// testers' results into four scores and their total.
class CPerformanceTestThread : public CBenchmarkThread {
    Q_OBJECT
public:
    CPerformanceTestThread();
    ~CPerformanceTestThread() override;

    void SetCoreCount(int nCount) { m_nCoreCount = nCount; }
    void SetIntegerEnabled(bool b) { m_bIntegerEnabled = b; }
    void SetFPEnabled(bool b) { m_bFPEnabled = b; }
    void SetMemoryEnabled(bool b) { m_bMemoryEnabled = b; }
    void SetCacheEnabled(bool b) { m_bCacheEnabled = b; }

    // Clears the finished flag and starts a run: a poll that comes before the thread
    // is scheduled must not take the previous run's scores for new ones.
    bool StartRun();
    // True once a run has stored all five scores; read the scores only then.
    bool IsFinished() const { return m_bFinished.load(std::memory_order_acquire); }
    int GetIntegerScore() const { return m_nIntegerScore; }
    int GetFPScore() const { return m_nFPScore; }
    int GetMemoryScore() const { return m_nMemoryScore; }
    int GetCacheScore() const { return m_nCacheScore; }
    int GetTotalScore() const { return m_nTotalScore; }

    // trunc(value), clamped to int; NaN gives 0.
    static int Truncate(double dValue);
    // trunc(((read + write) x 0.5) / 10.0): the mean speed in units of ten.
    static int SpeedScore(float fRead, float fWrite);

protected:
    void Work() override;

private:
    int m_nCoreCount = 1;
    std::unique_ptr<CCPUTesterIC> m_pIntegerTester;
    std::unique_ptr<CCPUTesterFPC> m_pFPTester;
    std::unique_ptr<CMemoryTester> m_pMemoryTester;
    std::unique_ptr<CCacheTester> m_pCacheTester;
    std::atomic<bool> m_bFinished{false};
    bool m_bIntegerEnabled = true;
    bool m_bFPEnabled = true;
    bool m_bMemoryEnabled = true;
    bool m_bCacheEnabled = true;
    int m_nIntegerScore = 0;
    int m_nFPScore = 0;
    int m_nMemoryScore = 0;
    int m_nCacheScore = 0;
    int m_nTotalScore = 0;
};

// A load thread: keeps one more processor busy with the integer tester while the
// main thread measures, and drops the result.
class CalcPIThread : public CBenchmarkThread {
    Q_OBJECT
public:
    CalcPIThread();
    ~CalcPIThread() override;

protected:
    void Work() override;

private:
    std::unique_ptr<CCPUTesterIC> m_pTester;
};

// Owns a memory tester for the page and is never started: the tester's buffer is
// only allocated by a measurement, so it costs nothing.
class CMemoryTestThread : public CBenchmarkThread {
    Q_OBJECT
public:
    CMemoryTestThread();
    ~CMemoryTestThread() override;

protected:
    void Work() override {}

private:
    std::unique_ptr<CMemoryTester> m_pTester;
};
