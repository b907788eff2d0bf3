#pragma once
// The Auto Clock tuner: created and deleted by the program; Run on the tuning
// thread, GetStatus/GetCurrentValue/Abort from the GUI thread at the same time.
//
// Run searches upward from the default reference clock, coarse steps first and
// then fine ones, probing each clock with the test centre's stress work against
// the board's stability model, and leaves the highest stable clock applied
// (status 3), or puts the start clock back and fails (status 0) when even the
// default clock is unstable, a write is refused, or the board hangs with no
// keep-alive watchdog to bring it back. Abort ends every wait at once; the start
// clock is then put back and the status is idle again.
#include <cstdint>
#include <memory>

#include "QVXLogic/Types.h"

class QVXLOGIC_API CSystemTune {
public:
    CSystemTune();
    virtual ~CSystemTune();             // 0
    virtual void Run();                 // 1 returns at the run's end
    virtual void Abort();               // 2
    virtual int GetStatus();            // 3 SYSTEM_TUNE_STATUS; the first 3 of a run hands its results to the value sink
    virtual double GetTargetValue();    // 4 upper end of the search
    virtual double GetCurrentValue();   // 5 reference clock under test, MHz

    CSystemTune(const CSystemTune&) = delete;
    CSystemTune& operator=(const CSystemTune&) = delete;

    // Not part of the maker's interface: how the program's own tests pace a run.
    // Settle and probe time of each step, on the board's clock (a user's run
    // settles 100 ms and probes 1 s; 0 probes one round of stress work).
    static void SetStepTimes(uint64_t settleNs, uint64_t probeNs);
    // Gated: before each step a run waits until the test releases it; Abort still
    // ends the wait at once. Switching the gate off lets every run go on.
    static void SetGated(bool gated);
    // Held: a gated run also stays at the gate after Abort, as a search stuck in a
    // device call would, until the hold or the gate is switched off.
    static void SetHeldThroughAbort(bool held);
    static void ReleaseSteps(int steps);
    // Waits until a run waits at the gate with no step left released; false when
    // none does within timeoutMs (real time: a safety net only).
    static bool WaitAtGate(unsigned timeoutMs);

private:
    class CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};

// Receives the tuner's results for the program's value store, on the thread that
// asked GetStatus (the GUI thread). The items: "CPUTune" (reference clock) under
// the clock generator's type name and name, "MultiplierTune" under core 0's, and
// "MemoryClockTune" under the memory controller's.
class IQvxValueSink {
public:
    virtual void SetValue(const char16_t* group, const char16_t* subGroup, const char16_t* item, double value) = 0;
protected:
    ~IQvxValueSink() = default;
};
// Installs the sink (not owned); null removes it, waiting for a delivery in progress.
QVXLOGIC_API void QvxSetValueSink(IQvxValueSink* sink);
