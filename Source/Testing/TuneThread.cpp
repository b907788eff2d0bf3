#include "Testing/TuneThread.h"

#include <cstdint>
#include <new>

#include "Platform/Time.h"
#include "QVXLogic/SystemTune.h"

CTuneThread::CTuneThread(QObject* parent) : QThread(parent), m_pTune(new (std::nothrow) CSystemTune) {}

CTuneThread::~CTuneThread()
{
    // An ended thread joins at once; the join also orders the run's last writes
    // before the tuner goes.
    AbortAndJoin();
    delete m_pTune;
}

void CTuneThread::StartRun()
{
    m_bReturned = false;
    start(QThread::NormalPriority);
}

bool CTuneThread::Join(unsigned long ms)
{
    if (!wait(ms))
        return false;
    // The run's last write; reading it orders everything before it.
    (void)m_bReturned.load(std::memory_order_acquire);
    return true;
}

bool CTuneThread::AbortAndJoin(unsigned long ms)
{
    // The tuner forgets an abort that comes before its run has begun (a run clears
    // what an earlier one left), so a stop right after the start is told again until
    // the thread has ended. The time allowed runs on the machine's clock, which a
    // test moves instead of waiting for it.
    constexpr unsigned long kRepeatMs = 10;
    const bool bForever = ms == ULONG_MAX;
    const uint64_t uEnd = bForever ? 0 : plat::GetTickCount64() + ms;
    for (;;) {
        if (m_pTune)
            m_pTune->Abort();
        if (Join(kRepeatMs))
            return true;
        if (!bForever && plat::GetTickCount64() >= uEnd)
            return false;
    }
}

void CTuneThread::run()
{
    if (m_pTune)
        m_pTune->Run();
    m_bReturned = true;
}
