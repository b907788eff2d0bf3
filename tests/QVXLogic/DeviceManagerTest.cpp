// The device manager: what it hands out, counting, lifetimes and start-up order.
#include <functional>

#include "QvxTestSupport.h"

#include "VirtualBoard/Devices/DeviceBoard.h"
#include "support/LogCapture.h"

namespace {

using test::QvxTest;
using test::Str;

TEST_F(QvxTest, DefaultBoardHasEveryDeviceOfThisLibrary)
{
    const struct {
        QVX_DEVICE_TYPE type;
        unsigned long count;
        const char* typeName;
    } table[] = {
        {dtCPU, 4, "CPU"}, {dtHTLink, 1, "HTLink"}, {dtMemoryController, 1, "MemoryController"}, {dtGPU, 1, "GPU"},
        {dtMemory, 2, "Memory"}, {dtHardDisk, 1, "HardDisk"}, {dtBIOS, 1, "BIOS"}, {dtMonitor, 1, "Monitor"},
        {dtAudio, 1, "Audio"}, {dtClockGenerator, 1, "ClockGen"}, {dtPWMController, 1, "PWMController"},
        {dtPWMController2, 1, "PWMController2"}, {dtNorthBridge, 1, "NorthBridge"}, {dtSouthBridge, 1, "SouthBridge"},
        {dtSensorChip, 1, "SensorChip"}, {dtSATAController, 1, "SATAController"}, {dtIDEController, 1, "IDEController"},
        {dtUSBController, 4, "USBController"}, {dtCDROM, 1, "CDROM"}, {dtUSBStorage, 0, "USBStorage"},
        {dtMouse, 1, "Mouse"}, {dtKeyboard, 1, "Keyboard"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(g_DeviceManager.GetDeviceCount(row.type), row.count) << row.type;
        // Indexes are contiguous: enumeration stops exactly at the count.
        for (unsigned long i = 0; i < row.count; ++i) {
            IDevice* d = g_DeviceManager.GetDevice(row.type, i);
            ASSERT_NE(d, nullptr) << row.type << " " << i;
            EXPECT_EQ(d->GetType(), row.type);
            EXPECT_EQ(d->GetIndex(), static_cast<int>(i));
            if (row.typeName) {
                EXPECT_EQ(Str(d->GetTypeName()), QString::fromLatin1(row.typeName));
            }
            // Names become XML element names after blanks etc. turn into "_".
            const QString name = Str(d->GetName());
            EXPECT_TRUE(name.at(0).isLetter()) << qPrintable(name);
            for (QChar c : name) {
                EXPECT_TRUE(c.unicode() < 128 && (c.isLetterOrNumber() || QStringLiteral(" ()/+_-.").contains(c)))
                    << qPrintable(name);
            }
        }
        EXPECT_EQ(g_DeviceManager.GetDevice(row.type, row.count), nullptr) << row.type;
    }
    EXPECT_EQ(Str(SB()->GetName()), QStringLiteral("Vyk MX350 Chipset"));
}

TEST_F(QvxTest, EveryReadingReachesTheBoardAndIsCounted)
{
    const vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    auto* cpu = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    ASSERT_NE(cpu, nullptr);
    const uint64_t before = board.Accesses();
    cpu->GetCurrentFrequency();
    cpu->GetCPUVid();
    EXPECT_EQ(board.Accesses(), before + 2);
}

// Every text slot of every device answers a terminated text, never null, on every
// board; and each reading of the information devices goes through the board.
TEST_F(QvxTest, TextsAreNeverNullAndEveryReadingIsCounted)
{
    for (const char* board : {"default", "qvx-bare", "qvx-unreadable-records", "qvx-four-gpus", "qvx-ddr"}) {
        UseBoard(board);
        for (int type = dtCPU; type <= dtKeyboard; ++type)
            for (unsigned long i = 0; IDevice* d = g_DeviceManager.GetDevice(static_cast<QVX_DEVICE_TYPE>(type), i); ++i)
                for (const char16_t* text : {d->GetName(), d->GetDescription(), d->GetVendor(), d->GetTypeName(),
                                             d->GetClassName()})
                    EXPECT_NE(text, nullptr) << board << " " << type << " " << i;
    }
    UseBoard("default");
    const vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    QVX_DEVICE_TYPE childType;
    unsigned long childIndex;
    const std::function<void()> readings[] = {
        [] { Module(0)->GetSPDInfo(); }, [] { Module(0)->GetCapacity(); }, [] { Module(1)->GetBusFrequency(); },
        [] { Bios()->GetVersion(); }, [] { Monitor()->GetRefreshRate(); }, [] { Audio()->GetDriverDate(); },
        [] { Disk()->GetDiskInfo(); }, [] { Disk()->GetInterfaceType(); }, [] { Sata()->GetChannelDevices(0); },
        [] { Ide()->GetChannelCount(); }, [] { Usb(0)->GetChannelCount(); },
        [&] { Usb(0)->GetChildDevice(0, &childType, &childIndex); }, [] { Cpu(0)->GetL3CacheInfo(); },
        [] { Cpu(0)->GetInstructionSet(); }, [] { Cpu(0)->GetInfoString2(); }, [] { Gpu(0)->GetVideoBIOSInfo(); },
        [] { g_DeviceManager.GetDevice(dtMouse, 0)->GetName(); }, [] { Usb(3)->GetDeviceID(); },
    };
    for (size_t i = 0; i < std::size(readings); ++i) {
        const uint64_t before = board.Accesses();
        readings[i]();
        EXPECT_GT(board.Accesses(), before) << i;
    }
}

TEST_F(QvxTest, CountsByClassName)
{
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(u"Vyk Family 10h Processor"), 4u);
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(u"Vyk Family 10h"), 0u);
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(static_cast<const char16_t*>(nullptr)), 0u);
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(0), 0u);   // a bare 0 picks the class-name form: harmless
}

TEST_F(QvxTest, RefreshKeepsObjectsAndRetiredOnesStayUsable)
{
    IDevice* cpu = Cpu(2);
    ISouthBridgeDevice* sb = SB();
    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(Cpu(2), cpu);
    EXPECT_EQ(SB(), sb);

    // A second Init replaces the population; old objects live until UnInit.
    ASSERT_TRUE(g_DeviceManager.Init("again"));
    EXPECT_NE(Cpu(2), cpu);
    EXPECT_EQ(Str(cpu->GetName()), Str(Cpu(2)->GetName()));
    EXPECT_GT(static_cast<ICPUDevice*>(cpu)->GetCurrentFrequency(), 0);
}

TEST(QvxLifecycle, HarmlessInAnyOrder)
{
    EXPECT_TRUE(g_PerformanceControl.UnInitialize());
    EXPECT_TRUE(g_DeviceManager.UnInit());
    EXPECT_FALSE(g_DeviceManager.Refresh());            // nothing started
    EXPECT_EQ(g_DeviceManager.GetDevice(dtCPU, 0), nullptr);
    EXPECT_TRUE(g_PerformanceControl.Initialize());
    EXPECT_TRUE(g_DeviceManager.Init(nullptr));
    EXPECT_TRUE(g_DeviceManager.UnInit());
    EXPECT_TRUE(g_DeviceManager.UnInit());
    EXPECT_TRUE(g_PerformanceControl.UnInitialize());
    EXPECT_TRUE(g_PerformanceControl.UnInitialize());
    EXPECT_FALSE(g_PerformanceControl.IsInitialized());
}

TEST(QvxLifecycle, StartUpFailuresOfTheBoard)
{
    ASSERT_TRUE(test::LoadBoard("qvx-init-fails"));
    EXPECT_FALSE(g_DeviceManager.Init("x"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(!qvx::Board().InitFails())"));
    EXPECT_EQ(g_DeviceManager.GetDevice(dtCPU, 0), nullptr);
    EXPECT_TRUE(g_DeviceManager.UnInit());

    ASSERT_TRUE(test::LoadBoard("qvx-no-cpu"));
    EXPECT_TRUE(g_DeviceManager.Init("x"));
    EXPECT_EQ(g_DeviceManager.GetDevice(dtCPU, 0), nullptr);
    EXPECT_NE(g_DeviceManager.GetDevice(dtNorthBridge, 0), nullptr);
    g_DeviceManager.UnInit();

    ASSERT_TRUE(test::LoadBoard("qvx-no-northbridge"));
    EXPECT_TRUE(g_DeviceManager.Init("x"));
    EXPECT_NE(g_DeviceManager.GetDevice(dtCPU, 0), nullptr);
    EXPECT_EQ(g_DeviceManager.GetDevice(dtNorthBridge, 0), nullptr);
    g_DeviceManager.UnInit();

    ASSERT_TRUE(test::LoadBoard("qvx-perf-control-fails"));
    EXPECT_TRUE(g_DeviceManager.Init("x"));
    EXPECT_FALSE(g_PerformanceControl.Initialize());
    EXPECT_TRUE(g_PerformanceControl.UnInitialize());
    g_DeviceManager.UnInit();
}

TEST(QvxLifecycle, InitCanBeMadeToFail)
{
    vb::Machine::Instance().GetFaults().Set("qvx:Manager.Init");
    EXPECT_FALSE(g_DeviceManager.Init("x"));
    EXPECT_TRUE(g_DeviceManager.UnInit());
}

} // namespace
