#pragma once
// Records exchanged with the devices. Layouts are fixed (x86-64, little-endian,
// bool = 1 byte): callers allocate exactly these sizes, so a device never writes
// past them. Wide text inside records is UTF-16.
#include <cstddef>
#include <cstdint>

#include "QVXLogic/Types.h"

class IStabilityTestCase;

// Processor feature flags, one byte each, non-zero = supported.
struct INSTRUCTION_SET_INFO {
    uint8_t bFPU;          // 0
    uint8_t bTSC;          // 1
    uint8_t bMSR;          // 2
    uint8_t bCX8;          // 3
    uint8_t bCMOV;         // 4
    uint8_t bCLFLUSH;      // 5
    uint8_t b3DNow;        // 6 the maker's 3D extension
    uint8_t b3DNowExt;     // 7
    uint8_t bX86_64;       // 8
    uint8_t bNX;           // 9
    uint8_t bSVM;          // 10
    uint8_t bLahfSahf;     // 11
    uint8_t bSSE4A;        // 12
    uint8_t bSSE3;         // 13
    uint8_t bSSE2;         // 14
    uint8_t bSSE;          // 15
    uint8_t bHTT;          // 16
    uint8_t bCmpLegacy;    // 17
    uint8_t bMMX;          // 18
    uint8_t bMMXExt;       // 19
    uint8_t reserved[12];  // 20..31
};
using INSTRUCTION_SET = INSTRUCTION_SET_INFO;
static_assert(sizeof(INSTRUCTION_SET_INFO) == 32);
static_assert(offsetof(INSTRUCTION_SET_INFO, b3DNow) == 6 && offsetof(INSTRUCTION_SET_INFO, bX86_64) == 8);
static_assert(offsetof(INSTRUCTION_SET_INFO, bSSE4A) == 12 && offsetof(INSTRUCTION_SET_INFO, bSSE) == 15);
static_assert(offsetof(INSTRUCTION_SET_INFO, bMMX) == 18 && offsetof(INSTRUCTION_SET_INFO, bMMXExt) == 19);

// One HyperTransport link.
struct HTLINK_INFO {
    uint8_t bCRCFlood;          // 0
    uint8_t pad0[7];
    uint8_t bIsochronous;       // 8
    uint8_t bLDTStopTristate;   // 9
    uint8_t pad1[6];
    double dMaxWidthIn;         // 16 bits
    double dMaxFreqIn;          // 24
    double dMaxWidthOut;        // 32
    double dMaxFreqOut;         // 40
    double dWidthIn;            // 48; -1 = link present but not in use
    double dFreqIn;             // 56
    double dWidthOut;           // 64
    uint32_t uReserved;         // 72
    uint32_t uRevisionMinor;    // 76
    uint32_t uRevisionMajor;    // 80
    uint32_t pad2;              // 84
    double dLinkMultiplier;     // 88: link clock as a multiple of the reference clock
    double dMaxLinkMultiplier;  // 96
};
using HT_LINK_INFO = HTLINK_INFO;
static_assert(sizeof(HTLINK_INFO) == 104);
static_assert(offsetof(HTLINK_INFO, bIsochronous) == 8 && offsetof(HTLINK_INFO, bLDTStopTristate) == 9);
static_assert(offsetof(HTLINK_INFO, dMaxWidthIn) == 16 && offsetof(HTLINK_INFO, dMaxWidthOut) == 32);
static_assert(offsetof(HTLINK_INFO, dWidthIn) == 48 && offsetof(HTLINK_INFO, dWidthOut) == 64);
static_assert(offsetof(HTLINK_INFO, uRevisionMinor) == 76 && offsetof(HTLINK_INFO, uRevisionMajor) == 80);
static_assert(offsetof(HTLINK_INFO, dLinkMultiplier) == 88 && offsetof(HTLINK_INFO, dMaxLinkMultiplier) == 96);

// DRAM timings: twenty doubles and nothing else (Trfc and cycle times in ns,
// Tref in us, the rest in memory-bus clocks).
struct MEMORY_TIMING {
    double Tcl;       // 0x00
    double Trc;       // 0x08
    double Trfc0;     // 0x10
    double Trfc1;
    double Trfc2;
    double Trfc3;
    double Trcd;      // 0x30
    double Trrd;
    double Tras;      // 0x40
    double Trp;       // 0x48
    double Twr;
    double Twtr;
    double Trwt;      // 0x60
    double Tref;
    double Twcl;
    double Trtp;
    double TrwtTO;
    double Twrrd;
    double Twrwr;
    double Trdrd;     // 0x98
};
using DRAM_TIMING_INFO = MEMORY_TIMING;
static_assert(sizeof(MEMORY_TIMING) == 160);
static_assert(offsetof(MEMORY_TIMING, Trcd) == 0x30 && offsetof(MEMORY_TIMING, Tras) == 0x40);
static_assert(offsetof(MEMORY_TIMING, Trp) == 0x48 && offsetof(MEMORY_TIMING, Trwt) == 0x60);
static_assert(offsetof(MEMORY_TIMING, Trdrd) == 0x98);

// DRAM controller configuration. Flags are bytes: 0 off, non-zero on.
struct MEMORY_CONFIG {
    uint8_t GangedMode;           // 0x00 read only
    uint8_t DualChannel;          // 0x01 read only
    uint8_t En2T;                 // 0x02
    uint8_t D_DRV_Weak;           // 0x03
    uint8_t pad0[4];
    double MemClk;                // 0x08 MHz
    double MaxAsyncLat;           // 0x10 ns
    double DramTerm;              // 0x18 ohms
    uint8_t BankSwizzleMode;      // 0x20 read only
    uint8_t PowerDownEn;          // 0x21
    uint8_t DCC_EN;               // 0x22
    uint8_t pad1[5];
    double FourActWindow;         // 0x28
    double DcqBypassMax;          // 0x30
    double ILD_lmt;               // 0x38
    double RdPreamble;            // 0x40
    double CkeDrvStrength[2];     // 0x48 channel A, B
    double CsOdtDrvStrength[2];   // 0x58
    double AddrCmdDrvStrength[2]; // 0x68
    double ClkDrvStrength[2];     // 0x78
    double DataDrvStrength[2];    // 0x88
    double DqsDrvStrength[2];     // 0x98
    double ProcOdt[2];            // 0xA8
    double DqsRcvEnDelay[8];      // 0xB8 A1..A4, B1..B4
};
using DRAM_CONFIG_INFO = MEMORY_CONFIG;
static_assert(sizeof(MEMORY_CONFIG) == 248);
static_assert(offsetof(MEMORY_CONFIG, En2T) == 2 && offsetof(MEMORY_CONFIG, MemClk) == 0x08);
static_assert(offsetof(MEMORY_CONFIG, DramTerm) == 0x18 && offsetof(MEMORY_CONFIG, BankSwizzleMode) == 0x20);
static_assert(offsetof(MEMORY_CONFIG, FourActWindow) == 0x28 && offsetof(MEMORY_CONFIG, RdPreamble) == 0x40);
static_assert(offsetof(MEMORY_CONFIG, CkeDrvStrength) == 0x48 && offsetof(MEMORY_CONFIG, ProcOdt) == 0xA8);
static_assert(offsetof(MEMORY_CONFIG, DqsRcvEnDelay) == 0xB8);

// Value-list fields of the memory controller, in slot order (Get<Field>List).
enum MEMORY_FIELD : int32_t {
    mfTcl, mfTrc, mfTrfc, mfTrcd, mfTrrd, mfTras, mfTrp, mfTwr, mfTwtr, mfTrwt, mfTref, mfTwcl,
    mfMaxAsyncLat, mfRdPreamble, mfILD_lmt, mfMemClk, mfTrtp, mfTrwtTO, mfTwrrd, mfTwrwr, mfTrdrd,
    mfDramTerm, mfFourActWindow, mfDcqBypassMax, mfCkeDrvStrength, mfCsOdtDrvStrength,
    mfAddrCmdDrvStrength, mfClkDrvStrength, mfDataDrvStrength, mfDqsDrvStrength, mfProcOdt,
    mfDqsRcvEnDelay, mfCount
};
static_assert(mfCount == 32);

// One cache level: size KB (per core for L1/L2), ways, lines, line size in bytes.
struct CACHE_INFO {
    double dSize;
    double dAssociativity;
    double dLines;
    double dLineSize;
};
static_assert(sizeof(CACHE_INFO) == 32);

// One P-state definition: seven raw fields (whole numbers), the enable flag and
// four values the device derives from the raw fields.
struct PSTATE_INFO {
    double CpuFid;        // 0
    double CpuDid;        // 8
    double CpuVid;        // 16
    double NbDid;         // 24
    double NbVid;         // 32
    double IddValue;      // 40
    double IddDiv;        // 48
    bool bEnabled;        // 56
    uint8_t pad[7];
    double dFrequency;    // 64 MHz
    double dVoltage;      // 72 V
    double dNbFrequency;  // 80 MHz
    double dNbVoltage;    // 88 V
};
static_assert(sizeof(bool) == 1);
static_assert(sizeof(PSTATE_INFO) == 96);
static_assert(offsetof(PSTATE_INFO, bEnabled) == 56 && offsetof(PSTATE_INFO, dFrequency) == 64);
static_assert(offsetof(PSTATE_INFO, dNbVoltage) == 88);

// One graphics performance level.
struct GPU_LEVEL_INFO {
    double dEngineClock;   // MHz
    double dMemoryClock;   // MHz
    double dCoreVoltage;   // V
};
static_assert(sizeof(GPU_LEVEL_INFO) == 24);

struct VIDEO_BIOS_INFO {
    char szVersion[24];      // 0
    char szPartNumber[64];   // 24
    char szReleaseDate[24];  // 88
    char szMemoryType[32];   // 112
};
static_assert(sizeof(VIDEO_BIOS_INFO) == 144);
static_assert(offsetof(VIDEO_BIOS_INFO, szPartNumber) == 24 && offsetof(VIDEO_BIOS_INFO, szReleaseDate) == 88);
static_assert(offsetof(VIDEO_BIOS_INFO, szMemoryType) == 112);

// One SPD timing set (clocks); a frequency of NaN or infinity marks an empty set.
struct SPD_TIMING {
    double dFrequency;   // MHz
    double Tcl;
    double reserved2;
    double Trp;
    double Trrd;
    double Trcd;
    double Tras;
    double Twr;
    double Twtr;
    double Trtp;
    double Trc;
    double reserved11;
};
static_assert(sizeof(SPD_TIMING) == 96);

// A value the module's data leave unknown (a reserved code) is NaN, a count 0.
struct SPD_INFO {
    int32_t nMemoryType;          // 0 JEDEC fundamental type
    uint32_t uModuleType;         // 4
    uint32_t uRanks;              // 8
    uint32_t uBanks;              // 12
    double dMaxBandwidth;         // 16 bytes/s
    double dCapacity;             // 24 bytes
    double dVoltage;              // 32 V
    double dMinCycleTime;         // 40 ns
    char szPartNumber[256];       // 48
    uint32_t uSerialNumber;       // 304
    char szManufacturer[256];     // 308
    char szDate[256];             // 564
    uint8_t bExtraSet;            // 820
    uint8_t pad[3];
    SPD_TIMING Timing[3];         // 824, 920, 1016
    uint8_t reserved[8];          // 1112
    SPD_TIMING ExtraTiming;       // 1120
};
static_assert(sizeof(SPD_INFO) == 1216);
static_assert(offsetof(SPD_INFO, dMaxBandwidth) == 16 && offsetof(SPD_INFO, szPartNumber) == 48);
static_assert(offsetof(SPD_INFO, uSerialNumber) == 304 && offsetof(SPD_INFO, szManufacturer) == 308);
static_assert(offsetof(SPD_INFO, szDate) == 564 && offsetof(SPD_INFO, bExtraSet) == 820);
static_assert(offsetof(SPD_INFO, Timing) == 824 && offsetof(SPD_INFO, ExtraTiming) == 1120);

// Drive identification (8-bit texts).
struct DISK_INFO {
    char szSerialNumber[256];      // 0
    char szFirmwareRevision[256];  // 256
    char szModelNumber[256];       // 512
    uint8_t bRemovable;            // 768
    uint8_t bDMA;                  // 769
    uint8_t bLBA;                  // 770
    uint8_t bSATA;                 // 771
    uint8_t pad0[4];
    double dSATAGeneration;        // 776
    double dSectorTotal;           // 784 NaN: unknown
    double dMaxQueueDepth;         // 792
    double dATAVersion;            // 800
    double dMinorVersion;          // 808
    double dBufferSizeKB;          // 816
    uint8_t bSecuritySupported;    // 824
    uint8_t bSecurityEnabled;
    uint8_t bSecurityLocked;
    uint8_t bSecurityFrozen;
    uint8_t bSecurityCountExpired;
    uint8_t bSecurityEnhanced;     // 829
    uint8_t pad1[2];
};
static_assert(sizeof(DISK_INFO) == 832);
static_assert(offsetof(DISK_INFO, bRemovable) == 768 && offsetof(DISK_INFO, dSATAGeneration) == 776);
static_assert(offsetof(DISK_INFO, dATAVersion) == 800 && offsetof(DISK_INFO, bSecuritySupported) == 824);

// A device on a storage channel, as (type, index) for GetDevice.
struct CHANNEL_DEVICE {
    uint32_t uType;
    uint32_t uIndex;
};
constexpr int QVX_MAX_CHANNEL_DEVICES = 16;
struct CHANNEL_INFO {
    char16_t szName[256];                           // 0
    uint32_t uDeviceCount;                          // 512
    CHANNEL_DEVICE aDevices[QVX_MAX_CHANNEL_DEVICES]; // 516
};
static_assert(offsetof(CHANNEL_INFO, uDeviceCount) == 512 && offsetof(CHANNEL_INFO, aDevices) == 516);
static_assert(sizeof(CHANNEL_INFO) == 516 + 8 * QVX_MAX_CHANNEL_DEVICES);

// One rail of the fixed-rail regulator, in volts x 100000.
struct PWM_RAIL_INFO {
    double dMin;
    double dMax;
    double dDefault;
    double dStep;
};
static_assert(sizeof(PWM_RAIL_INFO) == 32);
enum PWM_RAIL : int32_t { prMemVDDQ, prMemVTT, prCPUVDDC, prNBCore, prNBPCIE, prCPUHT, prCount };

// Stability-test records, allocated by the test centre and deleted by the caller.
struct ERROR_MESSAGE {
    IStabilityTestCase* pTestCase;
    int32_t eErrorMessage;
};
struct TEST_RESULT {
    IStabilityTestCase* pTestCase;
    double dValue;   // Hz
};
