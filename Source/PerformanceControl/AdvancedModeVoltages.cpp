// The voltage side of the Clock/Voltage page: the VID and rail sliders with their
// colour warning, the regulator's ranges on the first show, and the rail and VID
// writes of Apply. Every value here is in slider units (volts x 100000) except
// the processor's own VIDs, which the device takes in volts.
#include "PerformanceControl/AdvancedMode.h"

#include <QRegularExpression>

#include <cstring>
#include <functional>

#include "PerformanceControl/AdvancedModeSupport.h"
#include "PerformanceControl/LevelColors.h"
#include "Settings/ConfigParser.h"
#include "Shell/GlobalFlags.h"

#include "Engine/SMBIOS.h"

using namespace advmode;

namespace {

// The fixed regulator's rails, in rail order.
struct RailAccess {
    double (IPWMControllerDevice::*get)();
    bool (IPWMControllerDevice::*set)(double);
    const char16_t* item;
};
const RailAccess kRails[QAdvancedMode::kRailCount] = {
    {&IPWMControllerDevice::GetMemVDDQ, &IPWMControllerDevice::SetMemVDDQ, u"MemVDDQ"},
    {&IPWMControllerDevice::GetMemVTT, &IPWMControllerDevice::SetMemVTT, u"MemVTT"},
    {&IPWMControllerDevice::GetCPUVDDC, &IPWMControllerDevice::SetCPUVDDC, u"CPUVDDC"},
    {&IPWMControllerDevice::GetNBCoreVoltage, &IPWMControllerDevice::SetNBCoreVoltage, u"NBCoreVol"},
    {&IPWMControllerDevice::GetNBPCIEVoltage, &IPWMControllerDevice::SetNBPCIEVoltage, u"NBPCIEVol"},
    {&IPWMControllerDevice::GetCPUHTVoltage, &IPWMControllerDevice::SetCPUHTVoltage, u"CPUHTVol"},
};
constexpr int kVTT = 1;

void SetSliderRange(QSlider* pSlider, double dMin, double dMax, double dStep, double dValue)
{
    pSlider->setMinimum(ToSlider(dMin));
    pSlider->setMaximum(ToSlider(dMax));
    pSlider->setSingleStep(ToSlider(dStep));
    pSlider->setPageStep(ToSlider(dStep));
    pSlider->setValue(ToSlider(dValue));
}

// A channel name on two lines for the narrow caption under its slider: the first
// two words (a word of more than 32 characters is cut there, its rest the next word).
QString TwoLineCaption(const QString& name)
{
    QStringList words;
    for (QString word : name.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        while (word.size() > 32 && words.size() < 2) {
            words << word.left(32);
            word = word.mid(32);
        }
        if (words.size() < 2)
            words << word;
    }
    return words.join(QLatin1Char('\n'));
}

} // namespace

bool QAdvancedMode::_VidChanged(QLabel* pLabel, int value, double (ICPUDevice::*present)(), uint32_t uBit)
{
    const QString text = QString::number(value / kVoltsToSlider, 'f', 4);
    pLabel->setText(text);
    pLabel->setToolTip(text);
    ICPUDevice* pCPU = Cpu(0);
    if (!pCPU)
        return false;
    SetLevelColor(pLabel, LevelForRatio(value / kVoltsToSlider, (pCPU->*present)()));
    m_uClockChangeMask |= uBit;
    g_bModified = true;
    return true;
}

void QAdvancedMode::on_CPUVidSlider_valueChanged(int value)
{
    // The only failure is a missing processor 0.
    if (!_VidChanged(ui.CPUVidLabel, value, &ICPUDevice::GetCPUVid, kCPUVidBit))
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCPU");
}

void QAdvancedMode::on_NBVidSlider_valueChanged(int value)
{
    // The only failure is a missing processor 0.
    if (!_VidChanged(ui.NBVidLabel, value, &ICPUDevice::GetNBVid, kNBVidBit))
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCPU");
}

void QAdvancedMode::on_Voltage_valueChanged(int value)
{
    const QString text = QString::number(value / kVoltsToSlider, 'f', 3);
    QObject* pSender = sender();
    if (auto* pWidget = qobject_cast<QWidget*>(pSender))
        pWidget->setToolTip(text);
    int rail = 0;
    while (rail < kRailCount && m_VoltageRows[kSlider][rail] != pSender)
        ++rail;

    double reference = 0.0;
    if (m_bHasPWMController2) {
        IPWMController2Device* pPWMCtrl = Pwm2();
        ADVMODE_PROCESS_ERROR_VOID(pPWMCtrl);
        // Only the rows the regulator's channels fill, and never past the six rows.
        if (rail >= std::min(pPWMCtrl->GetChannelCount(), static_cast<int>(kRailCount)))
            return;
        reference = pPWMCtrl->GetChannelDefault(rail);
    } else {
        IPWMControllerDevice* pPWMController = Pwm();
        ADVMODE_PROCESS_ERROR_VOID(pPWMController);
        if (rail >= kRailCount)
            return;
        const PWM_RAIL_INFO* pTable = pPWMController->GetRailTable();
        reference = pTable ? pTable[rail].dDefault : 0.0;
        if (rail == 0)   // VTT follows VDDQ; it is read back after the VDDQ write
            ui.VTTVolSlider->setEnabled(false);
    }
    auto* pLabel = static_cast<QLabel*>(m_VoltageRows[kValue][rail]);
    pLabel->setText(text);
    m_uVoltageChangeMask |= 1u << rail;
    SetLevelColor(pLabel, LevelForRatio(value, reference));
    if (m_uVoltageChangeMask)
        g_bModified = true;
}

void QAdvancedMode::_DisableRailRow(int rail, bool bValueLabel)
{
    for (int kind : {kSlider, kTarget, kCurrent, kSliderCaption, kCaption})
        m_VoltageRows[kind][rail]->setEnabled(false);
    if (bValueLabel)
        m_VoltageRows[kValue][rail]->setEnabled(false);
}

bool QAdvancedMode::InitVoltageSliders()
{
    if (m_bHasPWMController2) {
        IPWMController2Device* pPWMCtrl = Pwm2();
        LOG_PROCESS_ERROR(pPWMCtrl);
        int channel = 0;
        for (; channel < pPWMCtrl->GetChannelCount() && channel < kRailCount; ++channel) {
            const char16_t* name = pPWMCtrl->GetChannelName(channel);
            const QString text = name ? QString::fromUtf16(name) : QString();
            static_cast<QLabel*>(m_VoltageRows[kCaption][channel])->setText(text);
            const QString caption = TwoLineCaption(text);
            const int iRet = static_cast<int>(caption.size());
            LOG_CHECK_ERROR(iRet > 0);
            static_cast<QLabel*>(m_VoltageRows[kSliderCaption][channel])->setText(caption);
            m_dVoltages[static_cast<size_t>(channel)] = pPWMCtrl->GetChannelVoltage(channel);
            auto* pSlider = static_cast<QSlider*>(m_VoltageRows[kSlider][channel]);
            SetSliderRange(pSlider, pPWMCtrl->GetChannelMin(channel), pPWMCtrl->GetChannelMax(channel),
                           pPWMCtrl->GetChannelStep(channel), m_dVoltages[static_cast<size_t>(channel)]);
            pSlider->setWhatsThis(tr("Please consult the motherboard vendor for detail."));
        }
        for (int row = channel; row < kRailCount; ++row)
            for (int kind = 0; kind < kRowWidgets; ++kind)
                m_VoltageRows[kind][row]->hide();
        return true;
    }

    IPWMControllerDevice* pPWMCtrl = Pwm();
    LOG_CHECK_ERROR(pPWMCtrl);
    const PWM_RAIL_INFO* pTable = pPWMCtrl ? pPWMCtrl->GetRailTable() : nullptr;
    if (!pPWMCtrl || !pPWMCtrl->IsAvailable() || !pTable) {
        for (int rail = 0; rail < kRailCount; ++rail)
            m_VoltageRows[kSlider][rail]->setEnabled(false);
    } else {
        for (int rail = 0; rail < kRailCount; ++rail) {
            const double value = std::invoke(kRails[rail].get, pPWMCtrl);
            m_dVoltages[static_cast<size_t>(rail)] = value;
            if (value == 0.0) {
                _DisableRailRow(rail, rail <= 2);
                continue;
            }
            SetSliderRange(static_cast<QSlider*>(m_VoltageRows[kSlider][rail]), pTable[rail].dMin, pTable[rail].dMax,
                           pTable[rail].dStep, value);
            if (rail == kVTT)
                m_VoltageRows[kSlider][rail]->setEnabled(true);
        }
    }
    return _RelabelRailsForBoard();
}

bool QAdvancedMode::_RelabelRailsForBoard()
{
    CSMBIOS smbios;
    if (!smbios.Init())
        return true;
    INorthBridgeDevice* pNB = NorthBridge();
    LOG_PROCESS_ERROR(pNB);
    if (std::strncmp(smbios.GetBaseBoardInfo().szManufacturer, "Giga", 4) != 0 || pNB->GetDeviceID() != 0x5956)
        return true;
    ui.labelVolValue1->setText(QStringLiteral("SB Core"));
    ui.labelVolValue3->setText(QStringLiteral("HTT\tCore"));
    ui.labelVolValue4->setText(QStringLiteral("NB Core"));
    ui.labelVolValue5->setText(QStringLiteral("PCIE Core"));
    ui.labelVolValue6->setText(QStringLiteral("HTR Core"));
    ui.labelVolSlider1->setText(QStringLiteral("SB\nCore"));
    ui.labelVolSlider3->setText(QStringLiteral("HTT\nCore"));
    ui.labelVolSlider4->setText(QStringLiteral("NB\nCore"));
    ui.labelVolSlider5->setText(QStringLiteral("PCIE\nCore"));
    ui.labelVolSlider6->setText(QStringLiteral("HTR\nCore"));
    for (int rail = 0; rail < kRailCount; ++rail)
        m_VoltageRows[kSlider][rail]->setWhatsThis(QString());
    return true;
}

bool QAdvancedMode::WriteVoltage()
{
    CConfigParser* pStore = CConfigParser::GetInstance();
    if (m_bHasPWMController2) {
        IPWMController2Device* pPWMCtrl = Pwm2();
        if (!pPWMCtrl) {
            LOG_CHECK_ERROR(pPWMCtrl);
            return true;
        }
        for (int channel = 0; channel < pPWMCtrl->GetChannelCount() && channel < kRailCount; ++channel) {
            if (!(m_uVoltageChangeMask & (1u << channel)))
                continue;
            const double value = static_cast<QSlider*>(m_VoltageRows[kSlider][channel])->value();
            const bool bret = pPWMCtrl->SetChannelVoltage(channel, value);
            LOG_PROCESS_ERROR(bret);
            m_dVoltages[static_cast<size_t>(channel)] = value;
            const char16_t* name = pPWMCtrl->GetChannelName(channel);
            pStore->SetValue(QStringView(pPWMCtrl->GetTypeName()), QStringView(pPWMCtrl->GetName()),
                             name ? QStringView(name) : QStringView(), value, true);
        }
        return true;
    }
    IPWMControllerDevice* pPWMCtrl = Pwm();
    if (!pPWMCtrl) {
        LOG_CHECK_ERROR(pPWMCtrl);
        return true;
    }
    for (int rail = 0; rail < kRailCount; ++rail) {
        if (!(m_uVoltageChangeMask & (1u << rail)))
            continue;
        const double value = static_cast<QSlider*>(m_VoltageRows[kSlider][rail])->value();
        const bool bret = std::invoke(kRails[rail].set, pPWMCtrl, value);
        LOG_PROCESS_ERROR(bret);
        m_dVoltages[static_cast<size_t>(rail)] = value;
        pStore->SetValue(QStringView(pPWMCtrl->GetTypeName()), QStringView(pPWMCtrl->GetName()),
                         QStringView(kRails[rail].item), value, true);
        if (rail == 0)
            ResetVTTSlider();
    }
    return true;
}

void QAdvancedMode::ResetVTTSlider()
{
    IPWMControllerDevice* pPWMCtrl = Pwm();
    if (!pPWMCtrl) {
        LOG_CHECK_ERROR(pPWMCtrl);
        return;
    }
    m_dVoltages[kVTT] = pPWMCtrl->GetMemVTT();
    const PWM_RAIL_INFO* pTable = pPWMCtrl->GetRailTable();
    if (m_dVoltages[kVTT] == 0.0 || !pTable)
        return;
    // A new reading moves the slider, which marks VTT for the same Apply's write.
    SetSliderRange(ui.VTTVolSlider, pTable[kVTT].dMin, pTable[kVTT].dMax, pTable[kVTT].dStep, m_dVoltages[kVTT]);
    ui.VTTVolSlider->setEnabled(true);
}

void QAdvancedMode::SetVid(ICPUDevice* pCPU, double dCPUVid, double dNBVid)
{
    ADVMODE_PROCESS_ERROR_VOID(pCPU);
    const double fCPUVid = dCPUVid;
    ADVMODE_PROCESS_ERROR_VOID(fCPUVid > 0);
    CConfigParser* pStore = CConfigParser::GetInstance();
    // Each VID only when the user moved it.
    if (m_uClockChangeMask & kCPUVidBit) {
        const bool bRetCode = pCPU->SetCPUVid(fCPUVid / kVoltsToSlider);
        LOG_CHECK_ERROR(bRetCode);
        // Only what the processor took: the profile applies the store on the next start.
        if (bRetCode)
            pStore->SetValue(u"CPU", QStringView(pCPU->GetName()), u"CPUVID", fCPUVid, true);
    }
    if (!ui.NBVidSlider->isEnabled() || !(m_uClockChangeMask & kNBVidBit))
        return;
    const double fNBVid = dNBVid;
    ADVMODE_PROCESS_ERROR_VOID(fNBVid > 0);
    const bool bRetCode = pCPU->SetNBVid(fNBVid / kVoltsToSlider);
    LOG_CHECK_ERROR(bRetCode);
    if (bRetCode)
        pStore->SetValue(u"CPU", QStringView(pCPU->GetName()), u"NBVID", fNBVid, true);
}
