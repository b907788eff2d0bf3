// The Auto Clock page's run: the Start/Stop button, the start and stop sequences
// and the one-second poll of the tuner.
#include <QTimer>

#include "Engine/LogCheck.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/SystemTune.h"
#include "Settings/ConfigParser.h"
#include "Shell/GlobalFlags.h"
#include "Shell/MessageBox.h"
#include "Shell/OverclockWarning.h"
#include "Shell/UserAccepted.h"
#include "Testing/AutoTune.h"
#include "Testing/AutoTuneItems.h"

namespace {

// A run that does not end within this long after its abort is left to end by
// itself; the page stays stopping and refuses to start another until it has.
constexpr unsigned long kAbortWaitMs = 20000;
// How long a start waits for the thread of a run that has reported its end.
constexpr unsigned long kEndWaitMs = 1000;

// The tuner keeps core 0's multiplier of its result; the other cores' go beside
// it, so that Apply Settings gives each core the multiplier it was tested at (the
// search moves the reference clock only).
void StoreResultMultipliers()
{
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    if (!pCPU)
        return;
    CConfigParser* pStore = CConfigParser::GetInstance();
    for (unsigned long i = 1; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i)
        if (ICPUDevice* pCore = QvxGetDevice<ICPUDevice>(dtCPU, i))
            pStore->SetValue(autotune::Group(pCPU), autotune::SubGroup(pCPU), autotune::MultiplierTuneItem(i),
                             pCore->GetCurrentMultiplier(), true);
}

} // namespace

void QAutoTune::on_btnAutoTune_clicked()
{
    // An aborted search that has not ended may still move the clocks.
    if (m_bStopping) {
        _RefuseWhileStopping();
        return;
    }
    // The run flag, not the caption: the form's "Start" and the page's own are
    // translated in different contexts and need not agree.
    if (!m_bRunning) {
        if (g_bTestRunning) {
            msgbox::Show(nullptr, QMessageBox::Information, tr("Auto Clock"),
                         tr("Stability Test is running, please stop it first!"));
            return;
        }
        if (!AskOverclockWarning())
            return;
    }
    SetUserAccepted(true);
    StartStop();
}

void QAutoTune::StartStop()
{
    if (!m_bRunning)
        _Start();
    else
        Stop(true);
}

void QAutoTune::_Start()
{
    if (!m_pStatusTimer)
        return;
    // The previous run must have ended, or its thread would be started twice and
    // its status taken for the new run's. One that has reported its end returns at
    // once; one that outlived its abort keeps the page idle until it has ended.
    const bool bEnded = m_pTuneThread->Join(kEndWaitMs);
    if (!bEnded) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pTuneThread->Join(kEndWaitMs)");
        _RefuseWhileStopping();
        return;
    }

    ui.btnAutoTune->setText(tr("Stop"));
    ui.btnReset->setEnabled(false);
    ui.btnSave->setEnabled(false);
    setCursor(Qt::WaitCursor);

    ISouthBridgeDevice* pSouthBridge = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0);
    if (pSouthBridge && pSouthBridge->SetKeepAliveMode(true)) {
        auto pThread = std::make_unique<CKeepAliveThread>();
        if (pThread->Start()) {
            m_hKeepAliveThread = std::move(pThread);
        } else {
            // Nobody would pulse: the watchdog would fire in the middle of the search.
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pThread->Start()");
            pSouthBridge->SetKeepAliveMode(false);
        }
    }
    m_pStatusTimer->start(1000);
    m_bSawTuning = false;
    m_pTuneThread->StartRun();
    m_bRunning = true;
    g_bTestRunning = true;
}

void QAutoTune::Stop(bool bAbort)
{
    if (bAbort) {
        // The tuner ends every wait at once on Abort. A thread is never terminated:
        // one that has not ended keeps the page stopping (the flag held, keep-alive
        // on, Start refused) until a poll finds it ended.
        const bool bEnded = m_pTuneThread->AbortAndJoin(kAbortWaitMs);
        if (!bEnded) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pTuneThread->AbortAndJoin(kAbortWaitMs)");
            m_bStopping = true;
            ui.btnAutoTune->setText(tr("Start"));
            if (m_pStatusTimer && !m_pStatusTimer->isActive())
                m_pStatusTimer->start(1000);
            return;
        }
        ui.textBrowser->append(tr("AutoClock is aborted."));
    }
    _SetIdle();
}

void QAutoTune::_SetIdle()
{
    if (m_pStatusTimer)
        m_pStatusTimer->stop();
    m_bStopping = false;
    ui.btnAutoTune->setText(tr("Start"));
    // Only the flag this page set: the Stability Test's stays the Stability Test's.
    if (m_bRunning) {
        m_bRunning = false;
        g_bTestRunning = false;
    }
    if (m_hKeepAliveThread) {
        // Joined before the mode goes off: its last pulse has gone out, and it holds
        // the south bridge no longer.
        m_hKeepAliveThread->Stop();
        m_hKeepAliveThread.reset();
        if (ISouthBridgeDevice* pSouthBridge = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0))
            pSouthBridge->SetKeepAliveMode(false);
    }
    setCursor(Qt::ArrowCursor);
    ui.progressBar->reset();
    // Without a clock generator the two stay disabled for good.
    if (m_pStatusTimer) {
        ui.btnReset->setEnabled(true);
        ui.btnSave->setEnabled(true);
    }
}

void QAutoTune::_RefuseWhileStopping()
{
    msgbox::Show(nullptr, QMessageBox::Information, tr("Auto Clock"),
                 tr("AutoClock is still stopping, please wait until its search has ended!"));
}

void QAutoTune::UpdateResults()
{
    if (m_bStopping) {
        // Only the end of the aborted search is awaited (asked for again); its
        // status is no longer this page's.
        if (m_pTuneThread->AbortAndJoin(0)) {
            ui.textBrowser->append(tr("AutoClock is aborted."));
            _SetIdle();
        }
        return;
    }
    CSystemTune* pTune = m_pTuneThread->Tune();
    if (!pTune)
        return;
    // A finished search's results (the tuner's, handed over by GetStatus, and the
    // page's own beside them) reach the file in one save.
    CConfigBatch batch;
    // Asked once per tick, so that every test below sees the same answer.
    int nStatus = pTune->GetStatus();
    if (nStatus == stsTuning)
        m_bSawTuning = true;
    // An end the tuner still holds from an earlier run, before this run's search has
    // begun, is not this run's.
    if ((nStatus == stsFailed || nStatus == stsFinished) && !m_bSawTuning && !m_pTuneThread->HasReturned())
        nStatus = stsIdle;

    QString text;
    switch (nStatus) {
    case stsFailed:
        text = tr("AutoClock failed.\n");
        Stop(false);
        break;
    case stsTuning: {
        ui.textBrowser->clear();
        ui.textBrowser->append(tr("System is tuning, and this may take several minutes to several hours.\n"));
        const double dCurrent = pTune->GetCurrentValue();
        // The tuner tells the reference clock only; the processor clock is core 0's.
        ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
        const double dCPUClock = pCPU ? pCPU->GetCurrentFrequency() : dCurrent;
        text = tr("Current CPU clock is: %1 MHz\nCurrent HT Link ref. clock is: %2 MHz\n")
                   .arg(dCPUClock, 0, 'g', -1, QLatin1Char(' '))
                   .arg(dCurrent, 0, 'g', -1, QLatin1Char(' '));
        ui.progressBar->setValue(static_cast<int>(dCurrent));
        break;
    }
    case stsFinished:
        StoreResultMultipliers();
        text = tr("AutoClock is finished successfully!\n\n");
        Stop(false);
        break;
    default:
        break;
    }
    ui.textBrowser->append(text);
}
