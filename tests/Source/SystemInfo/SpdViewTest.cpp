// The module view from made-up module records: empty and extra timing sets, the
// number formats, the manufacturer's tool tip and texts that fill their field.
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "QVXLogic/Records.h"
#include "SystemInfo/BasicInfo.h"   // the form
#include "SystemInfo/SpdView.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kGiB = 1024.0 * 1024 * 1024;

SPD_TIMING Set(double mhz, double base)
{
    // Tcl, -, Trp, Trrd, Trcd, Tras, Twr, Twtr, Trtp, Trc: base + 1 .. base + 10.
    return SPD_TIMING{mhz, base + 1, 0, base + 3, base + 4, base + 5, base + 6, base + 7, base + 8, base + 9, base + 10, 0};
}

SPD_INFO Record()
{
    SPD_INFO spd;
    std::memset(&spd, 0, sizeof spd);
    spd.nMemoryType = 8;
    spd.dMaxBandwidth = 6.4e9;
    std::strcpy(spd.szPartNumber, "VM2-6400-1G");
    spd.uSerialNumber = 2748;
    std::strcpy(spd.szManufacturer, "Neutral Memory");
    std::strcpy(spd.szDate, "2008/Week 12");
    spd.Timing[0] = Set(400, 0);
    spd.Timing[1] = Set(333, 10);
    spd.Timing[2] = Set(266, 20);
    spd.ExtraTiming = Set(533, 30);
    return spd;
}

class SpdViewTest : public testing::Test {
protected:
    SpdViewTest() { ui.setupUi(&page); }

    QString Field(const char* name) const { return page.findChild<QLineEdit*>(QLatin1String(name))->text(); }
    // One column of the grid, top to bottom: Freq, Trp, Trrd, Trcd, Tras, Twr, Twtr, Trtp, Trc, Tcl.
    QStringList Column(int k) const
    {
        QStringList texts;
        for (const char* row : {"Freq", "Trp", "Trrd", "Trcd", "Tras", "Twr", "Twtr", "Trtp", "Trc", "Tcl"})
            texts << page.findChild<QLabel*>(QStringLiteral("%1%2").arg(QLatin1String(row)).arg(k))->text();
        return texts;
    }

    QWidget page;
    Ui::BasicInfoClass ui;
};

const QStringList kColumn0 = {"400 MHz", "3 clock", "4 clock", "5 clock", "6 clock", "7 clock", "8 clock",
                              "9 clock", "10 clock", "1 clock"};
const QStringList kExtra = {"533 MHz", "33 clock", "", "35 clock", "36 clock", "37 clock", "", "", "40 clock", "31 clock"};
const QStringList kBlank = {"", "", "", "", "", "", "", "", "", ""};

} // namespace

TEST_F(SpdViewTest, EveryFieldOfAModule)
{
    ShowModule(ui, kGiB, Record());
    EXPECT_EQ(Field("MemCapacity"), "1024 MB");
    EXPECT_EQ(Field("MemType"), "DDR2 SDRAM");
    EXPECT_EQ(Field("MaxBandwidth"), "6.4 GB/s");
    EXPECT_EQ(Field("MemManufacturer"), "Neutral Memory");
    EXPECT_EQ(Field("PartNumber"), "VM2-6400-1G");
    EXPECT_EQ(Field("SerialNumber"), "ABC");
    EXPECT_EQ(Field("Date"), "2008/Week 12");
    EXPECT_EQ(Column(0), kColumn0);
    EXPECT_EQ(Column(1)[0], "333 MHz");
    EXPECT_EQ(Column(2)[9], "21 clock");
}

TEST_F(SpdViewTest, EmptySetsShowTheExtraSetWhenItHoldsValues)
{
    struct Case {
        double freq1, freq2;
        bool extra;
        QStringList column1, column2;
    };
    const QStringList set2 = {"266 MHz", "23 clock", "24 clock", "25 clock", "26 clock", "27 clock", "28 clock",
                              "29 clock", "30 clock", "21 clock"};
    const Case cases[] = {
        {kNaN, 266, true, kExtra, set2},
        {kInf, -kInf, true, kExtra, kExtra},   // two empty sets both repeat the extra set
        {kNaN, kNaN, false, kBlank, kBlank},
        {0, 266, true, {"0 MHz", "13 clock", "14 clock", "15 clock", "16 clock", "17 clock", "18 clock", "19 clock",
                        "20 clock", "11 clock"}, set2},   // 0 is a frequency like any other
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.freq1) + " " + testing::PrintToString(c.extra));
        ShowModule(ui, kGiB, Record());   // a full grid first: every empty label was emptied
        SPD_INFO spd = Record();
        spd.Timing[1].dFrequency = c.freq1;
        spd.Timing[2].dFrequency = c.freq2;
        spd.bExtraSet = c.extra ? 1 : 0;
        ShowModule(ui, kGiB, spd);
        EXPECT_EQ(Column(0), kColumn0);
        EXPECT_EQ(Column(1), c.column1);
        EXPECT_EQ(Column(2), c.column2);
    }
}

TEST_F(SpdViewTest, NumberFormatsAndMemoryTypes)
{
    const struct {
        double capacity, bandwidth;
        uint32_t serial;
        int32_t type;
        const char *mb, *gbs, *serialText, *typeText;
    } cases[] = {
        {2 * kGiB, 5.33e9, 0xDEADBEEF, 11, "2048 MB", "5.3 GB/s", "DEADBEEF", "DDR3 SDRAM"},
        {512.0 * 1024 * 1024, 3.2e9, 0, 9, "512 MB", "3.2 GB/s", "0", "Unknown Type"},
        {0, 0, 255, 10, "0 MB", "0.0 GB/s", "FF", "Unknown Type"},
        {kGiB, 10.66e9, 1, 12, "1024 MB", "10.7 GB/s", "1", "Unknown Type"},
        // Sizes the module's data leave unknown show nothing, like an empty timing set.
        {kNaN, kNaN, 1, 11, "", "", "1", "DDR3 SDRAM"},
        {kInf, -kInf, 1, 11, "", "", "1", "DDR3 SDRAM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mb);
        SPD_INFO spd = Record();
        spd.dMaxBandwidth = c.bandwidth;
        spd.uSerialNumber = c.serial;
        spd.nMemoryType = c.type;
        ShowModule(ui, c.capacity, spd);
        EXPECT_EQ(Field("MemCapacity"), QLatin1String(c.mb));
        EXPECT_EQ(Field("MaxBandwidth"), QLatin1String(c.gbs));
        EXPECT_EQ(Field("SerialNumber"), QLatin1String(c.serialText));
        EXPECT_EQ(Field("MemType"), QLatin1String(c.typeText));
    }
}

TEST_F(SpdViewTest, LongManufacturerNamesGetATooltipThatGoesWithThem)
{
    SPD_INFO spd = Record();
    std::strcpy(spd.szManufacturer, "ABCDEFGHIJKLMNOPQRSTU");   // 21 characters
    ShowModule(ui, kGiB, spd);
    EXPECT_EQ(ui.MemManufacturer->toolTip(), "ABCDEFGHIJKLMNOPQRSTU");
    std::strcpy(spd.szManufacturer, "ABCDEFGHIJKLMNOPQRST");    // 20
    ShowModule(ui, kGiB, spd);
    EXPECT_EQ(Field("MemManufacturer"), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_TRUE(ui.MemManufacturer->toolTip().isEmpty()) << "the previous module's tool tip is gone";
}

TEST_F(SpdViewTest, TextsThatFillTheirWholeFieldEndWithIt)
{
    SPD_INFO spd = Record();
    std::memset(spd.szPartNumber, 'P', sizeof spd.szPartNumber);     // no terminating zero
    std::memset(spd.szManufacturer, 'M', sizeof spd.szManufacturer);
    std::memset(spd.szDate, 'D', sizeof spd.szDate);
    ShowModule(ui, kGiB, spd);
    EXPECT_EQ(Field("PartNumber"), QString(256, 'P'));
    EXPECT_EQ(Field("MemManufacturer"), QString(256, 'M'));
    EXPECT_EQ(Field("Date"), QString(256, 'D'));
}

TEST_F(SpdViewTest, ClearingEmptiesEveryField)
{
    SPD_INFO spd = Record();
    std::strcpy(spd.szManufacturer, "A manufacturer with a long name");
    ShowModule(ui, kGiB, spd);
    ClearModule(ui);
    for (const char* name : {"MemCapacity", "MemType", "MaxBandwidth", "MemManufacturer", "PartNumber", "SerialNumber", "Date"})
        EXPECT_TRUE(Field(name).isEmpty()) << name;
    EXPECT_TRUE(ui.MemManufacturer->toolTip().isEmpty());
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(Column(k), kBlank);
}

TEST_F(SpdViewTest, CasLatencyKeepsItsHalfClock)
{
    // A half latency (DDR) shows its one decimal, in a set and in the extra set; a
    // whole one keeps its format, as do the other timings.
    const struct {
        double tcl;
        const char* text;
    } cases[] = {{2.5, "2.5 clock"}, {1.5, "1.5 clock"}, {3, "3 clock"}, {2.0, "2 clock"}, {0, "0 clock"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tcl);
        SPD_INFO spd = Record();
        spd.Timing[0].Tcl = c.tcl;
        spd.Timing[0].Trp = 3;
        spd.Timing[1].dFrequency = kNaN;
        spd.bExtraSet = 1;
        spd.ExtraTiming.Tcl = c.tcl;
        ShowModule(ui, kGiB, spd);
        EXPECT_EQ(Column(0)[9], QLatin1String(c.text));
        EXPECT_EQ(Column(0)[1], "3 clock");
        EXPECT_EQ(Column(1)[9], QLatin1String(c.text));
    }
}
