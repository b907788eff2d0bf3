#include "Testing/TuneThread.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <new>

#include "QVXLogic/SystemTune.h"

CTuneThread::CTuneThread(QObject* parent) : QThread(parent), m_pTune(new (std::nothrow) CSystemTune) {}

CTuneThread::~CTuneThread()
{
    if (isRunning())
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
    // the thread has ended.
    constexpr unsigned long kRepeatMs = 10;
    const QDeadlineTimer deadline(ms == ULONG_MAX ? QDeadlineTimer::Forever : QDeadlineTimer(qint64(ms)));
    for (;;) {
        if (m_pTune)
            m_pTune->Abort();
        const qint64 left = deadline.remainingTime();
        if (Join(left < 0 ? kRepeatMs : std::min<unsigned long>(kRepeatMs, static_cast<unsigned long>(left))))
            return true;
        if (deadline.hasExpired())
            return false;
    }
}

void CTuneThread::run()
{
    if (m_pTune)
        m_pTune->Run();
    m_bReturned = true;
}
