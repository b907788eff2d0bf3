// "Board Status" through its widgets: the hardware monitor it chooses, each
// source's rules for missing readings, the core temperatures, the clock
// generator read once per showing, and the memory clock.
#include "StatusMonitor/VoltageStatus.h"
#include "Source/StatusMonitor/StatusFixture.h"
#include "support/LogCapture.h"

namespace {

const char* const kVoltages[] = {"VIN0", "VIN1", "VIN2", "VIN3", "VIN4"};
const char* const kTemperatureInputs[] = {"LCDNumTMPIN1", "LCDNumTMPIN2", "LCDNumTMPIN3"};

class BoardStatusTest : public test::StatusPageTest<QVoltageStatus> {
protected:
    QString LabelText(const char* name) const { return Get<QLabel>(QLatin1String(name))->text(); }

    // The MX310 variant's south bridge under another class name.
    static void UseSouthBridgeNamed(const char* className)
    {
        UseVariant("qvx-mx310");
        Change([&](vb::DeviceBoard& b) { b.sb.id.className = className; });
        g_DeviceManager.UnInit();
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }
};

TEST_F(BoardStatusTest, TheSensorChipFeedsTheMonitorRows)
{
    Create();
    EXPECT_EQ(page->GetName(), std::string("Board Status"));
    EXPECT_EQ(TickAccesses(), 0u);
    page->show();
    Tick();
    // A board with a sensor chip and a south bridge: the chip, under the form's labels.
    EXPECT_EQ(LabelText("labelVIN0"), QStringLiteral("CPU VCORE"));
    EXPECT_EQ(LabelText("labelTMPIN1"), QStringLiteral("TMPIN1"));
    const char* voltages[] = {"1.32", "3.30", "5.00", "12.00", "1.80"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Shown(kVoltages[i]), QLatin1String(voltages[i])) << i;
    EXPECT_EQ(Shown("LCDNumTMPIN1"), QStringLiteral("38"));
    EXPECT_EQ(Shown("LCDNumTMPIN3"), QStringLiteral("45"));
    EXPECT_EQ(Shown("CPUFanNum"), QStringLiteral("1320"));   // automatic, at 38 C
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(Shown(QStringLiteral("Core%1TempNum").arg(n)), QStringLiteral("41.0"));
    EXPECT_EQ(Shown("ExtFreqNum"), QStringLiteral("200.00"));
    EXPECT_EQ(Shown("SBFreqNum"), QStringLiteral("66.67"));
    EXPECT_EQ(Shown("PCIEFreqNum"), QStringLiteral("100.00"));
    EXPECT_EQ(Shown("MemFreqNum"), QStringLiteral("400.00"));

    // Missing readings: a temperature or voltage input goes for good, the fan comes back.
    Change([](vb::DeviceBoard& b) {
        b.sensors.temperatures[1] = -9999;
        b.sensors.voltages[2] = 0.0;
        b.sensors.fans[0].present = false;
    });
    Tick();
    EXPECT_FALSE(Enabled("LCDNumTMPIN2"));
    EXPECT_FALSE(Enabled("VIN2"));
    EXPECT_FALSE(Enabled("CPUFanNum"));
    EXPECT_EQ(Lcd("CPUFanNum")->value(), 0);
    EXPECT_TRUE(Shown("CPUFanNum").isEmpty());
    Change([](vb::DeviceBoard& b) {
        b.sensors.temperatures[1] = 33;
        b.sensors.voltages[2] = 1.25;
        b.sensors.fans[0] = vb::FanDef{true, 2, 50, 3000};
    });
    Tick();
    EXPECT_TRUE(Enabled("CPUFanNum"));
    EXPECT_EQ(Shown("CPUFanNum"), QStringLiteral("1500"));
    EXPECT_FALSE(Enabled("LCDNumTMPIN2"));
    EXPECT_FALSE(Enabled("VIN2"));
    EXPECT_TRUE(Enabled("VIN1"));

    page->hide();
    EXPECT_EQ(TickAccesses(), 0u);
}

TEST_F(BoardStatusTest, TheMx310SouthBridgeWhenThereIsNoSensorChip)
{
    UseVariant("qvx-mx310");
    Create();
    const std::pair<const char*, const char*> relabelled[] = {
        {"labelVIN0", "System Memory"}, {"labelVIN1", "CPU VDDA"},    {"labelVIN2", "Chipset Analog 1.2V"},
        {"labelVIN3", "CPU Core"},      {"labelVIN4", "CPU Northbridge"}, {"labelTMPIN1", "CPU Diode"},
        {"labelTMPIN2", "NB Diode"},    {"labelTMPIN3", "TMPIN3"},    {"labelPS_11", "CPU"}};
    for (const auto& [label, text] : relabelled)
        EXPECT_EQ(LabelText(label), QLatin1String(text)) << label;

    page->show();
    Tick();
    EXPECT_EQ(Shown("VIN0"), QStringLiteral("1.25"));
    EXPECT_EQ(Shown("LCDNumTMPIN2"), QStringLiteral("50.00"));
    EXPECT_EQ(Shown("CPUFanNum"), QStringLiteral("2000"));
    // Without a sensor chip the cores show their own readings only.
    EXPECT_EQ(Shown("Core0TempNum"), QStringLiteral("41.0"));

    // Below zero is no reading, for good; zero is a reading; the fan is truncated.
    Change([](vb::DeviceBoard& b) {
        b.sb.temperatures = {0.0, -1.0, 52};
        b.sb.fans = {1234.9};
    });
    Tick();
    EXPECT_EQ(Shown("LCDNumTMPIN1"), QStringLiteral("0.00"));
    EXPECT_FALSE(Enabled("LCDNumTMPIN2"));
    EXPECT_EQ(Shown("CPUFanNum"), QStringLiteral("1234"));
    Change([](vb::DeviceBoard& b) {
        b.sb.temperatures = {45, 50, 52};
        b.sb.fans = {-1};
    });
    Tick();
    EXPECT_FALSE(Enabled("LCDNumTMPIN2"));
    EXPECT_FALSE(Enabled("CPUFanNum"));
    EXPECT_EQ(Shown("CPUFanNum"), QStringLiteral("1234"));
}

TEST_F(BoardStatusTest, NoHardwareMonitor)
{
    // The class name must match exactly, case included.
    UseSouthBridgeNamed("mx310 Series Chipset");
    Create();
    EXPECT_EQ(LabelText("labelVIN0"), QStringLiteral("CPU VCORE"));
    EXPECT_TRUE(Enabled("VolBox"));
    page->show();
    Tick();
    EXPECT_FALSE(Enabled("VolBox"));
    EXPECT_FALSE(Enabled("TempBox"));
    EXPECT_FALSE(Enabled("FanSpeedBox"));
    EXPECT_TRUE(Enabled("BoardBox"));
    EXPECT_TRUE(Shown("VIN0").isEmpty());
    // The cores' temperatures still change inside the disabled group.
    EXPECT_EQ(Shown("Core2TempNum"), QStringLiteral("41.0"));
    Change([](vb::DeviceBoard& b) { b.cpu.temperaturePair = {44.5, 43}; });
    Tick();
    EXPECT_EQ(Shown("Core2TempNum"), QStringLiteral("44.5"));
    EXPECT_EQ(Shown("ExtFreqNum"), QStringLiteral("200.00"));
}

TEST_F(BoardStatusTest, CoreTemperaturesPassOverReadingsOfZeroAndBelow)
{
    Create();
    page->show();
    ExpectTemperatures({
        {{-5, 40}, {38, 33, 45}, "40.0"},
        {{0, 0}, {-9999, 35, 50}, "35"},
        {{0, 0}, {-9999, -3, 50}, "35"},     // the fallback is -3: nothing shown
        {{0, -2}, {0, 35, 50}, "35"},        // nor for a fallback of 0
        {{41.5, 40}, {38, 33, 45}, "41.5"},
    }, {"Core0TempNum"});
}

TEST_F(BoardStatusTest, TheGeneratorsClocksAreReadOncePerShowing)
{
    Create();
    page->show();
    Tick();
    EXPECT_EQ(Shown("PCIEFreqNum"), QStringLiteral("100.00"));
    Change([](vb::DeviceBoard& b) {
        b.SetReference(210);
        b.clock.pcie.value = 104;
    });
    Tick();
    EXPECT_EQ(Shown("ExtFreqNum"), QStringLiteral("200.00"));
    EXPECT_EQ(Shown("PCIEFreqNum"), QStringLiteral("100.00"));
    // The memory clock follows at every tick.
    EXPECT_EQ(Shown("MemFreqNum"), QStringLiteral("420.00"));

    page->hide();
    Tick();
    page->show();
    Tick();
    EXPECT_EQ(Shown("ExtFreqNum"), QStringLiteral("210.00"));
    EXPECT_EQ(Shown("PCIEFreqNum"), QStringLiteral("104.00"));

    // A page built anew while the last one was shown reads them at its first tick.
    page = std::make_unique<QVoltageStatus>();
    ASSERT_TRUE(page->Init());
    page->show();
    Tick();
    EXPECT_EQ(Shown("ExtFreqNum"), QStringLiteral("210.00"));
}

TEST_F(BoardStatusTest, AFailedMemoryConfigurationIsLoggedAtEachTick)
{
    Create();
    page->show();
    Tick();
    Fault("qvx:MC.GetConfig");
    Change([](vb::DeviceBoard& b) { b.SetReference(210); });
    test::LogCapture::Instance().Clear();
    Tick();
    Tick();
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(bRetCode) at line "), 2u);
    EXPECT_EQ(test::LogCount(" in QVoltageStatus::timerEvent\n"), 2u);
    EXPECT_EQ(Shown("MemFreqNum"), QStringLiteral("400.00"));
    vb::Machine::Instance().GetFaults().Set("qvx:MC.GetConfig", false);
    Tick();
    EXPECT_EQ(Shown("MemFreqNum"), QStringLiteral("420.00"));
}

TEST_F(BoardStatusTest, MissingDevices)
{
    // No clock generator: the Frequency group is off, the memory clock still shown in it.
    UseVariant("qvx-no-clockgen");
    Create();
    EXPECT_FALSE(Enabled("BoardBox"));
    page->show();
    Tick();
    EXPECT_TRUE(Shown("ExtFreqNum").isEmpty());
    EXPECT_EQ(Shown("MemFreqNum"), QStringLiteral("400.00"));
    page.reset();

    // One core: the other rows are off and never written.
    UseCores(1);
    Create();
    for (const char* name : {"labelCPUCore2", "Core2TempNum", "Core2TempUnit", "Core1TempNum", "Core3TempNum"})
        EXPECT_FALSE(Enabled(QLatin1String(name))) << name;
    EXPECT_TRUE(Enabled("Core0TempNum"));
    page->show();
    Tick();
    EXPECT_TRUE(Shown("Core2TempNum").isEmpty());
    page.reset();

    // No processor at all: the memory clock for a north bridge of 0 MHz.
    UseVariant("qvx-no-cpu");
    Create();
    page->show();
    Tick();
    EXPECT_EQ(Shown("MemFreqNum"), QStringLiteral("400.00"));
}

TEST_F(BoardStatusTest, AMonitorThatLeavesIsSkipped)
{
    for (const char* variant : {"", "qvx-mx310"}) {
        SCOPED_TRACE(variant);
        if (*variant)
            UseVariant(variant);
        page.reset();
        Create();
        page->show();
        Tick();
        const QString fan = Shown("CPUFanNum");
        ASSERT_FALSE(fan.isEmpty());
        Change([](vb::DeviceBoard& b) {
            b.sensors.id.present = false;
            b.sb.id.present = false;
        });
        ASSERT_TRUE(g_DeviceManager.Refresh());
        Tick();
        EXPECT_EQ(Shown("CPUFanNum"), fan);
        EXPECT_TRUE(Enabled("VolBox"));
        EXPECT_TRUE(Enabled("CPUFanNum"));
    }
}

} // namespace
