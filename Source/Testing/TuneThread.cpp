#include "Testing/TuneThread.h"

#include <new>

#include "QVXLogic/SystemTune.h"

CTuneThread::CTuneThread(QObject* parent) : QThread(parent), m_pTune(new (std::nothrow) CSystemTune) {}

CTuneThread::~CTuneThread()
{
    if (isRunning() && m_pTune)
        m_pTune->Abort();
    Join();
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

void CTuneThread::run()
{
    if (m_pTune)
        m_pTune->Run();
    m_bReturned = true;
}
