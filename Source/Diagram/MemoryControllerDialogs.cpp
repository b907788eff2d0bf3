#include "Diagram/MemoryControllerDialogs.h"

#include "Diagram/DialogSupport.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"

namespace {

QString Number(const char* pszFormat, double dValue)
{
    return QString::fromLatin1(pszFormat).arg(dValue);
}

QString EnabledText(uint8_t bFlag)
{
    return FlagText("DCTDialog", bFlag != 0);
}

} // namespace

bool QMemoryRecordsDialog::Init()
{
    if (!QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0))
        return false;
    return Refresh();
}

bool QMemoryRecordsDialog::Refresh()
{
    auto* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    if (!pMC) {
        LogDialogError("pMC", __LINE__, m_pszRefresh);
        return false;
    }
    MEMORY_TIMING timing{};
    MEMORY_CONFIG config{};
    bool bRetCode = pMC->GetTimings(&timing) && pMC->GetConfig(&config);
    if (!bRetCode) {
        LogDialogError("bRetCode", __LINE__, m_pszRefresh);
        return false;
    }
    Show(timing, config);
    return true;
}

void QMemoryRecordsDialog::showEvent(QShowEvent*)
{
    Refresh();
}

DCTDialog::DCTDialog() : QMemoryRecordsDialog("DCTDialog::Refresh")
{
    ui.setupUi(this);
    StyleValueCells(this);
}

void DCTDialog::Show(const MEMORY_TIMING& t, const MEMORY_CONFIG& c)
{
    const char* const kClock = "%1 bus clock";
    const struct {
        QLabel* pLabel;
        const char* pszFormat;
        double dValue;
    } kNumbers[] = {
        {ui.Tcl, kClock, t.Tcl}, {ui.Twrwr, kClock, t.Twrwr}, {ui.Trtp, kClock, t.Trtp},
        {ui.Trcd, kClock, t.Trcd}, {ui.Trdrd, kClock, t.Trdrd}, {ui.Tras, kClock, t.Tras},
        {ui.Twtr, kClock, t.Twtr}, {ui.Trp, kClock, t.Trp}, {ui.Trc, kClock, t.Trc},
        {ui.Twr, kClock, t.Twr}, {ui.Trrd, kClock, t.Trrd}, {ui.MaxAsyncLat, "%1 ns", c.MaxAsyncLat},
        {ui.Twrrd, kClock, t.Twrrd}, {ui.DramTerm, "%1 ohms", c.DramTerm}, {ui.ILD_lmt, "%1 cycles", c.ILD_lmt},
        {ui.FourActWindow, "%1 MemClk", c.FourActWindow}, {ui.Tref, "%1 us", t.Tref},
        {ui.Trfc0, "%1 ns", t.Trfc0}, {ui.DcqBypassMax, "%1 times", c.DcqBypassMax}, {ui.Trfc1, "%1 ns", t.Trfc1},
        {ui.TrwtTO, kClock, t.TrwtTO}, {ui.Trfc2, "%1 ns", t.Trfc2}, {ui.MemClk, "%1 MHz", c.MemClk},
        {ui.Trfc3, "%1 ns", t.Trfc3},
    };
    for (const auto& n : kNumbers)
        n.pLabel->setText(Number(n.pszFormat, n.dValue));
    ui.D_DRV_Weak->setText(EnabledText(c.D_DRV_Weak));
    ui.BankSwizzleMode->setText(EnabledText(c.BankSwizzleMode));
    ui.PowerDownEn->setText(EnabledText(c.PowerDownEn));
    ui.GangedMode->setText(EnabledText(c.GangedMode));
    ui.DCC_EN->setText(EnabledText(c.DCC_EN));
    ui.En2T->setText(c.En2T ? QStringLiteral("2T") : QStringLiteral("1T"));
}

ChannelDialog::ChannelDialog() : QMemoryRecordsDialog("ChannelDialog::Refresh")
{
    ui.setupUi(this);
    StyleValueCells(this);
}

const char* ChannelDialog::GetName()
{
    switch (m_nChannel) {
    case 0:
        return "Channel A";
    case 1:
        return "Channel B";
    default:
        return "Unknown Channel";
    }
}

void ChannelDialog::Show(const MEMORY_TIMING&, const MEMORY_CONFIG& c)
{
    // The record holds two channels; any other number would read past it.
    if (m_nChannel != 0 && m_nChannel != 1)
        return;
    const auto ch = static_cast<size_t>(m_nChannel);
    const struct {
        QLabel* pLabel;
        const char* pszFormat;
        double dValue;
    } kCells[] = {
        {ui.CKE, "%1 x", c.CkeDrvStrength[ch]}, {ui.CSODT, "%1 x", c.CsOdtDrvStrength[ch]},
        {ui.AddrCMD, "%1 x", c.AddrCmdDrvStrength[ch]}, {ui.MemClk, "%1 x", c.ClkDrvStrength[ch]},
        {ui.Data, "%1 x", c.DataDrvStrength[ch]}, {ui.DQS, "%1 x", c.DqsDrvStrength[ch]},
        {ui.ProcOdt, "%1 ohms", c.ProcOdt[ch]},
        {ui.Delay0, "%1 ns", c.DqsRcvEnDelay[4 * ch]}, {ui.Delay1, "%1 ns", c.DqsRcvEnDelay[4 * ch + 1]},
        {ui.Delay2, "%1 ns", c.DqsRcvEnDelay[4 * ch + 2]}, {ui.Delay3, "%1 ns", c.DqsRcvEnDelay[4 * ch + 3]},
    };
    for (const auto& cell : kCells)
        cell.pLabel->setText(Number(cell.pszFormat, cell.dValue));
}
