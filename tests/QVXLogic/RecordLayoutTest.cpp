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
        {"instruction set", sizeof(INSTRUCTION_SET_INFO), 32},
    };
    for (const Layout& l : table)
        EXPECT_EQ(l.offset, l.expected) << l.field;
    EXPECT_EQ(sizeof(QVX_DEVICE_TYPE), 4u);
}

} // namespace
