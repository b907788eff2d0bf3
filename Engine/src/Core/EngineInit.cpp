#include "Engine/BIOSMiscInfo.h"
#include "Engine/CMOSItemList.h"
#include "Engine/DriverHandler.h"
#include "Engine/Engine.h"
#include "Engine/GPUTool.h"
#include "Engine/LogCheck.h"
#include "Engine/VykBIOS.h"
#include "Engine/VykBIOSHandler.h"
#include "Engine/WmiHandler.h"

// Steps 1 to 4 are fatal: the first failure is logged, everything opened so far is
// closed again and the start fails. Steps 5 to 8 are only logged.
#define INIT_FATAL_STEP(call)                                    \
    do {                                                         \
        bRetCode = (call);                                       \
        if (!bRetCode) {                                         \
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode"); \
            g_UnInitEngine();                                    \
            return false;                                        \
        }                                                        \
    } while (0)

bool g_InitEngine()
{
    bool bRetCode = false;

    // 1. The kernel driver.
    INIT_FATAL_STEP(g_DriverHandler.Init());

    // 2. The CIM connection.
    INIT_FATAL_STEP(g_CIMHandler.Connect(u"root\\cimv2"));

    // 3. The firmware connection of the command channel.
    INIT_FATAL_STEP(g_WMIHandler.Connect(u"root\\wmi"));

    // 4. The firmware connection of the thermal and fan packages.
    INIT_FATAL_STEP(CVykBIOSHandler::m_Self.GetWmiHandler().Connect(u"root\\wmi"));

    // 5. The command channel's version and command list.
    bRetCode = g_VykBIOS.Init();
    LOG_CHECK_ERROR(bRetCode);

    // 6. The thermal and fan packages (sends the processor's VID to the firmware).
    bRetCode = CVykBIOSHandler::m_Self.Init();
    LOG_CHECK_ERROR(bRetCode);

    // 7. The CMOS item descriptions.
    bRetCode = g_CMOSItemList.Init();
    LOG_CHECK_ERROR(bRetCode);

    // 8. The BIOS vendor and integrated-graphics information.
    bRetCode = g_BIOSMiscInfo.Init();
    LOG_CHECK_ERROR(bRetCode);

    // 9. The processor revision and package names.
    g_InitCPUInfo();

    g_Log.Write(ltInfo, "Engine library initialized successfully.\n");
    return true;
}

bool g_UnInitEngine()
{
    // 1. The CMOS item list.
    g_CMOSItemList.UnInit();

    // 4. The graphics register window. Unmapped while the driver is still open: once
    // it is closed the unmap request cannot be sent (and the driver would report the
    // window as left over).
    if (CGPUTool::IsRegisterWindowMapped()) {
        const bool bUnmapped = CGPUTool::UnmapRegisterWindow();
        if (!bUnmapped)
            LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "bRetCode");
    }

    // 2. The kernel driver: gives its semaphore unit back at most once.
    const bool bDriverClosed = g_DriverHandler.UnInit();
    if (!bDriverClosed)
        LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "bRetCode");

    // 3. The firmware connections.
    g_CIMHandler.Disconnect();
    g_WMIHandler.Disconnect();
    CVykBIOSHandler::m_Self.GetWmiHandler().Disconnect();

    return true;
}
