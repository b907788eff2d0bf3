#include "Diagram/GPUDialog.h"

#include <QCoreApplication>

#include <memory>
#include <new>

#include "Diagram/DialogSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/GpuDevice.h"

namespace {

// Values that read 0 or less are unknown: the cell keeps what it showed.
void SetIfPositive(QLabel* pLabel, const QString& format, double dValue)
{
    if (dValue > 0)
        pLabel->setText(format.arg(dValue));
}

QString EnabledText(bool bEnabled)
{
    return FlagText("GPUDialog", bEnabled);
}

} // namespace

GPUDialog::GPUDialog()
{
    ui.setupUi(this);
    StyleValueCells(this);
}

const char* GPUDialog::GetName()
{
    static const char* const kNames[] = {"GPU 0", "GPU 1", "GPU 2", "GPU 3"};
    return m_uIndex < 4 ? kNames[m_uIndex] : "Unknown GPU";
}

QString GPUDialog::PowerStateText(int nState)
{
    static const char* const kStates[] = {"Optimal Battery", "High Battery", "Balanced", "High Performance",
                                          "Optimal Performance"};
    if (nState < 1 || nState > 5)
        return QCoreApplication::translate("GPUDialog", "Invalid State");
    return QCoreApplication::translate("GPUDialog", kStates[nState - 1]);
}

bool GPUDialog::Init()
{
    if (!QvxGetDevice<IGPUDevice>(dtGPU, m_uIndex))
        return false;   // no such chip: no dialog, and nothing to log
    m_Refresh.Arm();
    return Refresh();
}

bool GPUDialog::Refresh()
{
    auto* pGPU = QvxGetDevice<IGPUDevice>(dtGPU, m_uIndex);
    LOG_PROCESS_ERROR(pGPU);
    const VIDEO_BIOS_INFO* pVBI = pGPU->GetVideoBIOSInfo();
    LOG_PROCESS_ERROR(pVBI);

    // The device's texts may be of any length: their cells grow to show them whole.
    SetWholeText(ui.Model, DeviceText(pGPU->GetName()));
    ui.MemCapacity->setText(QStringLiteral("%1 MB").arg(pGPU->GetMemoryCapacity() / 1024 / 1024));
    SetWholeText(ui.MemType, RecordText(pVBI->szMemoryType, sizeof pVBI->szMemoryType));
    ui.MemBitwidth->setText(QStringLiteral("%1 bits").arg(pGPU->GetMemoryBitWidth()));
    SetIfPositive(ui.MaxBusLane, QStringLiteral("%1"), pGPU->GetMaxBusLanes());
    SetWholeText(ui.BIOSVersion, RecordText(pVBI->szVersion, sizeof pVBI->szVersion));
    SetWholeText(ui.BIOSDate, RecordText(pVBI->szReleaseDate, sizeof pVBI->szReleaseDate));
    SetWholeText(ui.PartNumber, RecordText(pVBI->szPartNumber, sizeof pVBI->szPartNumber));

    const QString mhz = QStringLiteral("%1 MHz");
    const QString volts = QStringLiteral("%1 V");
    SetIfPositive(ui.MinCoreFreq, mhz, pGPU->GetEngineClockMin());
    SetIfPositive(ui.MaxCoreFreq, mhz, pGPU->GetEngineClockMax());
    SetIfPositive(ui.CoreFreqStep, mhz, pGPU->GetEngineClockStep());
    SetIfPositive(ui.MinMemFreq, mhz, pGPU->GetMemoryClockMin());
    SetIfPositive(ui.MaxMemFreq, mhz, pGPU->GetMemoryClockMax());
    SetIfPositive(ui.MemFreqStep, mhz, pGPU->GetMemoryClockStep());
    SetIfPositive(ui.MinCoreVol, volts, pGPU->GetCoreVoltageMin());
    SetIfPositive(ui.MaxCoreVol, volts, pGPU->GetCoreVoltageMax());
    SetIfPositive(ui.CoreVolStep, volts, pGPU->GetCoreVoltageStep());
    return true;
}

void GPUDialog::showEvent(QShowEvent*)
{
    Refresh();
    m_Refresh.Shown();
}

void GPUDialog::hideEvent(QHideEvent* event)
{
    QDeviceDialog::hideEvent(event);
    m_Refresh.Hidden();
}

void GPUDialog::timerEvent(QTimerEvent*)
{
    if (!isVisible())
        return;
    auto* pGPU = QvxGetDevice<IGPUDevice>(dtGPU, m_uIndex);
    if (!pGPU) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pGPU");
        return;
    }
    const QString mhz = QStringLiteral("%1 MHz");
    const QString volts = QStringLiteral("%1 V");
    SetIfPositive(ui.BusSpeed, mhz, pGPU->GetBusSpeed());
    SetIfPositive(ui.CurrentBusLane, QStringLiteral("%1"), pGPU->GetBusLanes());
    ui.SleepOnTimestamp->setText(EnabledText(pGPU->IsSleepOnTimestamp()));
    ui.LoadingBalance->setText(EnabledText(pGPU->IsLoadBalancing()));
    const double dUsage = pGPU->GetUsage();
    if (dUsage >= 0)
        ui.Activity->setText(QStringLiteral("%1%").arg(dUsage));
    ui.PowerState->setText(PowerStateText(pGPU->GetPowerState()));
    ui.CurrentLevel->setText(QStringLiteral("Level %1").arg(pGPU->GetCurrentLevel()));
    if (pGPU->GetSensorCount() != 0) {
        ui.FanSpeed->setText(QStringLiteral("%1%").arg(pGPU->GetFanSpeed(0, 1)));
        ui.Temperature->setText(QStringLiteral("%1 C").arg(pGPU->GetTemperature(0)));
    }
    SetIfPositive(ui.CurrentCoreFreq, mhz, pGPU->GetEngineClock(0));
    SetIfPositive(ui.CurrentMemFreq, mhz, pGPU->GetMemoryClock());
    SetIfPositive(ui.CurrentCoreVol, volts, pGPU->GetCoreVoltage());

    // The device writes exactly GetLevelCount records, a count that stays fixed for
    // its life: the buffer is sized by that count.
    const unsigned uLevels = pGPU->GetLevelCount();
    if (uLevels == 0)
        return;
    std::unique_ptr<GPU_LEVEL_INFO[]> pLevel(new (std::nothrow) GPU_LEVEL_INFO[uLevels]());
    if (!pLevel) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pLevel");
        return;
    }
    if (!pGPU->GetLevelInfo(pLevel.get()))
        return;
    QLabel* const rows[3][3] = {{ui.CoreFreq1, ui.MemFreq1, ui.CoreVol1},
                                {ui.CoreFreq2, ui.MemFreq2, ui.CoreVol2},
                                {ui.CoreFreq3, ui.MemFreq3, ui.CoreVol3}};
    for (unsigned i = 0; i < 3 && i < uLevels; ++i) {
        rows[i][0]->setText(mhz.arg(pLevel[i].dEngineClock));
        rows[i][1]->setText(mhz.arg(pLevel[i].dMemoryClock));
        rows[i][2]->setText(volts.arg(pLevel[i].dCoreVoltage));
    }
}
