#pragma once
// The thread that keeps the south bridge pulsed every 500 ms while an Auto Clock
// run lasts, so that the board's watchdog brings a hung board back. Stop wakes its
// wait at once and joins it, so the thread never outlives the page or the device
// it pulses.
#include <atomic>
#include <thread>

#include "Platform/StopSignal.h"

// True except while a keep-alive thread is meant to run.
extern std::atomic<bool> g_bStopKeepAlive;

class CKeepAliveThread {
public:
    static constexpr uint32_t kPeriodMs = 500;

    CKeepAliveThread() = default;
    ~CKeepAliveThread() { Stop(); }
    CKeepAliveThread(const CKeepAliveThread&) = delete;
    CKeepAliveThread& operator=(const CKeepAliveThread&) = delete;

    // False when the thread cannot be made.
    bool Start();
    // When it returns, the thread has sent its last pulse (false) and ended.
    void Stop();

private:
    // KeepAliveThreadProc: pulse, wait, until stopped; then the last pulse.
    void _Run();

    plat::StopSignal m_Stop;
    std::thread m_Thread;
};
