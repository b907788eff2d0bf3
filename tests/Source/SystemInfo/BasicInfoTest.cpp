// "Basic" on the simulated board: what Init shows once, the one-second refresh
// while shown, the family-11h north-bridge field, missing and failing devices,
// and readings that cannot be divided by.
#include <QAbstractEventDispatcher>

#include <cmath>
#include <limits>

#include "Source/SystemInfo/BasicInfoFixture.h"

using test::BasicInfoTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST_F(BasicInfoTest, InitShowsTheProcessorLinkControllerAndModules)
{
    Create();
    EXPECT_EQ(Text("NameEdit"), "Vyk Tarrow T40 Quad-Core Processor");
    EXPECT_EQ(Text("FamilyEdit"), "10");   // 1 + 15
    EXPECT_EQ(Text("ModelEdit"), "04");
    EXPECT_EQ(Text("SteppingEdit"), "2");
    EXPECT_EQ(Text("PackageEdit"), "Socket VAM3");
    EXPECT_EQ(Text("RevisionEdit"), "TR-C2");
    EXPECT_FALSE(Text("InstructionEdit").isEmpty());
    EXPECT_EQ(Text("CodeCacheEdit"), "64 KB X 4");
    EXPECT_EQ(Text("DataCacheEdit"), "64 KB X 4");
    EXPECT_EQ(Text("L2CacheEdit"), "512 KB X 4");
    EXPECT_EQ(Text("L3CacheEdit"), "6144 KB");   // shared: no count
    EXPECT_TRUE(IsEnabled("L3CacheLabel"));
    for (const char* width : {"MaxWidthInEdit", "MaxWidthOutEdit", "WidthInEdit", "WidthOutEdit"})
        EXPECT_EQ(Text(width), "16 bits") << width;
    EXPECT_EQ(Text("TypeEdit"), "DDR2 SDRAM");
    EXPECT_EQ(Text("CapacityEdit"), "2048 MB");
    ASSERT_EQ(Slots()->count(), 2);
    EXPECT_EQ(Slots()->itemText(0), "Slot 0");
    EXPECT_EQ(Slots()->itemText(1), "Slot 2");
    EXPECT_EQ(Slots()->itemData(1), QVariant(1));   // the device index, not the slot
    EXPECT_EQ(Slots()->currentIndex(), 0);
    EXPECT_EQ(Text("MemType"), "DDR2 SDRAM");
    // The live fields wait for the page to be shown; hidden, it has no timer running.
    for (const char* live : {"CoreSpeedEdit", "BusSpeedEdit", "NBSpeedEdit", "HTSpeedEdit", "FrequencyEdit", "TclEdit"})
        EXPECT_TRUE(Text(live).isEmpty()) << live;
    EXPECT_TRUE(QAbstractEventDispatcher::instance()->registeredTimers(page.get()).isEmpty());
    EXPECT_FALSE(test::LogContains("QBasicInfo::"));
    EXPECT_TRUE(page->UnInit() && page->Apply() && page->Discard());
}

TEST_F(BasicInfoTest, TicksShowTheLiveValuesOnlyWhileShown)
{
    Create();
    EXPECT_EQ(TickAccesses(), 0u);
    EXPECT_TRUE(Text("CoreSpeedEdit").isEmpty());

    page->show();
    EXPECT_EQ(QAbstractEventDispatcher::instance()->registeredTimers(page.get()).size(), 1);
    Tick();
    EXPECT_EQ(Text("CoreSpeedEdit"), "3200.00 MHz");
    EXPECT_EQ(Text("MultiplierEdit"), "16.00 X");
    EXPECT_EQ(Text("BusSpeedEdit"), "200.00 MHz");
    EXPECT_EQ(Text("VoltageEdit"), "1.32 V");
    EXPECT_EQ(Text("NBSpeedEdit"), "2000.00 MHz");
    EXPECT_EQ(Text("NBMulEdit"), "10.00 X");
    EXPECT_EQ(Text("HTSpeedEdit"), "2000.00 MHz");
    EXPECT_EQ(Text("FrequencyEdit"), "400.00 MHz");
    EXPECT_EQ(Text("TclEdit"), "5 clock");
    EXPECT_EQ(Text("TrcdEdit"), "5 clock");
    EXPECT_EQ(Text("TrasEdit"), "18 clock");
    EXPECT_EQ(Text("TrcEdit"), "26 clock");
    EXPECT_EQ(Text("TrpEdit"), "5 clock");
    EXPECT_EQ(Text("En2TEdit"), "1T");
    EXPECT_EQ(Text("ChannelEdit"), "Dual");

    // The board changes under the page: 2400 MHz at x12 is a 200 MHz reference, a
    // link at x5 runs at 1000 MHz; 2T and single channel.
    Change([](vb::DeviceBoard& b) {
        b.SetMultiplier(0, 12);
        b.ht.links[0].multiplier = 5;
        b.mc.fields["En2T"] = 1;
        b.mc.fields["DualChannel"] = 0;
        b.mc.fields["Tcl"] = 4.5;
    });
    Tick();
    EXPECT_EQ(Text("CoreSpeedEdit"), "2400.00 MHz");
    EXPECT_EQ(Text("MultiplierEdit"), "12.00 X");
    EXPECT_EQ(Text("BusSpeedEdit"), "200.00 MHz");
    EXPECT_EQ(Text("HTSpeedEdit"), "1000.00 MHz");
    EXPECT_EQ(Text("En2TEdit"), "2T");
    EXPECT_EQ(Text("ChannelEdit"), "Single");
    EXPECT_EQ(Text("TclEdit"), "4.5 clock");

    // Hidden again: no device is asked and nothing changes.
    page->hide();
    Change([](vb::DeviceBoard& b) { b.SetMultiplier(0, 10); });
    EXPECT_EQ(TickAccesses(), 0u);
    EXPECT_EQ(Text("CoreSpeedEdit"), "2400.00 MHz");
}

TEST_F(BasicInfoTest, MultipliersThatCannotBeDividedByShowNoClock)
{
    struct Case {
        double multiplier;
        const char *core, *shownMultiplier;
    };
    const Case cases[] = {
        {0, "0.00 MHz", "0.00 X"},
        {-9999, "-1999800.00 MHz", "-9999.00 X"},
        {-2, "-400.00 MHz", "-2.00 X"},
        {kNaN, "nan MHz", "nan X"},
        {HUGE_VAL, "inf MHz", "inf X"},
    };
    Create();
    page->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.multiplier);
        Change([&](vb::DeviceBoard& b) { b.cpu.multiplier[0] = c.multiplier; });
        Tick();
        EXPECT_EQ(Text("CoreSpeedEdit"), QLatin1String(c.core));
        EXPECT_EQ(Text("MultiplierEdit"), QLatin1String(c.shownMultiplier));
        EXPECT_EQ(Text("BusSpeedEdit"), "0.00 MHz");
        EXPECT_EQ(Text("HTSpeedEdit"), "0.00 MHz");
    }
}

TEST_F(BasicInfoTest, FamilyElevenTakesTheNorthBridgeFieldFromTheMemoryClock)
{
    // The default board's tick, for the number of device reads it takes.
    Create();
    page->show();
    const uint64_t readsWithNorthBridge = TickAccesses();
    page.reset();

    UseVariant("qvx-family11h");
    Create();
    EXPECT_EQ(Text("RevisionEdit"), "LN-B1");
    EXPECT_EQ(Text("CodeCacheEdit"), "64 KB X 2");
    page->show();
    // Neither north-bridge reading is taken; the controller is asked for (0, 0).
    EXPECT_EQ(TickAccesses(), readsWithNorthBridge - 2);
    EXPECT_EQ(Text("FrequencyEdit"), "400.00 MHz");
    EXPECT_EQ(Text("NBSpeedEdit"), "400.00 MHz");
    EXPECT_TRUE(Text("NBMulEdit").isEmpty());
    EXPECT_FALSE(IsEnabled("NBMulEdit"));
    EXPECT_TRUE(IsEnabled("NBSpeedEdit"));
    Change([](vb::DeviceBoard& b) { b.SetReference(210); });
    Tick();
    EXPECT_EQ(Text("NBSpeedEdit"), "420.00 MHz");
}

TEST_F(BasicInfoTest, BoardVariants)
{
    struct Case {
        const char* variant;
        std::function<void()> use;
        const char *l1, *l3, *type, *capacity;
        int modules;
    };
    const Case cases[] = {
        {"one core", [] { UseCores(1); }, "64 KB", "6144 KB", "DDR2 SDRAM", "2048 MB", 2},
        {"DDR, no L3", [] { UseVariant("qvx-ddr"); }, "64 KB X 4", "", "DDR SDRAM", "1024 MB", 2},
        {"DDR3", [] { UseVariant("qvx-ddr3-external"); }, "64 KB X 4", "6144 KB", "DDR3 SDRAM", "4096 MB", 2},
        {"no modules", [] { UseVariant("qvx-no-modules"); }, "64 KB X 4", "6144 KB", "DDR2 SDRAM", "0 MB", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        test::LogCapture::Instance().Clear();
        c.use();
        Create();
        EXPECT_EQ(Text("CodeCacheEdit"), QLatin1String(c.l1));
        EXPECT_EQ(Text("L3CacheEdit"), QLatin1String(c.l3));
        EXPECT_EQ(IsEnabled("L3CacheEdit"), *c.l3 != '\0');
        EXPECT_EQ(IsEnabled("L3CacheLabel"), *c.l3 != '\0');
        EXPECT_EQ(Logged("LOG_CHECK_ERROR", "pCacheInfo", "Init"), 0u) << "a level-3 size of 0 is not an error";
        EXPECT_EQ(Text("TypeEdit"), QLatin1String(c.type));
        EXPECT_EQ(Text("CapacityEdit"), QLatin1String(c.capacity));
        EXPECT_EQ(Slots()->count(), c.modules);
        EXPECT_EQ(Text("MemType").isEmpty(), c.modules == 0);
        EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "pMemory", "_UpdateSPDInfo"), c.modules == 0 ? 1u : 0u);
        page->show();
        Tick();
        EXPECT_FALSE(Text("FrequencyEdit").isEmpty());
        page.reset();
        g_DeviceManager.UnInit();
        vb::Machine::Instance().LoadDefault();
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }
}

TEST_F(BasicInfoTest, MissingDevicesLeaveTheirFieldsEmpty)
{
    // No link block: Init still succeeds; the widths and the link clock stay empty.
    UseBoardWith([](QJsonObject& devices) { devices.remove("htLink"); });
    Create();
    EXPECT_EQ(Logged("LOG_CHECK_ERROR", "pHTLink", "Init"), 1u);
    EXPECT_TRUE(Text("WidthInEdit").isEmpty());
    page->show();
    Tick();
    EXPECT_TRUE(Text("HTSpeedEdit").isEmpty());
    EXPECT_EQ(Text("FrequencyEdit"), "400.00 MHz");
    page.reset();

    // No memory controller: no type, and ticks end before the memory fields, silently.
    UseBoardWith([](QJsonObject& devices) { devices.remove("memoryController"); });
    test::LogCapture::Instance().Clear();
    Create();
    EXPECT_EQ(Logged("LOG_CHECK_ERROR", "pMC", "Init"), 1u);
    EXPECT_TRUE(Text("TypeEdit").isEmpty());
    page->show();
    Tick();
    EXPECT_EQ(Text("HTSpeedEdit"), "2000.00 MHz");
    EXPECT_TRUE(Text("FrequencyEdit").isEmpty());
    EXPECT_TRUE(Text("TclEdit").isEmpty());
    EXPECT_EQ(test::LogCapture::Instance().Lines().size(), 1u);
    page.reset();

    // No processor: its fields stay empty, the link clock is 0.
    UseVariant("qvx-no-cpu");
    test::LogCapture::Instance().Clear();
    Create();
    EXPECT_EQ(Logged("LOG_CHECK_ERROR", "pCPU", "Init"), 1u);
    for (const char* name : {"NameEdit", "FamilyEdit", "RevisionEdit", "CodeCacheEdit", "L3CacheEdit"})
        EXPECT_TRUE(Text(name).isEmpty()) << name;
    page->show();
    Tick();
    EXPECT_TRUE(Text("CoreSpeedEdit").isEmpty());
    EXPECT_EQ(Text("HTSpeedEdit"), "0.00 MHz");
}

TEST_F(BasicInfoTest, UnreadableProcessorRecordsAreLoggedAndTheRestIsShown)
{
    Fault("qvx:CPU.GetInstructionSet");
    Fault("qvx:CPU.GetL2CacheInfo");
    Fault("qvx:CPU.GetL3CacheInfo");
    Create();
    EXPECT_EQ(Logged("LOG_CHECK_ERROR", "pInstructionSet", "Init"), 1u);
    EXPECT_EQ(Logged("LOG_CHECK_ERROR", "pCacheInfo", "Init"), 2u);
    EXPECT_TRUE(Text("InstructionEdit").isEmpty());
    EXPECT_TRUE(Text("L2CacheEdit").isEmpty()) << "an unread cache gets no core count either";
    EXPECT_EQ(Text("DataCacheEdit"), "64 KB X 4");
    EXPECT_FALSE(IsEnabled("L3CacheEdit"));
    EXPECT_FALSE(IsEnabled("L3CacheLabel"));
    EXPECT_EQ(Text("NameEdit"), "Vyk Tarrow T40 Quad-Core Processor");
}

TEST_F(BasicInfoTest, AnUnreadableLinkOrControllerRefusesThePage)
{
    for (const char* fault : {"qvx:HT.GetLinkInfo", "qvx:MC.GetTimings", "qvx:MC.GetConfig"}) {
        SCOPED_TRACE(fault);
        test::LogCapture::Instance().Clear();
        vb::Machine::Instance().GetFaults().Clear();
        Fault(fault);
        QBasicInfo refused;
        EXPECT_FALSE(refused.Init());
        EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "bRetCode", "Init"), 1u);
        EXPECT_TRUE(QAbstractEventDispatcher::instance()->registeredTimers(&refused).isEmpty());
    }
}

TEST_F(BasicInfoTest, AFailingTickLogsEachTimeAndKeepsTheFieldsItDidNotReach)
{
    Create();
    page->show();
    Tick();
    Change([](vb::DeviceBoard& b) {
        b.SetReference(210);
        b.mc.fields["Tcl"] = 6;
    });

    // The link fails: processor fields move on, the link and memory fields stay.
    Fault("qvx:HT.GetLinkInfo");
    Tick();
    Tick();
    EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "bRetCode", "timerEvent"), 2u);
    EXPECT_EQ(Text("CoreSpeedEdit"), "3360.00 MHz");
    EXPECT_EQ(Text("HTSpeedEdit"), "2000.00 MHz");
    EXPECT_EQ(Text("TclEdit"), "5 clock");

    // The controller's records fail: the link moves on, the memory fields stay.
    vb::Machine::Instance().GetFaults().Clear();
    Fault("qvx:MC.GetConfig");
    Tick();
    EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "bRetCode", "timerEvent"), 3u);
    EXPECT_EQ(Text("HTSpeedEdit"), "2100.00 MHz");
    EXPECT_EQ(Text("TclEdit"), "5 clock");

    vb::Machine::Instance().GetFaults().Clear();
    Tick();
    EXPECT_EQ(Text("TclEdit"), "6 clock");
    EXPECT_EQ(Logged("LOG_PROCESS_ERROR", "bRetCode", "timerEvent"), 3u);
}

TEST_F(BasicInfoTest, MemoryTypesOfTheController)
{
    for (const auto& [type, text] : {std::pair{9, "Unknown Type"}, std::pair{11, "DDR3 SDRAM"}, std::pair{7, "DDR SDRAM"}}) {
        SCOPED_TRACE(type);
        UseBoardWith([type = type](QJsonObject& devices) {
            Edit(devices, "memoryController", [&](QJsonObject& mc) { mc.insert("type", type); });
        });
        Create();
        EXPECT_EQ(Text("TypeEdit"), QLatin1String(text));
        page.reset();
    }
}
