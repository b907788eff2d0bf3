#pragma once
// Benchmark testers: one set per benchmark thread, never shared.
#include "QVXLogic/Types.h"

class QVXLOGIC_API CCPUTesterIC {
public:
    CCPUTesterIC();
    virtual ~CCPUTesterIC();
    virtual double GetBenchmarkValue();
};

class QVXLOGIC_API CCPUTesterFPC {
public:
    CCPUTesterFPC();
    virtual ~CCPUTesterFPC();
    virtual double GetBenchmarkValue();
};

class QVXLOGIC_API CMemoryTester {
public:
    CMemoryTester();
    virtual ~CMemoryTester();
    virtual float GetMainMemoryReadSpeed();
    virtual float GetMainMemoryWriteSpeed();
    virtual float GetMainMemoryLatency();
};

class QVXLOGIC_API CCacheTester {
public:
    CCacheTester();
    virtual ~CCacheTester();
    virtual float GetL1CacheReadSpeed();
    virtual float GetL1CacheWriteSpeed();
    virtual float GetL2CacheReadSpeed();
    virtual float GetL2CacheWriteSpeed();
};
