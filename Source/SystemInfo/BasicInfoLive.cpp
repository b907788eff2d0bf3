// The Basic page's once-a-second refresh of the live clocks, voltage and memory
// timings. It does nothing while the page is hidden.
#include "SystemInfo/BasicInfo.h"

#include <QTimerEvent>

#include <cmath>

#include "Engine/LogCheck.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "SystemInfo/BasicInfoFormat.h"

using namespace basicinfo;

namespace {

QString Mhz(double value) { return QStringLiteral("%1 MHz").arg(Fixed(value, 2)); }
QString Times(double value) { return QStringLiteral("%1 X").arg(Fixed(value, 2)); }
QString Clocks(double value) { return QStringLiteral("%1 clock").arg(General(value)); }

// A clock derived from a reading is shown as 0 when it would be infinite, not a
// number or negative (a multiplier of 0, or -9999 for a missing reading).
double ClockOrZero(double mhz) { return std::isfinite(mhz) && mhz >= 0 ? mhz : 0.0; }

double ReferenceClock(double coreMHz, double multiplier)
{
    return std::isfinite(multiplier) && multiplier > 0 ? ClockOrZero(coreMHz / multiplier) : 0.0;
}

} // namespace

void QBasicInfo::timerEvent(QTimerEvent*)
{
    if (!isVisible())
        return;

    double dCore = 0.0, dMultiplier = 1.0, dNB = 0.0, dNBMultiplier = 0.0;
    if (ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0)) {
        dCore = pCPU->GetCurrentFrequency();
        dMultiplier = pCPU->GetCurrentMultiplier();
        if (!m_bNBFromMemClock) {
            dNB = pCPU->GetNBFrequency();
            dNBMultiplier = pCPU->GetNBMultiplier();
            ui.NBSpeedEdit->setText(Mhz(dNB));
            ui.NBMulEdit->setText(Times(dNBMultiplier));
        }
        ui.CoreSpeedEdit->setText(Mhz(dCore));
        ui.BusSpeedEdit->setText(Mhz(ReferenceClock(dCore, dMultiplier)));
        ui.MultiplierEdit->setText(Times(dMultiplier));
        ui.VoltageEdit->setText(QStringLiteral("%1 V").arg(Fixed(pCPU->GetCPUVid(), 2)));
    }

    if (IHTLinkDevice* pHTLink = QvxGetDevice<IHTLinkDevice>(dtHTLink, 0)) {
        HTLINK_INFO info = {};
        const bool bRetCode = pHTLink->GetLinkInfo(0, &info);
        if (!bRetCode) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            return;
        }
        ui.HTSpeedEdit->setText(Mhz(ClockOrZero(ReferenceClock(dCore, dMultiplier) * info.dLinkMultiplier)));
    }

    IMemoryControllerDevice* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    if (!pMC)
        return;
    MEMORY_TIMING timing = {};
    MEMORY_CONFIG config = {};
    bool bRetCode = pMC->GetTimings(&timing);
    if (bRetCode)
        bRetCode = pMC->GetConfig(&config);
    if (!bRetCode) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        return;
    }
    ui.TclEdit->setText(Clocks(timing.Tcl));
    ui.TrcdEdit->setText(Clocks(timing.Trcd));
    ui.TrasEdit->setText(Clocks(timing.Tras));
    ui.TrcEdit->setText(Clocks(timing.Trc));
    ui.TrpEdit->setText(Clocks(timing.Trp));
    ui.En2TEdit->setText(config.En2T ? QStringLiteral("2T") : QStringLiteral("1T"));
    ui.ChannelEdit->setText(config.DualChannel ? QStringLiteral("Dual") : QStringLiteral("Single"));

    // Without a north-bridge reading (family 11h) the controller answers for (0, 0).
    const double dMemory = pMC->GetMemoryFrequency(dNB, dNBMultiplier);
    ui.FrequencyEdit->setText(Mhz(dMemory));
    if (m_bNBFromMemClock) {
        ui.NBSpeedEdit->setText(Mhz(dMemory));
        ui.NBMulEdit->setEnabled(false);
    }
}
