// The Auto Clock page: its set-up and tear-down, the live values of its one-second
// tick and the last search's result.
#include "Testing/AutoTune.h"

#include <QTimer>

#include <cmath>

#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "Settings/ConfigParser.h"
#include "Testing/AutoTuneItems.h"
#include "Testing/StartPoint.h"

namespace {

// A reading cut toward zero to a whole number; one that is no number shows as 0.
qint64 Whole(double value) { return std::isfinite(value) ? static_cast<qint64>(value) : 0; }

QString MHz(double value) { return QStringLiteral("%1 MHz").arg(value, 0, 'f', 2); }

} // namespace

QAutoTune::QAutoTune() { ui.setupUi(this); }

QAutoTune::~QAutoTune()
{
    // A page deleted without UnInit still ends its own run.
    if (m_bRunning && !m_bStopping)
        Stop(true);
    if (m_bStopping) {
        // The tuner goes with this page, so its search must have ended first,
        // however long that takes.
        m_pTuneThread->AbortAndJoin();
        _SetIdle();
    }
    delete m_pStatusTimer;
}

bool QAutoTune::Init()
{
    QGroupBox* const coreBoxes[] = {ui.gbCPU0, ui.gbCPU1, ui.gbCPU2, ui.gbCPU3};
    for (unsigned long i = 0; i < 4; ++i)
        if (!g_DeviceManager.GetDevice(dtCPU, i))
            coreBoxes[i]->setEnabled(false);
    // Already taken at the program's start; a page made without it (no start-up
    // ran) takes it now, before anyone has changed a multiplier.
    CStartPoint::Take();
    m_Refresh.Arm();

    IClockGeneratorDevice* pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    if (!pClockGen) {
        // The page stays, with its live values and without tuning.
        ui.btnAutoTune->setEnabled(false);
        ui.btnReset->setEnabled(false);
        ui.btnSave->setEnabled(false);
        return true;
    }
    m_pStatusTimer = new QTimer(nullptr);
    connect(m_pStatusTimer, &QTimer::timeout, this, &QAutoTune::UpdateResults);
    _ShowLastResult();
    ui.progressBar->setMinimum(static_cast<int>(Whole(pClockGen->GetHTRefClockMin())));
    ui.progressBar->setMaximum(static_cast<int>(Whole(pClockGen->GetHTRefClockMax())));
    return true;
}

bool QAutoTune::UnInit()
{
    Stop(true);
    delete m_pStatusTimer;
    m_pStatusTimer = nullptr;
    return true;
}

void QAutoTune::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    m_Refresh.Shown();
}

void QAutoTune::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
    // No tick runs while hidden: the next showing reads the two fixed clocks again.
    m_bWasVisible = false;
}

void QAutoTune::timerEvent(QTimerEvent*)
{
    const bool bVisible = isVisible();
    if (bVisible) {
        double dFrequency = 0, dMultiplier = 1, dNBFrequency = 0, dNBMultiplier = 0;
        if (ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0)) {
            dFrequency = pCPU->GetCurrentFrequency();
            dMultiplier = pCPU->GetCurrentMultiplier();
            dNBFrequency = pCPU->GetNBFrequency();
            dNBMultiplier = pCPU->GetNBMultiplier();
        }
        QLineEdit* const frequency[] = {ui.CPUFreqNum, ui.CPUFreqNum_2, ui.CPUFreqNum_3, ui.CPUFreqNum_4};
        QLineEdit* const multiplier[] = {ui.CPUMulNum, ui.CPUMulNum_2, ui.CPUMulNum_3, ui.CPUMulNum_4};
        QLineEdit* const voltage[] = {ui.CPUVolNum, ui.CPUVolNum_2, ui.CPUVolNum_3, ui.CPUVolNum_4};
        for (unsigned long i = 0; i < 4; ++i) {
            ICPUDevice* pCore = QvxGetDevice<ICPUDevice>(dtCPU, i);
            if (!pCore)
                continue;
            frequency[i]->setText(QStringLiteral("%1 MHz").arg(Whole(pCore->GetCurrentFrequency())));
            multiplier[i]->setText(QStringLiteral("%1 X").arg(pCore->GetCurrentMultiplier(), 0, 'f', 2));
            voltage[i]->setText(QStringLiteral("%1 V").arg(pCore->GetCPUVid(), 0, 'g', -1));
        }
        if (IClockGeneratorDevice* pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0)) {
            // A multiplier of 0 would make the quotient infinite, which is no clock.
            const double dReference = dMultiplier > 0 ? dFrequency / dMultiplier : 0;
            if (dReference > 0 && std::isfinite(dReference))
                ui.ExtFreqNum->setText(MHz(dReference));
            // These two do not move on their own: read once per showing.
            if (!m_bWasVisible) {
                const double dSBClock = pClockGen->GetSBClock();
                if (dSBClock > 0)
                    ui.SBFreqNum->setText(MHz(dSBClock));
                const double dPCIeClock = pClockGen->GetPCIeClock();
                if (dPCIeClock > 0)
                    ui.PCIEFreqNum->setText(MHz(dPCIeClock));
            }
        }
        if (IMemoryControllerDevice* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0))
            ui.MemFreqNum->setText(MHz(pMC->GetMemoryFrequency(dNBFrequency, dNBMultiplier)));
    }
    m_bWasVisible = bVisible;
}

void QAutoTune::_ShowLastResult()
{
    ui.textBrowser->append(tr("The result of last successful tune is:\n"));
    IClockGeneratorDevice* pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    if (!pClockGen)
        return;
    CConfigParser* pStore = CConfigParser::GetInstance();
    QString szCPUTune;
    if (!pStore->GetValue(autotune::Group(pClockGen), autotune::SubGroup(pClockGen), autotune::kCPUTune, szCPUTune))
        return;
    // The store keeps the reference clock and the multiplier of the search; the
    // processor clock is their product.
    QString szCPUClock = szCPUTune;
    QString szMultiplier;
    double dReference = 0, dMultiplier = 0;
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    if (pCPU && pStore->GetValue(autotune::Group(pCPU), autotune::SubGroup(pCPU), autotune::kMultiplierTune, szMultiplier)
        && CConfigParser::ToDouble(szCPUTune, dReference) && CConfigParser::ToDouble(szMultiplier, dMultiplier))
        szCPUClock = QString::number(dReference * dMultiplier, 'g', 15);
    ui.textBrowser->append(
        tr("Last CPU clock is: %1 MHz\nLast HT Link ref. clock is: %2 MHz\n").arg(szCPUClock, szCPUTune));
}
