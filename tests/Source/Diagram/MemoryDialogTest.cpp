// The memory module dialog: the formats of one SPD record (type names, rounded
// sizes, bandwidth with one decimal, serial in hexadecimal, the maker's tool tip,
// timing sets shown only with a finite frequency), and which module a slot's
// dialog finds on the simulated boards.
#include <QJsonArray>

#include <cmath>
#include <cstring>
#include <limits>

#include "Diagram/MemoryDialog.h"
#include "QVXLogic/MemoryDevices.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::DiagramTest;

namespace {

SPD_INFO Record()
{
    SPD_INFO spd;
    std::memset(&spd, 0, sizeof spd);
    spd.nMemoryType = 8;
    for (SPD_TIMING& t : spd.Timing) {
        t.dFrequency = 400;
        t.Tcl = 5;
        t.Trp = 5;
        t.Trrd = 3;
        t.Trcd = 5;
        t.Tras = 18;
        t.Twr = 6;
        t.Twtr = 3;
        t.Trtp = 3;
        t.Trc = 23;
    }
    return spd;
}

QStringList Set(Ui::MemoryDialogClass& f, int s)
{
    QLabel* const sets[3][10] = {
        {f.Freq0, f.Trp0, f.Trrd0, f.Trcd0, f.Tras0, f.Twr0, f.Twtr0, f.Trtp0, f.Trc0, f.Tcl0},
        {f.Freq1, f.Trp1, f.Trrd1, f.Trcd1, f.Tras1, f.Twr1, f.Twtr1, f.Trtp1, f.Trc1, f.Tcl1},
        {f.Freq2, f.Trp2, f.Trrd2, f.Trcd2, f.Tras2, f.Twr2, f.Twtr2, f.Trtp2, f.Trc2, f.Tcl2},
    };
    QStringList texts;
    for (QLabel* label : sets[s])
        texts << label->text();
    return texts;
}

} // namespace

TEST(MemoryDialogTest, FormatsOfOneModuleByTable)
{
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const double kInf = std::numeric_limits<double>::infinity();
    const struct {
        int type;
        double capacity, bandwidth;
        uint32_t serial;
        double freq1;
        const char *typeText, *capacityText, *bandwidthText, *serialText, *freq1Text;
    } kCases[] = {
        {8, 2147483648.0, 6.4e9, 0x00A1B2C3, 400, "DDR2 SDRAM", "2048 MB", "6.4 GB/s", "A1B2C3", "400 MHz"},
        {7, 536870912.0, 5.333e9, 0, kNaN, "DDR SDRAM", "512 MB", "5.3 GB/s", "0", ""},
        // Modules of the later kind get their name too.
        {11, 1073741824.0, 10.666e9, 0xFFFFFFFF, kInf, "DDR3 SDRAM", "1024 MB", "10.7 GB/s", "FFFFFFFF", ""},
        {9, 0, 0, 1, -kInf, "Unknow Type", "0 MB", "0.0 GB/s", "1", ""},
        {-1, 1.0, 1e9, 0xabc, 0, "Unknow Type", "0 MB", "1.0 GB/s", "ABC", "0 MHz"},
        {0, 1.0, 1e9, 0, 399.6, "Reserved", "0 MB", "1.0 GB/s", "0", "400 MHz"},
        // Sizes the module's data leave unknown show nothing, like an empty timing set.
        {11, kNaN, kNaN, 0x10, 400, "DDR3 SDRAM", "", "", "10", "400 MHz"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.typeText);
        SPD_INFO spd = Record();
        spd.nMemoryType = c.type;
        spd.dMaxBandwidth = c.bandwidth;
        spd.uSerialNumber = c.serial;
        spd.Timing[1].dFrequency = c.freq1;
        MemoryDialog dialog;
        dialog.ShowModule(c.capacity, spd);
        Ui::MemoryDialogClass& f = dialog.Form();
        EXPECT_EQ(f.MemType->text(), c.typeText);
        EXPECT_EQ(f.MemCapacity->text(), c.capacityText);
        EXPECT_EQ(f.MaxBandwidth->text(), c.bandwidthText);
        EXPECT_EQ(f.SerialNumber->text(), c.serialText);
        // Only the frequency decides whether a set shows; its neighbours always do here.
        EXPECT_EQ(Set(f, 1)[0], c.freq1Text);
        EXPECT_EQ(Set(f, 1)[9].isEmpty(), *c.freq1Text == 0);
        EXPECT_EQ(Set(f, 0), QStringList({"400 MHz", "5 clock", "3 clock", "5 clock", "18 clock", "6 clock", "3 clock",
                                          "3 clock", "23 clock", "5 clock"}));
        EXPECT_EQ(Set(f, 2)[0], "400 MHz");
    }
}

TEST(MemoryDialogTest, CasLatencyKeepsItsHalfClock)
{
    const struct {
        double tcl;
        const char* text;
    } cases[] = {{2.5, "2.5 clock"}, {1.5, "1.5 clock"}, {3, "3 clock"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tcl);
        SPD_INFO spd = Record();
        spd.Timing[1].Tcl = c.tcl;
        MemoryDialog dialog;
        dialog.ShowModule(0, spd);
        EXPECT_EQ(Set(dialog.Form(), 1)[9], QLatin1String(c.text));
        EXPECT_EQ(Set(dialog.Form(), 1)[1], "5 clock");   // the other timings stay whole
        EXPECT_EQ(Set(dialog.Form(), 0)[9], "5 clock");
    }
}

TEST(MemoryDialogTest, TextsStopAtTheirFieldsAndLongMakersGetATip)
{
    SPD_INFO spd = Record();
    std::memset(spd.szPartNumber, 'P', sizeof spd.szPartNumber);   // no terminating zero
    std::strcpy(spd.szManufacturer, "Vyk Memory Works Ltd");       // 20 characters
    std::strcpy(spd.szDate, "2009 week 12");
    MemoryDialog dialog;
    dialog.ShowModule(0, spd);
    Ui::MemoryDialogClass& f = dialog.Form();
    EXPECT_EQ(f.PartNumber->text(), QString(256, 'P'));
    EXPECT_EQ(f.MemManufacturer->text(), "Vyk Memory Works Ltd");
    EXPECT_TRUE(f.MemManufacturer->toolTip().isEmpty());
    EXPECT_EQ(f.Date->text(), "2009 week 12");

    std::strcpy(spd.szManufacturer, "Vyk Memory Works Ltd.");     // 21
    MemoryDialog longer;
    longer.ShowModule(0, spd);
    EXPECT_EQ(longer.Form().MemManufacturer->toolTip(), "Vyk Memory Works Ltd.");
    EXPECT_TRUE(longer.Form().PartNumber->toolTip().isEmpty());

    longer.SetSlot(3);
    EXPECT_EQ(std::string(longer.GetName()), "Slot 3");
}

TEST_F(DiagramTest, EachSlotsDialogShowsTheModuleThatReportsThatSlot)
{
    Open();
    EXPECT_EQ(Title(dnMemorySlot0), "Slot 0");
    EXPECT_EQ(Title(dnMemorySlot1), "");
    EXPECT_EQ(Title(dnMemorySlot2), "Slot 2");
    EXPECT_EQ(Title(dnMemorySlot3), "");
    EXPECT_FALSE(Button(dnMemorySlot1)->isEnabled());
    // An empty slot is no failure.
    EXPECT_FALSE(test::LogContains("pMemory"));
    for (int slot : {dnMemorySlot0, dnMemorySlot2}) {
        auto& dialog = dynamic_cast<MemoryDialog&>(*g_DialogManager.Frame(slot)->Dialog());
        // The module the slot reports, as the device library reads it.
        IMemoryModuleDevice* module = nullptr;
        for (unsigned long i = 0; auto* m = QvxGetDevice<IMemoryModuleDevice>(dtMemory, i); ++i)
            if (m->GetSlotLocation() == slot - dnMemorySlot0)
                module = m;
        ASSERT_NE(module, nullptr);
        const SPD_INFO* spd = module->GetSPDInfo();
        ASSERT_NE(spd, nullptr);
        EXPECT_EQ(dialog.Form().MemType->text(), "DDR2 SDRAM");
        EXPECT_EQ(dialog.Form().PartNumber->text(), QString::fromLatin1(spd->szPartNumber).toStdString().c_str());
        EXPECT_EQ(dialog.Form().MemCapacity->text(), QStringLiteral("%1 MB").arg(module->GetCapacity() / 1048576));
        EXPECT_FALSE(dialog.Form().Freq0->text().isEmpty());
    }
    page->UnInit();
    page.reset();

    // Modules out of slot order, two reporting one slot: the lower index is shown.
    UseBoard([](QJsonObject& devices) {
        devices.insert(QStringLiteral("memoryModules"),
                       QJsonArray{QJsonObject{{"slot", 3}, {"spdAddress", "0x52"}, {"capacityMB", 512}},
                                  QJsonObject{{"slot", 3}, {"spdAddress", "0x50"}, {"capacityMB", 1024}}});
    });
    Open();
    EXPECT_EQ(Title(dnMemorySlot0), "");
    EXPECT_EQ(Title(dnMemorySlot3), "Slot 3");
    auto& dialog = dynamic_cast<MemoryDialog&>(*g_DialogManager.Frame(dnMemorySlot3)->Dialog());
    auto* first = QvxGetDevice<IMemoryModuleDevice>(dtMemory, 0);
    auto* second = QvxGetDevice<IMemoryModuleDevice>(dtMemory, 1);
    ASSERT_TRUE(first && second);
    ASSERT_NE(first->GetSPDInfo()->uSerialNumber, second->GetSPDInfo()->uSerialNumber);
    EXPECT_EQ(dialog.Form().SerialNumber->text(), QString::number(first->GetSPDInfo()->uSerialNumber, 16).toUpper());
}

TEST_F(DiagramTest, AModuleWithoutSpdDataHasNoDialog)
{
    UseVariant("qvx-unreadable-records");
    Open();
    EXPECT_EQ(Title(dnMemorySlot0), "Slot 0");
    EXPECT_EQ(Title(dnMemorySlot2), "");
    EXPECT_FALSE(Button(dnMemorySlot2)->isEnabled());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pSPDInfo)"));
}
