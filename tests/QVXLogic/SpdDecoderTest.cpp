// DDR3 SPD codes the standard reserves size nothing: the decoder leaves the value
// unknown, and the capacity and bandwidth that would be worked out from it, while the
// rest of the image (type, maker, part number, timings) still reads as it stands.
#include <cmath>
#include <limits>
#include <string>

#include "Devices/SpdDecoder.h"
#include "QvxTestSupport.h"
#include "support/ReservedCodes.h"

namespace {

using test::QvxTest;
using test::Str;

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();
constexpr double kMB = 1024.0 * 1024;
constexpr double kDdr3At1333 = 1000.0 / 1.5 * 1e6 * 2;   // transfers a second of a bus at 666.67 MHz

// Both unknown, or the same number.
bool Same(double got, double want)
{
    return std::isnan(want) ? std::isnan(got) : std::abs(got - want) <= std::abs(want) * 1e-9;
}

TEST(SpdDecoder, ReservedDdr3CodesLeaveTheirValueUnknown)
{
    struct Case {
        const char* what;
        int offset;
        uint8_t value;
        double capacityMB;
        unsigned banks, ranks;   // 0: unknown
        double dataWidth, bandwidth;
    };
    const Case cases[] = {
        {"the board's own module", 4, 0x03, 2048, 8, 1, 64, kDdr3At1333 * 8},
        // Byte 4, bits 3-0: chips of 256 Mb << code; codes 0 to 6 (16 Gb) are defined.
        {"16 Gb chips", 4, 0x06, 16384, 8, 1, 64, kDdr3At1333 * 8},
        {"chip density code 7", 4, 0x07, kUnknown, 8, 1, 64, kDdr3At1333 * 8},
        {"chip density code 15", 4, 0x0F, kUnknown, 8, 1, 64, kDdr3At1333 * 8},
        // Bits 6-4: 8 << code banks; codes 0 to 3 (64 banks). The capacity does not need them.
        {"64 banks", 4, 0x33, 2048, 64, 1, 64, kDdr3At1333 * 8},
        {"bank code 4", 4, 0x43, 2048, 0, 1, 64, kDdr3At1333 * 8},
        {"bank code 7", 4, 0x73, 2048, 0, 1, 64, kDdr3At1333 * 8},
        // Byte 7, bits 5-3: 1 to 4 ranks, code 4 is 8 ranks; bits 2-0: x4 << code chips, codes 0 to 3.
        {"8 ranks", 7, 0x21, 16384, 8, 8, 64, kDdr3At1333 * 8},
        {"rank code 5", 7, 0x29, kUnknown, 8, 0, 64, kDdr3At1333 * 8},
        {"rank code 7", 7, 0x39, kUnknown, 8, 0, 64, kDdr3At1333 * 8},
        {"x32 chips", 7, 0x03, 512, 8, 1, 64, kDdr3At1333 * 8},
        {"chip width code 4", 7, 0x04, kUnknown, 8, 1, 64, kDdr3At1333 * 8},
        {"chip width code 7", 7, 0x07, kUnknown, 8, 1, 64, kDdr3At1333 * 8},
        // Byte 8, bits 2-0: a bus of 8 << code bits, codes 0 to 3; bits 4-3 add check bits.
        {"an 8-bit bus", 8, 0x00, 256, 8, 1, 8, kDdr3At1333},
        {"a 64-bit bus with 8 check bits", 8, 0x0B, 2048, 8, 1, 64, kDdr3At1333 * 8},
        {"bus width code 4", 8, 0x04, kUnknown, 8, 1, kUnknown, kUnknown},
        {"bus width code 7", 8, 0x07, kUnknown, 8, 1, kUnknown, kUnknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qvx::SpdModule m;
        ASSERT_TRUE(qvx::DecodeSpd(test::Ddr3Spd({{c.offset, c.value}}), &m));
        EXPECT_TRUE(Same(m.info.dCapacity, c.capacityMB * kMB)) << m.info.dCapacity / kMB;
        EXPECT_EQ(m.info.uBanks, c.banks);
        EXPECT_EQ(m.info.uRanks, c.ranks);
        EXPECT_TRUE(Same(m.dataWidth, c.dataWidth)) << m.dataWidth;
        EXPECT_TRUE(Same(m.info.dMaxBandwidth, c.bandwidth)) << m.info.dMaxBandwidth;
        // What the image does define is all there.
        EXPECT_EQ(m.info.nMemoryType, 11);
        EXPECT_EQ(std::string(m.info.szPartNumber), "VK2G1333U9-2G");
        EXPECT_STREQ(m.info.szManufacturer, "Juv Technologies");
        EXPECT_NEAR(m.info.Timing[0].dFrequency, 1000.0 / 1.5, 1e-9);
        EXPECT_EQ(m.info.Timing[0].Tcl, 9);
    }
}

// The module of all four reserved codes at once, as the device library gives it.
TEST_F(QvxTest, AModuleOfReservedCodesHasNoSizeButWhatItsImageDefines)
{
    g_DeviceManager.UnInit();
    ASSERT_TRUE(test::LoadDdr3Board(test::Ddr3SpdOfReservedCodes()));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    IMemoryModuleDevice* module = Module(0);
    ASSERT_NE(module, nullptr);
    const SPD_INFO* spd = module->GetSPDInfo();
    ASSERT_NE(spd, nullptr);
    EXPECT_TRUE(std::isnan(module->GetCapacity())) << module->GetCapacity();
    EXPECT_TRUE(std::isnan(module->GetMaxBandwidth())) << module->GetMaxBandwidth();
    EXPECT_TRUE(std::isnan(module->GetDataWidth())) << module->GetDataWidth();
    EXPECT_TRUE(std::isnan(spd->dCapacity));
    EXPECT_EQ(spd->uBanks, 0u);
    EXPECT_EQ(spd->uRanks, 0u);
    // Its description names no size; the rest is the image's.
    EXPECT_EQ(Str(module->GetDescription()), QStringLiteral("DDR3 SDRAM DIMM"));
    EXPECT_EQ(Str(module->GetName()), QStringLiteral("VK2G1333U9-2G"));
    EXPECT_EQ(Str(module->GetVendor()), QStringLiteral("Juv Technologies"));
    EXPECT_EQ(module->GetMemoryType(), 11);
    EXPECT_NEAR(spd->Timing[0].dFrequency, 1000.0 / 1.5, 1e-9);
    EXPECT_TRUE(std::isfinite(spd->Timing[2].dFrequency));
    // The other module is whole.
    EXPECT_EQ(Module(1)->GetCapacity(), 2048 * kMB);
    EXPECT_EQ(Str(Module(1)->GetDescription()), QStringLiteral("2048 MB DDR3 SDRAM DIMM"));
}

} // namespace
