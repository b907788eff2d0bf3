#include "Shell/ShownTimer.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <QWidget>

void CShownTimer::Arm()
{
    m_bArmed = true;
    if (m_pWidget->isVisible())
        Shown();
}

void CShownTimer::Shown()
{
    Resume();
    if (!m_Timer.isActive())
        return;
    QTimerEvent tick(m_Timer.timerId());
    QCoreApplication::sendEvent(m_pWidget, &tick);
}

void CShownTimer::Resume()
{
    if (m_bArmed && !m_Timer.isActive())
        m_Timer.start(m_nIntervalMs, Qt::VeryCoarseTimer, m_pWidget);
}
