#pragma once
// The performance layer: ready after Initialize, stopped by UnInitialize (first
// step of shutdown; harmless in any order and when never started).
#include <atomic>

#include "QVXLogic/Types.h"

class QVXLOGIC_API CPerformanceControl {
public:
    bool Initialize();
    bool UnInitialize();
    bool IsInitialized() const { return m_bInitialized.load(); }

private:
    std::atomic<bool> m_bInitialized{false};
};

extern QVXLOGIC_API CPerformanceControl g_PerformanceControl;
