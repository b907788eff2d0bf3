// What the Clock/Voltage page writes on Apply, in which order, what it stores in
// "QVXConfig.xml", and what it shows afterwards.
#include "AdvancedModeFixture.h"

#include <QCheckBox>
#include <QGroupBox>

#include "support/LogCapture.h"

using test::AdvancedModeTest;

namespace {

int IndexOf(const std::vector<std::string>& lines, const std::string& line)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == line)
            return static_cast<int>(i);
    return -1;
}

} // namespace

TEST_F(AdvancedModeTest, ApplyWritesInOrderStoresAndReadsBack)
{
    ASSERT_TRUE(Open());
    Show();
    Slider("ExtSlider")->setValue(220);          // raised: processors first
    Slider("CPUMulSlider")->setValue(23);        // 11.5 for every core ("Select All Cores")
    EXPECT_EQ(Text("CPUMulValLabel"), "11.5 X");
    Slider("CPUVidSlider")->setValue(130000);    // lowered: multiplier before VID
    Slider("VDDQVolSlider")->setValue(190000);
    Slider("IGPSlider")->setValue(600);
    EXPECT_TRUE(g_bModified);
    Tick();
    EXPECT_EQ(Text("TargetCPUSpeed"), "2530 MHz");
    EXPECT_EQ(Text("TargetCPUSpeed_3"), "2530 MHz");
    EXPECT_EQ(Text("TargetHTSpeed"), "2200 MHz");
    EXPECT_EQ(Text("TargetCPUVid"), "1.3000 V");
    EXPECT_EQ(Text("TargetVDDQ"), "1.900 V");
    EXPECT_EQ(Text("TargetIGPClock"), "600 MHz");

    ClearJournal();
    ASSERT_TRUE(page->Apply());
    const std::vector<std::string> expected = {
        "CPU0.SetMultiplier(11.5)", "CPU0.SetCPUVid(1.3)", "CPU0.SetNBVid(1.14999)",
        "CPU1.SetMultiplier(11.5)", "CPU1.SetCPUVid(1.3)", "CPU1.SetNBVid(1.14999)",
        "CPU2.SetMultiplier(11.5)", "CPU2.SetCPUVid(1.3)", "CPU2.SetNBVid(1.14999)",
        "CPU3.SetMultiplier(11.5)", "CPU3.SetCPUVid(1.3)", "CPU3.SetNBVid(1.14999)",
        "CG.SetHTRefClock(220)",
        "HT.SetLinkInfo(0, m=10)", "NB.SetHTLinkMultiplier(10)", "SB.ApplyHTLinkChange()",
        "GPU0.SetEngineClock(600)",
        "PWM2.SetChannelVoltage(Mem VDDQ, 190000)",
    };
    EXPECT_EQ(Writes(), expected);

    IDevice* pCPU = g_DeviceManager.GetDevice(dtCPU, 0);
    const QString cpu = Name(pCPU);
    EXPECT_EQ(Stored("CPU", cpu, "Multiplier"), "11.5");
    EXPECT_EQ(Stored("CPU", cpu, "Multiplier4"), "11.5");
    EXPECT_EQ(Stored("CPU", cpu, "CPUVID"), "130000");
    EXPECT_EQ(Stored("CPU", cpu, "NBVID"), "114999");
    EXPECT_EQ(Stored("ClockGen", Name(g_DeviceManager.GetDevice(dtClockGenerator, 0)), "HTRefClock"), "220");
    EXPECT_EQ(Stored("ClockGen", Name(g_DeviceManager.GetDevice(dtClockGenerator, 0)), "PCIeClock"), "");
    EXPECT_EQ(Stored("HTLink", Name(g_DeviceManager.GetDevice(dtHTLink, 0)), "Multiplier"), "10");
    EXPECT_EQ(Stored("GPU", Name(g_DeviceManager.GetDevice(dtGPU, 0)), "IGPClock"), "600");
    EXPECT_EQ(Stored("GPU", Name(g_DeviceManager.GetDevice(dtGPU, 0)), "SidePortClock"), "");
    EXPECT_EQ(Stored("PWMController2", Name(g_DeviceManager.GetDevice(dtPWMController2, 0)), "Mem VDDQ"), "190000");

    // The page shows what the hardware runs at now: core clock = reference x multiplier.
    Tick();
    EXPECT_EQ(Text("CurrentCPUSpeed"), "2530.00 MHz");
    EXPECT_EQ(Text("CurrentCPUSpeed_4"), "2530.00 MHz");
    EXPECT_EQ(Text("CurrentVDDQ"), "1.900 V");
    EXPECT_EQ(Text("CurrentCPUVid"), "1.3000 V");
    EXPECT_EQ(Slider("ExtSlider")->value(), 220);

    // A second Apply rewrites only the multipliers, the VIDs and the HT multiplier.
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    for (const std::string& line : Writes())
        EXPECT_TRUE(line.rfind("CPU", 0) == 0 || line.rfind("HT.", 0) == 0 || line.rfind("NB.", 0) == 0
                    || line.rfind("SB.", 0) == 0) << line;
    EXPECT_EQ(Only(Writes(), "SetMultiplier").size(), 4u);
}

TEST_F(AdvancedModeTest, WriteOrderFollowsTheReferenceClockAndTheVid)
{
    struct Case {
        const char* name;
        int ext;      // 0: untouched
        int vid;
        bool refFirst, vidFirst;
    };
    const Case cases[] = {
        {"raised clock, lowered VID", 220, 130000, false, false},
        {"lowered clock, raised VID", 190, 135000, true, true},
        {"untouched clock, raised VID", 0, 135000, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Open());
        Show();
        if (c.ext)
            Slider("ExtSlider")->setValue(c.ext);
        Slider("CPUVidSlider")->setValue(c.vid);
        ClearJournal();
        ASSERT_TRUE(page->Apply());
        const std::vector<std::string> writes = Writes();
        const int mul = IndexOf(writes, "CPU0.SetMultiplier(16)");
        const int vid = IndexOf(writes, "CPU0.SetCPUVid(" + QString::number(c.vid / 100000.0).toStdString() + ")");
        ASSERT_GE(mul, 0);
        ASSERT_GE(vid, 0);
        EXPECT_EQ(vid < mul, c.vidFirst);
        if (c.ext) {
            const int ref = IndexOf(writes, "CG.SetHTRefClock(" + std::to_string(c.ext) + ")");
            ASSERT_GE(ref, 0);
            EXPECT_EQ(ref < mul, c.refFirst);
        } else {
            EXPECT_TRUE(Only(writes, "CG.").empty());
        }
        TearDown();
        vb::Machine::Instance().LoadDefault();
        SetUp();
    }
}

TEST_F(AdvancedModeTest, EachCoreItsOwnMultiplierWhenNotAllCoresTogether)
{
    ASSERT_TRUE(Open());
    Show();
    W<QCheckBox>("checkBox_SelectAll")->setChecked(false);
    Slider("CPUMulSlider")->setValue(20);
    Slider("CPUMulSlider_2")->setValue(21);
    Slider("CPUMulSlider_3")->setValue(0 + 22);
    Slider("CPUMulSlider_4")->setValue(23);
    Tick();
    EXPECT_EQ(Text("TargetCPUSpeed_2"), "2100 MHz");
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Only(Writes(), "SetMultiplier"),
              (std::vector<std::string>{"CPU0.SetMultiplier(10)", "CPU1.SetMultiplier(10.5)", "CPU2.SetMultiplier(11)",
                                        "CPU3.SetMultiplier(11.5)"}));
    const QString cpu = Name(g_DeviceManager.GetDevice(dtCPU, 1));
    EXPECT_EQ(Stored("CPU", cpu, "Multiplier2"), "10.5");
}

TEST_F(AdvancedModeTest, ColourBandsAndUnits)
{
    ASSERT_TRUE(Open());
    Show();
    struct Case {
        const char* slider;
        const char* label;
        int value;
        int level;   // 0 none, 1 orange, 2 light red, 3 red
    };
    const Case cases[] = {
        {"ExtSlider", "ExtFreqValLabel", 210, 0}, {"ExtSlider", "ExtFreqValLabel", 211, 1},
        {"ExtSlider", "ExtFreqValLabel", 220, 1}, {"ExtSlider", "ExtFreqValLabel", 221, 2},
        {"ExtSlider", "ExtFreqValLabel", 230, 2}, {"ExtSlider", "ExtFreqValLabel", 231, 3},
        {"PCIESlider", "PCIEFreqValLabel", 105, 0}, {"PCIESlider", "PCIEFreqValLabel", 106, 1},
        {"PCIESlider", "PCIEFreqValLabel", 110, 1}, {"PCIESlider", "PCIEFreqValLabel", 111, 2},
        {"PCIESlider", "PCIEFreqValLabel", 115, 2}, {"PCIESlider", "PCIEFreqValLabel", 116, 3},
        {"VDDQVolSlider", "VDDQVolValLabel", 189000, 0}, {"VDDQVolSlider", "VDDQVolValLabel", 190000, 1},
        {"VDDQVolSlider", "VDDQVolValLabel", 198000, 1}, {"VDDQVolSlider", "VDDQVolValLabel", 199000, 2},
        {"VDDQVolSlider", "VDDQVolValLabel", 207000, 2}, {"VDDQVolSlider", "VDDQVolValLabel", 208000, 3},
        {"CPUVidSlider", "CPUVidLabel", 136250, 0},   // +3 %
        {"CPUVidSlider", "CPUVidLabel", 143750, 1},   // +8 %
    };
    const QColor colours[4] = {QColor(), QColor(255, 125, 0), QColor(255, 100, 100), QColor(255, 0, 0)};
    for (const Case& c : cases) {
        Slider(c.slider)->setValue(c.value);
        ASSERT_EQ(Slider(c.slider)->value(), c.value) << c.slider;
        auto* pLabel = W<QLabel>(c.label);
        EXPECT_EQ(pLabel->autoFillBackground(), c.level > 0) << c.slider << " " << c.value;
        if (c.level) {
            EXPECT_EQ(pLabel->palette().color(QPalette::Inactive, QPalette::Window), colours[c.level])
                << c.slider << " " << c.value;
        }
    }
    // VIDs with four decimals, rails with three.
    EXPECT_EQ(Text("CPUVidLabel"), "1.4375");
    EXPECT_EQ(Text("VDDQVolValLabel"), "2.080");
}
