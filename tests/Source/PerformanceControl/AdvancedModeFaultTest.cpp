// The calibration items (the firmware counts its items from 1), a refused rail, and the places where the page guards
// against what the devices or the firmware report.
#include "AdvancedModeFixture.h"

#include <QJsonArray>
#include <QJsonObject>

#include "support/LogCapture.h"
#include "support/MessageBoxAnswers.h"

using test::AdvancedModeTest;
using test::LoadBoardOver;
using test::LoadBoardWith;

namespace {

void SetFault(const char* name) { vb::Machine::Instance().GetFaults().Set(name); }

} // namespace

TEST_F(AdvancedModeTest, CalibrationWritesTheModesBoxesOnlyWhenChanged)
{
    ASSERT_TRUE(Open());
    g_bModified = false;   // as the main window leaves it after building its pages
    // Never shown: the mode's choice decides which boxes are written, not the screen.
    auto* pMode = W<QComboBox>("DCEnableBox");
    pMode->setCurrentIndex(3);   // per core
    EXPECT_FALSE(W("DCCore2Box")->isHidden());
    EXPECT_TRUE(W("DCAllCoreBox")->isHidden());
    W<QComboBox>("DCCore2Box")->setCurrentIndex(2);
    W<QComboBox>("DCAllCoreBox")->setCurrentIndex(4);   // hidden: not written
    EXPECT_FALSE(g_bModified);                            // calibration changes are no overclocking
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Only(Writes(), "CMOS"), (std::vector<std::string>{"CMOS item 1 = 3", "CMOS item 5 = 2"}));
    EXPECT_TRUE(g_bRebootRequired);
    EXPECT_EQ(g_CMOSItemList.GetItemValue(4), 2);
    EXPECT_EQ(W<QComboBox>("DCCore2Box")->currentIndex(), 2);   // read back

    // Nothing changed: nothing written.
    g_bRebootRequired = false;
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_TRUE(Only(Writes(), "CMOS").empty());
    EXPECT_FALSE(g_bRebootRequired);

    // A box without a selection holds no choice: option 0 is not written for it.
    W<QComboBox>("DCCore1Box")->setCurrentIndex(-1);
    g_CMOSItemList.SetItemValue(3, 5);
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_TRUE(Only(Writes(), "CMOS").empty());
    EXPECT_EQ(g_CMOSItemList.GetItemValue(3), 5);
}

TEST_F(AdvancedModeTest, ReservedOptionsAreSkippedAndKeepTheirValues)
{
    QJsonObject board = vb::Machine::Instance().Board();
    QJsonObject acpi = board.value("vykAcpi").toObject();
    QJsonArray items = acpi.value("cmosItems").toArray();
    QJsonObject all = items[1].toObject();
    all.insert("options", QJsonArray{"0 %", "RESERVED", "+4 %"});
    items[1] = all;
    acpi.insert("cmosItems", items);
    QJsonObject mode = items[0].toObject();
    mode.insert("value", 2);
    items[0] = mode;
    acpi.insert("cmosItems", items);
    board.insert("vykAcpi", acpi);
    ASSERT_TRUE(vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson()));
    ASSERT_TRUE(Open());
    auto* pAll = W<QComboBox>("DCAllCoreBox");
    ASSERT_EQ(pAll->count(), 2);
    EXPECT_EQ(pAll->itemData(1).toInt(), 2);
    pAll->setCurrentIndex(1);
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Only(Writes(), "CMOS"), (std::vector<std::string>{"CMOS item 2 = 2"}));
}

TEST_F(AdvancedModeTest, ARefusedRailStopsTheVoltagesAndTheCalibration)
{
    ASSERT_TRUE(OpenVariant("qvx-fixed-rails"));
    Show();
    Slider("VDDQVolSlider")->setValue(190000);
    EXPECT_FALSE(Slider("VTTVolSlider")->isEnabled());   // VTT follows VDDQ
    Slider("VDDCVolSlider")->setValue(125000);
    Slider("NBCOREVolSlider")->setValue(115000);
    W<QComboBox>("DCEnableBox")->setCurrentIndex(2);
    SetFault("qvx:PWM.SetCPUVDDC");
    ClearJournal();
    EXPECT_FALSE(page->Apply());
    // VDDQ, then the VTT reading it caused (written in the same pass), then the refusal.
    EXPECT_EQ(Only(Writes(), "PWM."), (std::vector<std::string>{"PWM.SetMemVDDQ(190000)", "PWM.SetMemVTT(95000)"}));
    EXPECT_TRUE(Only(Writes(), "CMOS").empty());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bret)"));
    EXPECT_TRUE(test::LogContains("in QAdvancedMode::Apply"));
    const QString pwm = Name(g_DeviceManager.GetDevice(dtPWMController, 0));
    EXPECT_EQ(Stored("PWMController", pwm, "MemVDDQ"), "190000");
    EXPECT_EQ(Stored("PWMController", pwm, "MemVTT"), "95000");
    EXPECT_EQ(Stored("PWMController", pwm, "CPUVDDC"), "");
    // The page shows the hardware again.
    EXPECT_EQ(Slider("VDDCVolSlider")->value(), 120000);
    EXPECT_TRUE(Slider("VTTVolSlider")->isEnabled());
}

TEST_F(AdvancedModeTest, RefusedWritesAreNotStoredAndUnreadRecordsNotWritten)
{
    ASSERT_TRUE(Open());
    Show();
    Slider("ExtSlider")->setValue(190);
    Slider("CPUMulSlider")->setValue(30);
    Slider("CPUVidSlider")->setValue(130000);
    Slider("HTMulSlider")->setValue(9);
    SetFault("qvx:CPU.SetMultiplier");
    SetFault("qvx:CG.SetHTRefClock");
    SetFault("qvx:HT.GetLinkInfo");
    ClearJournal();
    EXPECT_TRUE(page->Apply());
    const QString cpu = Name(g_DeviceManager.GetDevice(dtCPU, 0));
    EXPECT_EQ(Stored("CPU", cpu, "Multiplier"), "");       // refused: not claimed
    EXPECT_EQ(Stored("CPU", cpu, "CPUVID"), "130000");     // taken
    // The refused reference clock is stored as the clock the generator still runs at.
    EXPECT_EQ(Stored("ClockGen", Name(g_DeviceManager.GetDevice(dtClockGenerator, 0)), "HTRefClock"), "200");
    // No link record was read, so none is written, and the bridges are left alone.
    EXPECT_TRUE(Only(Writes(), "HT.").empty());
    EXPECT_TRUE(Only(Writes(), "NB.").empty());
    EXPECT_TRUE(Only(Writes(), "SB.").empty());
}

TEST_F(AdvancedModeTest, AReferenceClockSetElsewhereIsTheOneToCompareWith)
{
    ASSERT_TRUE(Open());
    Show();
    // Another page raises the clock to 230; this page then asks for 220, a lowering.
    ASSERT_TRUE(QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0)->SetHTRefClock(230));
    ASSERT_TRUE(page->Discard());
    Slider("ExtSlider")->setValue(220);
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    const std::vector<std::string> writes = Writes();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.front(), "CG.SetHTRefClock(220)");
}

TEST_F(AdvancedModeTest, ListModeWithoutAnEntryWritesNoClock)
{
    ASSERT_TRUE(OpenVariant("qvx-list-clocks"));
    // Never shown: the combo boxes are empty and name no clock.
    ClearJournal();
    EXPECT_TRUE(page->Apply());
    EXPECT_TRUE(Only(Writes(), "CG.").empty());
    Tick();   // hidden: nothing read past the lists

    // A generator clock that is not in its own list.
    TearDown();
    SetUp();
    LoadBoardOver(Variant("qvx-list-clocks"));
    QJsonObject board = vb::Machine::Instance().Board();
    QJsonObject processor = board.value("processor").toObject();
    processor.insert("referenceClockMHz", 201);
    board.insert("processor", processor);
    ASSERT_TRUE(vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson()));
    ASSERT_TRUE(Open());
    Show();
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(idx < m_nExtFreqCount)"));
    EXPECT_EQ(W<QComboBox>("comboBoxExtFreq")->currentIndex(), -1);
    Tick();
    EXPECT_FALSE(page->Discard());
}

TEST_F(AdvancedModeTest, MoreThanSixChannelsAndZeroDefaultsStayInsideTheRows)
{
    LoadBoardWith([](QJsonObject& devices) {
        QJsonObject pwm2 = devices.value("pwm2").toObject();
        QJsonArray channels = pwm2.value("channels").toArray();
        QJsonObject zero = channels[0].toObject();
        zero.insert("default", 0);
        channels[0] = zero;
        QJsonObject extra = channels[5].toObject();
        extra.insert("name", "Aux Rail");
        channels.append(extra);
        pwm2.insert("channels", channels);
        devices.insert("pwm2", pwm2);
    });
    ASSERT_TRUE(Open());
    Show();
    Slider("VDDQVolSlider")->setValue(210000);
    EXPECT_FALSE(W<QLabel>("VDDQVolValLabel")->autoFillBackground());   // no reference, no warning
    Slider("CPUHTVolSlider")->setValue(125000);
    ClearJournal();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(Only(Writes(), "PWM2"), (std::vector<std::string>{"PWM2.SetChannelVoltage(Mem VDDQ, 210000)",
                                                                "PWM2.SetChannelVoltage(CPU HT, 125000)"}));
}
