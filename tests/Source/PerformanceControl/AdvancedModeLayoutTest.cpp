// Which rows the Clock/Voltage page keeps, the ranges its controls get from the
// devices, and the first show, on the default board and its variants.
#include "AdvancedModeFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "Engine/DriverHandler.h"
#include "support/LogCapture.h"

using test::AdvancedModeTest;
using test::LoadBoardWith;

namespace {

struct Range {
    int min, max, value;
};

void ExpectRange(QSlider* pSlider, Range range, const char* name)
{
    ASSERT_TRUE(pSlider) << name;
    EXPECT_EQ(pSlider->minimum(), range.min) << name;
    EXPECT_EQ(pSlider->maximum(), range.max) << name;
    EXPECT_EQ(pSlider->value(), range.value) << name;
}

} // namespace

TEST_F(AdvancedModeTest, DefaultBoardShowsEveryControlWithTheBoardsRanges)
{
    ASSERT_TRUE(Open());
    g_bModified = false;
    Show();
    EXPECT_FALSE(g_bModified);   // the set-ups of the first show are not the user's changes

    const struct {
        const char* name;
        Range range;
    } ranges[] = {
        {"CPUMulSlider", {8, 32, 32}},   // half steps: multipliers 4..16 at 16
        {"CPUMulSlider_2", {8, 32, 32}},
        {"CPUMulSlider_4", {8, 32, 32}},
        {"HTMulSlider", {6, 10, 10}},
        {"ExtSlider", {150, 300, 200}},
        {"PCIESlider", {90, 150, 100}},
        {"IGPSlider", {300, 1300, 500}},
        {"SidePortSlider", {400, 800, 533}},
        {"CPUVidSlider", {80000, 145000, 132500}},   // family 10h: 1.45 V ceiling
        {"NBVidSlider", {80000, 145000, 114999}},    // 1.15 V x 100000 truncates
        {"VDDQVolSlider", {170000, 210000, 180000}},
        {"VTTVolSlider", {85000, 105000, 90000}},
        {"CPUHTVolSlider", {110000, 130000, 120000}},
    };
    for (const auto& r : ranges)
        ExpectRange(Slider(r.name), r.range, r.name);
    EXPECT_EQ(Slider("CPUVidSlider")->singleStep(), 1250);
    EXPECT_EQ(Slider("CPUVidSlider")->pageStep(), 1250);
    EXPECT_EQ(Slider("VTTVolSlider")->singleStep(), 500);

    for (QSlider* pSlider : page->findChildren<QSlider*>()) {
        const bool otherCore = pSlider->objectName().startsWith(QLatin1String("CPUMulSlider_"));
        EXPECT_EQ(pSlider->isEnabled(), !otherCore) << pSlider->objectName().toStdString();
        EXPECT_FALSE(pSlider->isHidden()) << pSlider->objectName().toStdString();
    }
    EXPECT_FALSE(W("comboBoxExtFreq"));
    EXPECT_FALSE(W("comboBoxPCIeFreq"));
    EXPECT_TRUE(W("groupBoxGPUClock")->isEnabled());
    EXPECT_TRUE(W("DutyCycleGroup")->isEnabled());
    EXPECT_TRUE(W("TargetNBSpeed"));

    EXPECT_EQ(Text("CPUMulValLabel"), "16 X");
    EXPECT_EQ(Text("HTMulValLabel"), "10 X");
    EXPECT_EQ(Text("ExtFreqValLabel"), "200");
    EXPECT_EQ(Text("CPUVidLabel"), "1.3250");
    EXPECT_EQ(Text("NBVidLabel"), "1.1500");
    EXPECT_EQ(Text("VDDQVolValLabel"), "1.800");
    EXPECT_EQ(Text("labelVolValue1"), "Mem VDDQ");        // channel names of the second regulator
    EXPECT_EQ(Text("labelVolSlider3"), "CPU\nVDDC");

    // The firmware's mode "Auto" (position 1): no value box to choose.
    auto* pMode = W<QComboBox>("DCEnableBox");
    ASSERT_EQ(pMode->count(), 4);
    EXPECT_EQ(pMode->currentIndex(), 1);
    EXPECT_TRUE(W("DCAllCoreBox")->isHidden());
    EXPECT_EQ(W<QComboBox>("DCCore2Box")->count(), 7);

    // Unchecking "Select All Cores" hands each core its own slider.
    W<QCheckBox>("checkBox_SelectAll")->setChecked(false);
    EXPECT_TRUE(Slider("CPUMulSlider_3")->isEnabled());
    EXPECT_TRUE(W("CoreMulLabel_3")->isEnabled());
    W<QCheckBox>("checkBox_SelectAll")->setChecked(true);
    EXPECT_FALSE(W("CPUMulValLabel_3")->isEnabled());

    // A second show builds nothing again.
    Slider("ExtSlider")->setValue(222);
    page->hide();
    Show();
    EXPECT_EQ(Slider("ExtSlider")->value(), 222);
}

TEST_F(AdvancedModeTest, EachBoardVariantShowsTheRowsItAllows)
{
    struct Case {
        const char* variant;
        std::vector<const char*> gone;       // removed by Init
        std::vector<const char*> disabled;
        std::vector<const char*> hidden;
    };
    const Case cases[] = {
        {"qvx-single-control",
         {"checkBox_SelectAll", "TargetNBSpeed", "NBSpeedLabel", "CPUMulSlider_2", "CoreSpeedLabel_4", "CPUMulValLabel_3",
          "comboBoxExtFreq"},
         {},
         {}},
        {"qvx-list-clocks", {"ExtSlider", "PCIESlider"}, {}, {}},
        {"qvx-no-clockgen", {"comboBoxExtFreq", "comboBoxPCIeFreq"}, {"ExtSlider", "PCIESlider"}, {}},
        {"qvx-no-gpu", {}, {"groupBoxGPUClock"}, {}},
        {"qvx-fixed-rails", {"comboBoxExtFreq"}, {}, {}},
        {"qvx-missing-rail", {}, {"CPUHTVolSlider", "TargetCPUHT", "CurrentCPUHT", "labelVolSlider6", "labelVolValue6"}, {}},
        {"qvx-regulator-off", {}, {}, {}},
        {"qvx-family11h", {"TargetNBSpeed"}, {"NBVidSlider", "labelVolNBVid", "NBVidLabel", "TargetNBVid", "CurrentNBVid"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        ASSERT_TRUE(OpenVariant(c.variant));
        Show();
        for (const char* name : c.gone)
            EXPECT_FALSE(W(name)) << name;
        for (const char* name : c.disabled) {
            ASSERT_TRUE(W(name)) << name;
            EXPECT_FALSE(W(name)->isEnabled()) << name;
        }
        for (const char* name : c.hidden)
            EXPECT_TRUE(W(name)->isHidden()) << name;
        TearDown();
        vb::Machine::Instance().LoadDefault();
        SetUp();
    }
}

TEST_F(AdvancedModeTest, SingleControlProcessorHasOneRowInWholeSteps)
{
    ASSERT_TRUE(OpenVariant("qvx-single-control"));
    Show();
    EXPECT_EQ(Text("CoreSpeedLabel"), "CPU Core Speed");
    EXPECT_EQ(Text("CoreMulLabel"), "CPU Core Multiplier");
    ExpectRange(Slider("CPUMulSlider"), {4, 16, 16}, "CPUMulSlider");
    EXPECT_EQ(Text("CPUMulValLabel"), "16 X");
    EXPECT_EQ(Slider("CPUVidSlider")->singleStep(), 2500);
    // The tick and the reads never reach the removed rows.
    Tick();
    EXPECT_TRUE(page->Discard());
    Slider("CPUMulSlider")->setValue(13);
    EXPECT_EQ(Text("CPUMulValLabel"), "13 X");
    Tick();
    EXPECT_EQ(Text("TargetCPUSpeed"), "2600 MHz");
}

TEST_F(AdvancedModeTest, ListModeClocksComeFromTheGeneratorsLists)
{
    ASSERT_TRUE(OpenVariant("qvx-list-clocks"));
    Show();
    auto* pExt = W<QComboBox>("comboBoxExtFreq");
    auto* pPcie = W<QComboBox>("comboBoxPCIeFreq");
    ASSERT_EQ(pExt->count(), 7);
    EXPECT_EQ(pExt->itemText(0), "200.00 MHz");
    EXPECT_EQ(pExt->currentIndex(), 0);
    EXPECT_EQ(pPcie->count(), 6);
    pExt->setCurrentIndex(4);   // 220 MHz
    EXPECT_TRUE(g_bModified);
    Tick();
    EXPECT_EQ(Text("TargetHTSpeed"), "2200 MHz");
    EXPECT_EQ(Text("TargetCPUSpeed"), "3520 MHz");
}

TEST_F(AdvancedModeTest, InitFailsOrLimitsByTheDevicesAnswers)
{
    // An empty reference list refuses the page.
    LoadBoardWith([](QJsonObject& devices) {
        QJsonObject clock = devices.value("clockGenerator").toObject();
        QJsonObject ref = clock.value("htRef").toObject();
        ref.insert("list", QJsonArray());
        clock.insert("htRef", ref);
        clock.insert("ranges", false);
        devices.insert("clockGenerator", clock);
    });
    EXPECT_FALSE(Open());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_nExtFreqCount > 0)"));
    TearDown();
    SetUp();

    // The north bridge caps the HT multiplier; at 0x9600 it does not.
    for (const auto& [deviceId, max] : {std::pair{"0x9610", 8}, std::pair{"0x9600", 10}}) {
        LoadBoardWith([deviceId = deviceId](QJsonObject& devices) {
            QJsonObject nb = devices.value("northBridge").toObject();
            nb.insert("maxHTMultiplier", 8);
            nb.insert("deviceId", deviceId);
            devices.insert("northBridge", nb);
        });
        ASSERT_TRUE(Open());
        EXPECT_EQ(Slider("HTMulSlider")->maximum(), max) << deviceId;
        TearDown();
        SetUp();
    }

    // With the user's consent the VID goes up to the processor's own maximum.
    g_MiscSettings.MaximumVCoreEnabled = true;
    ASSERT_TRUE(Open());
    EXPECT_EQ(Slider("CPUVidSlider")->maximum(), 155000);
}

TEST_F(AdvancedModeTest, AnHTLinkAboveFiveUnderALimitBelowSixIsNeitherOfferedNorWritten)
{
    LoadBoardWith([](QJsonObject& devices) {
        QJsonObject nb = devices.value("northBridge").toObject();
        nb.insert("maxHTMultiplier", 5);
        devices.insert("northBridge", nb);
    });
    ASSERT_TRUE(Open());
    Show();
    EXPECT_FALSE(Slider("HTMulSlider")->isEnabled());
    ClearJournal();
    EXPECT_TRUE(page->Apply());
    for (const std::string& line : Writes())
        EXPECT_EQ(line.find("HT"), std::string::npos) << line;
}

TEST_F(AdvancedModeTest, CalibrationGroupNeedsAllItemsTheMX350AndAFamily10hProcessor)
{
    ASSERT_TRUE(OpenVariant("qvx-mx310"));
    Show();
    EXPECT_FALSE(W("DutyCycleGroup")->isEnabled());
    EXPECT_EQ(W<QComboBox>("DCEnableBox")->count(), 0);
    ClearJournal();
    W<QComboBox>("DCEnableBox")->addItem("x", 3);
    EXPECT_TRUE(page->Apply());
    for (const std::string& line : Writes())
        EXPECT_EQ(line.find("CMOS"), std::string::npos) << line;
}

TEST_F(AdvancedModeTest, UnInitTwiceAndTheTimerOfAHiddenPage)
{
    ASSERT_TRUE(OpenVariant("qvx-list-clocks"));
    Show();
    EXPECT_TRUE(page->UnInit());
    EXPECT_TRUE(page->UnInit());
    // Without its lists the page names no target clock and reads no entry.
    Tick();
    EXPECT_FALSE(page->Discard());
    page->hide();
    const QString before = Text("CurrentCPUSpeed");
    Tick();
    EXPECT_EQ(Text("CurrentCPUSpeed"), before);
}

namespace {

// The fixed regulator's rails of one maker's boards with the 0x5956 north bridge
// carry other names; the maker is read from the base-board record of the firmware tables.
TEST_F(AdvancedModeTest, RailsAreRenamedOnlyForTheOneBoardMakerAndBridge)
{
    struct Case {
        const char* maker;
        const char* bridge;
        const char* firstRail;
    };
    for (const Case& c : {Case{"Giga Boards Ltd.", "0x5956", "SB Core"}, Case{"Vyk Computer Works", "0x5956", nullptr},
                          Case{"Giga Boards Ltd.", "0x9610", nullptr}}) {
        test::LoadBoardOver(Variant("qvx-fixed-rails"));
        QJsonObject board = vb::Machine::Instance().Board();
        QJsonObject smbios = board.value("smbios").toObject();
        QJsonObject baseBoard = smbios.value("baseBoard").toObject();
        baseBoard.insert("manufacturer", QString::fromLatin1(c.maker));
        smbios.insert("baseBoard", baseBoard);
        board.insert("smbios", smbios);
        QJsonObject devices = board.value("devices").toObject();
        QJsonObject northBridge = devices.value("northBridge").toObject();
        northBridge.insert("deviceId", QString::fromLatin1(c.bridge));
        devices.insert("northBridge", northBridge);
        board.insert("devices", devices);
        ASSERT_TRUE(vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson()));
        // The tables are read through the driver.
        ASSERT_TRUE(g_DriverHandler.Init());
        const QString defaultName = [&] {
            QAdvancedMode plain;
            return plain.findChild<QLabel*>("labelVolValue1")->text();
        }();
        ASSERT_TRUE(Open()) << c.maker;
        Show();
        const QString shown = page->findChild<QLabel*>("labelVolValue1")->text();
        if (c.firstRail) {
            EXPECT_EQ(shown, QLatin1String(c.firstRail)) << c.maker << " " << c.bridge;
        } else {
            EXPECT_EQ(shown, defaultName) << c.maker << " " << c.bridge;
        }
        g_DriverHandler.UnInit();
        TearDown();
        SetUp();
    }
}

} // namespace
