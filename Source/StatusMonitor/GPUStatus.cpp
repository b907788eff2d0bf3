#include "StatusMonitor/GPUStatus.h"

#include <QGridLayout>

#include <memory>

#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/GpuDevice.h"
#include "Shell/LcdText.h"
#include "StatusMonitor/StatusSupport.h"
#include "StatusMonitor/UsageLabel.h"

namespace {

constexpr int kColumns = 4;

const QStringList kVoltageRow = {QStringLiteral("GPUVolLabel"), QStringLiteral("GPUVolNum"), QStringLiteral("GPUVolUnit")};
const QStringList kTemperatureRow = {QStringLiteral("GPUTempLabel"), QStringLiteral("GPUTempNum"),
                                     QStringLiteral("GPUTempUnit")};
// The widgets of one chip's column besides its graph area.
const QStringList kColumnWidgets = QStringList{QStringLiteral("GPUFreqLabel"), QStringLiteral("GPUCoreNum"),
                                               QStringLiteral("GPUFreqUnit"), QStringLiteral("GPUMulLabel"),
                                               QStringLiteral("GPUMemNum"), QStringLiteral("GPUMulUnit")}
                                   + kVoltageRow + kTemperatureRow;

} // namespace

QGPUStatus::QGPUStatus()
{
    ui.setupUi(this);
    for (int n = 0; n < kColumns; ++n) {
        const Column c = _Column(n);
        for (QLCDNumber* pLcd : {c.pEngine, c.pMemory, c.pVoltage, c.pTemperature})
            SetStatusLcdPalette(pLcd);
    }
}

QGPUStatus::Column QGPUStatus::_Column(int n) const
{
    switch (n) {
    case 0: return {ui.GPUCoreNum, ui.GPUMemNum, ui.GPUVolNum, ui.GPUTempNum};
    case 1: return {ui.GPUCoreNum_2, ui.GPUMemNum_2, ui.GPUVolNum_2, ui.GPUTempNum_2};
    case 2: return {ui.GPUCoreNum_3, ui.GPUMemNum_3, ui.GPUVolNum_3, ui.GPUTempNum_3};
    default: return {ui.GPUCoreNum_4, ui.GPUMemNum_4, ui.GPUVolNum_4, ui.GPUTempNum_4};
    }
}

bool QGPUStatus::Init()
{
    static const char* const kLayoutNames[kColumns] = {"pLayout[0]", "pLayout[1]", "pLayout[2]", "pLayout[3]"};
    QLabel* const areas[kColumns] = {ui.GPULabel0, ui.GPULabel1, ui.GPULabel2, ui.GPULabel3};
    QGridLayout* pLayout[kColumns] = {};

    for (QLabel* pArea : areas)
        ShowUsagePicture(pArea);
    for (int n = 0; n < kColumns; ++n) {
        pLayout[n] = new (std::nothrow) QGridLayout(areas[n]);
        if (!pLayout[n]) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", kLayoutNames[n]);
            return false;
        }
    }
    for (int n = 0; n < kColumns; ++n) {
        IGPUDevice* pGPU = QvxGetDevice<IGPUDevice>(dtGPU, static_cast<unsigned long>(n));
        if (!pGPU) {
            areas[n]->setEnabled(false);
            SetColumnEnabled(this, kColumnWidgets, n, false);
            continue;
        }
        if (pGPU->GetUsage() < 0.0)
            areas[n]->setEnabled(false);
        _DisableUnreported(n, pGPU);
    }

    // Four graph areas: a fifth chip and those after it get no graph.
    for (unsigned i = 0; i < g_DeviceManager.GetDeviceCount(dtGPU) && i < kColumns; ++i) {
        pLayout[i]->setContentsMargins(0, 0, 0, 0);
        pLayout[i]->setSpacing(0);
        std::unique_ptr<QGPUUsageLabel> pLabel(new (std::nothrow) QGPUUsageLabel);
        LOG_PROCESS_ERROR(pLabel);
        const bool bRetCode = pLabel->m_UsageList.Init(kUsageSlots);
        LOG_PROCESS_ERROR(bRetCode);
        pLabel->m_uIndex = i;
        pLayout[i]->addWidget(pLabel.get(), 0, 0);
        // A label in a disabled area (no chip, or no usage reading) never samples.
        QGPUUsageLabel* pAdded = pLabel.release();
        if (pAdded->isEnabled())
            pAdded->startTimer(1000);
    }
    startTimer(1000);
    return true;
}

void QGPUStatus::_DisableUnreported(int n, IGPUDevice* pGPU)
{
    // A reading that is not a number disables nothing.
    if (pGPU->GetCoreVoltage() <= 0.0)
        SetColumnEnabled(this, kVoltageRow, n, false);
    if (pGPU->GetTemperature(0) <= 0.0)
        SetColumnEnabled(this, kTemperatureRow, n, false);
}

void QGPUStatus::timerEvent(QTimerEvent*)
{
    if (!isVisible())
        return;
    for (int n = 0; n < kColumns; ++n)
        if (IGPUDevice* pGPU = QvxGetDevice<IGPUDevice>(dtGPU, static_cast<unsigned long>(n)))
            _ShowGraphics(n, pGPU);
}

void QGPUStatus::_ShowGraphics(int n, IGPUDevice* pGPU)
{
    const Column c = _Column(n);
    if (pGPU->IsIntegrated())
        ShowLcdNumber(c.pEngine, pGPU->GetEngineClockInt(1));
    else
        ShowLcdNumber(c.pEngine, pGPU->GetEngineClock(0));
    ShowLcdNumber(c.pMemory, pGPU->GetMemoryClock());
    // Rows found unreported at Init stay unread.
    if (c.pVoltage->isEnabled())
        ShowLcdNumber(c.pVoltage, pGPU->GetCoreVoltage());
    if (!c.pTemperature->isEnabled())
        return;
    const double dTemperature = pGPU->GetTemperature(0);
    if (n == 0)
        ShowLcdText(c.pTemperature, QStringLiteral("%1").arg(dTemperature, 0, 'g', 6));
    else
        ShowLcdNumber(c.pTemperature, dTemperature);
}
