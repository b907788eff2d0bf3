#pragma once
// "Fan Control": the sensor chip's three fans side by side, each with a dial
// (temperature needle, speed bar and texts) and automatic or manual speed.
#include <array>

#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_FanControl.h"

class QLabel;
class QProgressBar;
class QRadioButton;
class QSlider;

class QFanControl : public IQVXWidget {
    Q_OBJECT
public:
    static constexpr int kFanCount = 3;

    QFanControl();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Fan Control"; }

protected:
    void paintEvent(QPaintEvent*) override {}
    void timerEvent(QTimerEvent* event) override;
    // Shown again without a change of the user's, the page reads the sensor chip:
    // something else may have set the fans meanwhile.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void on_radioBtnAuto0_toggled(bool on);
    void on_radioBtnAuto1_toggled(bool on);
    void on_radioBtnAuto2_toggled(bool on);
    void on_Fan0Slider_valueChanged(int value);
    void on_Fan1Slider_valueChanged(int value);
    void on_Fan2Slider_valueChanged(int value);

private:
    // The form's widgets of fan i.
    struct Column {
        QGroupBox* pGroup;
        QRadioButton* pAuto;
        QRadioButton* pManual;
        QGroupBox* pManualGroup;
        QSlider* pSlider;
        QLabel* pPercent;
    };
    Column _Column(int i);
    bool _AddGaugeWidgets(int i);
    void _ShowSpeed(int i, int rpm);
    // The choice of fan i as shown: automatic, manual at a speed, or neither.
    struct Choice {
        bool bAuto = false;
        bool bManual = false;
        int nPercent = 0;
        bool operator==(const Choice&) const = default;
    };
    Choice _Shown(int i);
    // Fan i shows another choice than the last read left in it.
    bool _Changed(int i);

    Ui::FanControlClass ui;
    std::array<QProgressBar*, kFanCount> m_BarList{};
    std::array<QLabel*, kFanCount> m_LabelList{};
    std::array<QLabel*, kFanCount> m_LabelTemperature{};
    std::array<QLabel*, kFanCount> m_GaugeList{};
    bool m_bTimerStarted = false;   // a gauge is enabled: the page refreshes while shown
    CShownTimer m_Refresh{this};
    std::array<Choice, kFanCount> m_ReadChoices{};   // what the last read showed
};
