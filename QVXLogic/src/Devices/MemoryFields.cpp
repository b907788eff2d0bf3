#include "Devices/MemoryFields.h"

namespace qvx {

#define T(field, key, list) {#field, key, offsetof(MEMORY_TIMING, field), fkDouble, list}
const MemoryField kTimingFields[20] = {
    T(Tcl, "CAS Latency", mfTcl),
    T(Trc, "Row Cycle Time", mfTrc),
    T(Trfc0, "Row Refresh Cycle Time 0", mfTrfc),
    T(Trfc1, "Row Refresh Cycle Time 1", mfTrfc),
    T(Trfc2, "Row Refresh Cycle Time 2", mfTrfc),
    T(Trfc3, "Row Refresh Cycle Time 3", mfTrfc),
    T(Trcd, "RAS to CAS Delay", mfTrcd),
    T(Trrd, "RAS-to-RAS Delay", mfTrrd),
    T(Tras, "RAS Active Time", mfTras),
    T(Trp, "Row Precharge Time", mfTrp),
    T(Twr, "Write Recovery Time", mfTwr),
    T(Twtr, "Write-to-Read Delay", mfTwtr),
    T(Trwt, "Read-to-Write Delay", mfTrwt),
    T(Tref, "Refresh Rate", mfTref),
    T(Twcl, "Write CAS Latency", mfTwcl),
    T(Trtp, "Read CAS to Precharge Time", mfTrtp),
    T(TrwtTO, "R-to-W DQS Cont.", mfTrwtTO),
    T(Twrrd, "W to R DIMM Term.", mfTwrrd),
    T(Twrwr, "Write to Write Timing", mfTwrwr),
    T(Trdrd, "Read to Read Timing", mfTrdrd),
};
#undef T

#define C(field, key, kind, list) {#field, key, offsetof(MEMORY_CONFIG, field), kind, list}
#define C2(field, key, list) \
    {#field "0", key " A", offsetof(MEMORY_CONFIG, field), fkDouble, list}, \
    {#field "1", key " B", offsetof(MEMORY_CONFIG, field) + 8, fkDouble, list}
#define D(i, key) {"DqsRcvEnDelay" #i, key, offsetof(MEMORY_CONFIG, DqsRcvEnDelay) + 8 * i, fkDouble, mfDqsRcvEnDelay}
const MemoryField kConfigFields[] = {
    C(GangedMode, nullptr, fkReadOnlyFlag, -1),
    C(DualChannel, nullptr, fkReadOnlyFlag, -1),
    C(En2T, "Slow Access Mode", fkFlag, -1),
    C(D_DRV_Weak, "DRAM Drivers Weak Mode", fkFlag, -1),
    C(MemClk, "Memory Clock", fkDouble, mfMemClk),
    C(MaxAsyncLat, "MaxAsyncLat", fkDouble, mfMaxAsyncLat),
    C(DramTerm, "DRAM Termination", fkDouble, mfDramTerm),
    C(BankSwizzleMode, nullptr, fkReadOnlyFlag, -1),
    C(PowerDownEn, "Power Down Mode Enable", fkFlag, -1),
    C(DCC_EN, "DCC Enable", fkFlag, -1),
    C(FourActWindow, "Four Bank Act Window", fkDouble, mfFourActWindow),
    C(DcqBypassMax, "DcqBypassMax", fkDouble, mfDcqBypassMax),
    C(ILD_lmt, "Idle Cycle Limit", fkDouble, mfILD_lmt),
    C(RdPreamble, "Read Preamble", fkDouble, mfRdPreamble),
    C2(CkeDrvStrength, "CKE Drive Strength", mfCkeDrvStrength),
    C2(CsOdtDrvStrength, "CS ODT Drive Strength", mfCsOdtDrvStrength),
    C2(AddrCmdDrvStrength, "Address Command Drive Strength", mfAddrCmdDrvStrength),
    C2(ClkDrvStrength, "Clock Drive Strength", mfClkDrvStrength),
    C2(DataDrvStrength, "Data Drive Strength", mfDataDrvStrength),
    C2(DqsDrvStrength, "DQS Drive Strength", mfDqsDrvStrength),
    C2(ProcOdt, "Processor On-die Termination", mfProcOdt),
    D(0, "DQS Receiver Enable Delay A1"), D(1, "DQS Receiver Enable Delay A2"),
    D(2, "DQS Receiver Enable Delay A3"), D(3, "DQS Receiver Enable Delay A4"),
    D(4, "DQS Receiver Enable Delay B1"), D(5, "DQS Receiver Enable Delay B2"),
    D(6, "DQS Receiver Enable Delay B3"), D(7, "DQS Receiver Enable Delay B4"),
};
#undef C
#undef C2
#undef D
const size_t kConfigFieldCount = sizeof(kConfigFields) / sizeof(kConfigFields[0]);

const char* const kListNames[mfCount] = {
    "Tcl", "Trc", "Trfc", "Trcd", "Trrd", "Tras", "Trp", "Twr", "Twtr", "Trwt", "Tref", "Twcl",
    "MaxAsyncLat", "RdPreamble", "ILD_lmt", "MemClk", "Trtp", "TrwtTO", "Twrrd", "Twrwr", "Trdrd",
    "DramTerm", "FourActWindow", "DcqBypassMax", "CkeDrvStrength", "CsOdtDrvStrength",
    "AddrCmdDrvStrength", "ClkDrvStrength", "DataDrvStrength", "DqsDrvStrength", "ProcOdt",
    "DqsRcvEnDelay",
};

} // namespace qvx
