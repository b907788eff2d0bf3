#include "PerformanceControl/FanControl.h"

#include <QGridLayout>
#include <QProgressBar>
#include <QShowEvent>
#include <QTimerEvent>

#include "Engine/LogCheck.h"
#include "Pages/DeviceLookup.h"
#include "PerformanceControl/NeedleGauge.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/SensorChipDevice.h"
#include "Settings/ConfigParser.h"

namespace {

constexpr int kModeManual = 2;
constexpr int kModeAutomatic = 3;
constexpr int kNoReading = -9999;

QString Reading(int value, const char* pattern)
{
    return value == kNoReading ? QString() : QString::fromLatin1(pattern).arg(static_cast<double>(value));
}

} // namespace

QFanControl::QFanControl()
{
    ui.setupUi(this);
}

QFanControl::Column QFanControl::_Column(int i)
{
    const QString n = QString::number(i);
    return {findChild<QGroupBox*>(QStringLiteral("groupBox") + n),
            findChild<QRadioButton*>(QStringLiteral("radioBtnAuto") + n),
            findChild<QRadioButton*>(QStringLiteral("radioBtnManual") + n),
            findChild<QGroupBox*>(QStringLiteral("groupBoxManual") + n),
            findChild<QSlider*>(QStringLiteral("Fan%1Slider").arg(i)),
            findChild<QLabel*>(QStringLiteral("Fan%1PercentLabel").arg(i))};
}

bool QFanControl::_AddGaugeWidgets(int i)
{
    auto* pLayout = new QGridLayout(m_GaugeList[i]);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    auto* pLabel = new QNeedleLabel;
    pLabel->m_nIndex = i;
    pLayout->addWidget(pLabel, 0, 0);

    // The bar and the speed text under it share the rows below the temperature: the
    // text whole inside the 120-pixel dial (its bottom would otherwise be cut off,
    // and "2500 rpm" with it), its digits a few rows clear of the bar in both skins.
    QProgressBar* pBar = new QProgressBar(pLabel);
    pBar->setGeometry(25, 92, 70, 12);
    pBar->setRange(0, 6000);
    pBar->setValue(0);
    pBar->setFormat(QStringLiteral("%v rpm"));
    pBar->setTextVisible(false);
    m_BarList[i] = pBar;

    m_LabelList[i] = new QLabel(pLabel);
    m_LabelList[i]->setGeometry(25, 105, 70, 15);
    m_LabelList[i]->setAlignment(Qt::AlignCenter);

    m_LabelTemperature[i] = new QLabel(pLabel);
    m_LabelTemperature[i]->setGeometry(25, 75, 70, 15);
    m_LabelTemperature[i]->setAlignment(Qt::AlignCenter);
    return true;
}

bool QFanControl::Init()
{
    m_GaugeList = {ui.Gauge0, ui.Gauge1, ui.Gauge2};
    for (int i = 0; i < kFanCount; ++i)
        LOG_PROCESS_ERROR(_AddGaugeWidgets(i));

    ISensorChipDevice* pChip = dev::SensorChip();
    for (int i = 0; i < kFanCount; ++i) {
        if (!pChip) {
            _Column(i).pGroup->setEnabled(false);
            continue;
        }
        int nMode = 0;
        if (!pChip->GetFanMode(i, &nMode) || nMode < kModeManual) {
            m_GaugeList[i]->setEnabled(false);
            _Column(i).pGroup->setEnabled(false);
        }
    }
    Discard();
    for (QLabel* pGauge : m_GaugeList)
        if (pGauge->isEnabled()) {
            m_bTimerStarted = true;
            m_Refresh.Arm();
            break;
        }
    return true;
}

bool QFanControl::Discard()
{
    ISensorChipDevice* pChip = dev::SensorChip();
    if (!pChip)
        return true;
    for (int i = 0; i < kFanCount; ++i) {
        const Column c = _Column(i);
        if (!c.pGroup->isEnabled())
            continue;
        int nMode = 0;
        // A mode that cannot be read leaves the choice shown as it was.
        if (!pChip->GetFanMode(i, &nMode)) {
            LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "bRetCode");
            continue;
        }
        if (nMode == kModeAutomatic) {
            c.pAuto->setChecked(true);
            continue;
        }
        c.pManual->setChecked(true);
        int nPercent = 0;
        if (pChip->GetFanSpeedPercent(i, &nPercent))
            c.pSlider->setValue(nPercent);
    }
    for (int i = 0; i < kFanCount; ++i)
        m_ReadChoices[static_cast<size_t>(i)] = _Shown(i);
    return true;
}

QFanControl::Choice QFanControl::_Shown(int i)
{
    const Column c = _Column(i);
    Choice choice;
    choice.bAuto = c.pAuto->isChecked();
    choice.bManual = c.pManual->isChecked();
    // The speed counts only for a fan in manual control.
    choice.nPercent = choice.bManual ? c.pSlider->value() : 0;
    return choice;
}

bool QFanControl::_Changed(int i)
{
    return !(_Shown(i) == m_ReadChoices[static_cast<size_t>(i)]);
}

void QFanControl::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    bool bUserChange = false;
    for (int i = 0; i < kFanCount; ++i)
        bUserChange = bUserChange || (_Column(i).pGroup->isEnabled() && _Changed(i));
    if (!bUserChange)
        Discard();
    m_Refresh.Shown();
}

void QFanControl::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
}

bool QFanControl::Apply()
{
    CConfigParser* pConfig = CConfigParser::GetInstance();
    ISensorChipDevice* pChip = dev::SensorChip();
    if (!pChip)
        return false;
    bool bResult = true;
    for (int i = 0; i < kFanCount; ++i) {
        const Column c = _Column(i);
        // A fan the user left as read is not set again: something else may have
        // set it since.
        if (!c.pGroup->isEnabled() || !_Changed(i))
            continue;
        if (c.pAuto->isChecked()) {
            if (!pChip->SetFanMode(i, kModeAutomatic)) {
                LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
                bResult = false;
                continue;
            }
            m_ReadChoices[static_cast<size_t>(i)] = _Shown(i);   // the fan runs as shown now
            continue;
        }
        // Neither choice shown (the mode could never be read): the fan is left alone.
        if (!c.pManual->isChecked())
            continue;
        const int nPercent = c.pSlider->value();
        if (!pChip->SetFanMode(i, kModeManual) || !pChip->SetFanSpeedPercent(i, nPercent)) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            bResult = false;
            continue;
        }
        m_ReadChoices[static_cast<size_t>(i)] = _Shown(i);
        const QString item = QStringLiteral("Fan%1SpeedPercentage").arg(i);
        if (!pConfig || !pConfig->SetValue(u"FanControl", u"Settings", item, static_cast<double>(nPercent), true)) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            bResult = false;
        }
    }
    return bResult;
}

void QFanControl::_ShowSpeed(int i, int rpm)
{
    m_BarList[i]->setValue(rpm);   // outside 0..6000 the bar keeps its last value
    m_LabelList[i]->setText(Reading(rpm, "%1 rpm"));
}

void QFanControl::timerEvent(QTimerEvent*)
{
    ISensorChipDevice* pChip = dev::SensorChip();
    if (!isVisible() || !pChip)
        return;
    for (int i = 0; i < kFanCount; ++i) {
        if (!m_GaugeList[i]->isEnabled())
            continue;
        _ShowSpeed(i, pChip->GetFanSpeed(i));
        m_LabelTemperature[i]->setText(Reading(pChip->GetTemperature(i), "%1 C"));
    }
    if (m_GaugeList[0]->isEnabled()) {
        _ShowSpeed(0, pChip->GetFanSpeed(0));
        // The processor's own temperature; without one the sensor's reading stays.
        ICPUDevice* pCPU = dev::Cpu();
        if (const double* pTemperature = pCPU ? pCPU->GetTemperature() : nullptr) {
            const double dTemperature = pTemperature[0] != 0 ? pTemperature[0] : pTemperature[1];
            m_LabelTemperature[0]->setText(QStringLiteral("%1 C").arg(dTemperature));
        }
    }
    for (QLabel* pGauge : m_GaugeList)
        pGauge->update();
}

void QFanControl::on_radioBtnAuto0_toggled(bool on) { ui.groupBoxManual0->setEnabled(!on); }
void QFanControl::on_radioBtnAuto1_toggled(bool on) { ui.groupBoxManual1->setEnabled(!on); }
void QFanControl::on_radioBtnAuto2_toggled(bool on) { ui.groupBoxManual2->setEnabled(!on); }
void QFanControl::on_Fan0Slider_valueChanged(int value) { ui.Fan0PercentLabel->setText(QStringLiteral("%1%").arg(value)); }
void QFanControl::on_Fan1Slider_valueChanged(int value) { ui.Fan1PercentLabel->setText(QStringLiteral("%1%").arg(value)); }
void QFanControl::on_Fan2Slider_valueChanged(int value) { ui.Fan2PercentLabel->setText(QStringLiteral("%1%").arg(value)); }
