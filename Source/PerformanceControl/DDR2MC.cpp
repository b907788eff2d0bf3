#include "PerformanceControl/DDR2MC.h"

#include <initializer_list>
#include <string_view>
#include <vector>

#include "Engine/LogCheck.h"
#include "PerformanceControl/MemoryChoices.h"

namespace {

constexpr std::u16string_view kInternalController = u"Internal DDR2 DDR3 Memory Controller";

void DisableAll(std::initializer_list<QComboBox*> boxes)
{
    for (QComboBox* box : boxes)
        box->setEnabled(false);
}

template <class T>
void DeleteWidget(T*& pWidget)
{
    delete pWidget;
    pWidget = nullptr;
}

} // namespace

QDDR2MC::QDDR2MC() : CMemoryPage("QDDR2MC")
{
    ui.setupUi(this);
}

bool QDDR2MC::SuitsBoard()
{
    IMemoryControllerDevice* pMC = memory::MemoryController();
    return !pMC || pMC->GetMemoryType() == mtDDR2_SDRAM || pMC->GetMemoryType() == mtDDR3_SDRAM;
}

bool QDDR2MC::Init()
{
    IMemoryControllerDevice* pMC = memory::MemoryController();
    LOG_PROCESS_ERROR(pMC);
    LOG_PROCESS_ERROR(pMC->GetMemoryType() == mtDDR2_SDRAM || pMC->GetMemoryType() == mtDDR3_SDRAM);
    bool bRetCode = _FillLists(pMC);
    LOG_PROCESS_ERROR(bRetCode);
    // An absent channel's drive strengths are shown, and written back as read.
    if (!pMC->IsChannelAPresent())
        DisableAll({ui.CkeDrvStrengthBox, ui.CsOdtDrvStrengthBox, ui.AddrCmdDrvStrenBox, ui.ClkDrvStrenBox,
                    ui.DataDrvStrenBox, ui.DqsDrvStrenBox, ui.ProcOdtBox});
    if (!pMC->IsChannelBPresent())
        DisableAll({ui.CkeDrvStrengthBox_2, ui.CsOdtDrvStrengthBox_2, ui.AddrCmdDrvStrenBox_2, ui.ClkDrvStrenBox_2,
                    ui.DataDrvStrenBox_2, ui.DqsDrvStrenBox_2, ui.ProcOdtBox_2});
    _AddFlagChoices();
    bRetCode = ReadMemoryTiming();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = ReadMemoryConfig();
    LOG_PROCESS_ERROR(bRetCode);
    // After the first read, so filling the page marks nothing as changed.
    _ConnectSignals(ui.TclBox);

    const char16_t* pszClass = pMC->GetClassName();
    if (pszClass && std::u16string_view(pszClass) == kInternalController) {
        // The internal controller sets its asynchronous latency itself and runs
        // the memory clock the processor gives it.
        DeleteWidget(ui.MaxAsyncLatBox);
        DeleteWidget(ui.MaxAsyncLatLabel);
        ui.MemClkBox->setEnabled(false);
    } else {
        DeleteWidget(ui.GangedModeBox);
        DeleteWidget(ui.GangedModeLabel);
    }
    return true;
}

bool QDDR2MC::_FillLists(IMemoryControllerDevice* pMC)
{
    // The value lists are asked for in this order.
    const std::vector<QComboBox* const*> order = {
        &ui.TclBox, &ui.TrcBox, &ui.TrcdBox, &ui.TrrdBox, &ui.TrasBox, &ui.TrpBox, &ui.TwrBox, &ui.TwtrBox,
        &ui.TrefBox, &ui.TrtpBox, &ui.TrwtTOBox, &ui.TwrrdBox, &ui.TwrwrBox, &ui.TrdrdBox, &ui.MemClkBox,
        &ui.MaxAsyncLatBox, &ui.DramTermBox, &ui.FourActWindowBox, &ui.ILD_lmtBox, &ui.DcqBypassMaxBox,
        &ui.CkeDrvStrengthBox, &ui.CsOdtDrvStrengthBox, &ui.AddrCmdDrvStrenBox, &ui.ClkDrvStrenBox,
        &ui.DataDrvStrenBox, &ui.DqsDrvStrenBox, &ui.ProcOdtBox,
        &ui.CkeDrvStrengthBox_2, &ui.CsOdtDrvStrengthBox_2, &ui.AddrCmdDrvStrenBox_2, &ui.ClkDrvStrenBox_2,
        &ui.DataDrvStrenBox_2, &ui.DqsDrvStrenBox_2, &ui.ProcOdtBox_2,
        &ui.TrfcBox, &ui.TrfcBox_2, &ui.TrfcBox_3, &ui.TrfcBox_4,
        &ui.DqsRcvEnDelayABox, &ui.DqsRcvEnDelayABox_2, &ui.DqsRcvEnDelayABox_3, &ui.DqsRcvEnDelayABox_4,
        &ui.DqsRcvEnDelayBBox, &ui.DqsRcvEnDelayBBox_2, &ui.DqsRcvEnDelayBBox_3, &ui.DqsRcvEnDelayBBox_4,
    };
    return memory::FillFields(pMC, order, _TimingFields(), _ConfigFields());
}

void QDDR2MC::_AddFlagChoices()
{
    memory::AddFlagChoices(ui.En2TBox, tr("2T"), tr("1T"));
    for (QComboBox* box : {ui.D_DRV_WeakBox, ui.BankSwizzleModeBox, ui.PowerDownEnBox, ui.DCC_ENBox, ui.GangedModeBox})
        memory::AddFlagChoices(box, tr("Enabled"), tr("Disabled"));
}

bool QDDR2MC::SaveMemoryTimingProfile(CConfigParser* pStore, const MEMORY_TIMING& timing)
{
    return memory::StoreProfile(pStore, _TimingFields(), &timing, true, true);
}

bool QDDR2MC::SaveMemoryConfigProfile(CConfigParser* pStore, const MEMORY_CONFIG& config)
{
    return memory::StoreProfile(pStore, _ConfigFields(), &config, false, true);
}
