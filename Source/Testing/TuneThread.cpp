#include "Testing/TuneThread.h"

#include <new>

#include "QVXLogic/SystemTune.h"

CTuneThread::CTuneThread(QObject* parent) : QThread(parent), m_pTune(new (std::nothrow) CSystemTune) {}

CTuneThread::~CTuneThread()
{
    if (isRunning() && m_pTune)
        m_pTune->Abort();
    wait();
    delete m_pTune;
}

void CTuneThread::StartRun()
{
    m_bReturned = false;
    start(QThread::NormalPriority);
}

void CTuneThread::run()
{
    if (m_pTune)
        m_pTune->Run();
    m_bReturned = true;
}
