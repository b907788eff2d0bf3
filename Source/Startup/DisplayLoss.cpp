#include "Startup/DisplayLoss.h"

#include <QCoreApplication>
#include <QString>
#include <QThread>
#include <QtGlobal>

#include <atomic>

namespace {

// Qt's messages come from any thread; only the GUI thread's report sets off the end.
std::atomic<DisplayLossWatch*> g_pWatch{nullptr};
QtMessageHandler g_previous = nullptr;

bool OnGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// Qt's own words, printed just before it ends the process.
bool TellsOfALostDisplay(QtMsgType type, const QString& message)
{
    return type == QtWarningMsg && message.startsWith(QLatin1String("The X11 connection broke"));
}

void Watch(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (g_previous)
        g_previous(type, context, message);
    DisplayLossWatch* pWatch = g_pWatch.load();
    if (pWatch && TellsOfALostDisplay(type, message) && OnGuiThread())
        pWatch->Lost();
}

} // namespace

DisplayLossWatch::DisplayLossWatch(std::function<void()> onLost) : m_onLost(std::move(onLost))
{
    g_pWatch = this;
    g_previous = qInstallMessageHandler(Watch);
}

DisplayLossWatch::~DisplayLossWatch()
{
    qInstallMessageHandler(g_previous);
    g_previous = nullptr;
    g_pWatch = nullptr;
}

void DisplayLossWatch::Lost()
{
    if (m_bLost)
        return;
    m_bLost = true;
    if (m_onLost)
        m_onLost();
}
