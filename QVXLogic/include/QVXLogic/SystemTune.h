#pragma once
// The Auto Clock tuner: created and deleted by the program; Run on the tuning
// thread, GetStatus/GetCurrentValue/Abort from the GUI thread at the same time.
#include "QVXLogic/Types.h"

class QVXLOGIC_API CSystemTune {
public:
    CSystemTune();
    virtual ~CSystemTune();             // 0
    virtual void Run();                 // 1 returns at the run's end
    virtual void Abort();               // 2
    virtual int GetStatus();            // 3 SYSTEM_TUNE_STATUS
    virtual double GetTargetValue();    // 4 upper end of the search
    virtual double GetCurrentValue();   // 5 reference clock under test, MHz
};

// Receives the tuner's results for the program's value store, on the GUI thread.
class IQvxValueSink {
public:
    virtual void SetValue(const char16_t* group, const char16_t* subGroup, const char16_t* item, double value) = 0;
protected:
    ~IQvxValueSink() = default;
};
QVXLOGIC_API void QvxSetValueSink(IQvxValueSink* sink);
