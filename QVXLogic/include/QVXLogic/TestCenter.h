#pragma once
// The stability test centre: one case per (type, processor), run on the centre's
// own threads. Records popped from it are deleted by the caller.
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
    IStabilityTestCase* GetTestCase(TEST_CASE_TYPE type, int processor);
    bool SetRepeatTimes(IStabilityTestCase* testCase, int times);   // -1 until stopped, 0 skip
    bool Start();
    bool Stop();
    ERROR_MESSAGE* PopError();
    TEST_RESULT* PopResult();
};

extern QVXLOGIC_API CTestCenter g_TestCenter;
