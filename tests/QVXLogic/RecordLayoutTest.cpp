// Record layouts the program and the library share: a table of field offsets.
#include <cstddef>

#include <gtest/gtest.h>

#include "QVXLogic/QVXLogic.h"

namespace {

struct Layout {
    const char* field;
    size_t offset, expected;
};

TEST(QvxRecords, LayoutTable)
{
    const Layout table[] = {
        {"HT multiplier", offsetof(HTLINK_INFO, dLinkMultiplier), 88},
        {"HT max multiplier", offsetof(HTLINK_INFO, dMaxLinkMultiplier), 96},
        {"HT size", sizeof(HTLINK_INFO), 104},
        {"timing Trwt", offsetof(MEMORY_TIMING, Trwt), 0x60},
        {"timing Trdrd", offsetof(MEMORY_TIMING, Trdrd), 0x98},
        {"timing size", sizeof(MEMORY_TIMING), 160},
        {"config MemClk", offsetof(MEMORY_CONFIG, MemClk), 0x08},
        {"config RdPreamble", offsetof(MEMORY_CONFIG, RdPreamble), 0x40},
        {"config Cke", offsetof(MEMORY_CONFIG, CkeDrvStrength), 0x48},
        {"config DqsRcvEnDelay", offsetof(MEMORY_CONFIG, DqsRcvEnDelay), 0xB8},
        {"config size", sizeof(MEMORY_CONFIG), 248},
        {"disk removable", offsetof(DISK_INFO, bRemovable), 768},
        {"disk SATA generation", offsetof(DISK_INFO, dSATAGeneration), 776},
        {"disk ATA version", offsetof(DISK_INFO, dATAVersion), 800},
        {"SPD part number", offsetof(SPD_INFO, szPartNumber), 48},
        {"SPD serial", offsetof(SPD_INFO, uSerialNumber), 304},
        {"SPD manufacturer", offsetof(SPD_INFO, szManufacturer), 308},
        {"SPD date", offsetof(SPD_INFO, szDate), 564},
        {"SPD set 0", offsetof(SPD_INFO, Timing), 824},
        {"SPD set 1", offsetof(SPD_INFO, Timing) + sizeof(SPD_TIMING), 920},
        {"SPD set 2", offsetof(SPD_INFO, Timing) + 2 * sizeof(SPD_TIMING), 1016},
        {"P-state enabled", offsetof(PSTATE_INFO, bEnabled), 56},
        {"P-state size", sizeof(PSTATE_INFO), 96},
        {"GPU level size", sizeof(GPU_LEVEL_INFO), 24},
        {"video BIOS part", offsetof(VIDEO_BIOS_INFO, szPartNumber), 24},
        {"video BIOS date", offsetof(VIDEO_BIOS_INFO, szReleaseDate), 88},
        {"video BIOS memory", offsetof(VIDEO_BIOS_INFO, szMemoryType), 112},
        {"channel count", offsetof(CHANNEL_INFO, uDeviceCount), 512},
        {"channel devices", offsetof(CHANNEL_INFO, aDevices), 516},
        {"cache size", sizeof(CACHE_INFO), 32},
        {"cache ways", offsetof(CACHE_INFO, dAssociativity), 8},
        {"cache lines", offsetof(CACHE_INFO, dLines), 16},
        {"cache line size", offsetof(CACHE_INFO, dLineSize), 24},
        {"instruction set", sizeof(INSTRUCTION_SET_INFO), 32},
        {"instruction set 3D", offsetof(INSTRUCTION_SET_INFO, b3DNow), 6},
        {"instruction set 3D extended", offsetof(INSTRUCTION_SET_INFO, b3DNowExt), 7},
        {"instruction set x86-64", offsetof(INSTRUCTION_SET_INFO, bX86_64), 8},
        {"instruction set SSE4A", offsetof(INSTRUCTION_SET_INFO, bSSE4A), 12},
        {"instruction set SSE3", offsetof(INSTRUCTION_SET_INFO, bSSE3), 13},
        {"instruction set SSE2", offsetof(INSTRUCTION_SET_INFO, bSSE2), 14},
        {"instruction set SSE", offsetof(INSTRUCTION_SET_INFO, bSSE), 15},
        {"instruction set MMX", offsetof(INSTRUCTION_SET_INFO, bMMX), 18},
        {"instruction set MMX extended", offsetof(INSTRUCTION_SET_INFO, bMMXExt), 19},
        {"HT CRC flood", offsetof(HTLINK_INFO, bCRCFlood), 0},
        {"HT isochronous", offsetof(HTLINK_INFO, bIsochronous), 8},
        {"HT LDTSTOP", offsetof(HTLINK_INFO, bLDTStopTristate), 9},
        {"HT max width in", offsetof(HTLINK_INFO, dMaxWidthIn), 16},
        {"HT max width out", offsetof(HTLINK_INFO, dMaxWidthOut), 32},
        {"HT width in", offsetof(HTLINK_INFO, dWidthIn), 48},
        {"HT width out", offsetof(HTLINK_INFO, dWidthOut), 64},
        {"HT revision minor", offsetof(HTLINK_INFO, uRevisionMinor), 76},
        {"HT revision major", offsetof(HTLINK_INFO, uRevisionMajor), 80},
        {"timing Trfc0", offsetof(MEMORY_TIMING, Trfc0), 0x10},
        {"timing Tref", offsetof(MEMORY_TIMING, Tref), 0x68},
        {"timing Trtp", offsetof(MEMORY_TIMING, Trtp), 0x78},
        {"config D_DRV_Weak", offsetof(MEMORY_CONFIG, D_DRV_Weak), 3},
        {"config MaxAsyncLat", offsetof(MEMORY_CONFIG, MaxAsyncLat), 0x10},
        {"config DramTerm", offsetof(MEMORY_CONFIG, DramTerm), 0x18},
        {"config PowerDownEn", offsetof(MEMORY_CONFIG, PowerDownEn), 0x21},
        {"config DCC_EN", offsetof(MEMORY_CONFIG, DCC_EN), 0x22},
        {"config FourActWindow", offsetof(MEMORY_CONFIG, FourActWindow), 0x28},
        {"config DcqBypassMax", offsetof(MEMORY_CONFIG, DcqBypassMax), 0x30},
        {"config ILD_lmt", offsetof(MEMORY_CONFIG, ILD_lmt), 0x38},
        {"config CsOdt", offsetof(MEMORY_CONFIG, CsOdtDrvStrength), 0x58},
        {"config AddrCmd", offsetof(MEMORY_CONFIG, AddrCmdDrvStrength), 0x68},
        {"config Clk", offsetof(MEMORY_CONFIG, ClkDrvStrength), 0x78},
        {"config Data", offsetof(MEMORY_CONFIG, DataDrvStrength), 0x88},
        {"config Dqs", offsetof(MEMORY_CONFIG, DqsDrvStrength), 0x98},
        {"config ProcOdt", offsetof(MEMORY_CONFIG, ProcOdt), 0xA8},
        {"SPD type", offsetof(SPD_INFO, nMemoryType), 0},
        {"SPD extra flag", offsetof(SPD_INFO, bExtraSet), 820},
        {"SPD extra set", offsetof(SPD_INFO, ExtraTiming), 1120},
        {"SPD size", sizeof(SPD_INFO), 1216},
        {"SPD set size", sizeof(SPD_TIMING), 96},
        {"SPD set Trp", offsetof(SPD_TIMING, Trp), 24},
        {"SPD set Trc", offsetof(SPD_TIMING, Trc), 80},
        {"disk firmware", offsetof(DISK_INFO, szFirmwareRevision), 256},
        {"disk model", offsetof(DISK_INFO, szModelNumber), 512},
        {"disk SATA", offsetof(DISK_INFO, bSATA), 771},
        {"disk sectors", offsetof(DISK_INFO, dSectorTotal), 784},
        {"disk queue depth", offsetof(DISK_INFO, dMaxQueueDepth), 792},
        {"disk security supported", offsetof(DISK_INFO, bSecuritySupported), 824},
        {"disk security enhanced", offsetof(DISK_INFO, bSecurityEnhanced), 829},
        {"disk size", sizeof(DISK_INFO), 832},
        {"channel entry", sizeof(CHANNEL_DEVICE), 8},
        {"channel entry index", offsetof(CHANNEL_DEVICE, uIndex), 4},
        {"video BIOS size", sizeof(VIDEO_BIOS_INFO), 144},
        {"GPU level memory", offsetof(GPU_LEVEL_INFO, dMemoryClock), 8},
        {"GPU level voltage", offsetof(GPU_LEVEL_INFO, dCoreVoltage), 16},
    };
    for (const Layout& l : table)
        EXPECT_EQ(l.offset, l.expected) << l.field;
    EXPECT_EQ(sizeof(QVX_DEVICE_TYPE), 4u);
}

} // namespace
