// The memory controller's dialogs: every cell read from its own offset of the
// timing and configuration records (both channels for the channel dialog), the
// flag and number formats, reads that fail and change nothing, a show that reads
// again, and the controllers of the simulated boards.
#include <QShowEvent>

#include <cstring>
#include <map>

#include "Diagram/MemoryControllerDialogs.h"
#include "QVXLogic/MemoryDevices.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::Board;
using test::DiagramTest;

namespace {

// A record whose double at byte offset o holds o + 0.5, so every cell names its offset.
template <class Record>
Record ByOffset()
{
    Record r;
    std::memset(&r, 0, sizeof r);
    for (size_t o = 0; o + 8 <= sizeof r; o += 8) {
        const double v = static_cast<double>(o) + 0.5;
        std::memcpy(reinterpret_cast<char*>(&r) + o, &v, sizeof v);
    }
    return r;
}

void SetByte(MEMORY_CONFIG& c, size_t offset, uint8_t value)
{
    reinterpret_cast<uint8_t*>(&c)[offset] = value;
}

QString Cell(QWidget& dialog, const char* name)
{
    auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<none>");
}

} // namespace

TEST(MemoryControllerDialogTest, EachCellReadsItsOwnOffset)
{
    const MEMORY_TIMING timing = ByOffset<MEMORY_TIMING>();
    MEMORY_CONFIG config = ByOffset<MEMORY_CONFIG>();
    // The flag bytes: each its own pattern, non-zero means on.
    for (size_t o : {0x00, 0x01, 0x02, 0x03, 0x20, 0x21, 0x22})
        SetByte(config, o, 0);
    SetByte(config, 0x00, 2);
    SetByte(config, 0x21, 255);
    SetByte(config, 0x02, 0);
    DCTDialog dialog;
    dialog.Show(timing, config);
    const std::map<std::string, QString> kCells = {
        {"Tcl", "0.5 bus clock"}, {"Trc", "8.5 bus clock"}, {"Trfc0", "16.5 ns"}, {"Trfc1", "24.5 ns"},
        {"Trfc2", "32.5 ns"}, {"Trfc3", "40.5 ns"}, {"Trcd", "48.5 bus clock"}, {"Trrd", "56.5 bus clock"},
        {"Tras", "64.5 bus clock"}, {"Trp", "72.5 bus clock"}, {"Twr", "80.5 bus clock"}, {"Twtr", "88.5 bus clock"},
        {"Tref", "104.5 us"}, {"Trtp", "120.5 bus clock"}, {"TrwtTO", "128.5 bus clock"},
        {"Twrrd", "136.5 bus clock"}, {"Twrwr", "144.5 bus clock"}, {"Trdrd", "152.5 bus clock"},
        {"MemClk", "8.5 MHz"}, {"MaxAsyncLat", "16.5 ns"}, {"DramTerm", "24.5 ohms"},
        {"FourActWindow", "40.5 MemClk"}, {"DcqBypassMax", "48.5 times"}, {"ILD_lmt", "56.5 cycles"},
        {"GangedMode", "Enabled"}, {"En2T", "1T"}, {"D_DRV_Weak", "Disabled"}, {"BankSwizzleMode", "Disabled"},
        {"PowerDownEn", "Enabled"}, {"DCC_EN", "Disabled"},
    };
    ASSERT_EQ(kCells.size(), 30u);
    for (const auto& [name, text] : kCells)
        EXPECT_EQ(Cell(dialog, name.c_str()), text) << name;

    // The two channels interleave: drive strengths 8 bytes apart, delays 32.
    const char* const kChannelCells[] = {"CKE", "CSODT", "AddrCMD", "MemClk", "Data", "DQS", "ProcOdt",
                                         "Delay0", "Delay1", "Delay2", "Delay3"};
    const int kOffsets[2][11] = {{0x48, 0x58, 0x68, 0x78, 0x88, 0x98, 0xA8, 0xB8, 0xC0, 0xC8, 0xD0},
                                 {0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xD8, 0xE0, 0xE8, 0xF0}};
    for (int channel = 0; channel < 2; ++channel) {
        ChannelDialog channelDialog;
        channelDialog.SetChannel(channel);
        channelDialog.Show(timing, config);
        for (int i = 0; i < 11; ++i) {
            const char* unit = i < 6 ? "x" : i == 6 ? "ohms" : "ns";
            EXPECT_EQ(Cell(channelDialog, kChannelCells[i]), QStringLiteral("%1.5 %2").arg(kOffsets[channel][i]).arg(QLatin1String(unit)))
                << channel << " " << kChannelCells[i];
        }
    }
}

TEST(MemoryControllerDialogTest, NumberFormatsTitlesAndAChannelOutsideTheRecord)
{
    MEMORY_TIMING timing{};
    MEMORY_CONFIG config{};
    timing.Tcl = 7.5;
    timing.Tref = 7.8;
    config.MemClk = 1066.666666;
    config.En2T = 1;
    config.DCC_EN = 2;
    config.CkeDrvStrength[0] = 1.5;
    config.ProcOdt[0] = 75;
    config.DqsRcvEnDelay[0] = 0.125;
    DCTDialog dialog;
    dialog.Show(timing, config);
    EXPECT_EQ(Cell(dialog, "Tcl"), "7.5 bus clock");
    EXPECT_EQ(Cell(dialog, "Tref"), "7.8 us");
    EXPECT_EQ(Cell(dialog, "MemClk"), "1066.67 MHz");
    EXPECT_EQ(Cell(dialog, "En2T"), "2T");
    EXPECT_EQ(Cell(dialog, "DCC_EN"), "Enabled");
    EXPECT_EQ(Cell(dialog, "Trfc3"), "0 ns");
    EXPECT_EQ(std::string(dialog.GetName()), "DDR2 Memory Controller");

    ChannelDialog unset;
    EXPECT_EQ(std::string(unset.GetName()), "Channel A");
    unset.Show(timing, config);
    EXPECT_EQ(Cell(unset, "CKE"), "1.5 x");
    EXPECT_EQ(Cell(unset, "ProcOdt"), "75 ohms");
    EXPECT_EQ(Cell(unset, "Delay0"), "0.125 ns");
    ChannelDialog other;
    other.SetChannel(1);
    EXPECT_EQ(std::string(other.GetName()), "Channel B");
    // Any other channel lies outside the record: nothing is read or shown.
    for (int channel : {2, -1}) {
        other.SetChannel(channel);
        EXPECT_EQ(std::string(other.GetName()), "Unknown Channel");
        other.Show(timing, config);
        EXPECT_TRUE(Cell(other, "CKE").isEmpty());
        EXPECT_TRUE(Cell(other, "Delay3").isEmpty());
    }
}

TEST_F(DiagramTest, ControllerDialogsReadAtEveryShowAndChangeNothingWhenAReadFails)
{
    Open();
    EXPECT_EQ(Title(dnDCT), "DDR2 Memory Controller");
    EXPECT_EQ(Title(dnChannelA), "Channel A");
    EXPECT_EQ(Title(dnChannelB), "Channel B");
    auto& dct = dynamic_cast<DCTDialog&>(*g_DialogManager.Frame(dnDCT)->Dialog());
    auto& channelB = dynamic_cast<ChannelDialog&>(*g_DialogManager.Frame(dnChannelB)->Dialog());
    auto* mc = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    ASSERT_NE(mc, nullptr);
    MEMORY_CONFIG config{};
    ASSERT_TRUE(mc->GetConfig(&config));
    EXPECT_EQ(Cell(dct, "MemClk"), QStringLiteral("%1 MHz").arg(config.MemClk));
    EXPECT_EQ(Cell(channelB, "CKE"), QStringLiteral("%1 x").arg(config.CkeDrvStrength[1]));

    // A show reads again.
    {
        auto lock = Board().Lock();
        Board().mc.fields["Tcl"] = 6;
        Board().mc.fields["CkeDrvStrength1"] = 2;
    }
    Button(dnDCT)->click();
    Button(dnChannelB)->click();
    EXPECT_EQ(Cell(dct, "Tcl"), "6 bus clock");
    EXPECT_EQ(Cell(channelB, "CKE"), "2 x");
    Button(dnDCT)->click();
    Button(dnChannelB)->click();

    // The configuration cannot be read after the timings were: not even the timings change.
    {
        auto lock = Board().Lock();
        Board().mc.fields["Tcl"] = 4;
    }
    vb::Machine::Instance().GetFaults().Set("qvx:MC.GetConfig");
    test::LogCapture::Instance().Clear();
    EXPECT_FALSE(dct.Refresh());
    EXPECT_EQ(Cell(dct, "Tcl"), "6 bus clock");
    EXPECT_FALSE(channelB.Refresh());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
    EXPECT_TRUE(test::LogContains("DCTDialog::Refresh"));
    EXPECT_TRUE(test::LogContains("ChannelDialog::Refresh"));
}

TEST_F(DiagramTest, NoControllerDialogsWhenTheRecordsCannotBeRead)
{
    vb::Machine::Instance().GetFaults().Set("qvx:MC.GetTimings");
    Open();
    EXPECT_EQ(Title(dnDCT), "");
    EXPECT_EQ(Title(dnChannelA), "");
    EXPECT_EQ(Title(dnChannelB), "");
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
}

// The dialogs only read the records: a controller that reports no channel B still
// has its channel B fields, and the dialog shows them as they stand.
TEST_F(DiagramTest, AnExternalDdr3ControllerWithoutChannelBKeepsItsTitleAndFields)
{
    UseVariant("qvx-ddr3-external");
    Open();
    EXPECT_EQ(Title(dnDCT), "DDR2 Memory Controller");
    auto* mc = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    ASSERT_NE(mc, nullptr);
    EXPECT_FALSE(mc->IsChannelBPresent());
    MEMORY_CONFIG config{};
    ASSERT_TRUE(mc->GetConfig(&config));
    auto& dct = dynamic_cast<DCTDialog&>(*g_DialogManager.Frame(dnDCT)->Dialog());
    EXPECT_EQ(Cell(dct, "MemClk"), QStringLiteral("%1 MHz").arg(config.MemClk));
    auto& channelB = dynamic_cast<ChannelDialog&>(*g_DialogManager.Frame(dnChannelB)->Dialog());
    EXPECT_EQ(Cell(channelB, "Delay3"), QStringLiteral("%1 ns").arg(config.DqsRcvEnDelay[7]));
}
