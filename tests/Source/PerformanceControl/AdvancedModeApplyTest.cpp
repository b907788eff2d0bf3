// What the Clock/Voltage page writes on Apply, in which order, what it stores in
// "QVXConfig.xml", and what it shows afterwards.
#include "AdvancedModeFixture.h"

#include <QCheckBox>
#include <QGroupBox>

#include <functional>

#include "PerformanceControl/AdvancedModeSupport.h"

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
    // What the user moved, nothing else: the NB VID and the HT multiplier stay alone.
    const std::vector<std::string> expected = {
        "CPU0.SetMultiplier(11.5)", "CPU0.SetCPUVid(1.3)",
        "CPU1.SetMultiplier(11.5)", "CPU1.SetCPUVid(1.3)",
        "CPU2.SetMultiplier(11.5)", "CPU2.SetCPUVid(1.3)",
        "CPU3.SetMultiplier(11.5)", "CPU3.SetCPUVid(1.3)",
        "CG.SetHTRefClock(220)",
        "GPU0.SetEngineClock(600)",
        "PWM2.SetChannelVoltage(Mem VDDQ, 190000)",
    };
    EXPECT_EQ(Writes(), expected);

    IDevice* pCPU = g_DeviceManager.GetDevice(dtCPU, 0);
    const QString cpu = Name(pCPU);
    EXPECT_EQ(Stored("CPU", cpu, "Multiplier"), "11.5");
    EXPECT_EQ(Stored("CPU", cpu, "Multiplier4"), "11.5");
    EXPECT_EQ(Stored("CPU", cpu, "CPUVID"), "130000");
    EXPECT_EQ(Stored("CPU", cpu, "NBVID"), "");
    EXPECT_EQ(Stored("ClockGen", Name(g_DeviceManager.GetDevice(dtClockGenerator, 0)), "HTRefClock"), "220");
    EXPECT_EQ(Stored("ClockGen", Name(g_DeviceManager.GetDevice(dtClockGenerator, 0)), "PCIeClock"), "");
    EXPECT_EQ(Stored("HTLink", Name(g_DeviceManager.GetDevice(dtHTLink, 0)), "Multiplier"), "");
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

    // A second Apply writes nothing: the user moved nothing since.
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), std::vector<std::string>{});

    // The HT multiplier and the NB VID are written when moved.
    Slider("HTMulSlider")->setValue(9);
    Slider("NBVidSlider")->setValue(120000);
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), (std::vector<std::string>{"CPU0.SetNBVid(1.2)", "CPU1.SetNBVid(1.2)", "CPU2.SetNBVid(1.2)",
                                                  "CPU3.SetNBVid(1.2)", "HT.SetLinkInfo(0, m=9)",
                                                  "NB.SetHTLinkMultiplier(9)", "SB.ApplyHTLinkChange()"}));
    EXPECT_EQ(Stored("CPU", cpu, "NBVID"), "120000");
    EXPECT_EQ(Stored("HTLink", Name(g_DeviceManager.GetDevice(dtHTLink, 0)), "Multiplier"), "9");
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
        Slider("CPUMulSlider")->setValue(30);
        ClearJournal();
        ASSERT_TRUE(page->Apply());
        const std::vector<std::string> writes = Writes();
        const int mul = IndexOf(writes, "CPU0.SetMultiplier(15)");
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

    // One core moved: only that processor is written.
    Slider("CPUMulSlider_3")->setValue(24);
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), std::vector<std::string>{"CPU2.SetMultiplier(12)"});
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

// Auto Clock, Novice Mode or a profile change the hardware behind the hidden page:
// shown again without a change of the user's, every control shows what runs now,
// and an Apply that changed nothing writes none of the old targets back.
TEST_F(AdvancedModeTest, ShownAgainEveryControlReadsTheHardwareAndAnUntouchedApplyWritesNothing)
{
    ASSERT_TRUE(Open());
    g_bModified = false;   // as the main window leaves it after building its pages
    Show();
    const uint16_t calibration = g_CMOSItemList.FindItem(advmode::kCalibrationItems[0]);
    const struct {
        const char* control;
        std::function<void(int value)> change;
        int first, second;   // the control's value (position of a box) for each
    } cases[] = {
        {"CPUMulSlider", [](int v) { for (unsigned long i = 0; i < 4; ++i) EXPECT_TRUE(dev::Cpu(i)->SetMultiplier(v / 2.0)); }, 8, 9},
        {"CPUMulSlider_3", [](int v) { EXPECT_TRUE(dev::Cpu(2)->SetMultiplier(v / 2.0)); }, 10, 11},
        {"CPUVidSlider", [](int v) { EXPECT_TRUE(dev::Cpu(0)->SetCPUVid(v / 100000.0)); }, 120000, 122500},
        {"HTMulSlider", [](int v) {
             HTLINK_INFO info{};
             EXPECT_TRUE(dev::HTLink()->GetLinkInfo(0, &info));
             info.dLinkMultiplier = v;
             EXPECT_TRUE(dev::HTLink()->SetLinkInfo(0, &info));
         }, 8, 9},
        {"ExtSlider", [](int v) { EXPECT_TRUE(dev::ClockGen()->SetHTRefClock(v)); }, 210, 205},
        {"PCIESlider", [](int v) { EXPECT_TRUE(dev::ClockGen()->SetPCIeClock(v)); }, 104, 106},
        {"IGPSlider", [](int v) { EXPECT_TRUE(dev::Gpu()->SetEngineClock(v)); }, 600, 650},
        {"VDDQVolSlider", [](int v) { EXPECT_TRUE(dev::Pwm2()->SetChannelVoltage(0, v)); }, 185000, 188000},
        {"DCEnableBox", [calibration](int v) { EXPECT_TRUE(g_CMOSItemList.SetItemValue(calibration, v)); }, 2, 3},
    };
    auto shown = [this](const char* control) {
        if (auto* pBox = W<QComboBox>(control))
            return pBox->currentIndex();
        return Slider(control)->value();
    };

    page->hide();
    for (const auto& c : cases)
        c.change(c.first);
    page->show();
    QCoreApplication::processEvents();
    for (const auto& c : cases)
        EXPECT_EQ(shown(c.control), c.first) << c.control;
    EXPECT_FALSE(g_bModified);
    Tick();
    EXPECT_EQ(Text("TargetCPUSpeed").toStdString(), "840 MHz");   // 4 x 210, as it runs
    EXPECT_EQ(Text("CurrentCPUSpeed").toStdString(), "840.00 MHz");

    page->hide();
    for (const auto& c : cases)
        c.change(c.second);
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), std::vector<std::string>{});
    for (const auto& c : cases)
        EXPECT_EQ(shown(c.control), c.second) << c.control;   // read back after Apply
}
