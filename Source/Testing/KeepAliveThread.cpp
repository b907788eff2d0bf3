#include "Testing/KeepAliveThread.h"

#include <system_error>

#include "Engine/LogCheck.h"
#include "Platform/Priority.h"
#include "Platform/Time.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/DeviceManager.h"

std::atomic<bool> g_bStopKeepAlive{true};

bool CKeepAliveThread::Start()
{
    Stop();
    m_Stop.Reset();
    g_bStopKeepAlive = false;
    try {
        m_Thread = std::thread([this] { _Run(); });
    } catch (const std::system_error& e) {
        g_Log.Write(ltError, "Cannot start the keep-alive thread: %s\n", e.what());
        g_bStopKeepAlive = true;
        return false;
    }
    return true;
}

void CKeepAliveThread::Stop()
{
    if (!m_Thread.joinable())
        return;
    g_bStopKeepAlive = true;
    m_Stop.Set();
    m_Thread.join();
}

void CKeepAliveThread::_Run()
{
    // The highest of the normal priorities; an unprivileged user is refused, and
    // the pulses come all the same.
    plat::Priority().SetThreadPriority(plat::THREAD_PRIORITY_HIGHEST);
    // Asked once: the device manager keeps the object until its UnInit, which
    // comes only after the page has stopped this thread.
    ISouthBridgeDevice* pSouthBridge = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0);
    if (!pSouthBridge) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pSouthBridge");
        return;
    }
    while (!g_bStopKeepAlive) {
        // The period runs from the pulse, however long the call took.
        const uint64_t sent = plat::GetTickCount64();
        pSouthBridge->SendKeepAlive(true);
        if (m_Stop.WaitUntil(sent + kPeriodMs))
            break;
    }
    pSouthBridge->SendKeepAlive(false);
}
