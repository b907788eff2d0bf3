#pragma once
#include "Devices/DeviceSupport.h"
#include "QVXLogic/MemoryDevices.h"

namespace qvx {

class CMemoryControllerDevice final : public CPciDevice<IMemoryControllerDevice> {
public:
    explicit CMemoryControllerDevice(const vb::MemoryControllerState& mc)
        : CPciDevice(dtMemoryController, 0, mc.id, "MC") {}
    int GetMemoryType() override;
    double GetMemoryFrequency(double nbMHz, double nbMultiplier) override;
    bool GetTimings(MEMORY_TIMING* timing) override;
    bool SetTimings(MEMORY_TIMING* timing) override;
    bool GetConfig(MEMORY_CONFIG* config) override;
    bool SetConfig(MEMORY_CONFIG* config) override;
#define QVX_LIST(Name, field) \
    bool Get##Name##List(double* list, unsigned* count) override { return _List(field, list, count); }
    QVX_LIST(Tcl, mfTcl)
    QVX_LIST(Trc, mfTrc)
    QVX_LIST(Trfc, mfTrfc)
    QVX_LIST(Trcd, mfTrcd)
    QVX_LIST(Trrd, mfTrrd)
    QVX_LIST(Tras, mfTras)
    QVX_LIST(Trp, mfTrp)
    QVX_LIST(Twr, mfTwr)
    QVX_LIST(Twtr, mfTwtr)
    QVX_LIST(Trwt, mfTrwt)
    QVX_LIST(Tref, mfTref)
    QVX_LIST(Twcl, mfTwcl)
    QVX_LIST(MaxAsyncLat, mfMaxAsyncLat)
    QVX_LIST(RdPreamble, mfRdPreamble)
    QVX_LIST(ILD_lmt, mfILD_lmt)
    QVX_LIST(MemClk, mfMemClk)
    QVX_LIST(Trtp, mfTrtp)
    QVX_LIST(TrwtTO, mfTrwtTO)
    QVX_LIST(Twrrd, mfTwrrd)
    QVX_LIST(Twrwr, mfTwrwr)
    QVX_LIST(Trdrd, mfTrdrd)
    QVX_LIST(DramTerm, mfDramTerm)
    QVX_LIST(FourActWindow, mfFourActWindow)
    QVX_LIST(DcqBypassMax, mfDcqBypassMax)
    QVX_LIST(CkeDrvStrength, mfCkeDrvStrength)
    QVX_LIST(CsOdtDrvStrength, mfCsOdtDrvStrength)
    QVX_LIST(AddrCmdDrvStrength, mfAddrCmdDrvStrength)
    QVX_LIST(ClkDrvStrength, mfClkDrvStrength)
    QVX_LIST(DataDrvStrength, mfDataDrvStrength)
    QVX_LIST(DqsDrvStrength, mfDqsDrvStrength)
    QVX_LIST(ProcOdt, mfProcOdt)
    QVX_LIST(DqsRcvEnDelay, mfDqsRcvEnDelay)
#undef QVX_LIST
    bool IsChannelAPresent() override;
    bool IsChannelBPresent() override;

private:
    bool _List(MEMORY_FIELD field, double* list, unsigned* count);
};

} // namespace qvx
