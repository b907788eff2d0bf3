#include "StatusMonitor/GPUStatus.h"

#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/GpuDevice.h"
#include "Shell/LcdText.h"
#include "StatusMonitor/StatusSupport.h"
#include "StatusMonitor/UsageGraphAreas.h"
#include "StatusMonitor/UsageLabel.h"

namespace {

constexpr int kColumns = kGraphAreas;

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
    const GraphAreas areas = {ui.GPULabel0, ui.GPULabel1, ui.GPULabel2, ui.GPULabel3};
    GraphLayouts layouts{};
    if (const char* pszFailed = SetUpGraphAreas(areas, layouts)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", pszFailed);
        return false;
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
    // A label in a disabled area (no chip, or no usage reading) never samples.
    if (const char* pszFailed = AddUsageLabels<QGPUUsageLabel>(layouts, dtGPU, true)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", pszFailed);
        return false;
    }
    m_Refresh.Arm();
    return true;
}

void QGPUStatus::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    m_Refresh.Shown();
}

void QGPUStatus::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
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
