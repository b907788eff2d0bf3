#pragma once
// "Board Status": core temperatures, the board's hardware monitor (voltages,
// temperature inputs, fan), the clock generator's clocks and the memory clock,
// refreshed once a second while the page is shown. The monitor is the sensor chip
// when the board has one, else the hardware monitor of the MX310 south bridge.
#include <array>

#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_VoltageStatus.h"

class ISensorChipDevice;
class ISouthBridgeDevice;

class QVoltageStatus : public IQVXWidget {
    Q_OBJECT
public:
    QVoltageStatus();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Board Status"; }

protected slots:
    void timerEvent(QTimerEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum { kNoMonitor = -1, kSensorChip = 0, kSouthBridge = 1 };

    std::array<QLCDNumber*, 5> _VoltageInputs() const;
    std::array<QLCDNumber*, 3> _TemperatureInputs() const;
    void _ShowCores(double& dNBFrequency, double& dNBMultiplier);
    void _ShowMonitor();
    void _ShowSensorChip(ISensorChipDevice* pChip);
    void _ShowSouthBridge(ISouthBridgeDevice* pSB);
    void _ShowClocks();

    Ui::VoltageStatusClass ui;
    int m_nMonitorSource = kNoMonitor;
    // Visible at the end of the previous tick: the generator's clocks are read
    // once per showing. Kept per page, so a page built anew reads them at once.
    bool m_bWasVisible = false;
    CShownTimer m_Refresh{this};
};
