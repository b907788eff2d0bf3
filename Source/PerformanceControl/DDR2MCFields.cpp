// Which box of the DDR2/DDR3 Memory page shows which record field, and the
// profile item each field is stored under.
#include "PerformanceControl/DDR2MC.h"
#include "PerformanceControl/MemoryCommonFields.h"

using memory::fkFlag;
using memory::fkShownFlag;

namespace {

size_t Delay(int i) { return offsetof(MEMORY_CONFIG, DqsRcvEnDelay) + static_cast<size_t>(i) * sizeof(double); }

} // namespace

memory::Fields QDDR2MC::_TimingFields() const
{
    memory::Fields fields = memory::Joined({
        memory::LeadingTimingFields(ui),
        {
            MEMORY_TIMING_FIELD(&ui.TrfcBox_2, Trfc1, Trfc, "%1 ns", u"Row Refresh Cycle Time 1"),
            MEMORY_TIMING_FIELD(&ui.TrfcBox_3, Trfc2, Trfc, "%1 ns", u"Row Refresh Cycle Time 2"),
            MEMORY_TIMING_FIELD(&ui.TrfcBox_4, Trfc3, Trfc, "%1 ns", u"Row Refresh Cycle Time 3"),
        },
        memory::CommonTimingFields(ui),
        {
            MEMORY_TIMING_FIELD(&ui.TrtpBox, Trtp, Trtp, "%1 bus clock", u"Read CAS to Precharge Time"),
            MEMORY_TIMING_FIELD(&ui.TrwtTOBox, TrwtTO, TrwtTO, "%1 bus clock", u"R-to-W DQS Cont."),
            MEMORY_TIMING_FIELD(&ui.TwrrdBox, Twrrd, Twrrd, "%1 bus clock", u"W to R DIMM Term."),
            MEMORY_TIMING_FIELD(&ui.TwrwrBox, Twrwr, Twrwr, "%1 bus clock", u"Write to Write Timing"),
            MEMORY_TIMING_FIELD(&ui.TrdrdBox, Trdrd, Trdrd, "%1 bus clock", u"Read to Read Timing"),
        },
    });
    // The last two refresh-cycle settings are not offered when the controller runs
    // them outside the list.
    for (memory::Field& field : fields)
        field.bDisableUnmatched = field.ppBox == &ui.TrfcBox_3 || field.ppBox == &ui.TrfcBox_4;
    return fields;
}

memory::Fields QDDR2MC::_ConfigFields() const
{
    return memory::Joined({
        {MEMORY_FLAG_FIELD(&ui.GangedModeBox, GangedMode, fkShownFlag, nullptr)},
        memory::LeadingConfigFields(ui),
        {
            MEMORY_CONFIG_FIELD(&ui.DramTermBox, DramTerm, DramTerm, "%1 ohms", u"DRAM Termination"),
            MEMORY_FLAG_FIELD(&ui.BankSwizzleModeBox, BankSwizzleMode, fkShownFlag, nullptr),
            MEMORY_FLAG_FIELD(&ui.PowerDownEnBox, PowerDownEn, fkFlag, u"Power Down Mode Enable"),
            MEMORY_FLAG_FIELD(&ui.DCC_ENBox, DCC_EN, fkFlag, u"DCC Enable"),
            MEMORY_CONFIG_FIELD(&ui.FourActWindowBox, FourActWindow, FourActWindow, "%1 MemClk",
                                u"Four Bank Act Window"),
            MEMORY_CONFIG_FIELD(&ui.ILD_lmtBox, ILD_lmt, ILD_lmt, "%1 cycles", u"Idle Cycle Limit"),
            MEMORY_CONFIG_FIELD(&ui.DcqBypassMaxBox, DcqBypassMax, DcqBypassMax, "%1 times", u"DcqBypassMax"),
            // Channel A of all seven drive strengths, then channel B.
            MEMORY_CONFIG_FIELD(&ui.CkeDrvStrengthBox, CkeDrvStrength, CkeDrvStrength, "%1 x", u"CKE Drive Strength A"),
            MEMORY_CONFIG_FIELD(&ui.CsOdtDrvStrengthBox, CsOdtDrvStrength, CsOdtDrvStrength, "%1 x",
                                u"CS ODT Drive Strength A"),
            MEMORY_CONFIG_FIELD(&ui.AddrCmdDrvStrenBox, AddrCmdDrvStrength, AddrCmdDrvStrength, "%1 x",
                                u"Address Command Drive Strength A"),
            MEMORY_CONFIG_FIELD(&ui.ClkDrvStrenBox, ClkDrvStrength, ClkDrvStrength, "%1 x", u"Clock Drive Strength A"),
            MEMORY_CONFIG_FIELD(&ui.DataDrvStrenBox, DataDrvStrength, DataDrvStrength, "%1 x",
                                u"Data Drive Strength A"),
            MEMORY_CONFIG_FIELD(&ui.DqsDrvStrenBox, DqsDrvStrength, DqsDrvStrength, "%1 x", u"DQS Drive Strength A"),
            MEMORY_CONFIG_FIELD(&ui.ProcOdtBox, ProcOdt, ProcOdt, "%1 ohms", u"Processor On-die Termination A"),
            MEMORY_CHANNEL_B_FIELD(&ui.CkeDrvStrengthBox_2, CkeDrvStrength, "%1 x", u"CKE Drive Strength B"),
            MEMORY_CHANNEL_B_FIELD(&ui.CsOdtDrvStrengthBox_2, CsOdtDrvStrength, "%1 x", u"CS ODT Drive Strength B"),
            MEMORY_CHANNEL_B_FIELD(&ui.AddrCmdDrvStrenBox_2, AddrCmdDrvStrength, "%1 x",
                                   u"Address Command Drive Strength B"),
            MEMORY_CHANNEL_B_FIELD(&ui.ClkDrvStrenBox_2, ClkDrvStrength, "%1 x", u"Clock Drive Strength B"),
            MEMORY_CHANNEL_B_FIELD(&ui.DataDrvStrenBox_2, DataDrvStrength, "%1 x", u"Data Drive Strength B"),
            MEMORY_CHANNEL_B_FIELD(&ui.DqsDrvStrenBox_2, DqsDrvStrength, "%1 x", u"DQS Drive Strength B"),
            MEMORY_CHANNEL_B_FIELD(&ui.ProcOdtBox_2, ProcOdt, "%1 ohms", u"Processor On-die Termination B"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayABox, Delay(0), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay A1"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayABox_2, Delay(1), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay A2"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayABox_3, Delay(2), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay A3"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayABox_4, Delay(3), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay A4"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayBBox, Delay(4), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay B1"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayBBox_2, Delay(5), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay B2"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayBBox_3, Delay(6), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay B3"),
            MEMORY_VALUE_FIELD(&ui.DqsRcvEnDelayBBox_4, Delay(7), DqsRcvEnDelay, "%1 ns",
                               u"DQS Receiver Enable Delay B4"),
        },
    });
}
