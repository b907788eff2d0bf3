#include "QVXLogic/PerformanceControl.h"

#include "Devices/DeviceSupport.h"
#include "Engine/LogCheck.h"

bool CPerformanceControl::Initialize()
{
    LOG_PROCESS_ERROR(!qvx::Board().PerfControlFails());
    LOG_PROCESS_ERROR(!qvx::Refused("PerformanceControl", "Initialize"));
    m_bInitialized = true;
    return true;
}

bool CPerformanceControl::UnInitialize()
{
    // Harmless when Initialize never ran; the test centre joins its workers here
    // once it exists.
    m_bInitialized = false;
    return true;
}
