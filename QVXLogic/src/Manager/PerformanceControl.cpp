#include "QVXLogic/PerformanceControl.h"
#include "QVXLogic/TestCenter.h"

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
    // Harmless when Initialize never ran. The test centre's workers are joined
    // here, before the libraries they use go down.
    g_TestCenter.Stop();
    m_bInitialized = false;
    return true;
}
