// The Clock/Voltage page's once-a-second refresh while it is shown: each target field shows what
// the controls would set, each current field what the hardware runs at now.
#include "PerformanceControl/AdvancedMode.h"

#include <QTimerEvent>

#include <cmath>

#include "PerformanceControl/AdvancedModeSupport.h"
#include "Shell/RevisionCode.h"

using namespace advmode;

namespace {

QString Mhz(double value) { return QStringLiteral("%1 MHz").arg(value); }
QString MhzFixed(double value, int decimals) { return QStringLiteral("%1 MHz").arg(value, 0, 'f', decimals); }
QString Volts(double value, int decimals) { return QStringLiteral("%1 V").arg(value, 0, 'f', decimals); }

void SetText(QLineEdit* pField, const QString& text)
{
    if (pField)
        pField->setText(text);
}

} // namespace

void QAdvancedMode::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
}

void QAdvancedMode::timerEvent(QTimerEvent* event)
{
    Q_UNUSED(event);
    if (!isVisible())
        return;

    double R = 0.0;
    double P = 0.0;
    _TargetRefClock(R);
    _TargetPCIeClock(P);

    ICPUDevice* pCPU = Cpu(0);
    if (!pCPU)
        return;
    const double half = pCPU->IsHalfMultiplierSupported() ? 0.5 : 1.0;
    const double F = pCPU->GetCurrentFrequency();
    const double M = pCPU->GetCurrentMultiplier();
    const double NBF = pCPU->GetNBFrequency();
    const double NBM = pCPU->GetNBMultiplier();
    SetText(ui.TargetCPUSpeed, Mhz(ui.CPUMulSlider->value() * half * R));
    SetText(ui.CurrentCPUSpeed, MhzFixed(F, 2));

    const bool bPerCoreClock = pCPU->IsPerCoreClockSupported();
    if (bPerCoreClock) {
        if (IsFamily11hRevision(QString::fromUtf16(pCPU->GetInfoString2()))) {
            for (QWidget* pWidget : {static_cast<QWidget*>(ui.TargetNBSpeed), static_cast<QWidget*>(ui.CurrentNBSpeed),
                                     static_cast<QWidget*>(ui.NBSpeedLabel)})
                if (pWidget)
                    pWidget->setEnabled(false);
        } else {
            SetText(ui.CurrentNBSpeed, MhzFixed(NBF, 2));
            SetText(ui.TargetNBSpeed, MhzFixed(R * NBM, 2));
        }
    }
    SetText(ui.CurrentCPUVid, Volts(pCPU->GetCPUVid(), 4));
    SetText(ui.CurrentNBVid, Volts(pCPU->GetNBVid(), 4));
    if (bPerCoreClock) {
        QLineEdit* targets[4] = {nullptr, ui.TargetCPUSpeed_2, ui.TargetCPUSpeed_3, ui.TargetCPUSpeed_4};
        QLineEdit* currents[4] = {nullptr, ui.CurrentCPUSpeed_2, ui.CurrentCPUSpeed_3, ui.CurrentCPUSpeed_4};
        // What an Apply would give the core: core 0's multiplier, or its own slider,
        // which holds the multiplier it was read with while nobody moved it.
        const bool bAllCores = _AllCoresTakeCore0Multiplier();
        for (int core = 1; core < 4; ++core) {
            ICPUDevice* pCore = Cpu(static_cast<unsigned long>(core));
            QSlider* pSlider = bAllCores ? ui.CPUMulSlider : _MulSlider(core);
            if (!pCore || !pSlider)
                continue;   // no such processor, or its row was removed
            SetText(currents[core], MhzFixed(pCore->GetCurrentFrequency(), 2));
            const double coreHalf = pCore->IsHalfMultiplierSupported() ? 0.5 : 1.0;
            SetText(targets[core], Mhz(pSlider->value() * coreHalf * R));
        }
    }

    SetText(ui.TargetCPUVid, ui.CPUVidLabel->text() + QStringLiteral(" V"));
    SetText(ui.TargetNBVid, ui.NBVidLabel->text() + QStringLiteral(" V"));
    SetText(ui.TargetHTSpeed, Mhz(ui.HTMulSlider->value() * R));
    SetText(ui.TargetPCIESpeed, Mhz(P));
    SetText(ui.TargetIGPClock, QStringLiteral("%1 MHz").arg(ui.IGPSlider->value()));
    SetText(ui.TargetSidePortClock, QStringLiteral("%1 MHz").arg(ui.SidePortSlider->value()));
    for (int rail = 0; rail < kRailCount; ++rail)
        SetText(static_cast<QLineEdit*>(m_VoltageRows[kTarget][rail]),
                Volts(static_cast<QSlider*>(m_VoltageRows[kSlider][rail])->value() / kVoltsToSlider, 3));

    if (IHTLinkDevice* pHTLink = HTLink()) {
        HT_LINK_INFO info = {};
        const bool bRetCode = pHTLink->GetLinkInfo(0, &info);
        if (!bRetCode) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            return;
        }
        // The present reference clock is the core clock over its multiplier.
        SetText(ui.CurrentHTSpeed, MhzFixed(M != 0.0 ? F / M * info.dLinkMultiplier : 0.0, 2));
    }

    if (IMemoryControllerDevice* pMC = MemCtrl()) {
        MEMORY_CONFIG config = {};
        const bool bRetCode = pMC->GetConfig(&config);
        if (!bRetCode) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            return;
        }
        if (!bPerCoreClock) {
            const double slider = ui.CPUMulSlider->value();
            double divisor = config.MemClk > 0.0 ? std::ceil(slider * 200.0 / config.MemClk) : 5.0;
            divisor = std::max(divisor, 5.0);
            SetText(ui.TargetMemFreq, MhzFixed(slider * R / divisor, 2));
        } else {
            SetText(ui.TargetMemFreq, MhzFixed(pMC->GetMemoryFrequency(R * NBM, NBM), 2));
        }
        SetText(ui.CurrentMemFreq, MhzFixed(pMC->GetMemoryFrequency(NBF, NBM), 2));
    }

    SetText(ui.CurrentPCIESpeed, Mhz(m_dPCIeClock));

    if (IGPUDevice* pGPU = Gpu()) {
        if (ui.CurrentIGPClock->isEnabled())
            SetText(ui.CurrentIGPClock, QStringLiteral("%1 MHz").arg(static_cast<unsigned>(pGPU->GetEngineClockInt(1))));
        if (ui.CurrentSidePortClock->isEnabled())
            SetText(ui.CurrentSidePortClock, Mhz(pGPU->GetSidePortClock()));
    }
    for (int rail = 0; rail < kRailCount; ++rail)
        SetText(static_cast<QLineEdit*>(m_VoltageRows[kCurrent][rail]),
                Volts(m_dVoltages[static_cast<size_t>(rail)] / kVoltsToSlider, 3));
}
