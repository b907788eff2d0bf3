// The clock side of the Clock/Voltage page: the controls' slots, the clock
// generator's ranges or lists on the first show, and the clock writes of Apply
// with the order in which multipliers, VIDs and the reference clock go out.
#include "PerformanceControl/AdvancedMode.h"

#include <cmath>
#include <vector>

#include "PerformanceControl/AdvancedModeSupport.h"
#include "PerformanceControl/LevelColors.h"
#include "Settings/ConfigParser.h"
#include "Shell/GlobalFlags.h"

using namespace advmode;

namespace {

QString MultiplierText(ICPUDevice* pCPU, int value)
{
    return pCPU->IsHalfMultiplierSupported() ? QStringLiteral("%1 X").arg(value * 0.5) : QStringLiteral("%1 X").arg(value);
}

} // namespace

void QAdvancedMode::_MultiplierChanged(int core, int value)
{
    QSlider* pSlider = _MulSlider(core);
    QLabel* pLabel = _MulValueLabel(core);
    const QString text = MultiplierText(Cpu(0), value);
    if (pSlider)
        pSlider->setToolTip(text);
    if (pLabel)
        pLabel->setText(text);
    m_uClockChangeMask |= kMultiplierBit | (kCoreMultiplierBit << core);
    g_bModified = true;
}

void QAdvancedMode::on_CPUMulSlider_valueChanged(int value)
{
    ICPUDevice* pCPU = Cpu(0);
    ADVMODE_PROCESS_ERROR_VOID(pCPU);
    _MultiplierChanged(0, value);
}

void QAdvancedMode::on_CPUMulSlider_2_valueChanged(int value)
{
    ICPUDevice* pCPU = Cpu(0);
    ADVMODE_PROCESS_ERROR_VOID(pCPU);
    _MultiplierChanged(1, value);
}

void QAdvancedMode::on_CPUMulSlider_3_valueChanged(int value)
{
    ICPUDevice* pCPU = Cpu(0);
    ADVMODE_PROCESS_ERROR_VOID(pCPU);
    _MultiplierChanged(2, value);
}

void QAdvancedMode::on_CPUMulSlider_4_valueChanged(int value)
{
    ICPUDevice* pCPU = Cpu(0);
    ADVMODE_PROCESS_ERROR_VOID(pCPU);
    _MultiplierChanged(3, value);
}

void QAdvancedMode::on_HTMulSlider_valueChanged(int value)
{
    const QString text = QStringLiteral("%1 X").arg(value);
    ui.HTMulSlider->setToolTip(text);
    ui.HTMulValLabel->setText(text);
    m_uClockChangeMask |= kHTMultiplierBit;
    g_bModified = true;
}

void QAdvancedMode::on_Clock_valueChanged(int value)
{
    const QString text = QString::number(value);
    if (QWidget* pSender = qobject_cast<QWidget*>(sender())) {
        pSender->setToolTip(text);
        const QString name = pSender->objectName();
        if (name == QLatin1String("ExtSlider")) {
            ui.ExtFreqValLabel->setText(text);
            m_uClockChangeMask |= kRefClockBit;
            SetLevelColor(ui.ExtFreqValLabel, LevelForClock(value, 210, 220, 230));
        } else if (name == QLatin1String("PCIESlider")) {
            ui.PCIEFreqValLabel->setText(text);
            m_uClockChangeMask |= kPCIeClockBit;
            SetLevelColor(ui.PCIEFreqValLabel, LevelForClock(value, 105, 110, 115));
        } else if (name == QLatin1String("IGPSlider")) {
            ui.IGPValueLabel->setText(text);
            m_uClockChangeMask |= kIGPClockBit;
        } else if (name == QLatin1String("SidePortSlider")) {
            ui.SidePortValueLabel->setText(text);
            m_uClockChangeMask |= kSidePortClockBit;
        } else if (name == QLatin1String("comboBoxExtFreq")) {
            m_uClockChangeMask |= kRefClockBit;
        } else if (name == QLatin1String("comboBoxPCIeFreq")) {
            m_uClockChangeMask |= kPCIeClockBit;
        }
    }
    if (m_uClockChangeMask)
        g_bModified = true;
}

void QAdvancedMode::on_checkBox_SelectAll_stateChanged(int state)
{
    if (state == Qt::PartiallyChecked)
        return;
    for (int core = 1; core < 4; ++core) {
        if (!_MulCaption(core))
            continue;   // Init removed the row
        for (QWidget* pWidget : {static_cast<QWidget*>(_MulCaption(core)), static_cast<QWidget*>(_MulSlider(core)),
                                 static_cast<QWidget*>(_MulValueLabel(core))})
            if (pWidget)
                pWidget->setEnabled(state != Qt::Checked);
    }
}

void QAdvancedMode::_ConnectSignals()
{
    if (m_bHasClockRanges) {
        if (ui.ExtSlider)
            connect(ui.ExtSlider, &QSlider::valueChanged, this, &QAdvancedMode::on_Clock_valueChanged);
        if (ui.PCIESlider)
            connect(ui.PCIESlider, &QSlider::valueChanged, this, &QAdvancedMode::on_Clock_valueChanged);
    } else {
        if (ui.comboBoxExtFreq)
            connect(ui.comboBoxExtFreq, &QComboBox::currentIndexChanged, this, &QAdvancedMode::on_Clock_valueChanged);
        if (ui.comboBoxPCIeFreq)
            connect(ui.comboBoxPCIeFreq, &QComboBox::currentIndexChanged, this, &QAdvancedMode::on_Clock_valueChanged);
    }
    connect(ui.IGPSlider, &QSlider::valueChanged, this, &QAdvancedMode::on_Clock_valueChanged);
    connect(ui.SidePortSlider, &QSlider::valueChanged, this, &QAdvancedMode::on_Clock_valueChanged);
    for (int rail = 0; rail < kRailCount; ++rail)
        connect(static_cast<QSlider*>(m_VoltageRows[kSlider][rail]), &QSlider::valueChanged, this,
                &QAdvancedMode::on_Voltage_valueChanged);
}

void QAdvancedMode::_UpdateSliderLabels()
{
    const QString ht = QStringLiteral("%1 X").arg(ui.HTMulSlider->value());
    ui.HTMulSlider->setToolTip(ht);
    ui.HTMulValLabel->setText(ht);
    auto show = [](QSlider* pSlider, QLabel* pLabel, const QString& text) {
        if (pSlider)
            pSlider->setToolTip(text);
        pLabel->setText(text);
    };
    if (m_bHasClockRanges) {
        if (ui.ExtSlider)
            show(ui.ExtSlider, ui.ExtFreqValLabel, QString::number(ui.ExtSlider->value()));
        if (ui.PCIESlider)
            show(ui.PCIESlider, ui.PCIEFreqValLabel, QString::number(ui.PCIESlider->value()));
    }
    show(ui.IGPSlider, ui.IGPValueLabel, QString::number(ui.IGPSlider->value()));
    show(ui.SidePortSlider, ui.SidePortValueLabel, QString::number(ui.SidePortSlider->value()));
    for (int rail = 0; rail < kRailCount; ++rail) {
        auto* pSlider = static_cast<QSlider*>(m_VoltageRows[kSlider][rail]);
        show(pSlider, static_cast<QLabel*>(m_VoltageRows[kValue][rail]),
             QString::number(pSlider->value() / kVoltsToSlider, 'f', 3));
    }
}

bool QAdvancedMode::InitClockSliders()
{
    IClockGeneratorDevice* pClockGen = ClockGen();
    if (!pClockGen) {
        LOG_CHECK_ERROR(pClockGen);
        if (ui.ExtSlider)
            ui.ExtSlider->setEnabled(false);
        if (ui.PCIESlider)
            ui.PCIESlider->setEnabled(false);
        return true;
    }
    // List mode: the combo boxes carry the clocks, and nothing here is to be set up.
    if (!m_bHasClockRanges || !ui.ExtSlider || !ui.PCIESlider)
        return true;
    m_dHTRefClock = pClockGen->GetHTRefClock();
    m_dPCIeClock = pClockGen->GetPCIeClock();
    m_dOldHTRefClock = m_dHTRefClock;
    ui.ExtSlider->setMinimum(ToSlider(pClockGen->GetHTRefClockMin()));
    ui.ExtSlider->setMaximum(ToSlider(pClockGen->GetHTRefClockMax()));
    ui.ExtSlider->setValue(ToSlider(m_dHTRefClock));
    ui.ExtSlider->setSingleStep(ToSlider(pClockGen->GetHTRefClockStep()));
    ui.ExtSlider->setPageStep(ToSlider(pClockGen->GetHTRefClockStep()));
    ui.PCIESlider->setMinimum(ToSlider(pClockGen->GetPCIeClockMin()));
    ui.PCIESlider->setMaximum(ToSlider(pClockGen->GetPCIeClockMax()));
    ui.PCIESlider->setValue(ToSlider(m_dPCIeClock));
    ui.PCIESlider->setSingleStep(ToSlider(pClockGen->GetPCIeClockStep()));
    ui.PCIESlider->setPageStep(ToSlider(pClockGen->GetPCIeClockStep()));
    return true;
}

namespace {

// One of the generator's lists into a combo box, entry i standing for value i.
bool FillClockBox(IClockGeneratorDevice* pClockGen, bool (IClockGeneratorDevice::*getList)(double*, int*),
                  QComboBox* pBox)
{
    int iCount = 0;
    bool bRetCode = (pClockGen->*getList)(nullptr, &iCount);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(iCount > 0);
    std::vector<double> pVal(static_cast<size_t>(iCount));
    bRetCode = (pClockGen->*getList)(pVal.data(), &iCount);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(iCount > 0);
    for (int i = 0; i < iCount && i < static_cast<int>(pVal.size()); ++i)
        pBox->addItem(QStringLiteral("%1 MHz").arg(pVal[static_cast<size_t>(i)], 0, 'f', 2));
    return true;
}

} // namespace

bool QAdvancedMode::InitClockComboBoxes()
{
    IClockGeneratorDevice* pClockGen = ClockGen();
    // No generator, or one with ranges: the sliders carry the clocks (or nothing
    // does), and no list is to be set up. The first show runs both set-ups, so
    // neither may count the other's mode as a failure.
    if (!pClockGen || pClockGen->HasClockRanges() || !ui.comboBoxExtFreq || !ui.comboBoxPCIeFreq)
        return true;
    bool bRetCode = FillClockBox(pClockGen, &IClockGeneratorDevice::GetHTRefClockList, ui.comboBoxExtFreq);
    LOG_PROCESS_ERROR(bRetCode);
    m_dOldHTRefClock = m_dHTRefClock = pClockGen->GetHTRefClock();
    bRetCode = FillClockBox(pClockGen, &IClockGeneratorDevice::GetPCIeClockList, ui.comboBoxPCIeFreq);
    LOG_PROCESS_ERROR(bRetCode);
    m_dPCIeClock = pClockGen->GetPCIeClock();

    // A clock outside the list selects no entry rather than a wrong one.
    int idx = FindClock(m_ExtFreqs, m_nExtFreqCount, m_dHTRefClock);
    ui.comboBoxExtFreq->setCurrentIndex(idx < m_nExtFreqCount ? idx : -1);
    LOG_PROCESS_ERROR(idx < m_nExtFreqCount);
    idx = FindClock(m_PCIeFreqs, m_nPCIeFreqCount, m_dPCIeClock);
    ui.comboBoxPCIeFreq->setCurrentIndex(idx < m_nPCIeFreqCount ? idx : -1);
    LOG_PROCESS_ERROR(idx < m_nPCIeFreqCount);
    return true;
}

bool QAdvancedMode::_TargetClock(const QSlider* pSlider, const QComboBox* pBox, const std::vector<double>& list,
                                 int count, double& dMHz) const
{
    if (m_bHasClockRanges) {
        if (!pSlider)
            return false;
        dMHz = pSlider->value();
        return true;
    }
    // A combo box without a current entry names no clock.
    const int idx = pBox ? pBox->currentIndex() : -1;
    if (idx < 0 || idx >= count || idx >= static_cast<int>(list.size()))
        return false;
    dMHz = list[static_cast<size_t>(idx)];
    return true;
}

bool QAdvancedMode::_TargetRefClock(double& dMHz) const
{
    return _TargetClock(ui.ExtSlider, ui.comboBoxExtFreq, m_ExtFreqs, m_nExtFreqCount, dMHz);
}

bool QAdvancedMode::_TargetPCIeClock(double& dMHz) const
{
    return _TargetClock(ui.PCIESlider, ui.comboBoxPCIeFreq, m_PCIeFreqs, m_nPCIeFreqCount, dMHz);
}

bool QAdvancedMode::WriteClock()
{
    // Raising the reference clock with the old multipliers could overshoot, so the
    // processors go first then; otherwise the generator does.
    double target = 0.0;
    const bool bRaised = _TargetRefClock(target) && target > m_dOldHTRefClock;
    if (bRaised) {
        SetCPUMultiplierAndVID();
        SetCPURefClock();
    } else {
        SetCPURefClock();
        SetCPUMultiplierAndVID();
    }

    CConfigParser* pStore = CConfigParser::GetInstance();
    IHTLinkDevice* pHTLink = HTLink();
    INorthBridgeDevice* pNB = NorthBridge();
    ISouthBridgeDevice* pSB = SouthBridge();
    LOG_CHECK_ERROR(pHTLink);
    LOG_CHECK_ERROR(pNB);
    LOG_CHECK_ERROR(pSB);
    // A disabled slider holds no multiplier the bridges accept.
    if (pHTLink && pNB && pSB && ui.HTMulSlider->isEnabled() && (m_uClockChangeMask & kHTMultiplierBit)) {
        HT_LINK_INFO info = {};
        bool bRetCode = pHTLink->GetLinkInfo(0, &info);
        LOG_CHECK_ERROR(bRetCode);
        if (bRetCode) {   // a record that was never filled is not written back
            const double multiplier = ui.HTMulSlider->value();
            info.dLinkMultiplier = multiplier;
            bRetCode = pHTLink->SetLinkInfo(0, &info);
            LOG_CHECK_ERROR(bRetCode);
            bRetCode = pNB->SetHTLinkMultiplier(multiplier);
            LOG_CHECK_ERROR(bRetCode);
            bRetCode = pSB->ApplyHTLinkChange();
            LOG_CHECK_ERROR(bRetCode);
            pStore->SetValue(u"HTLink", QStringView(pHTLink->GetName()), u"Multiplier", multiplier, true);
        }
    }

    if (IGPUDevice* pGPU = Gpu()) {
        if (m_uClockChangeMask & kIGPClockBit) {
            const double mhz = ui.IGPSlider->value();
            const bool bRetCode = pGPU->SetEngineClock(mhz);
            LOG_CHECK_ERROR(bRetCode);
            if (bRetCode)
                pStore->SetValue(u"GPU", QStringView(pGPU->GetName()), u"IGPClock", mhz, true);
        }
        if (m_uClockChangeMask & kSidePortClockBit) {
            const double mhz = ui.SidePortSlider->value();
            const bool bRetCode = pGPU->SetSidePortClock(mhz);
            LOG_CHECK_ERROR(bRetCode);
            if (bRetCode)
                pStore->SetValue(u"GPU", QStringView(pGPU->GetName()), u"SidePortClock", mhz, true);
        }
    }
    return true;
}

void QAdvancedMode::SetCPURefClock()
{
    IClockGeneratorDevice* pClockGen = ClockGen();
    if (!pClockGen) {
        LOG_CHECK_ERROR(pClockGen);
        return;
    }
    CConfigParser* pStore = CConfigParser::GetInstance();
    if (m_uClockChangeMask & kRefClockBit) {
        double target = 0.0;
        const bool bRetCode = _TargetRefClock(target) && pClockGen->SetHTRefClock(target);
        LOG_CHECK_ERROR(bRetCode);
        if (bRetCode)
            m_dOldHTRefClock = m_dHTRefClock = target;
        // After a refusal the store keeps the clock the generator still runs at.
        pStore->SetValue(u"ClockGen", QStringView(pClockGen->GetName()), u"HTRefClock", m_dHTRefClock, true);
    }
    if (m_uClockChangeMask & kPCIeClockBit) {
        double target = 0.0;
        const bool bRetCode = _TargetPCIeClock(target) && pClockGen->SetPCIeClock(target);
        LOG_CHECK_ERROR(bRetCode);
        if (bRetCode)
            m_dPCIeClock = target;
        pStore->SetValue(u"ClockGen", QStringView(pClockGen->GetName()), u"PCIeClock", m_dPCIeClock, true);
    }
}

bool QAdvancedMode::_AllCoresTakeCore0Multiplier() const
{
    return ui.checkBox_SelectAll && ui.checkBox_SelectAll->isChecked() && (m_uClockChangeMask & kMultiplierBit);
}

void QAdvancedMode::SetCPUMultiplierAndVID()
{
    const unsigned long count = g_DeviceManager.GetDeviceCount(dtCPU);
    ICPUDevice* pCPU = Cpu(0);
    ADVMODE_PROCESS_ERROR_VOID(pCPU);

    // A higher VID goes first, so the faster clock never runs undervolted.
    const bool bVidRaised = ui.CPUVidSlider->value() > pCPU->GetCPUVid() * kVoltsToSlider;
    const double cpuVid = ui.CPUVidSlider->value();
    const double nbVid = ui.NBVidSlider->value();
    // Only what the user moved: a multiplier or VID left alone is not written again.
    const bool bVid = m_uClockChangeMask & (kCPUVidBit | kNBVidBit);
    auto write = [&](ICPUDevice* pDevice, QSlider* pSlider, bool bMultiplier) {
        if (!pDevice || !pSlider)
            return;
        if (bVidRaised && bVid)
            SetVid(pDevice, cpuVid, nbVid);
        if (bMultiplier)
            SetCPUMulitplier(pDevice, pSlider->value());
        if (!bVidRaised && bVid)
            SetVid(pDevice, cpuVid, nbVid);
    };
    auto moved = [this](int core) { return (m_uClockChangeMask & (kCoreMultiplierBit << core)) != 0; };

    if (!pCPU->IsPerCoreControlSupported()) {
        write(pCPU, ui.CPUMulSlider, moved(0));
    } else if (ui.checkBox_SelectAll && ui.checkBox_SelectAll->isChecked()) {
        for (unsigned long index = 0; index < count; ++index)
            write(Cpu(index), ui.CPUMulSlider, _AllCoresTakeCore0Multiplier());
    } else {
        write(pCPU, ui.CPUMulSlider, moved(0));
        for (int core = 1; core < 4; ++core)
            write(Cpu(static_cast<unsigned long>(core)), _MulSlider(core), moved(core));
    }
}

void QAdvancedMode::SetCPUMulitplier(ICPUDevice* pCPU, double dSliderValue)
{
    if (!pCPU || !(dSliderValue > 0.0))
        return;
    static const char16_t* const kItems[4] = {u"Multiplier", u"Multiplier2", u"Multiplier3", u"Multiplier4"};
    const int index = pCPU->GetIndex();
    const char16_t* item = index >= 1 && index <= 3 ? kItems[index] : kItems[0];
    const double multiplier = pCPU->IsHalfMultiplierSupported() ? dSliderValue * 0.5 : dSliderValue;
    const bool bRetCode = pCPU->SetMultiplier(multiplier);
    LOG_CHECK_ERROR(bRetCode);
    // Only what the processor took: the profile applies the store on the next start.
    if (bRetCode)
        CConfigParser::GetInstance()->SetValue(u"CPU", QStringView(pCPU->GetName()), QStringView(item), multiplier, true);
}
