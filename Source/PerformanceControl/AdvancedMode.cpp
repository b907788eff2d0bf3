// The Clock/Voltage page's frame: construction, Init (which rows the present
// devices allow and the ranges that need no first show), the first show,
// Discard with its three reads, and UnInit.
#include "PerformanceControl/AdvancedMode.h"

#include <QShowEvent>

#include "Engine/BIOSMiscInfo.h"
#include "Engine/CMOSItemList.h"
#include "PerformanceControl/AdvancedModeSupport.h"
#include "PerformanceControl/ClockLists.h"
#include "Settings/MiscSettings.h"
#include "Shell/GlobalFlags.h"

using namespace advmode;

namespace {

template <class T>
void DeleteWidget(T*& pWidget)
{
    delete pWidget;
    pWidget = nullptr;
}

// Above this a family 10h processor's VID needs the user's explicit consent.
constexpr double kFamily10hVidCeiling = 1.45;

} // namespace

QAdvancedMode::QAdvancedMode()
{
    ui.setupUi(this);
    QWidget* rows[kRowWidgets][kRailCount] = {
        {ui.labelVolValue1, ui.labelVolValue2, ui.labelVolValue3, ui.labelVolValue4, ui.labelVolValue5, ui.labelVolValue6},
        {ui.TargetVDDQ, ui.TargetVTT, ui.TargetVDDC, ui.TargetNBCore, ui.TargetNBPCIE, ui.TargetCPUHT},
        {ui.CurrentVDDQ, ui.CurrentVTT, ui.CurrentVDDC, ui.CurrentNBCore, ui.CurrentNBPCIE, ui.CurrentCPUHT},
        {ui.VDDQVolSlider, ui.VTTVolSlider, ui.VDDCVolSlider, ui.NBCOREVolSlider, ui.PCIEVolSlider, ui.CPUHTVolSlider},
        {ui.VDDQVolValLabel, ui.VTTVolValLabel, ui.VDDCVolValLabel, ui.NBCOREVolValLabel, ui.PCIEVolValLabel,
         ui.CPUHTVolValLabel},
        {ui.labelVolSlider1, ui.labelVolSlider2, ui.labelVolSlider3, ui.labelVolSlider4, ui.labelVolSlider5,
         ui.labelVolSlider6},
    };
    for (int kind = 0; kind < kRowWidgets; ++kind)
        for (int rail = 0; rail < kRailCount; ++rail)
            m_VoltageRows[kind][rail] = rows[kind][rail];
}

QAdvancedMode::~QAdvancedMode() = default;

QSlider* QAdvancedMode::_MulSlider(int core) const
{
    QSlider* sliders[4] = {ui.CPUMulSlider, ui.CPUMulSlider_2, ui.CPUMulSlider_3, ui.CPUMulSlider_4};
    return core >= 0 && core < 4 ? sliders[core] : nullptr;
}

QLabel* QAdvancedMode::_MulValueLabel(int core) const
{
    QLabel* labels[4] = {ui.CPUMulValLabel, ui.CPUMulValLabel_2, ui.CPUMulValLabel_3, ui.CPUMulValLabel_4};
    return core >= 0 && core < 4 ? labels[core] : nullptr;
}

QLabel* QAdvancedMode::_MulCaption(int core) const
{
    QLabel* labels[4] = {ui.CoreMulLabel, ui.CoreMulLabel_2, ui.CoreMulLabel_3, ui.CoreMulLabel_4};
    return core >= 0 && core < 4 ? labels[core] : nullptr;
}

void QAdvancedMode::_DeleteCoreRow(int core)
{
    switch (core) {
    case 1:
        DeleteWidget(ui.CoreSpeedLabel_2), DeleteWidget(ui.TargetCPUSpeed_2), DeleteWidget(ui.CurrentCPUSpeed_2);
        DeleteWidget(ui.CoreMulLabel_2), DeleteWidget(ui.CPUMulSlider_2), DeleteWidget(ui.CPUMulValLabel_2);
        break;
    case 2:
        DeleteWidget(ui.CoreSpeedLabel_3), DeleteWidget(ui.TargetCPUSpeed_3), DeleteWidget(ui.CurrentCPUSpeed_3);
        DeleteWidget(ui.CoreMulLabel_3), DeleteWidget(ui.CPUMulSlider_3), DeleteWidget(ui.CPUMulValLabel_3);
        break;
    case 3:
        DeleteWidget(ui.CoreSpeedLabel_4), DeleteWidget(ui.TargetCPUSpeed_4), DeleteWidget(ui.CurrentCPUSpeed_4);
        DeleteWidget(ui.CoreMulLabel_4), DeleteWidget(ui.CPUMulSlider_4), DeleteWidget(ui.CPUMulValLabel_4);
        break;
    default:
        break;
    }
}

void QAdvancedMode::_SetUpMultiplierSlider(QSlider* pSlider, QLabel* pValue, ICPUDevice* pDevice)
{
    const double scale = MultiplierScale(pDevice);
    pSlider->setMinimum(ToSlider(pDevice->GetStartMultiplier() * scale));
    pSlider->setMaximum(ToSlider(pDevice->GetMaxMultiplier() * scale));
    pSlider->setValue(ToSlider(pDevice->GetCurrentMultiplier() * scale));
    pSlider->setSliderPosition(ToSlider(pDevice->GetCurrentMultiplier() * scale));
    const QString text = QStringLiteral("%1 X").arg(pDevice->GetCurrentMultiplier());
    pSlider->setToolTip(text);
    pValue->setText(text);
}

void QAdvancedMode::_InitProcessorRows(ICPUDevice* pCPU, double dVidCeiling)
{
    int vidStep = 1250;
    if (!pCPU->IsPerCoreControlSupported()) {
        ui.CoreSpeedLabel->setText(tr("CPU Core Speed"));
        ui.CoreMulLabel->setText(tr("CPU Core Multiplier"));
        DeleteWidget(ui.CurrentNBSpeed), DeleteWidget(ui.TargetNBSpeed), DeleteWidget(ui.NBSpeedLabel);
        DeleteWidget(ui.checkBox_SelectAll);
        for (int core = 1; core < 4; ++core)
            _DeleteCoreRow(core);
        _SetUpMultiplierSlider(ui.CPUMulSlider, ui.CPUMulValLabel, pCPU);
        // One multiplier for all cores: the label shows the slider's own value.
        const int value = ui.CPUMulSlider->value();
        const QString text = pCPU->IsHalfMultiplierSupported() ? QStringLiteral("%1 X").arg(value * 0.5)
                                                               : QStringLiteral("%1 X").arg(value);
        ui.CPUMulSlider->setToolTip(text);
        ui.CPUMulValLabel->setText(text);
        vidStep = 2500;
    } else {
        _SetUpMultiplierSlider(ui.CPUMulSlider, ui.CPUMulValLabel, pCPU);
        for (int core = 1; core < 4; ++core) {
            if (ICPUDevice* pCore = Cpu(static_cast<unsigned long>(core)))
                _SetUpMultiplierSlider(_MulSlider(core), _MulValueLabel(core), pCore);
            else
                _DeleteCoreRow(core);
        }
    }

    const int vidMin = ToSlider(pCPU->GetMinVoltage() * kVoltsToSlider);
    const int vidMax = ToSlider(dVidCeiling * kVoltsToSlider);
    ui.CPUVidSlider->setRange(vidMin, vidMax);
    ui.CPUVidSlider->setSingleStep(vidStep);
    ui.CPUVidSlider->setPageStep(vidStep);
    ui.CPUVidSlider->setValue(ToSlider(pCPU->GetCPUVid() * kVoltsToSlider));
    if (pCPU->GetNBVid() <= 0.0) {
        for (QWidget* pWidget : {static_cast<QWidget*>(ui.NBVidSlider), static_cast<QWidget*>(ui.labelVolNBVid),
                                 static_cast<QWidget*>(ui.NBVidLabel), static_cast<QWidget*>(ui.labelVolValueNBVid),
                                 static_cast<QWidget*>(ui.TargetNBVid), static_cast<QWidget*>(ui.CurrentNBVid)})
            pWidget->setEnabled(false);
    } else {
        ui.NBVidSlider->setRange(vidMin, vidMax);
        ui.NBVidSlider->setSingleStep(vidStep);
        ui.NBVidSlider->setPageStep(vidStep);
        ui.NBVidSlider->setValue(ToSlider(pCPU->GetNBVid() * kVoltsToSlider));
    }
}

bool QAdvancedMode::_InitHTMultiplier(ICPUDevice* pCPU)
{
    IHTLinkDevice* pHTLink = HTLink();
    INorthBridgeDevice* pNB = NorthBridge();
    if (!pHTLink || !pNB) {
        ui.HTMulSlider->setEnabled(false);
        return true;
    }
    HT_LINK_INFO info = {};
    const bool bRetCode = pHTLink->GetLinkInfo(0, &info);
    LOG_PROCESS_ERROR(bRetCode);

    double limit = info.dMaxLinkMultiplier;
    const double nbMax = pNB->GetMaxHTMultiplier();
    if (nbMax < limit && pNB->GetDeviceID() != 0x9600)
        limit = nbMax;
    const double cpuNB = pCPU->GetNBMultiplier();
    if (cpuNB > 0.0 && cpuNB < limit)
        limit = cpuNB;

    ui.HTMulSlider->setMaximum(ToSlider(limit));
    if (info.dLinkMultiplier > 5.0) {
        if (limit < 6.0) {
            // A link above 5 may not go below 6, yet the bridges allow less than 6:
            // no multiplier is both, so the slider offers none and Apply writes none.
            ui.HTMulSlider->setEnabled(false);
        } else {
            ui.HTMulSlider->setMinimum(6);
        }
    } else {
        ui.HTMulSlider->setMaximum(ToSlider(std::min(limit, 5.0)));
    }
    ui.HTMulSlider->setSliderPosition(ToSlider(info.dLinkMultiplier));
    return true;
}

bool QAdvancedMode::_InitClockGenerator()
{
    IClockGeneratorDevice* pClockGen = ClockGen();
    if (!pClockGen || pClockGen->HasClockRanges()) {
        m_bHasClockRanges = true;
        DeleteWidget(ui.comboBoxExtFreq);
        DeleteWidget(ui.comboBoxPCIeFreq);
        if (!pClockGen) {
            ui.ExtSlider->setEnabled(false);
            ui.PCIESlider->setEnabled(false);
        }
        return true;
    }
    m_bHasClockRanges = false;
    if (!ReadClockLists(pClockGen, m_ExtFreqs, m_PCIeFreqs, "QAdvancedMode::Init"))
        return false;
    m_nExtFreqCount = static_cast<int>(m_ExtFreqs.size());
    m_nPCIeFreqCount = static_cast<int>(m_PCIeFreqs.size());

    DeleteWidget(ui.ExtSlider);
    DeleteWidget(ui.PCIESlider);
    return true;
}

void QAdvancedMode::_InitGraphicsClocks()
{
    IGPUDevice* pGPU = Gpu();
    if (!pGPU || !pGPU->IsIntegrated() || g_BIOSMiscInfo.GetEngineClockOverride()) {
        ui.groupBoxGPUClock->setEnabled(false);
        return;
    }
    const double engineClock = pGPU->GetEngineClock(0);
    if (engineClock > 0.0) {
        ui.IGPSlider->setMinimum(300);
        ui.IGPSlider->setValue(ToSlider(engineClock));
        ui.SidePortSlider->setMinimum(ToSlider(pGPU->GetSidePortClockMin()));
        ui.SidePortSlider->setMaximum(ToSlider(pGPU->GetSidePortClockMax()));
        ui.SidePortSlider->setPageStep(ToSlider(pGPU->GetSidePortClockStep()));
        ui.SidePortSlider->setValue(ToSlider(pGPU->GetSidePortClock()));
    }
}

bool QAdvancedMode::_InitCalibration()
{
    const ABR_CMOS_GET_ITEM_INFO* items[6] = {};
    bool bAllItems = true;
    for (int i = 0; i < 6; ++i) {
        items[i] = g_CMOSItemList.GetItemInfo(g_CMOSItemList.FindItem(kCalibrationItems[i]));
        bAllItems = bAllItems && items[i];
    }
    ISouthBridgeDevice* pSB = SouthBridge();
    const bool bSouthBridge = pSB && std::u16string_view(pSB->GetName()) == QVX_SB_NAME_MX350;
    const bool bProcessors = g_DeviceManager.GetDeviceCount(QVX_CPU_CLASS_FAMILY10H) > 0;
    if (!bAllItems || !bSouthBridge || !bProcessors) {
        ui.DutyCycleGroup->setEnabled(false);
        return true;
    }
    const std::array<QComboBox*, 6> boxes = _CalibrationBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const bool bRetCode = _AddAllItem(boxes[i], items[i]);
        LOG_PROCESS_ERROR(bRetCode);
    }
    const bool bRetCode = ReadDutyCycle();
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool QAdvancedMode::Init()
{
    bool bRetCode = false;
    IDevice* pBIOS = g_DeviceManager.GetDevice(dtBIOS, 0);
    LOG_CHECK_ERROR(pBIOS);
    if (!Pwm2())
        m_bHasPWMController2 = false;

    ICPUDevice* pCPU = Cpu(0);
    LOG_PROCESS_ERROR(pCPU);

    double vidCeiling = pCPU->GetMaxVoltage();
    if (pCPU->GetExtFamily() + pCPU->GetBaseFamily() == 0x10 && vidCeiling > kFamily10hVidCeiling
        && !g_MiscSettings.MaximumVCoreEnabled)
        vidCeiling = kFamily10hVidCeiling;
    _InitProcessorRows(pCPU, vidCeiling);

    bRetCode = _InitHTMultiplier(pCPU);
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = _InitClockGenerator();
    LOG_PROCESS_ERROR(bRetCode);
    _InitGraphicsClocks();
    bRetCode = _InitCalibration();
    LOG_PROCESS_ERROR(bRetCode);

    _ConnectSignals();
    _UpdateSliderLabels();
    // The set-ups above moved the controls; none of it is the user's.
    _ForgetChanges();
    m_Refresh.Arm();
    return true;
}

void QAdvancedMode::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    // The set-ups and reads move the controls; those moves are not the user's changes.
    const bool bModified = g_bModified;
    if (!m_bShown) {
        bool bRetCode = InitClockSliders();
        LOG_CHECK_ERROR(bRetCode);
        bRetCode = InitClockComboBoxes();
        LOG_CHECK_ERROR(bRetCode);
        bRetCode = InitVoltageSliders();
        LOG_CHECK_ERROR(bRetCode);
        _ForgetChanges();
        m_bShown = true;
    }
    // Auto Clock, Novice Mode or a profile may have changed the hardware while the
    // page was hidden: unless the user moved something here, show what runs now.
    if (!_HoldsUserChange()) {
        const bool bRetCode = Discard();
        LOG_CHECK_ERROR(bRetCode);
        _ForgetChanges();   // also after a failed read: nothing here was the user's
    }
    g_bModified = bModified;
    m_Refresh.Shown();
}

bool QAdvancedMode::_HoldsUserChange() const
{
    if (m_uClockChangeMask || m_uVoltageChangeMask)
        return true;
    if (!ui.DutyCycleGroup->isEnabled())
        return false;
    const std::array<QComboBox*, 6> boxes = _CalibrationBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]->currentIndex() != m_CalibrationRead[i])
            return true;
    return false;
}

void QAdvancedMode::_ForgetChanges()
{
    m_uClockChangeMask = 0;
    m_uVoltageChangeMask = 0;
}

bool QAdvancedMode::Discard()
{
    bool bRetCode = ReadClock();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = ReadVoltage();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = ReadDutyCycle();
    LOG_PROCESS_ERROR(bRetCode);
    if (!m_bHasPWMController2) {
        if (IPWMControllerDevice* pPwm = Pwm(); pPwm && pPwm->GetMemVTT() != 0.0)
            ui.VTTVolSlider->setEnabled(true);
    }
    _ForgetChanges();
    return true;
}

bool QAdvancedMode::UnInit()
{
    // The counts stay as the generator reported them; the lists are gone.
    m_ExtFreqs.clear();
    m_ExtFreqs.shrink_to_fit();
    m_PCIeFreqs.clear();
    m_PCIeFreqs.shrink_to_fit();
    return true;
}
