#pragma once
// The "Clock/Voltage" page: processor multipliers and VIDs, the HyperTransport
// multiplier, the clock generator's reference and PCIe clocks, the integrated
// graphics clocks, the regulator rails and the BIOS clock-calibration items.
// Each control shows the target Apply would write beside what the hardware runs at.
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_AdvancedMode.h"

class ICPUDevice;
class QComboBox;
class QLabel;
class QSlider;
struct ABR_CMOS_GET_ITEM_INFO;

class QAdvancedMode : public IQVXWidget {
    Q_OBJECT

public:
    QAdvancedMode();
    ~QAdvancedMode() override;

    bool Init() override;
    bool UnInit() override;
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Clock/Voltage"; }

    // The three reads of Discard, in its order.
    bool ReadClock();
    bool ReadVoltage();
    bool ReadDutyCycle();

    // The form, for tests and screenshots.
    const Ui::AdvancedModeClass& Form() const { return ui; }

    // Rail positions in m_VoltageRows and m_dVoltages.
    enum { kRailCount = 6 };
    // Widget kinds of one rail row.
    enum { kCaption, kTarget, kCurrent, kSlider, kValue, kSliderCaption, kRowWidgets };

protected:
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void on_DCEnableBox_currentIndexChanged(int index);
    void on_checkBox_SelectAll_stateChanged(int state);
    void on_NBVidSlider_valueChanged(int value);
    void on_CPUVidSlider_valueChanged(int value);
    void on_CPUMulSlider_4_valueChanged(int value);
    void on_CPUMulSlider_3_valueChanged(int value);
    void on_CPUMulSlider_2_valueChanged(int value);
    void on_CPUMulSlider_valueChanged(int value);
    void on_HTMulSlider_valueChanged(int value);
    void on_Clock_valueChanged(int value);
    void on_Voltage_valueChanged(int value);

private:
    // Init steps.
    void _InitProcessorRows(ICPUDevice* pCPU, double dVidCeiling);
    bool _InitHTMultiplier(ICPUDevice* pCPU);
    bool _InitClockGenerator();
    void _InitGraphicsClocks();
    bool _InitCalibration();
    void _SetUpMultiplierSlider(QSlider* pSlider, QLabel* pValue, ICPUDevice* pDevice);
    void _DeleteCoreRow(int core);

    // Clocks.
    void _ConnectSignals();
    void _UpdateSliderLabels();
    // The first show's set-up of the reference and PCIe clock controls, sliders or
    // lists by the generator; each is true with nothing to do in the other's mode.
    bool InitClockSliders();
    bool InitClockComboBoxes();
    bool WriteClock();
    void SetCPURefClock();
    void SetCPUMultiplierAndVID();
    void SetCPUMulitplier(ICPUDevice* pCPU, double dSliderValue);
    void _MultiplierChanged(int core, int value);
    // With "Select All Cores" ticked, an Apply gives every core core 0's multiplier
    // once a multiplier was moved; until then each core keeps its own. The targets
    // shown follow the same rule.
    bool _AllCoresTakeCore0Multiplier() const;
    // The reference and PCIe clocks Apply would write; false when there is none
    // (list mode without a current entry).
    bool _TargetRefClock(double& dMHz) const;
    bool _TargetPCIeClock(double& dMHz) const;
    bool _TargetClock(const QSlider* pSlider, const QComboBox* pBox, const std::vector<double>& list, int count,
                      double& dMHz) const;

    // Voltages.
    bool InitVoltageSliders();
    bool WriteVoltage();
    void ResetVTTSlider();
    void SetVid(ICPUDevice* pCPU, double dCPUVid, double dNBVid);
    // Label text, and the colour warning against the VID processor 0 runs at now;
    // false without processor 0.
    bool _VidChanged(QLabel* pLabel, int value, double (ICPUDevice::*present)(), uint32_t uBit);
    bool _RelabelRailsForBoard();
    void _DisableRailRow(int rail, bool bValueLabel);

    // Clock calibration.
    bool _AddAllItem(QComboBox* pComboBox, const ABR_CMOS_GET_ITEM_INFO* pItemInfo);
    bool _GetItemValue(const char* pszItemName, QComboBox* pComboBox);
    bool _SetItemValue(const char* pszItemName, QComboBox* pComboBox);
    bool WriteDutyCycle();
    // The calibration boxes, in the order of their items.
    std::array<QComboBox*, 6> _CalibrationBoxes() const;

    // A control the user moved since the hardware was last read.
    bool _HoldsUserChange() const;
    // Both change masks cleared: the controls hold what was read.
    void _ForgetChanges();

    // The per-core widgets of the form, core 0 to 3; null once Init removed them.
    QSlider* _MulSlider(int core) const;
    QLabel* _MulValueLabel(int core) const;
    QLabel* _MulCaption(int core) const;

    Ui::AdvancedModeClass ui;

    uint32_t m_uClockChangeMask = 0;
    uint32_t m_uVoltageChangeMask = 0;
    bool m_bShown = false;
    double m_dOldHTRefClock = 0.0;
    double m_dHTRefClock = 0.0;
    double m_dPCIeClock = 0.0;
    bool m_bHasClockRanges = false;
    int m_nExtFreqCount = 0;
    int m_nPCIeFreqCount = 0;
    // Owned by value, so a failed or repeated Init leaks nothing.
    std::vector<double> m_ExtFreqs;
    std::vector<double> m_PCIeFreqs;
    bool m_bHasPWMController2 = true;
    QWidget* m_VoltageRows[kRowWidgets][kRailCount] = {};
    std::array<double, kRailCount> m_dVoltages = {};
    // The position the last read selected in each calibration box (-1: none).
    std::array<int, 6> m_CalibrationRead = {-1, -1, -1, -1, -1, -1};
    CShownTimer m_Refresh{this};
};
