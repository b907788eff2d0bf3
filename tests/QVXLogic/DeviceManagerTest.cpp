// The device manager: what it hands out, counting, lifetimes and start-up order.
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
        {dtCPU, 4, "CPU"}, {dtHTLink, 1, "HTLink"}, {dtMemoryController, 1, nullptr}, {dtGPU, 1, "GPU"},
        {dtClockGenerator, 1, "ClockGen"}, {dtPWMController, 1, nullptr}, {dtPWMController2, 1, nullptr},
        {dtNorthBridge, 1, nullptr}, {dtSouthBridge, 1, nullptr}, {dtSensorChip, 1, nullptr},
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
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtMemory), 0u);   // built with the memory pages
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
