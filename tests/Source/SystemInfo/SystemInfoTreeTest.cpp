// The "Detailed" tree: which blocks it holds and in which order, the rows of each
// device type on board variants, the blocks that end early, and rebuilding.
#include <QDir>
#include <QJsonArray>

#include <cmath>
#include <limits>

#include "Source/Files.h"
#include "Source/SystemInfo/SystemInfoFixture.h"
#include "SystemInfo/SystemInfoRows.h"
#include "VirtualBoard/UsbBus.h"
#include "support/LogCapture.h"
#include "support/ReservedCodes.h"

using test::Rows;
using test::SystemInfoTest;

namespace {

void Plug(const char* name, vb::UsbKind kind, int controller)
{
    vb::Machine::Instance().Get<vb::UsbBus>().Plug(
        vb::UsbDevice{QLatin1String(name), QStringLiteral("Vyk"), QString(), kind, controller});
}

QJsonObject Link(double width, double multiplier = 10)
{
    return QJsonObject{{"width", width}, {"maxWidth", 16}, {"multiplier", multiplier}, {"maxMultiplier", 10}};
}

} // namespace

TEST_F(SystemInfoTest, TheDefaultBoardIsListedInTypeOrderWithMonitorsBeforeDisks)
{
    Create();
    const std::vector<std::string> expected = {
        "CPU 0",  "CPU 1",     "CPU 2",     "CPU 3",      "HTLink 0", "GPU 0",           "Memory 0",
        "Memory 1", "BIOS",    "Monitor 0", "Harddisk 0", "Audio 0",  "USB Controller 0", "USB Controller 1",
        "USB Controller 2", "USB Controller 3"};
    EXPECT_EQ(Captions(), expected);
    // Two levels: captions in column 0 of the top items, rows in columns 1 and 2; all collapsed.
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* top = Tree()->topLevelItem(i);
        EXPECT_TRUE(top->text(1).isEmpty() && top->text(2).isEmpty());
        EXPECT_FALSE(top->isExpanded());
        ASSERT_GT(top->childCount(), 0);
        for (int r = 0; r < top->childCount(); ++r) {
            EXPECT_TRUE(top->child(r)->text(0).isEmpty());
            EXPECT_EQ(top->child(r)->childCount(), 0);
        }
    }
    EXPECT_FALSE(test::LogContains("QSystemInfo"));
    EXPECT_EQ(Tree()->columnCount(), 3);
    EXPECT_EQ(Tree()->columnWidth(0), 200);
    EXPECT_EQ(Tree()->columnWidth(1), 300);
}

TEST_F(SystemInfoTest, ABoardWithoutDevicesGivesAnEmptyTree)
{
    UseVariant("qvx-bare");
    Create();
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
}

TEST_F(SystemInfoTest, FourGraphicsChips)
{
    UseVariant("qvx-four-gpus");
    Create();
    EXPECT_EQ(Block("GPU 0"), (Rows{"Name = Vyk Graphics VG300", "Description = Vyk Graphics VG300 (integrated)",
                                    "Vendor = Vyk", "Core Frequency = 500.00 MHz", "Memory Capacity = 256 MB",
                                    "Memory Frequency = 400.00 MHz", "Memory Bit Width = 64 Bit",
                                    "Display Mode = 1280 x 1024 x 32 bit, 60 Hz"}));
    EXPECT_EQ(Block("GPU 1"), (Rows{"Name = Vyk Graphics Q30", "Description = Vyk Graphics Q30", "Vendor = Vyk",
                                    "Core Frequency = 625.00 MHz", "Memory Capacity = 512 MB",
                                    "Memory Frequency = 993.00 MHz", "Memory Bit Width = 256 Bit",
                                    "Display Mode = 1680 x 1050 x 32 bit, 60 Hz"}));
    // A chip without a display mode still gets the row, empty.
    EXPECT_EQ(Block("GPU 2"), (Rows{"Name = Vyk Graphics Q20", "Description = Vyk Graphics Q20", "Vendor = Vyk",
                                    "Core Frequency = 750.00 MHz", "Memory Capacity = 512 MB",
                                    "Memory Frequency = 1000.00 MHz", "Memory Bit Width = 128 Bit", "Display Mode = "}));
    EXPECT_EQ(Block("GPU 3"), (Rows{"Name = Vyk Graphics Q10", "Description = Vyk Graphics Q10", "Vendor = Vyk",
                                    "Core Frequency = 600.00 MHz", "Memory Capacity = 256 MB",
                                    "Memory Frequency = 500.00 MHz", "Memory Bit Width = 64 Bit", "Display Mode = "}));
    EXPECT_TRUE(Block("GPU 4").empty());
}

TEST_F(SystemInfoTest, AModuleWithoutSpdAndADiskWithoutIdentificationKeepWhatTheyHave)
{
    UseVariant("qvx-unreadable-records");
    Create();
    // The module's size is the controller's; its speed and width only its SPD data tell.
    EXPECT_EQ(Block("Memory 1"), (Rows{"Name = Memory Module", "Description = DIMM", "Vendor = ", "Capacity = 1024 MB",
                                       "Max Bandwidth = ", "Part Number = ", "Serial Number = 0",
                                       "Data Width = ", "Bus Frequency = 400 MHz", "Slot Location = Slot 2"}));
    // The disk's block ends where its identification record would begin; without it
    // the drive has told no size.
    EXPECT_EQ(Block("Harddisk 1"), (Rows{"Name = VYK HD250P ATA Device", "Description = Disk drive", "Vendor = Vyk",
                                         "Capacity = ", "Interface Type = SATA"}));
    EXPECT_EQ(Block("Harddisk 0").size(), 22u);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pDiskInfo)"));
    EXPECT_TRUE(test::LogContains("QSystemInfo::_AddHardDiskInfo"));
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR(bRetCode)"), 1u);
    EXPECT_TRUE(test::LogContains("QSystemInfo::Init"));
    // The devices after the short block are all there.
    EXPECT_EQ(Captions().back(), "USB Controller 3");
}

TEST_F(SystemInfoTest, SizesThatTheImagesLeaveUnknownAreEmptyRows)
{
    // A module whose chip density, banks, ranks and bus width are reserved codes, and
    // a disk that reads all ones: no sizes, and the rest as the images give it.
    g_DeviceManager.UnInit();
    ASSERT_TRUE(test::LoadDdr3Board(test::Ddr3SpdOfReservedCodes(), 0xFFFF));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    Create();
    const Rows module = Block("Memory 0");
    ASSERT_EQ(module.size(), 10u);
    EXPECT_EQ(module[1], "Description = DDR3 SDRAM DIMM");
    EXPECT_EQ(module[2], "Vendor = Juv Technologies");
    EXPECT_EQ(module[3], "Capacity = ");
    EXPECT_EQ(module[4], "Max Bandwidth = ");
    EXPECT_EQ(module[5], "Part Number = VK2G1333U9-2G");
    EXPECT_EQ(module[7], "Data Width = ");
    EXPECT_EQ(Block("Memory 1")[3], "Capacity = 2048 MB");
    EXPECT_EQ(Block("Memory 1")[4], "Max Bandwidth = 10.7 GB/s");
    EXPECT_EQ(Block("Harddisk 0"), (Rows{"Name = VYK HD500S ATA Device", "Description = Disk drive", "Vendor = Vyk",
                                         "Capacity = ", "Interface Type = SATA"}));
}

TEST_F(SystemInfoTest, ModuleSerialNumbersAreUpperCaseHexadecimal)
{
    // Serial bytes of the first module's SPD data (outside its checksum): AB12CD.
    g_DeviceManager.UnInit();
    QJsonObject smbus = test::DefaultBoard().value("smbus").toObject();
    QJsonArray devices = smbus.value("devices").toArray();
    QJsonObject eeprom = devices.at(0).toObject();
    QStringList bytes = eeprom.value("bytes").toString().split(' ');
    bytes[95] = "00", bytes[96] = "AB", bytes[97] = "12", bytes[98] = "CD";
    eeprom.insert("bytes", bytes.join(' '));
    devices.replace(0, eeprom);
    smbus.insert("devices", devices);
    ASSERT_TRUE(test::LoadDefaultBoardWith({{"smbus", smbus}}));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    Create();
    EXPECT_EQ(Block("Memory 0"),
              (Rows{"Name = VK2G800U5-1G", "Description = 1024 MB DDR2 SDRAM DIMM", "Vendor = Juv Technologies",
                    "Capacity = 1024 MB", "Max Bandwidth = 6.4 GB/s", "Part Number = VK2G800U5-1G",
                    "Serial Number = AB12CD", "Data Width = 64 bits", "Bus Frequency = 400 MHz",
                    "Slot Location = Slot 0"}));
}

TEST_F(SystemInfoTest, MaxFrequencyInWholeTensOfMHzAlsoAbove4GHz)
{
    const struct {
        double hz;
        const char* text;
    } cases[] = {
        {3214.5e6, "3210 MHz"},   {2600e6, "2600 MHz"},    {9.99e6, "0 MHz"},
        {4294967296.0, "4290 MHz"}, {5.0e9, "5000 MHz"}, {18.75e9, "18750 MHz"},
        // No clock at all: shown as the device gave it, like every other missing reading.
        {-9999, "-9999 MHz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        UseBoardWith([&c](QJsonObject& devices) {
            Edit(devices, "cpu", [&c](QJsonObject& cpu) { cpu.insert("maxFrequencyHz", c.hz); });
        });
        Create();
        ASSERT_GE(Block("CPU 3").size(), 4u);
        EXPECT_EQ(Block("CPU 3")[3], std::string("Max Frequency = ") + c.text);
        page.reset();
    }
    EXPECT_EQ(sysinfo::MaxFrequencyMHz(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(sysinfo::MaxFrequencyMHz(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(sysinfo::MaxFrequencyMHz(1e20), "1e+20");
}

TEST_F(SystemInfoTest, AProcessorWithoutItsInstructionCacheRecordStopsBeforeIt)
{
    Fault("qvx:CPU.GetL1CodeCacheInfo");
    Create();
    for (const char* cpu : {"CPU 0", "CPU 1", "CPU 2", "CPU 3"}) {
        SCOPED_TRACE(cpu);
        const Rows rows = Block(cpu);
        ASSERT_EQ(rows.size(), 14u);
        EXPECT_EQ(rows.back(), "L1 Data Cache Line Size = 64 Bytes");
    }
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(pCacheInfo)"), 4u);
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR(bRetCode)"), 4u);
    EXPECT_EQ(Captions()[4], "HTLink 0");
}

TEST_F(SystemInfoTest, LinksNotInUseAreLeftOutAndTheLinkListIsBounded)
{
    // Link 1 not in use: HT0 rows, then HT2 rows. The tolerance is 0.00001 around -1.
    UseBoardWith([](QJsonObject& devices) {
        Edit(devices, "htLink", [](QJsonObject& h) {
            h.insert("links", QJsonArray{Link(16, 2.5), Link(-1), Link(8), Link(-1.000001), Link(-1.1)});
        });
    });
    Create();
    EXPECT_EQ(Block("HTLink 0"),
              (Rows{"HT0 Multiplier = 2.5 X", "HT0 Width In = 16 bits", "HT0 Width Out = 16 bits",
                    "HT0 Max Width In = 16 bits", "HT0 Max Width Out = 16 bits", "HT2 Multiplier = 10 X",
                    "HT2 Width In = 8 bits", "HT2 Width Out = 8 bits", "HT2 Max Width In = 16 bits",
                    "HT2 Max Width Out = 16 bits", "HT4 Multiplier = 10 X", "HT4 Width In = -1.1 bits",
                    "HT4 Width Out = -1.1 bits", "HT4 Max Width In = 16 bits", "HT4 Max Width Out = 16 bits"}));
    page.reset();

    // A block that keeps answering is cut at 32 links, and says so.
    UseBoardWith([](QJsonObject& devices) {
        Edit(devices, "htLink", [](QJsonObject& h) {
            QJsonArray links;
            for (int k = 0; k < 40; ++k)
                links.append(Link(16));
            h.insert("links", links);
        });
    });
    Create();
    const Rows rows = Block("HTLink 0");
    ASSERT_EQ(rows.size(), 32u * 5u);
    EXPECT_EQ(rows.back(), "HT31 Max Width Out = 16 bits");
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(k < kMaxHTLinks)"));
    EXPECT_TRUE(test::LogContains("QSystemInfo::_AddHTLinkInfo"));
    EXPECT_EQ(Captions()[5], "GPU 0");
}

TEST_F(SystemInfoTest, UsbDevicesAreRowsOfTheirController)
{
    Plug("USB Flash Disk", vb::UsbKind::Storage, 1);
    Plug("USB Travel Mouse", vb::UsbKind::Mouse, 1);
    Plug("USB Slim Keyboard", vb::UsbKind::Keyboard, 1);
    ASSERT_TRUE(g_DeviceManager.Refresh());
    Create();
    EXPECT_EQ(Block("USB Controller 0"),
              (Rows{"Name = Vyk USB OHCI Controller 0", "Description = Standard OpenHCD USB Host Controller",
                    "Vendor = Vyk", "USB Optical Mouse = Vyk", "USB Keyboard = Vyk"}));
    EXPECT_EQ(Block("USB Controller 1"),
              (Rows{"Name = Vyk USB EHCI Controller 0", "Description = Standard Enhanced PCI to USB Host Controller",
                    "Vendor = Vyk", "USB Flash Disk = Vyk", "USB Travel Mouse = Vyk", "USB Slim Keyboard = Vyk"}));
    EXPECT_EQ(Block("USB Controller 2").size(), 3u);

    // A device behind a controller that cannot be named ends that block; the next
    // controller is still listed.
    Fault("qvx:USB.GetChildDevice");
    ASSERT_TRUE(page->Init());
    EXPECT_EQ(Block("USB Controller 0").size(), 3u);
    EXPECT_EQ(Block("USB Controller 1").size(), 3u);
    EXPECT_EQ(Block("USB Controller 3").size(), 3u);
    EXPECT_EQ(test::LogCount("QSystemInfo::_AddUSBInfo"), 2u);
}

TEST_F(SystemInfoTest, InitRebuildsTheWholeTreeFromTheDevicesOfNow)
{
    Create();
    const size_t blocks = Captions().size();
    // Init again, without UnInit: nothing twice.
    ASSERT_TRUE(page->Init());
    EXPECT_EQ(Captions().size(), blocks);

    ASSERT_TRUE(page->UnInit());
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
    ASSERT_TRUE(page->Init());
    EXPECT_EQ(Captions().size(), blocks);

    // A device that left is gone after the refresh, the rest is rebuilt collapsed.
    Tree()->expandAll();
    ASSERT_TRUE(vb::Machine::Instance().Get<vb::UsbBus>().Unplug("USB Optical Mouse"));
    Rebuild();
    EXPECT_EQ(Block("USB Controller 0"),
              (Rows{"Name = Vyk USB OHCI Controller 0", "Description = Standard OpenHCD USB Host Controller",
                    "Vendor = Vyk", "USB Keyboard = Vyk"}));
    EXPECT_EQ(Captions().size(), blocks);
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i)
        EXPECT_FALSE(Tree()->topLevelItem(i)->isExpanded());
}

TEST_F(SystemInfoTest, EveryBoardVariantIsListedInTypeOrderAndSaved)
{
    // Where each caption may stand: the blocks of one type follow those of the types before it.
    const char* const kOrder[] = {"CPU ", "HTLink ", "GPU ", "Memory ", "BIOS", "Monitor ", "Harddisk ",
                                  "Audio ", "USB Controller "};
    const auto rank = [&kOrder](const std::string& caption) {
        for (size_t i = 0; i < std::size(kOrder); ++i)
            if (caption.rfind(kOrder[i], 0) == 0)
                return static_cast<int>(i);
        return -1;
    };
    const QDir boards(QStringLiteral(VELOCREST_FIXTURES "/boards"));
    int listed = 0;
    for (const QString& file : boards.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        SCOPED_TRACE(file.toStdString());
        page.reset();
        g_DeviceManager.UnInit();
        test::LoadBoardOver(boards.absoluteFilePath(file));
        if (!g_DeviceManager.Init("test"))
            continue;   // a board on which the device library itself does not start
        Create();
        int previous = 0;
        int rows = 0;
        for (const std::string& caption : Captions()) {
            const int r = rank(caption);
            EXPECT_GE(r, previous) << caption;
            previous = r;
            rows += static_cast<int>(Block(caption.c_str()).size());
        }
        // The report holds every block: its caption line, a line per row and the empty line.
        const QString path = QDir::current().absoluteFilePath(file + QStringLiteral(".txt"));
        Output(path);
        const QByteArray text = test::ReadFile(path);
        EXPECT_EQ(text.count("\r\n"), rows + 2 * static_cast<int>(Captions().size()));
        EXPECT_EQ(text.count("\r\n\t"), rows);
        ++listed;
    }
    EXPECT_GE(listed, 15);
    EXPECT_TRUE(answers.Messages().empty());
}

TEST(SystemInfoRowsTest, TextsAreReadWithinTheirFieldsAndANullTextIsEmpty)
{
    EXPECT_EQ(sysinfo::DeviceText(nullptr), QString());
    EXPECT_EQ(sysinfo::DeviceText(u"Vyk"), "Vyk");
    EXPECT_EQ(sysinfo::RecordText(nullptr, 16), QString());
    // A field filled to its end, with no terminator: read no further than the field.
    struct {
        char field[8];
        char next[8];
    } record = {{'V', 'D', '5', 'S', '0', '0', '0', '1'}, {'X', 'X', 'X', 0}};
    EXPECT_EQ(sysinfo::RecordText(record.field, sizeof record.field), "VD5S0001");
    EXPECT_EQ(sysinfo::RecordText("1.00\0junk", 256), "1.00");
    EXPECT_EQ(sysinfo::RecordText("\xE9t\xE9", 256), QString::fromUtf8("été"));
}
