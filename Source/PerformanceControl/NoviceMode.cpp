#include "PerformanceControl/NoviceMode.h"

#include <QTimerEvent>

#include <algorithm>
#include <cmath>

#include "Engine/LogCheck.h"
#include "MainWindow/ZAR.h"
#include "Pages/DeviceLookup.h"
#include "PerformanceControl/ClockLists.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "Settings/ConfigParser.h"
#include "Shell/GlobalFlags.h"

namespace {

constexpr double kListTolerance = 0.01;   // MHz

// Index of the first entry within the tolerance of value, or the size when none.
size_t FindEntry(const std::vector<double>& list, double value)
{
    size_t i = 0;
    while (i < list.size() && std::fabs(list[i] - value) >= kListTolerance)
        ++i;
    return i;
}

} // namespace

QBasicMode::QBasicMode()
{
    ui.setupUi(this);
}

bool QBasicMode::Init()
{
    m_Refresh.Arm();
    return true;
}

bool QBasicMode::UnInit()
{
    m_ExtFreqs.clear();
    m_PCIeFreqs.clear();
    m_nExtFreqCount = m_nPCIeFreqCount = 0;
    return true;
}

void QBasicMode::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    if (m_bIsInitialized) {
        // Another page, a profile or Auto Clock may have moved the clocks while the
        // page was hidden: without a level of the user's, the targets are the clocks
        // the generator runs at now.
        if (!m_bLevelChanged)
            _ReadTargets();
        m_Refresh.Shown();
        return;
    }
    // The slider move made by loading is not the user's change.
    const bool bModified = g_bModified;
    m_bIsInitialized = LoadData();
    LOG_CHECK_ERROR(m_bIsInitialized);
    m_bLevelChanged = false;
    g_bModified = bModified;
    m_Refresh.Shown();
}

void QBasicMode::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
}

bool QBasicMode::LoadData()
{
    IClockGeneratorDevice* pClockGen = dev::ClockGen();
    if (!pClockGen) {
        LOG_CHECK_ERROR(pClockGen);
        ui.ModeSlider->setEnabled(false);
        return true;
    }
    m_bHasClockRanges = pClockGen->HasClockRanges();
    if (!m_bHasClockRanges) {
        if (!ReadClockLists(pClockGen, m_ExtFreqs, m_PCIeFreqs, "QBasicMode::LoadData"))
            return false;
        m_nExtFreqCount = m_ExtFreqs.size();
        m_nPCIeFreqCount = m_PCIeFreqs.size();
    }
    m_dDefaultHTRefClock = kBaseHTRefClock;
    m_dDefaultPCIeClock = kBasePCIeClock;
    // Until a level is chosen the targets are the clocks the generator runs at.
    _ReadTargets();

    QString text;
    if (CConfigParser* pConfig = CConfigParser::GetInstance();
        pConfig && pConfig->GetValue(u"Performance Control", u"Basic Mode", u"Level", text)) {
        double dLevel = 0.0;
        // An unreadable or out-of-range stored level falls back to the nearest level.
        if (CConfigParser::ToDouble(text, dLevel))
            m_nLevel = std::clamp(static_cast<int>(dLevel), ui.ModeSlider->minimum(), ui.ModeSlider->maximum());
    }
    ui.ModeSlider->setSliderPosition(m_nLevel);
    return true;
}

void QBasicMode::_ReadTargets()
{
    if (IClockGeneratorDevice* pClockGen = dev::ClockGen()) {
        m_dHTRefClock = pClockGen->GetHTRefClock();
        m_dPCIeClock = pClockGen->GetPCIeClock();
    }
}

bool QBasicMode::_MapLevelToLists(int nLevel, double& dPCIe, double& dHTRef) const
{
    size_t nStartIndex = FindEntry(m_PCIeFreqs, m_dDefaultPCIeClock);
    LOG_PROCESS_ERROR(nStartIndex < m_nPCIeFreqCount);
    dPCIe = m_PCIeFreqs[std::min(nStartIndex + static_cast<size_t>(nLevel), m_nPCIeFreqCount - 1)];

    nStartIndex = FindEntry(m_ExtFreqs, m_dDefaultHTRefClock);
    LOG_PROCESS_ERROR(nStartIndex < m_nExtFreqCount);
    const size_t idx = nStartIndex + static_cast<size_t>(nLevel / 4);
    LOG_PROCESS_ERROR(idx < m_nExtFreqCount);
    dHTRef = m_ExtFreqs[idx];
    return true;
}

void QBasicMode::on_ModeSlider_valueChanged(int nLevel)
{
    ui.labelCurrLevel->setText(QString::number(nLevel));
    double dPCIe = m_dDefaultPCIeClock + 2 * ((nLevel + 1) / 2);
    double dHTRef = m_dDefaultHTRefClock + nLevel / 2;
    // In list mode a level that has no entry keeps the targets as they were, so
    // Apply never sends a clock the generator does not take.
    if (!m_bHasClockRanges && !_MapLevelToLists(nLevel, dPCIe, dHTRef))
        return;
    m_dPCIeClock = dPCIe;
    m_dHTRefClock = dHTRef;
    m_bLevelChanged = true;
    g_bModified = true;
}

bool QBasicMode::Apply()
{
    // A level the user never moved (the page maybe never shown) is nothing to apply.
    if (!m_bLevelChanged)
        return true;
    IClockGeneratorDevice* pClockGen = dev::ClockGen();
    LOG_PROCESS_ERROR(pClockGen);
    bool bRetCode = pClockGen->SetHTRefClock(m_dHTRefClock);
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = pClockGen->SetPCIeClock(m_dPCIeClock);
    LOG_PROCESS_ERROR(bRetCode);
    m_bLevelChanged = false;
    m_nLevel = ui.ModeSlider->value();

    // The Clock/Voltage page reads the new clocks from the hardware.
    IQVXWidget* pWidget = ZAR::GetInstance()->GetWidget(QObject::tr("Performance\nControl"), QObject::tr("Clock/Voltage"));
    LOG_CHECK_ERROR(pWidget);
    if (pWidget)
        pWidget->Discard();

    CConfigParser* pConfig = CConfigParser::GetInstance();
    bRetCode = pConfig && pConfig->SetValue(u"Performance Control", u"Basic Mode", u"Level", m_nLevel, true);
    LOG_CHECK_ERROR(bRetCode);
    return true;
}

bool QBasicMode::Discard()
{
    ui.ModeSlider->setSliderPosition(m_nLevel);
    m_bLevelChanged = false;
    return true;
}

void QBasicMode::timerEvent(QTimerEvent*)
{
    if (!isVisible())
        return;
    double F = 0.0, M = 1.0, dNBFrequency = 0.0, dNBMultiplier = 0.0;
    if (ICPUDevice* pCPU = dev::Cpu()) {
        F = pCPU->GetCurrentFrequency();
        M = pCPU->GetCurrentMultiplier();
        dNBFrequency = pCPU->GetNBFrequency();
        dNBMultiplier = pCPU->GetNBMultiplier();
        ui.labelCPUCoreClock->setText(QStringLiteral("%1 MHz").arg(F));
        ui.labelCPUMul->setText(QStringLiteral("%1 X").arg(M));
    }
    if (auto* pMC = dev::MemCtrl()) {
        MEMORY_TIMING timing{};
        MEMORY_CONFIG config{};
        if (!pMC->GetTimings(&timing) || !pMC->GetConfig(&config)) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            return;
        }
        ui.labelTcl->setText(QStringLiteral("%1 clocks").arg(timing.Tcl));
        ui.labelTrcd->setText(QStringLiteral("%1 clocks").arg(timing.Trcd));
        ui.labelTrp->setText(QStringLiteral("%1 clocks").arg(timing.Trp));
        ui.labelTras->setText(QStringLiteral("%1 clocks").arg(timing.Tras));
        ui.labelCMDRate->setText(QStringLiteral("%1").arg(config.En2T ? QStringLiteral("2T") : QStringLiteral("1T")));
        ui.labelMemoryClock->setText(
            QStringLiteral("%1 MHz").arg(pMC->GetMemoryFrequency(dNBFrequency, dNBMultiplier), 0, 'f', 2));
    }
    ui.labelPCIEClock->setText(QStringLiteral("%1 MHz").arg(m_dPCIeClock));

    auto* pLink = dev::HTLink();
    if (!pLink)
        return;
    HTLINK_INFO info{};
    if (!pLink->GetLinkInfo(0, &info)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        return;
    }
    // A processor reporting no multiplier gives no reference clock to show.
    if (M == 0.0)
        return;
    const double R = F / M;
    ui.labelHTBusSpeed->setText(QStringLiteral("%1 MHz").arg(R * info.dLinkMultiplier));
    ui.labelHTRefClock->setText(QStringLiteral("%1 MHz").arg(R));
    ui.labelHTLinkMul->setText(QStringLiteral("%1 X").arg(info.dLinkMultiplier));
}
