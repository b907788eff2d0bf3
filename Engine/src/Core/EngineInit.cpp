#include "Engine/DriverHandler.h"
#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

bool g_InitEngine()
{
    bool bRetCode = false;

    // 1. The kernel driver (fatal).
    bRetCode = g_DriverHandler.Init();
    if (!bRetCode) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        g_UnInitEngine();
        return false;
    }

    g_InitCPUInfo();
    g_Log.Write(ltInfo, "Engine library initialized successfully.\n");
    return true;
}

bool g_UnInitEngine()
{
    // 2. The kernel driver: gives its semaphore unit back at most once.
    const bool bDriverClosed = g_DriverHandler.UnInit();
    if (!bDriverClosed)
        LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "bRetCode");

    return true;
}
