#include "StatusMonitor/Status.h"

#include <cmath>

#include "Engine/LogCheck.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "Shell/LcdText.h"
#include "StatusMonitor/StatusSupport.h"
#include "StatusMonitor/UsageGraphAreas.h"
#include "StatusMonitor/UsageLabel.h"

namespace {

constexpr int kColumns = kGraphAreas;

// The widgets of one core's column besides its graph area.
const QStringList kColumnWidgets = {
    QStringLiteral("CPUFreqLabel"), QStringLiteral("CPUFreqNum"), QStringLiteral("CPUFreqUnit"),
    QStringLiteral("CPUMulLabel"),  QStringLiteral("CPUMulNum"),  QStringLiteral("CPUMulUnit"),
    QStringLiteral("CPUVolLabel"),  QStringLiteral("CPUVolNum"),  QStringLiteral("CPUVolUnit"),
    QStringLiteral("CPUTempLabel"), QStringLiteral("CPUTempNum"), QStringLiteral("CPUTempUnit")};

} // namespace

QStatus::QStatus()
{
    ui.setupUi(this);
    for (int n = 0; n < kColumns; ++n) {
        const Column c = _Column(n);
        for (QLCDNumber* pLcd : {c.pFreq, c.pMul, c.pVol, c.pTemp}) {
            QPalette palette = pLcd->palette();
            palette.setColor(QPalette::WindowText, Qt::white);
            pLcd->setPalette(palette);
        }
    }
}

QStatus::Column QStatus::_Column(int n) const
{
    switch (n) {
    case 0: return {ui.CPUFreqNum, ui.CPUMulNum, ui.CPUVolNum, ui.CPUTempNum};
    case 1: return {ui.CPUFreqNum_2, ui.CPUMulNum_2, ui.CPUVolNum_2, ui.CPUTempNum_2};
    case 2: return {ui.CPUFreqNum_3, ui.CPUMulNum_3, ui.CPUVolNum_3, ui.CPUTempNum_3};
    default: return {ui.CPUFreqNum_4, ui.CPUMulNum_4, ui.CPUVolNum_4, ui.CPUTempNum_4};
    }
}

void QStatus::_DeleteTemperatureWidgets()
{
    // The form's pointers go with the widgets, so no later tick can reach them.
    for (QLabel** pp : {&ui.CPUTempLabel, &ui.CPUTempUnit, &ui.CPUTempLabel_2, &ui.CPUTempUnit_2, &ui.CPUTempLabel_3,
                        &ui.CPUTempUnit_3, &ui.CPUTempLabel_4, &ui.CPUTempUnit_4}) {
        delete *pp;
        *pp = nullptr;
    }
    for (QLCDNumber** pp : {&ui.CPUTempNum, &ui.CPUTempNum_2, &ui.CPUTempNum_3, &ui.CPUTempNum_4}) {
        delete *pp;
        *pp = nullptr;
    }
}

bool QStatus::Init()
{
    const GraphAreas areas = {ui.CPULabel0, ui.CPULabel1, ui.CPULabel2, ui.CPULabel3};
    GraphLayouts layouts{};
    if (const char* pszFailed = SetUpGraphAreas(areas, layouts)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", pszFailed);
        return false;
    }
    for (int n = 0; n < kColumns; ++n) {
        if (g_DeviceManager.GetDevice(dtCPU, static_cast<unsigned long>(n)))
            continue;
        areas[n]->setEnabled(false);
        SetColumnEnabled(this, kColumnWidgets, n, false);
    }
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    LOG_PROCESS_ERROR(pCPU);
    // Without core 0's sensor no core's temperature is shown: the row goes.
    if (!pCPU->GetTemperature())
        _DeleteTemperatureWidgets();
    if (const char* pszFailed = AddUsageLabels<QCPUUsageLabel>(layouts, dtCPU, false)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", pszFailed);
        return false;
    }
    m_Refresh.Arm();
    return true;
}

void QStatus::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    m_Refresh.Shown();
}

void QStatus::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
}

void QStatus::timerEvent(QTimerEvent*)
{
    if (!isVisible())
        return;
    const int nFallback = FallbackTemperature();
    for (int n = 0; n < kColumns; ++n)
        if (ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, static_cast<unsigned long>(n)))
            _ShowProcessor(_Column(n), pCPU, nFallback);
}

void QStatus::_ShowProcessor(const Column& column, ICPUDevice* pCPU, int nFallback)
{
    // "+ 0.0" keeps a truncated -0.5 from showing as "-0".
    ShowLcdText(column.pFreq, QStringLiteral("%1").arg(std::trunc(pCPU->GetCurrentFrequency()) + 0.0, 0, 'f', 0));
    ShowLcdText(column.pMul, QStringLiteral("%1").arg(pCPU->GetCurrentMultiplier(), 0, 'f', 2));
    ShowLcdNumber(column.pVol, pCPU->GetCPUVid());
    if (!column.pTemp)
        return;
    const double* pTemperature = pCPU->GetTemperature();
    if (!pTemperature)
        return;
    if (pTemperature[0] != 0.0)
        ShowLcdText(column.pTemp, QStringLiteral("%1").arg(pTemperature[0], 0, 'f', 1));
    else if (pTemperature[1] != 0.0)
        ShowLcdText(column.pTemp, QStringLiteral("%1").arg(pTemperature[1], 0, 'f', 1));
    else if (nFallback != 0)
        ShowLcdText(column.pTemp, QStringLiteral("%1").arg(nFallback));
}
