// The DDR2/DDR3 Memory page through its boxes: which controllers it accepts, what it
// shows, what Apply writes to the simulated controller and stores, Discard, and a
// box without a choice never writing 0 into the hardware.
#include <QJsonArray>

#include <algorithm>
#include <set>

#include "PerformanceControl/DDR2MC.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/ProfileSettings.h"
#include "Source/Files.h"
#include "Source/PerformanceControl/MemoryFixture.h"

namespace {

class DDR2MCTest : public test::MemoryPageTest<QDDR2MC> {
protected:
    static std::set<std::string> WriteSet()
    {
        const std::vector<std::string> writes = Writes();
        return {writes.begin(), writes.end()};
    }
    // The choice texts of every box, to see that a re-read rebuilt nothing.
    QStringList AllChoices() const
    {
        QStringList texts;
        for (QComboBox* box : page->findChildren<QComboBox*>()) {
            texts << box->objectName();
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        }
        return texts;
    }
};

const char* const kChannelB[] = {"CkeDrvStrengthBox_2", "CsOdtDrvStrengthBox_2", "AddrCmdDrvStrenBox_2",
                                 "ClkDrvStrenBox_2", "DataDrvStrenBox_2", "DqsDrvStrenBox_2", "ProcOdtBox_2"};

} // namespace

TEST_F(DDR2MCTest, DefaultBoardShowsEveryFieldWithTheControllersValues)
{
    Create();
    EXPECT_FALSE(g_bModified);   // filling and selecting at Init is no change of the user's
    const struct { const char* box; const char* shown; } cases[] = {
        {"TclBox", "5 bus clock"}, {"TrcBox", "26 bus clock"}, {"TrfcBox", "105 ns"}, {"TrfcBox_2", "105 ns"},
        {"TrfcBox_3", "105 ns"}, {"TrfcBox_4", "105 ns"}, {"TrcdBox", "5 bus clock"}, {"TrrdBox", "3 bus clock"},
        {"TrasBox", "18 bus clock"}, {"TrpBox", "5 bus clock"}, {"TwrBox", "6 bus clock"}, {"TwtrBox", "3 bus clock"},
        {"TrefBox", "7.8 us"}, {"TrtpBox", "3 bus clock"}, {"TrwtTOBox", "4 bus clock"}, {"TwrrdBox", "2 bus clock"},
        {"TwrwrBox", "2 bus clock"}, {"TrdrdBox", "2 bus clock"}, {"GangedModeBox", "Disabled"}, {"En2TBox", "1T"},
        {"D_DRV_WeakBox", "Disabled"}, {"MemClkBox", "400 MHz"}, {"DramTermBox", "75 ohms"},
        {"BankSwizzleModeBox", "Enabled"}, {"PowerDownEnBox", "Disabled"}, {"DCC_ENBox", "Enabled"},
        {"FourActWindowBox", "16 MemClk"}, {"ILD_lmtBox", "16 cycles"}, {"DcqBypassMaxBox", "4 times"},
        {"CkeDrvStrengthBox", "1.5 x"}, {"CsOdtDrvStrengthBox", "1.5 x"}, {"AddrCmdDrvStrenBox", "1.5 x"},
        {"ClkDrvStrenBox", "1 x"}, {"DataDrvStrenBox", "1 x"}, {"DqsDrvStrenBox", "1 x"}, {"ProcOdtBox", "150 ohms"},
        {"CkeDrvStrengthBox_2", "1.5 x"}, {"CsOdtDrvStrengthBox_2", "1.5 x"}, {"AddrCmdDrvStrenBox_2", "1.5 x"},
        {"ClkDrvStrenBox_2", "1 x"}, {"DataDrvStrenBox_2", "1 x"}, {"DqsDrvStrenBox_2", "1 x"},
        {"ProcOdtBox_2", "150 ohms"}, {"DqsRcvEnDelayABox", "1.5 ns"}, {"DqsRcvEnDelayABox_2", "1.625 ns"},
        {"DqsRcvEnDelayABox_3", "1.75 ns"}, {"DqsRcvEnDelayABox_4", "1.875 ns"}, {"DqsRcvEnDelayBBox", "1.5 ns"},
        {"DqsRcvEnDelayBBox_2", "1.625 ns"}, {"DqsRcvEnDelayBBox_3", "1.75 ns"}, {"DqsRcvEnDelayBBox_4", "1.875 ns"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Box(c.box)) << c.box;
        EXPECT_EQ(Shown(c.box), QLatin1String(c.shown)) << c.box;
    }
    // The internal controller: no asynchronous latency, a memory clock shown but not offered.
    EXPECT_FALSE(Box("MaxAsyncLatBox"));
    EXPECT_FALSE(page->Form().MaxAsyncLatLabel);
    EXPECT_EQ(page->findChildren<QComboBox*>().size(), 51);
    for (QComboBox* box : page->findChildren<QComboBox*>()) {
        const QString name = box->objectName();
        const bool off =
            name == "TclBox" || name == "BankSwizzleModeBox" || name == "GangedModeBox" || name == "MemClkBox";
        EXPECT_EQ(box->isEnabled(), !off) << name.toStdString();
    }
    EXPECT_EQ(Box("En2TBox")->itemText(0), "2T");
    EXPECT_EQ(Box("MemClkBox")->itemText(2), "333.333 MHz");
    EXPECT_EQ(Box("DqsRcvEnDelayBBox_4")->count(), 32);
    EXPECT_TRUE(page->UnInit());
}

TEST_F(DDR2MCTest, OnlyDDR2AndDDR3ControllersAreAcceptedAndTheClassDecidesTheRowEightPair)
{
    const struct { int type; const char* className; bool accepted; bool internal; } cases[] = {
        {8, "Internal DDR2 DDR3 Memory Controller", true, true},
        {11, "Internal DDR2 DDR3 Memory Controller", true, true},
        {8, "Vyk DDR2 Memory Controller", true, false},
        {11, "internal ddr2 ddr3 memory controller", true, false},   // compared exactly
        {7, "Internal DDR2 DDR3 Memory Controller", false, false},
        {42, "Vyk DDR2 Memory Controller", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.className);
        page.reset();
        UseControllerWith([&](QJsonObject& mc) {
            mc.insert("type", c.type);
            mc.insert("class", c.className);
        });
        test::LogCapture::Instance().Clear();
        page = std::make_unique<QDDR2MC>();
        const uint64_t before = BoardAccesses();
        ASSERT_EQ(page->Init(), c.accepted);
        if (!c.accepted) {
            // Refused at the type check, before any value list was asked for.
            EXPECT_EQ(BoardAccesses() - before, 2u);
            EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pMC->GetMemoryType() == mtDDR2_SDRAM || "
                                          "pMC->GetMemoryType() == mtDDR3_SDRAM) at line "));
            EXPECT_TRUE(test::LogContains(" in QDDR2MC::Init\n"));
            continue;
        }
        EXPECT_EQ(Box("MaxAsyncLatBox") == nullptr, c.internal);
        EXPECT_EQ(Box("GangedModeBox") == nullptr, !c.internal);
        EXPECT_EQ(Box("MemClkBox")->isEnabled(), !c.internal);
    }
}

TEST_F(DDR2MCTest, InitFailsOnAFailingListOrRead)
{
    for (const char* fault : {"qvx:MC.GetDqsRcvEnDelayList", "qvx:MC.GetMaxAsyncLatList", "qvx:MC.GetTimings",
                              "qvx:MC.GetConfig"}) {
        SCOPED_TRACE(fault);
        test::LogCapture::Instance().Clear();
        Fault(fault);
        QDDR2MC refused;
        EXPECT_FALSE(refused.Init());
        EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode) at line "));
        EXPECT_TRUE(test::LogContains(" in QDDR2MC::Init\n"));
        vb::Machine::Instance().GetFaults().Set(fault, false);
    }
}

TEST_F(DDR2MCTest, ChangingAnyBoxButTheCasLatencyMarksTheSettingsModified)
{
    Create();
    for (QComboBox* box : page->findChildren<QComboBox*>()) {
        SCOPED_TRACE(box->objectName().toStdString());
        g_bModified = false;
        box->setCurrentIndex(box->currentIndex() == 0 ? 1 : 0);
        EXPECT_EQ(g_bModified, box->objectName() != "TclBox");
    }
}

TEST_F(DDR2MCTest, ApplyWritesTheChosenValuesKeepsTheRestAndStoresWhatItWrote)
{
    // Fields the page does not show hold values a careless write would lose.
    UseControllerWith([](QJsonObject& mc) {
        SetField(mc, "Trwt", 9);
        SetField(mc, "Twcl", 6);
        SetField(mc, "RdPreamble", 9.5);
        SetField(mc, "MaxAsyncLat", 10);
        SetField(mc, "GangedMode", 1);
        SetField(mc, "DualChannel", 0);
    });
    Create();
    Pick("TrcdBox", "6 bus clock");
    Pick("TrfcBox_3", "127.5 ns");
    Pick("TrtpBox", "2 bus clock");
    Pick("En2TBox", "2T");
    Pick("D_DRV_WeakBox", "Enabled");
    Pick("PowerDownEnBox", "Enabled");
    Pick("DramTermBox", "150 ohms");
    Pick("ProcOdtBox_2", "75 ohms");
    Pick("DqsRcvEnDelayBBox_4", "3.875 ns");
    EXPECT_TRUE(g_bModified);
    ForgetWrites();

    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(WriteSet(), (std::set<std::string>{
                              "MC.SetTimings(Trcd=6)", "MC.SetTimings(Trfc2=127.5)", "MC.SetTimings(Trtp=2)",
                              "MC.SetConfig(En2T=1)", "MC.SetConfig(D_DRV_Weak=1)", "MC.SetConfig(PowerDownEn=1)",
                              "MC.SetConfig(DramTerm=150)", "MC.SetConfig(ProcOdt1=75)",
                              "MC.SetConfig(DqsRcvEnDelay7=3.875)"}));
    const MEMORY_TIMING t = Timing();
    const MEMORY_CONFIG c = Config();
    EXPECT_EQ(t.Trcd, 6);
    EXPECT_EQ(t.Trfc2, 127.5);
    EXPECT_EQ(t.Trfc1, 105);
    EXPECT_EQ(t.Trtp, 2);
    EXPECT_EQ(t.Trwt, 9);
    EXPECT_EQ(t.Twcl, 6);
    EXPECT_EQ(c.En2T, 1);
    EXPECT_EQ(c.D_DRV_Weak, 1);
    EXPECT_EQ(c.PowerDownEn, 1);
    EXPECT_EQ(c.DramTerm, 150);
    EXPECT_EQ(c.ProcOdt[0], 150);
    EXPECT_EQ(c.ProcOdt[1], 75);
    EXPECT_EQ(c.DqsRcvEnDelay[7], 3.875);
    EXPECT_EQ(c.RdPreamble, 9.5);
    EXPECT_EQ(c.MaxAsyncLat, 10);   // never written by the page of the internal controller
    EXPECT_EQ(c.GangedMode, 1);
    EXPECT_EQ(c.DualChannel, 0);
    EXPECT_EQ(c.MemClk, 400);       // its box is disabled, its value written back as read

    // Every shown field but the two read-only flags, in the order written: 18 timings,
    // 31 settings (the internal controller has no asynchronous latency).
    const std::vector<std::pair<QString, QString>> expected = {
        {"CAS_Latency", "5"}, {"Row_Cycle_Time", "26"}, {"Row_Refresh_Cycle_Time_0", "105"},
        {"Row_Refresh_Cycle_Time_1", "105"}, {"Row_Refresh_Cycle_Time_2", "127.5"},
        {"Row_Refresh_Cycle_Time_3", "105"}, {"RAS_to_CAS_Delay", "6"}, {"RAS-to-RAS_Delay", "3"},
        {"RAS_Active_Time", "18"}, {"Row_Precharge_Time", "5"}, {"Write_Recovery_Time", "6"},
        {"Write-to-Read_Delay", "3"}, {"Refresh_Rate", "7.8"}, {"Read_CAS_to_Precharge_Time", "2"},
        {"R-to-W_DQS_Cont.", "4"}, {"W_to_R_DIMM_Term.", "2"}, {"Write_to_Write_Timing", "2"},
        {"Read_to_Read_Timing", "2"},
        {"Slow_Access_Mode", "1"}, {"DRAM_Drivers_Weak_Mode", "1"}, {"Memory_Clock", "400"},
        {"DRAM_Termination", "150"}, {"Power_Down_Mode_Enable", "1"}, {"DCC_Enable", "1"},
        {"Four_Bank_Act_Window", "16"}, {"Idle_Cycle_Limit", "16"}, {"DcqBypassMax", "4"},
        {"CKE_Drive_Strength_A", "1.5"}, {"CS_ODT_Drive_Strength_A", "1.5"},
        {"Address_Command_Drive_Strength_A", "1.5"}, {"Clock_Drive_Strength_A", "1"}, {"Data_Drive_Strength_A", "1"},
        {"DQS_Drive_Strength_A", "1"}, {"Processor_On-die_Termination_A", "150"},
        {"CKE_Drive_Strength_B", "1.5"}, {"CS_ODT_Drive_Strength_B", "1.5"},
        {"Address_Command_Drive_Strength_B", "1.5"}, {"Clock_Drive_Strength_B", "1"}, {"Data_Drive_Strength_B", "1"},
        {"DQS_Drive_Strength_B", "1"}, {"Processor_On-die_Termination_B", "75"},
        {"DQS_Receiver_Enable_Delay_A1", "1.5"}, {"DQS_Receiver_Enable_Delay_A2", "1.625"},
        {"DQS_Receiver_Enable_Delay_A3", "1.75"}, {"DQS_Receiver_Enable_Delay_A4", "1.875"},
        {"DQS_Receiver_Enable_Delay_B1", "1.5"}, {"DQS_Receiver_Enable_Delay_B2", "1.625"},
        {"DQS_Receiver_Enable_Delay_B3", "1.75"}, {"DQS_Receiver_Enable_Delay_B4", "3.875"},
    };
    EXPECT_EQ(StoredItems(), expected);

    // A second Apply replaces the items' texts and adds none.
    Pick("TrcdBox", "7 bus clock");
    ASSERT_TRUE(page->Apply());
    const auto again = StoredItems();
    EXPECT_EQ(again.size(), expected.size());
    EXPECT_EQ(StoredItem("RAS to CAS Delay"), "7");
}

TEST_F(DDR2MCTest, ABoxWithoutAChoiceKeepsTheControllersValue)
{
    // Trfc1 and Trfc2 outside their list, no values at all for Trtp, an empty list
    // for channel B's clock drive strength only.
    UseControllerWith([](QJsonObject& mc) {
        SetField(mc, "Trfc1", 100);
        SetField(mc, "Trfc2", 100);
        SetList(mc, "Trtp", QJsonArray());
    });
    Create();
    EXPECT_TRUE(Box("TrfcBox_2")->isEnabled());
    EXPECT_EQ(Box("TrfcBox_2")->currentIndex(), -1);
    EXPECT_FALSE(Box("TrfcBox_3")->isEnabled());   // the later settings are not offered outside the list
    EXPECT_EQ(Box("TrfcBox_3")->currentIndex(), -1);
    EXPECT_TRUE(Box("TrfcBox_4")->isEnabled());
    EXPECT_FALSE(Box("TrtpBox")->isEnabled());
    EXPECT_EQ(Box("TrtpBox")->count(), 0);
    EXPECT_TRUE(Box("TrwtTOBox")->isEnabled());

    Pick("TrcdBox", "6 bus clock");
    ForgetWrites();
    // The controller would refuse a 0 for any of them; the page keeps what it read.
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(WriteSet(), std::set<std::string>{"MC.SetTimings(Trcd=6)"});
    EXPECT_EQ(Timing().Trfc1, 100);
    EXPECT_EQ(Timing().Trfc2, 100);
    EXPECT_EQ(Timing().Trtp, 3);
    EXPECT_EQ(StoredItem("Row Refresh Cycle Time 1"), "100");
    EXPECT_EQ(StoredItem("Row Refresh Cycle Time 2"), "100");
    EXPECT_EQ(StoredItem("Read CAS to Precharge Time"), "3");
    EXPECT_EQ(StoredItems().size(), 18u + 31u);
    EXPECT_EQ(Box("TrfcBox_2")->currentIndex(), -1);
}

TEST_F(DDR2MCTest, ChannelBAbsentShowsItsDriveStrengthsDisabledAndWritesThemBackUnchanged)
{
    UseVariant("qvx-ddr3-external");
    Create();
    for (const char* name : kChannelB) {
        EXPECT_FALSE(Box(name)->isEnabled()) << name;
        EXPECT_GE(Box(name)->currentIndex(), 0) << name;
    }
    for (const char* name : {"CkeDrvStrengthBox", "ProcOdtBox", "DqsRcvEnDelayBBox", "MemClkBox", "MaxAsyncLatBox"})
        EXPECT_TRUE(Box(name)->isEnabled()) << name;
    EXPECT_FALSE(Box("GangedModeBox"));
    EXPECT_EQ(Shown("TclBox"), "9 bus clock");
    EXPECT_EQ(Shown("MemClkBox"), "666.667 MHz");
    EXPECT_EQ(Shown("ProcOdtBox_2"), "120 ohms");

    const MEMORY_CONFIG before = Config();
    Pick("MaxAsyncLatBox", "8 ns");
    ForgetWrites();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(WriteSet(), std::set<std::string>{"MC.SetConfig(MaxAsyncLat=8)"});
    const MEMORY_CONFIG after = Config();
    for (int ch : {0, 1}) {
        EXPECT_EQ(after.CkeDrvStrength[ch], before.CkeDrvStrength[ch]);
        EXPECT_EQ(after.ProcOdt[ch], before.ProcOdt[ch]);
    }
    EXPECT_EQ(StoredItem("CKE Drive Strength B"), "1.5");
    EXPECT_EQ(StoredItem("Processor On-die Termination B"), "120");
    EXPECT_EQ(StoredItem("MaxAsyncLat"), "8");
    EXPECT_EQ(StoredItems().size(), 18u + 32u);
}

TEST_F(DDR2MCTest, ARefusedWriteFailsApplyAndTheBoxesShowTheController)
{
    const struct { const char* fault; const char* method; size_t storedItems; double trcd; } cases[] = {
        // No configuration write after the timings were refused, and nothing stored.
        {"qvx:MC.SetTimings", " in QDDR2MC::WriteMemoryTiming\n", 0, 9},
        // The timings stay applied and stored; the configuration is neither.
        {"qvx:MC.SetConfig", " in QDDR2MC::WriteMemoryConfig\n", 18, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        page.reset();
        UseVariant("qvx-ddr3-external");
        QFile::remove(CConfigParser::GetInstance()->GetFullPath());
        CConfigParser::ReleaseInstance();
        Create();
        Pick("TrcdBox", "6 bus clock");
        Pick("En2TBox", "2T");
        Fault(c.fault);
        ForgetWrites();
        test::LogCapture::Instance().Clear();
        EXPECT_FALSE(page->Apply());
        EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode) at line "));
        EXPECT_TRUE(test::LogContains(c.method));
        EXPECT_TRUE(test::LogContains(" in QDDR2MC::Apply\n"));
        EXPECT_EQ(Timing().Trcd, c.trcd);
        EXPECT_EQ(Config().En2T, 0);
        EXPECT_EQ(StoredItems().size(), c.storedItems);
        for (const std::string& write : Writes())
            EXPECT_EQ(write.find("SetConfig"), std::string::npos) << write;
        // Re-read: each box shows what the controller holds.
        EXPECT_EQ(Shown("TrcdBox"), c.trcd == 6 ? "6 bus clock" : "9 bus clock");
        EXPECT_EQ(Shown("En2TBox"), "1T");
        vb::Machine::Instance().GetFaults().Set(c.fault, false);
    }
}

TEST_F(DDR2MCTest, DiscardRestoresTheControllersValuesWithoutRebuildingTheLists)
{
    Create();
    const QStringList choices = AllChoices();
    Pick("TrasBox", "20 bus clock");
    Pick("DCC_ENBox", "Disabled");
    Pick("DqsRcvEnDelayABox_3", "0 ns");
    Box("TrwtTOBox")->setCurrentIndex(-1);
    ForgetWrites();
    ASSERT_TRUE(page->Discard());
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Shown("TrasBox"), "18 bus clock");
    EXPECT_EQ(Shown("DCC_ENBox"), "Enabled");
    EXPECT_EQ(Shown("DqsRcvEnDelayABox_3"), "1.75 ns");
    EXPECT_EQ(Shown("TrwtTOBox"), "4 bus clock");
    EXPECT_EQ(AllChoices(), choices);

    Fault("qvx:MC.GetConfig");
    Pick("DCC_ENBox", "Disabled");
    EXPECT_FALSE(page->Discard());
    EXPECT_TRUE(test::LogContains(" in QDDR2MC::Discard\n"));
    EXPECT_EQ(Shown("DCC_ENBox"), "Disabled");   // a failed read leaves the boxes as they were
}

TEST_F(DDR2MCTest, AValueStoreThatCannotBeWrittenDoesNotFailApply)
{
    Create();
    Pick("TrcdBox", "6 bus clock");
    ForgetWrites();
    CConfigParser::ReleaseInstance();
    {
        test::CurrentFolder folder(test::ReadOnlyFolder());
        test::LogCapture::Instance().Clear();
        EXPECT_TRUE(page->Apply());
        CConfigParser::ReleaseInstance();
    }
    EXPECT_EQ(WriteSet(), std::set<std::string>{"MC.SetTimings(Trcd=6)"});
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR(!m_bStoreFailed) at line "), 1u);
    EXPECT_EQ(test::LogCount(" in QDDR2MC::"), 1u);   // once, however many items were lost
}

TEST_F(DDR2MCTest, TheStoredItemsApplyAsAProfile)
{
    Create();
    Pick("TrcdBox", "6 bus clock");
    Pick("PowerDownEnBox", "Enabled");
    Pick("ProcOdtBox_2", "300 ohms");
    ASSERT_TRUE(page->Apply());
    const QString file = CConfigParser::GetInstance()->GetFullPath();

    // Back to the board's values behind the file's back, then the file applied as a profile.
    Pick("TrcdBox", "5 bus clock");
    Pick("PowerDownEnBox", "Disabled");
    Pick("ProcOdtBox_2", "150 ohms");
    const QByteArray stored = test::ReadFile(file);
    ASSERT_TRUE(page->Apply());
    ASSERT_TRUE(test::WriteFile(file, stored));
    ASSERT_TRUE(CProfileSettings::m_Self.ApplySettings(reinterpret_cast<const char16_t*>(file.utf16())));
    EXPECT_EQ(Timing().Trcd, 6);
    EXPECT_EQ(Config().PowerDownEn, 1);
    EXPECT_EQ(Config().ProcOdt[1], 300);
}

// Another page moved the reference clock in the same Apply, before this one: the
// memory clocks moved with it. A memory clock left alone keeps the clock in force; a
// chosen one is taken at its place in the list in force. Either way the other
// changes are written, and the box shows the controller's clock in the new list.
TEST_F(DDR2MCTest, MemoryClocksFollowAReferenceClockSetBeforeTheWrite)
{
    const struct {
        const char* chosen;   // null: the box is left alone
        double refMHz;
        const char* shown;
        double memClk;
    } cases[] = {
        {nullptr, 210, "700 MHz", 666.667 * 210 / 200},
        {"800 MHz", 205, "820 MHz", 800.0 * 205 / 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen ? c.chosen : "left alone");
        page.reset();
        UseVariant("qvx-ddr3-external");
        Create();
        Pick("TrcdBox", "10 bus clock");
        Pick("DramTermBox", "120 ohms");
        if (c.chosen)
            Pick("MemClkBox", QLatin1String(c.chosen));
        ASSERT_TRUE(QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0)->SetHTRefClock(c.refMHz));
        ASSERT_TRUE(page->Apply());
        EXPECT_EQ(Timing().Trcd, 10);
        EXPECT_EQ(Config().DramTerm, 120);
        EXPECT_DOUBLE_EQ(Config().MemClk, c.memClk);
        EXPECT_EQ(Shown("MemClkBox").toStdString(), c.shown);
        EXPECT_EQ(Box("MemClkBox")->count(), 4);
        EXPECT_DOUBLE_EQ(StoredItem("Memory Clock").toDouble(), c.memClk);
    }
}
