#pragma once
// The stability test centre: one case per (type, processor), run on the centre's
// own threads. Records popped from it are deleted by the caller.
#include <memory>

#include "QVXLogic/Records.h"

class QVXLOGIC_API IStabilityTestCase {
public:
    virtual TEST_CASE_TYPE GetType() = 0;     // 0 (no public destructor: the centre owns cases)
    virtual int GetProcessor() = 0;           // 1, -1 = whole system
protected:
    ~IStabilityTestCase() = default;
};

class QVXLOGIC_API CTestCenter {
public:
    CTestCenter();
    ~CTestCenter();   // stops and joins the workers
    CTestCenter(const CTestCenter&) = delete;
    CTestCenter& operator=(const CTestCenter&) = delete;

    // CPU and FPU cases of each core (processor 0 .. cores - 1), one Calculation and
    // one MCA case (processor -1); null for anything else. A case lives as long as
    // the centre, so its pointer can serve as a key.
    IStabilityTestCase* GetTestCase(TEST_CASE_TYPE type, int processor);
    bool SetRepeatTimes(IStabilityTestCase* testCase, int times);   // -1 until stopped, 0 skip
    // One worker per case with a repeat count other than 0. False when nothing is to
    // run, a run is still going, or a worker cannot be started. Clears what the
    // previous run left queued, and the board's machine-check banks.
    bool Start();
    // Signals the workers and waits for them (a batch is short). Harmless when idle.
    bool Stop();
    // The oldest record, or null; the caller deletes it. Errors are never dropped;
    // when nobody collects results, the oldest ones go.
    ERROR_MESSAGE* PopError();
    TEST_RESULT* PopResult();

    // Not part of the maker's interface: how the program's own tests and CI run the
    // centre. The caller chooses; nothing is detected.
    // Light work: small buffers and short batches.
    void SetLightMode(bool light);
    bool IsLightMode() const;
    bool IsRunning();
    // Scripted: Start runs no work, and records come only from the Inject calls.
    void SetScripted(bool scripted);
    bool InjectError(IStabilityTestCase* testCase, int32_t code);
    bool InjectResult(IStabilityTestCase* testCase, double value);
    // Waits until every case of the run has finished that many batches or has ended;
    // false when that takes longer than timeoutMs.
    bool WaitForBatches(int batches, unsigned timeoutMs);
    // The board clock was moved by hand: workers waiting for it look at it now,
    // not only at the end of their wait's slice.
    void ClockMoved();

private:
    class CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};

extern QVXLOGIC_API CTestCenter g_TestCenter;
