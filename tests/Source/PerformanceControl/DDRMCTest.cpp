// The DDR Memory page through its boxes: accepted on DDR controllers only, its twenty
// fields, Apply's writes and stored items, and the fields it leaves alone.
#include <QJsonArray>

#include <cstring>
#include <set>

#include "PerformanceControl/DDRMC.h"
#include "Source/PerformanceControl/MemoryFixture.h"

namespace {

class DDRMCTest : public test::MemoryPageTest<QDDRMC> {
protected:
    void SetUp() override
    {
        MemoryPageTest::SetUp();
        UseVariant("qvx-ddr");
    }
    static std::set<std::string> WriteSet()
    {
        const std::vector<std::string> writes = Writes();
        return {writes.begin(), writes.end()};
    }
};

// The shown fields of each record, to compare the others byte for byte.
template <class Record>
void ExpectSameBut(Record a, Record b, std::initializer_list<size_t> shownDoubles,
                   std::initializer_list<size_t> shownBytes)
{
    for (size_t offset : shownDoubles)
        std::memcpy(reinterpret_cast<char*>(&b) + offset, reinterpret_cast<const char*>(&a) + offset, sizeof(double));
    for (size_t offset : shownBytes)
        reinterpret_cast<char*>(&b)[offset] = reinterpret_cast<const char*>(&a)[offset];
    EXPECT_EQ(std::memcmp(&a, &b, sizeof(Record)), 0);
}

} // namespace

TEST_F(DDRMCTest, DDRControllerShowsTwentyFieldsAndOnlyTheCasLatencyIsFixed)
{
    Create();
    EXPECT_FALSE(g_bModified);
    const struct { const char* box; const char* shown; int choices; } cases[] = {
        {"TclBox", "3 bus clock", 3}, {"TrcBox", "11 bus clock", 16}, {"TrfcBox", "75 ns", 3},
        {"TrcdBox", "3 bus clock", 5}, {"TrrdBox", "2 bus clock", 3}, {"TrasBox", "8 bus clock", 11},
        {"TrpBox", "3 bus clock", 5}, {"TwrBox", "3 bus clock", 2}, {"TwtrBox", "1 bus clock", 2},
        {"TrwtBox", "3 bus clock", 6}, {"TrefBox", "7.8 us", 3}, {"TwclBox", "1 bus clock", 1},
        {"MaxAsyncLatBox", "8 ns", 16}, {"RdPreambleBox", "5 ns", 16}, {"ILD_lmtBox", "16 cycles", 8},
        {"MemClkBox", "200 MHz", 4}, {"DcqBypassMaxBox", "4 times", 16}, {"En2TBox", "Disabled", 2},
        {"D_DRV_WeakBox", "Disabled", 2}, {"DCC_ENBox", "Enabled", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        ASSERT_TRUE(Box(c.box));
        EXPECT_EQ(Shown(c.box), QLatin1String(c.shown));
        EXPECT_EQ(Box(c.box)->count(), c.choices);
    }
    EXPECT_EQ(Box("MemClkBox")->itemText(1), "133.333 MHz");
    EXPECT_EQ(Box("En2TBox")->itemText(0), "Enabled");

    for (QComboBox* box : page->findChildren<QComboBox*>()) {
        SCOPED_TRACE(box->objectName().toStdString());
        const bool fixed = box->objectName() == "TclBox";
        EXPECT_EQ(box->isEnabled(), !fixed);
        g_bModified = false;
        box->setCurrentIndex(box->currentIndex() == 0 ? box->count() - 1 : 0);
        EXPECT_EQ(g_bModified, !fixed && box->count() > 1);
    }
}

TEST_F(DDRMCTest, OtherMemoryTypesAreRefusedBeforeAnyListIsAskedFor)
{
    for (const char* variant : {"qvx-ddr3-external", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(variant ? variant : "default");
        if (variant)
            UseVariant(variant);
        else
            UseBoardWith([](QJsonObject&) {});
        test::LogCapture::Instance().Clear();
        const uint64_t before = BoardAccesses();
        QDDRMC refused;
        EXPECT_FALSE(refused.Init());
        EXPECT_EQ(BoardAccesses() - before, 1u);
        EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pMC->GetMemoryType() == mtDDR_SDRAM) at line "));
        EXPECT_TRUE(test::LogContains(" in QDDRMC::Init\n"));
    }
}

TEST_F(DDRMCTest, ApplyWritesTheChosenValuesStoresTwentyItemsAndLeavesTheOtherFieldsAlone)
{
    Create();
    const MEMORY_TIMING timingBefore = Timing();
    const MEMORY_CONFIG configBefore = Config();
    Pick("TrwtBox", "5 bus clock");
    Pick("TwtrBox", "2 bus clock");
    Pick("TwclBox", "1 bus clock");
    Pick("En2TBox", "Enabled");
    Pick("DCC_ENBox", "Disabled");
    Pick("MemClkBox", "166.667 MHz");
    Pick("RdPreambleBox", "6.5 ns");
    Pick("MaxAsyncLatBox", "0 ns");
    ForgetWrites();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(WriteSet(), (std::set<std::string>{"MC.SetTimings(Trwt=5)", "MC.SetTimings(Twtr=2)",
                                                 "MC.SetConfig(En2T=1)", "MC.SetConfig(DCC_EN=0)",
                                                 "MC.SetConfig(MemClk=166.667)", "MC.SetConfig(RdPreamble=6.5)",
                                                 "MC.SetConfig(MaxAsyncLat=0)"}));
    const MEMORY_TIMING t = Timing();
    const MEMORY_CONFIG c = Config();
    EXPECT_EQ(t.Trwt, 5);
    EXPECT_EQ(t.Twtr, 2);
    EXPECT_EQ(c.DCC_EN, 0);
    EXPECT_EQ(c.MemClk, 166.667);
    EXPECT_EQ(c.MaxAsyncLat, 0);   // 0 chosen from the list is a value like any other
    ExpectSameBut(timingBefore, t, {offsetof(MEMORY_TIMING, Trwt), offsetof(MEMORY_TIMING, Twtr)}, {});
    ExpectSameBut(configBefore, c,
                  {offsetof(MEMORY_CONFIG, MemClk), offsetof(MEMORY_CONFIG, RdPreamble),
                   offsetof(MEMORY_CONFIG, MaxAsyncLat)},
                  {offsetof(MEMORY_CONFIG, En2T), offsetof(MEMORY_CONFIG, DCC_EN)});

    const std::vector<std::pair<QString, QString>> expected = {
        {"CAS_Latency", "3"}, {"Row_Cycle_Time", "11"}, {"Row_Refresh_Cycle_Time_0", "75"}, {"RAS_to_CAS_Delay", "3"},
        {"RAS-to-RAS_Delay", "2"}, {"RAS_Active_Time", "8"}, {"Row_Precharge_Time", "3"},
        {"Write_Recovery_Time", "3"}, {"Write-to-Read_Delay", "2"}, {"Refresh_Rate", "7.8"},
        {"Write_CAS_Latency", "1"}, {"Read-to-Write_Delay", "5"},
        {"Slow_Access_Mode", "1"}, {"DRAM_Drivers_Weak_Mode", "0"}, {"Memory_Clock", "166.667"},
        {"MaxAsyncLat", "0"}, {"DCC_Enable", "0"}, {"Idle_Cycle_Limit", "16"}, {"DcqBypassMax", "4"},
        {"Read_Preamble", "6.5"},
    };
    EXPECT_EQ(StoredItems(), expected);
    EXPECT_EQ(Shown("MemClkBox"), "166.667 MHz");
}

TEST_F(DDRMCTest, ARefusedTimingWriteStoresNothingAndWritesNoConfiguration)
{
    Create();
    Pick("TrcdBox", "4 bus clock");
    Pick("En2TBox", "Enabled");
    Fault("qvx:MC.SetTimings");
    ForgetWrites();
    EXPECT_FALSE(page->Apply());
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(StoredItems().empty());
    EXPECT_TRUE(test::LogContains(" in QDDRMC::WriteMemoryTiming\n"));
    EXPECT_TRUE(test::LogContains(" in QDDRMC::Apply\n"));
    EXPECT_EQ(Shown("TrcdBox"), "3 bus clock");
    EXPECT_EQ(Shown("En2TBox"), "Disabled");
}

TEST_F(DDRMCTest, AMemoryClockOutsideItsListIsKeptAndAnEmptyListDisablesItsBox)
{
    UseControllerWith([](QJsonObject& mc) {
        mc.insert("type", 7);
        mc.insert("class", "Vyk DDR Memory Controller");
        mc.insert("fields", QJsonObject());   // the DDR controller's own defaults
        mc.insert("memClk", 180);
        SetList(mc, "RdPreamble", QJsonArray());
    });
    Create();
    EXPECT_EQ(Box("MemClkBox")->currentIndex(), -1);
    EXPECT_TRUE(Box("MemClkBox")->isEnabled());
    EXPECT_FALSE(Box("RdPreambleBox")->isEnabled());
    Pick("TrasBox", "9 bus clock");
    ForgetWrites();
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(WriteSet(), std::set<std::string>{"MC.SetTimings(Tras=9)"});
    EXPECT_EQ(Config().MemClk, 180);
    EXPECT_EQ(Config().RdPreamble, 5);
    EXPECT_EQ(StoredItem("Memory Clock"), "180");
    EXPECT_EQ(StoredItem("Read Preamble"), "5");
}
