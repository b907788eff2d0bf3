// IDENTIFY DEVICE words that report nothing: a word of all ones is no flag, a sector
// count past what its form can hold is unknown, and a buffer that is all ones (a
// floating bus) or all zeros is a drive that did not identify at all.
#include <QJsonArray>

#include <cmath>
#include <limits>
#include <map>

#include "Devices/DiskIdentify.h"
#include "QvxTestSupport.h"
#include "VirtualBoard/Devices/AtaIdentify.h"
#include "support/LogCapture.h"
#include "support/ReservedCodes.h"

namespace {

using test::QvxTest;

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

// A removable-media-free SATA drive with DMA, LBA and a 48-bit count.
vb::AtaDrive Drive(uint64_t sectors, std::map<int, uint16_t> words = {})
{
    vb::AtaDrive d;
    d.model = "NEUTRAL DISK";
    d.serial = "N0001";
    d.firmware = "1.0";
    d.sectors = sectors;
    d.sataGeneration = 2;
    d.queueDepth = 32;
    d.words = std::move(words);
    return d;
}

std::array<uint16_t, 256> Filled(uint16_t word)
{
    std::array<uint16_t, 256> w;
    w.fill(word);
    return w;
}

TEST(DiskIdentify, WordsThatReportNothingAreNoValue)
{
    struct Case {
        const char* what;
        std::array<uint16_t, 256> words;
        bool identified;
        double sectors = 0;
        bool removable = false, dma = false, lba = false;
    };
    const uint64_t k48 = 976773168;
    const Case cases[] = {
        {"a whole drive", vb::BuildIdentify(Drive(k48)), true, double(k48), false, true, true},
        // Nothing the drive answered: every word the same, with or without an integrity word.
        {"all ones, a floating bus", Filled(0xFFFF), false},
        {"all zeros", Filled(0x0000), false},
        {"all ones but a right integrity word", vb::BuildIdentify(Drive(k48, [] {
             std::map<int, uint16_t> all;
             for (int i = 0; i < 255; ++i)
                 all[i] = 0xFFFF;
             return all;
         }())), false},
        // Words 0 and 49 of all ones hold no flags.
        {"configuration word all ones", vb::BuildIdentify(Drive(k48, {{0, 0xFFFF}})), true, double(k48), false, true,
         true},
        {"capabilities word all ones", vb::BuildIdentify(Drive(k48, {{49, 0xFFFF}})), true, double(k48)},
        // Words 60-61 hold at most 0x0FFFFFFF sectors; words 100-103 at most 48 bits.
        {"the largest 28-bit count", vb::BuildIdentify(Drive(0x0FFFFFFF)), true, double(0x0FFFFFFF), false, true,
         true},
        {"a 28-bit count past 28 bits", vb::BuildIdentify(Drive(1000000, {{60, 0}, {61, 0x1000}})), true, kUnknown,
         false, true, true},
        {"a 28-bit count of all ones", vb::BuildIdentify(Drive(1000000, {{60, 0xFFFF}, {61, 0xFFFF}})), true,
         kUnknown, false, true, true},
        {"the largest 48-bit count",
         vb::BuildIdentify(Drive(k48, {{100, 0xFFFF}, {101, 0xFFFF}, {102, 0xFFFF}, {103, 0}})), true,
         double(0xFFFFFFFFFFFFull), false, true, true},
        {"a 48-bit count of all ones",
         vb::BuildIdentify(Drive(k48, {{100, 0xFFFF}, {101, 0xFFFF}, {102, 0xFFFF}, {103, 0xFFFF}})), true, kUnknown,
         false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::LogCapture::Instance().Clear();
        DISK_INFO info{};
        const bool identified = qvx::DecodeIdentify(c.words, &info);
        EXPECT_EQ(identified, c.identified);
        EXPECT_EQ(test::LogContains("did not identify"), !c.identified);
        if (!identified || !c.identified)
            continue;
        if (std::isnan(c.sectors))
            EXPECT_TRUE(std::isnan(info.dSectorTotal)) << info.dSectorTotal;
        else
            EXPECT_EQ(info.dSectorTotal, c.sectors);
        EXPECT_EQ(info.bRemovable, c.removable);
        EXPECT_EQ(info.bDMA, c.dma);
        EXPECT_EQ(info.bLBA, c.lba);
        EXPECT_STREQ(info.szModelNumber, "NEUTRAL DISK");
    }
}

// A drive that reads all ones (or all zeros), as the device library gives it: still
// on its channel, with its own name, but no record, no flags and no capacity.
TEST_F(QvxTest, ADriveThatDidNotIdentifyHasNoRecordAndNoCapacity)
{
    for (uint16_t word : {0xFFFF, 0x0000}) {
        SCOPED_TRACE(word);
        test::LogCapture::Instance().Clear();
        g_DeviceManager.UnInit();
        ASSERT_TRUE(test::LoadDdr3Board(test::Ddr3Spd(), word));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
        IHardDiskDevice* disk = Disk();
        ASSERT_NE(disk, nullptr);
        EXPECT_EQ(disk->GetDiskInfo(), nullptr);
        EXPECT_TRUE(std::isnan(disk->GetCapacity())) << disk->GetCapacity();
        EXPECT_EQ(test::Str(disk->GetName()), QStringLiteral("VYK HD500S ATA Device"));
        EXPECT_TRUE(test::LogContains("did not identify"));
        const CHANNEL_INFO* channel = Sata()->GetChannelDevices(0);
        ASSERT_NE(channel, nullptr);
        ASSERT_EQ(channel->uDeviceCount, 1u);
        EXPECT_EQ(channel->aDevices[0].uType, static_cast<uint32_t>(dtHardDisk));
    }
}

} // namespace
