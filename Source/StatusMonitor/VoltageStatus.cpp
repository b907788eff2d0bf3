#include "StatusMonitor/VoltageStatus.h"

#include <QCoreApplication>

#include <cmath>
#include <string_view>

#include "Engine/LogCheck.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "QVXLogic/SensorChipDevice.h"
#include "Shell/LcdText.h"
#include "StatusMonitor/StatusSupport.h"

namespace {

constexpr int kNoReading = -9999;
constexpr char16_t kMonitorSouthBridge[] = u"MX310 Series Chipset";

QString Fixed(double value, int decimals) { return QStringLiteral("%1").arg(value, 0, 'f', decimals); }
// Truncated toward zero; "+ 0.0" keeps -0.5 from showing as "-0".
QString Whole(double value) { return QStringLiteral("%1").arg(std::trunc(value) + 0.0, 0, 'f', 0); }

} // namespace

QVoltageStatus::QVoltageStatus()
{
    ui.setupUi(this);
    for (QLCDNumber* pLcd : findChildren<QLCDNumber*>())
        SetStatusLcdPalette(pLcd);
}

std::array<QLCDNumber*, 5> QVoltageStatus::_VoltageInputs() const { return {ui.VIN0, ui.VIN1, ui.VIN2, ui.VIN3, ui.VIN4}; }

std::array<QLCDNumber*, 3> QVoltageStatus::_TemperatureInputs() const
{
    return {ui.LCDNumTMPIN1, ui.LCDNumTMPIN2, ui.LCDNumTMPIN3};
}

bool QVoltageStatus::Init()
{
    const std::array<std::array<QWidget*, 3>, 4> coreRows = {{{ui.labelCPUCore0, ui.Core0TempNum, ui.Core0TempUnit},
                                                               {ui.labelCPUCore1, ui.Core1TempNum, ui.Core1TempUnit},
                                                               {ui.labelCPUCore2, ui.Core2TempNum, ui.Core2TempUnit},
                                                               {ui.labelCPUCore3, ui.Core3TempNum, ui.Core3TempUnit}}};
    for (unsigned long n = 0; n < coreRows.size(); ++n)
        if (!g_DeviceManager.GetDevice(dtCPU, n))
            for (QWidget* w : coreRows[n])
                w->setEnabled(false);

    ISouthBridgeDevice* pSB = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0);
    if (g_DeviceManager.GetDevice(dtSensorChip, 0)) {
        m_nMonitorSource = kSensorChip;
    } else if (pSB && pSB->GetClassName() && std::u16string_view(pSB->GetClassName()) == kMonitorSouthBridge) {
        m_nMonitorSource = kSouthBridge;
        // The south bridge's own inputs.
        ui.labelVIN0->setText(QCoreApplication::translate("QObject", "System Memory"));
        ui.labelVIN1->setText(QCoreApplication::translate("QObject", "CPU VDDA"));
        ui.labelVIN2->setText(QCoreApplication::translate("QObject", "Chipset Analog 1.2V"));
        ui.labelVIN3->setText(QCoreApplication::translate("QObject", "CPU Core"));
        ui.labelVIN4->setText(QCoreApplication::translate("QObject", "CPU Northbridge"));
        ui.labelTMPIN1->setText(QCoreApplication::translate("QObject", "CPU Diode"));
        ui.labelTMPIN2->setText(QCoreApplication::translate("QObject", "NB Diode"));
    }
    if (!g_DeviceManager.GetDevice(dtClockGenerator, 0))
        ui.BoardBox->setEnabled(false);
    m_Refresh.Arm();
    return true;
}

void QVoltageStatus::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    m_Refresh.Shown();
}

void QVoltageStatus::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
    // No tick runs while hidden: the next showing reads the generator's clocks again.
    m_bWasVisible = false;
}

void QVoltageStatus::timerEvent(QTimerEvent*)
{
    if (isVisible()) {
        double dNBFrequency = 0.0, dNBMultiplier = 0.0;
        _ShowCores(dNBFrequency, dNBMultiplier);
        _ShowMonitor();
        _ShowClocks();
        if (auto* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0)) {
            MEMORY_CONFIG config{};
            const bool bRetCode = pMC->GetConfig(&config);
            if (bRetCode)
                ShowLcdText(ui.MemFreqNum, Fixed(pMC->GetMemoryFrequency(dNBFrequency, dNBMultiplier), 2));
            else
                LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        }
    }
    m_bWasVisible = isVisible();
}

void QVoltageStatus::_ShowCores(double& dNBFrequency, double& dNBMultiplier)
{
    const int nFallback = FallbackTemperature();
    const std::array<QLCDNumber*, 4> cores = {ui.Core0TempNum, ui.Core1TempNum, ui.Core2TempNum, ui.Core3TempNum};
    for (unsigned long n = 0; n < cores.size(); ++n) {
        ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, n);
        if (!pCPU)
            continue;
        // Readings of zero or below are passed over, not shown.
        if (const double* p = pCPU->GetTemperature()) {
            if (p[0] > 0)
                ShowLcdText(cores[n], Fixed(p[0], 1));
            else if (p[1] > 0)
                ShowLcdText(cores[n], Fixed(p[1], 1));
            else if (nFallback > 0)
                ShowLcdText(cores[n], QString::number(nFallback));
        }
        if (n == 0) {
            dNBFrequency = pCPU->GetNBFrequency();
            dNBMultiplier = pCPU->GetNBMultiplier();
        }
    }
}

void QVoltageStatus::_ShowMonitor()
{
    // The monitor chosen at Init may be gone by now (a device refresh): that tick
    // shows nothing from it.
    if (m_nMonitorSource == kSensorChip) {
        if (ISensorChipDevice* pChip = QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0))
            _ShowSensorChip(pChip);
    } else if (m_nMonitorSource == kSouthBridge) {
        if (ISouthBridgeDevice* pSB = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0))
            _ShowSouthBridge(pSB);
    } else {
        ui.VolBox->setEnabled(false);
        ui.TempBox->setEnabled(false);
        ui.FanSpeedBox->setEnabled(false);
    }
}

void QVoltageStatus::_ShowSouthBridge(ISouthBridgeDevice* pSB)
{
    // Below zero is no reading; the input stays disabled from then on.
    const std::array<QLCDNumber*, 3> temperatures = _TemperatureInputs();
    for (int i = 0; i < 3; ++i) {
        const double v = pSB->GetTemperature(i);
        if (v < 0)
            temperatures[i]->setEnabled(false);
        else
            ShowLcdText(temperatures[i], Fixed(v, 2));
    }
    const double dFan = pSB->GetFanSpeed(0);
    if (dFan < 0)
        ui.CPUFanNum->setEnabled(false);
    else
        ShowLcdText(ui.CPUFanNum, Whole(dFan));
    const std::array<QLCDNumber*, 5> voltages = _VoltageInputs();
    for (int i = 0; i < 5; ++i)
        ShowLcdText(voltages[i], Fixed(pSB->GetVoltage(i), 2));
}

void QVoltageStatus::_ShowSensorChip(ISensorChipDevice* pChip)
{
    const std::array<QLCDNumber*, 3> temperatures = _TemperatureInputs();
    for (int i = 0; i < 3; ++i) {
        const int t = pChip->GetTemperature(i);
        if (t == kNoReading)
            temperatures[i]->setEnabled(false);
        else
            ShowLcdText(temperatures[i], QString::number(t));
    }
    // The fan alone comes back when it reads again.
    const int nFan = pChip->GetFanSpeed(0);
    ui.CPUFanNum->setEnabled(nFan != kNoReading);
    if (nFan == kNoReading)
        ShowLcdNumber(ui.CPUFanNum, 0);
    else
        ShowLcdText(ui.CPUFanNum, QString::number(nFan));
    const std::array<QLCDNumber*, 5> voltages = _VoltageInputs();
    for (int i = 0; i < 5; ++i) {
        if (pChip->GetVoltage(i) == 0.0)
            voltages[i]->setEnabled(false);
        else
            ShowLcdText(voltages[i], Fixed(pChip->GetVoltage(i), 2));
    }
}

void QVoltageStatus::_ShowClocks()
{
    if (m_bWasVisible)
        return;
    IClockGeneratorDevice* pCG = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    if (!pCG)
        return;
    ShowLcdText(ui.ExtFreqNum, Fixed(pCG->GetHTRefClock(), 2));
    ShowLcdText(ui.SBFreqNum, Fixed(pCG->GetSBClock(), 2));
    ShowLcdText(ui.PCIEFreqNum, Fixed(pCG->GetPCIeClock(), 2));
}
