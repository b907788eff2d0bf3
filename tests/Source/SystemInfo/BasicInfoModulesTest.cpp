// The Basic page's module view on the simulated board: each slot in the list,
// switching slots, the extra timing set, and modules whose record cannot be read.
#include "Source/SystemInfo/BasicInfoFixture.h"
#include "support/ReservedCodes.h"

using test::BasicInfoTest;

class BasicInfoModulesTest : public BasicInfoTest {
protected:
    QStringList Column(int k) const
    {
        QStringList texts;
        for (const char* row : {"Freq", "Trp", "Trrd", "Trcd", "Tras", "Twr", "Twtr", "Trtp", "Trc", "Tcl"})
            texts << Grid(row, k);
        return texts;
    }
    QStringList Fields() const
    {
        QStringList texts;
        for (const char* name : {"MemCapacity", "MemType", "MaxBandwidth", "MemManufacturer", "PartNumber", "SerialNumber", "Date"})
            texts << Text(name);
        return texts;
    }
};

TEST_F(BasicInfoModulesTest, EachSlotShowsItsOwnModule)
{
    Create();
    // The first item, chosen as it was added, and once more at the end of Init.
    EXPECT_EQ(Fields(), (QStringList{"1024 MB", "DDR2 SDRAM", "6.4 GB/s", "Juv Technologies", "VK2G800U5-1G",
                                     "11223341", "Week 23, 2009"}));
    EXPECT_EQ(Column(0), (QStringList{"400 MHz", "6 clock", "3 clock", "6 clock", "18 clock", "6 clock", "3 clock",
                                      "3 clock", "24 clock", "5 clock"}));
    EXPECT_EQ(Column(2)[0], "267 MHz");

    // The list's own signal reaches the page's slot.
    Slots()->setCurrentIndex(1);
    EXPECT_EQ(Text("SerialNumber"), "11223342");
    Slots()->setCurrentIndex(0);
    EXPECT_EQ(Text("SerialNumber"), "11223341");
    EXPECT_FALSE(test::LogContains("QBasicInfo::"));
}

TEST_F(BasicInfoModulesTest, AModuleWithOneTimingSetAndAProfile)
{
    UseVariant("qvx-ddr");
    Create();
    EXPECT_EQ(Fields(), (QStringList{"512 MB", "DDR SDRAM", "3.2 GB/s", "Juv Technologies", "VK512M400C3", "ABC",
                                     "Week 12, 2008"}));
    EXPECT_TRUE(Get<QLineEdit>("MemManufacturer")->toolTip().isEmpty());

    // Switching replaces every field; the two empty sets show the profile, which
    // has no Trrd, Twtr and Trtp.
    Slots()->setCurrentIndex(1);
    EXPECT_EQ(Fields(), (QStringList{"512 MB", "DDR SDRAM", "3.2 GB/s", "Unknown Manufacturer Code ID",
                                     "VK512M440C25", "ABCD", "Week 12, 2008"}));
    EXPECT_EQ(Get<QLineEdit>("MemManufacturer")->toolTip(), "Unknown Manufacturer Code ID");
    // Its CAS latency of 2.5 keeps its half clock.
    const QStringList profile = {"220 MHz", "3 clock", "", "3 clock", "7 clock", "3 clock", "", "", "10 clock", "2.5 clock"};
    EXPECT_EQ(Column(0)[0], "200 MHz");
    EXPECT_EQ(Column(1), profile);
    EXPECT_EQ(Column(2), profile);

    // Back to the first module: its own sets and no tool tip.
    Slots()->setCurrentIndex(0);
    EXPECT_EQ(Column(1)[2], "2 clock");
    EXPECT_EQ(Column(1)[9], "2.5 clock");
    EXPECT_TRUE(Get<QLineEdit>("MemManufacturer")->toolTip().isEmpty());
}

TEST_F(BasicInfoModulesTest, AnUnreadableModuleShowsNothingOfTheModuleBefore)
{
    UseVariant("qvx-unreadable-records");
    Create();
    EXPECT_EQ(Slots()->itemText(1), "Slot 2");
    EXPECT_EQ(Text("CapacityEdit"), "2048 MB");   // its size is known without its SPD data
    EXPECT_EQ(Text("PartNumber"), "VK2G800U5-1G");

    Slots()->setCurrentIndex(1);
    EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "pSPDInfo", "_UpdateSPDInfo"), 1u);
    ExpectModuleEmpty();
    Slots()->setCurrentIndex(0);
    EXPECT_EQ(Text("PartNumber"), "VK2G800U5-1G");
}

TEST_F(BasicInfoModulesTest, SizesThatTheSpdDataLeaveUnknownShowNothing)
{
    // Chip density, banks, ranks and bus width of the first module are reserved codes.
    g_DeviceManager.UnInit();
    ASSERT_TRUE(test::LoadDdr3Board(test::Ddr3SpdOfReservedCodes()));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    Create();
    const QStringList fields = Fields();
    EXPECT_EQ(fields[0], "");
    EXPECT_EQ(fields[1], "DDR3 SDRAM");
    EXPECT_EQ(fields[2], "");
    EXPECT_EQ(fields.mid(3, 2), (QStringList{"Juv Technologies", "VK2G1333U9-2G"}));
    EXPECT_EQ(Column(0)[0], "667 MHz");
    EXPECT_EQ(Column(0)[9], "9 clock");
    // Nor is the sum of the modules known.
    EXPECT_EQ(Text("CapacityEdit"), "");

    // The other module shows its sizes.
    Slots()->setCurrentIndex(1);
    EXPECT_EQ(Fields().mid(0, 3), (QStringList{"2048 MB", "DDR3 SDRAM", "10.7 GB/s"}));
}

TEST_F(BasicInfoModulesTest, RecordsThatFailOrModulesThatLeave)
{
    // Every record refused: nothing is shown, each reading is logged.
    Fault("qvx:Memory.GetSPDInfo");
    Create();
    EXPECT_EQ(Slots()->count(), 2);
    EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "pSPDInfo", "_UpdateSPDInfo"), 2u);
    ExpectModuleEmpty();
    vb::Machine::Instance().GetFaults().Clear();
    Slots()->setCurrentIndex(1);
    EXPECT_EQ(Text("SerialNumber"), "11223342");

    // A module gone since the list was made: its old data goes too.
    Change([](vb::DeviceBoard& b) { b.inventory.modules.clear(); });
    ASSERT_TRUE(g_DeviceManager.Refresh());
    Slots()->setCurrentIndex(0);
    EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "pMemory", "_UpdateSPDInfo"), 1u);
    ExpectModuleEmpty();
}
