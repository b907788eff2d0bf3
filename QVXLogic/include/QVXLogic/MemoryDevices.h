#pragma once
// The memory controller and the memory modules.
#include "QVXLogic/Device.h"

// dtMemoryController. Value lists: *count is the capacity on entry and the number
// of values written on return; false = list unavailable.
class QVXLOGIC_API IMemoryControllerDevice : public IPciDevice {
public:
    virtual int GetMemoryType() = 0;                                      // 16 QVX_MEMORY_TYPE
    virtual double GetMemoryFrequency(double nbMHz, double nbMultiplier) = 0; // 17 MHz
    virtual bool GetTimings(MEMORY_TIMING* timing) = 0;                   // 18
    virtual bool SetTimings(MEMORY_TIMING* timing) = 0;                   // 19
    virtual bool GetConfig(MEMORY_CONFIG* config) = 0;                    // 20
    virtual bool SetConfig(MEMORY_CONFIG* config) = 0;                    // 21
    virtual bool GetTclList(double* list, unsigned* count) = 0;           // 22
    virtual bool GetTrcList(double* list, unsigned* count) = 0;           // 23
    virtual bool GetTrfcList(double* list, unsigned* count) = 0;          // 24 all four Trfc
    virtual bool GetTrcdList(double* list, unsigned* count) = 0;          // 25
    virtual bool GetTrrdList(double* list, unsigned* count) = 0;          // 26
    virtual bool GetTrasList(double* list, unsigned* count) = 0;          // 27
    virtual bool GetTrpList(double* list, unsigned* count) = 0;           // 28
    virtual bool GetTwrList(double* list, unsigned* count) = 0;           // 29
    virtual bool GetTwtrList(double* list, unsigned* count) = 0;          // 30
    virtual bool GetTrwtList(double* list, unsigned* count) = 0;          // 31
    virtual bool GetTrefList(double* list, unsigned* count) = 0;          // 32
    virtual bool GetTwclList(double* list, unsigned* count) = 0;          // 33
    virtual bool GetMaxAsyncLatList(double* list, unsigned* count) = 0;   // 34
    virtual bool GetRdPreambleList(double* list, unsigned* count) = 0;    // 35
    virtual bool GetILD_lmtList(double* list, unsigned* count) = 0;       // 36
    virtual bool GetMemClkList(double* list, unsigned* count) = 0;        // 37
    virtual bool GetTrtpList(double* list, unsigned* count) = 0;          // 38
    virtual bool GetTrwtTOList(double* list, unsigned* count) = 0;        // 39
    virtual bool GetTwrrdList(double* list, unsigned* count) = 0;         // 40
    virtual bool GetTwrwrList(double* list, unsigned* count) = 0;         // 41
    virtual bool GetTrdrdList(double* list, unsigned* count) = 0;         // 42
    virtual bool GetDramTermList(double* list, unsigned* count) = 0;      // 43
    virtual bool GetFourActWindowList(double* list, unsigned* count) = 0; // 44
    virtual bool GetDcqBypassMaxList(double* list, unsigned* count) = 0;  // 45
    virtual bool GetCkeDrvStrengthList(double* list, unsigned* count) = 0;     // 46
    virtual bool GetCsOdtDrvStrengthList(double* list, unsigned* count) = 0;   // 47
    virtual bool GetAddrCmdDrvStrengthList(double* list, unsigned* count) = 0; // 48
    virtual bool GetClkDrvStrengthList(double* list, unsigned* count) = 0;     // 49
    virtual bool GetDataDrvStrengthList(double* list, unsigned* count) = 0;    // 50
    virtual bool GetDqsDrvStrengthList(double* list, unsigned* count) = 0;     // 51
    virtual bool GetProcOdtList(double* list, unsigned* count) = 0;            // 52
    virtual bool GetDqsRcvEnDelayList(double* list, unsigned* count) = 0;      // 53
    virtual bool IsChannelAPresent() = 0;                                 // 54
    virtual bool IsChannelBPresent() = 0;                                 // 55
};

// dtMemory: one per installed module.
class QVXLOGIC_API IMemoryModuleDevice : public IDevice {
public:
    virtual double GetCapacity() = 0;                    // 10 bytes; NaN: unknown
    virtual int GetMemoryType() = 0;                     // 11
    virtual double GetMaxBandwidth() = 0;                // 12 bytes/s; NaN: unknown
    virtual const char* GetPartNumber() = 0;             // 13
    virtual uint32_t GetSerialNumber() = 0;              // 14
    virtual double GetDataWidth() = 0;                   // 15 bits; NaN: unknown
    virtual double GetBusFrequency() = 0;                // 16 MHz
    virtual double GetSlotLocation() = 0;                // 17 DIMM slot 0..3
    virtual const SPD_INFO* GetSPDInfo() = 0;            // 18 null = unreadable
};
