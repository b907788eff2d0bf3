#include "PerformanceControl/DDRMC.h"

#include <vector>

#include "Engine/LogCheck.h"
#include "PerformanceControl/MemoryChoices.h"
#include "PerformanceControl/MemoryCommonFields.h"

using memory::fkFlag;

QDDRMC::QDDRMC() : CMemoryPage("QDDRMC")
{
    ui.setupUi(this);
}

memory::Fields QDDRMC::_TimingFields() const
{
    return memory::Joined({
        memory::LeadingTimingFields(ui),
        memory::CommonTimingFields(ui),
        {
            MEMORY_TIMING_FIELD(&ui.TwclBox, Twcl, Twcl, "%1 bus clock", u"Write CAS Latency"),
            // The form's label for it, which no other item of the page uses.
            MEMORY_TIMING_FIELD(&ui.TrwtBox, Trwt, Trwt, "%1 bus clock", u"Read-to-Write Delay"),
        },
    });
}

memory::Fields QDDRMC::_ConfigFields() const
{
    return memory::Joined({
        memory::LeadingConfigFields(ui),
        {
            MEMORY_FLAG_FIELD(&ui.DCC_ENBox, DCC_EN, fkFlag, u"DCC Enable"),
            MEMORY_CONFIG_FIELD(&ui.ILD_lmtBox, ILD_lmt, ILD_lmt, "%1 cycles", u"Idle Cycle Limit"),
            MEMORY_CONFIG_FIELD(&ui.DcqBypassMaxBox, DcqBypassMax, DcqBypassMax, "%1 times", u"DcqBypassMax"),
            MEMORY_CONFIG_FIELD(&ui.RdPreambleBox, RdPreamble, RdPreamble, "%1 ns", u"Read Preamble"),
        },
    });
}

bool QDDRMC::SuitsBoard()
{
    IMemoryControllerDevice* pMC = memory::MemoryController();
    return !pMC || pMC->GetMemoryType() == mtDDR_SDRAM;
}

bool QDDRMC::Init()
{
    IMemoryControllerDevice* pMC = memory::MemoryController();
    LOG_PROCESS_ERROR(pMC);
    LOG_PROCESS_ERROR(pMC->GetMemoryType() == mtDDR_SDRAM);
    // The value lists are asked for in slot order, but for the memory clock's.
    const std::vector<QComboBox* const*> order = {
        &ui.TclBox, &ui.TrcBox, &ui.TrfcBox, &ui.TrcdBox, &ui.TrrdBox, &ui.TrasBox, &ui.TrpBox, &ui.TwrBox,
        &ui.TwtrBox, &ui.TrwtBox, &ui.TrefBox, &ui.TwclBox, &ui.MemClkBox, &ui.MaxAsyncLatBox, &ui.RdPreambleBox,
        &ui.ILD_lmtBox, &ui.DcqBypassMaxBox,
    };
    bool bRetCode = memory::FillFields(pMC, order, _TimingFields(), _ConfigFields());
    LOG_PROCESS_ERROR(bRetCode);
    for (QComboBox* box : {ui.En2TBox, ui.D_DRV_WeakBox, ui.DCC_ENBox})
        memory::AddFlagChoices(box, tr("Enabled"), tr("Disabled"));
    bRetCode = ReadMemoryTiming();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = ReadMemoryConfig();
    LOG_PROCESS_ERROR(bRetCode);
    // After the first read, so filling the page marks nothing as changed.
    _ConnectSignals(ui.TclBox);
    return true;
}

bool QDDRMC::SaveMemoryTimingProfile(CConfigParser* pStore, const MEMORY_TIMING& timing)
{
    return memory::StoreProfile(pStore, _TimingFields(), &timing, true, false);
}

bool QDDRMC::SaveMemoryConfigProfile(CConfigParser* pStore, const MEMORY_CONFIG& config)
{
    return memory::StoreProfile(pStore, _ConfigFields(), &config, true, false);
}
