// The memory controller of each memory kind: every value list, every field on a
// value of its list (exactly, as the pages match them), whole-record writes.
#include <QJsonArray>

#include <algorithm>
#include <cstring>

#include "QvxTestSupport.h"
#include "support/BoardEdits.h"

namespace {

using test::QvxTest;
using test::QvxJournal;
using test::Str;

using ListSlot = bool (IMemoryControllerDevice::*)(double*, unsigned*);

// Slot of each MEMORY_FIELD, in slot order (22..53).
const ListSlot kLists[mfCount] = {
    &IMemoryControllerDevice::GetTclList, &IMemoryControllerDevice::GetTrcList,
    &IMemoryControllerDevice::GetTrfcList, &IMemoryControllerDevice::GetTrcdList,
    &IMemoryControllerDevice::GetTrrdList, &IMemoryControllerDevice::GetTrasList,
    &IMemoryControllerDevice::GetTrpList, &IMemoryControllerDevice::GetTwrList,
    &IMemoryControllerDevice::GetTwtrList, &IMemoryControllerDevice::GetTrwtList,
    &IMemoryControllerDevice::GetTrefList, &IMemoryControllerDevice::GetTwclList,
    &IMemoryControllerDevice::GetMaxAsyncLatList, &IMemoryControllerDevice::GetRdPreambleList,
    &IMemoryControllerDevice::GetILD_lmtList, &IMemoryControllerDevice::GetMemClkList,
    &IMemoryControllerDevice::GetTrtpList, &IMemoryControllerDevice::GetTrwtTOList,
    &IMemoryControllerDevice::GetTwrrdList, &IMemoryControllerDevice::GetTwrwrList,
    &IMemoryControllerDevice::GetTrdrdList, &IMemoryControllerDevice::GetDramTermList,
    &IMemoryControllerDevice::GetFourActWindowList, &IMemoryControllerDevice::GetDcqBypassMaxList,
    &IMemoryControllerDevice::GetCkeDrvStrengthList, &IMemoryControllerDevice::GetCsOdtDrvStrengthList,
    &IMemoryControllerDevice::GetAddrCmdDrvStrengthList, &IMemoryControllerDevice::GetClkDrvStrengthList,
    &IMemoryControllerDevice::GetDataDrvStrengthList, &IMemoryControllerDevice::GetDqsDrvStrengthList,
    &IMemoryControllerDevice::GetProcOdtList, &IMemoryControllerDevice::GetDqsRcvEnDelayList,
};

std::vector<double> List(MEMORY_FIELD f)
{
    auto* mc = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    double values[256];
    unsigned count = 256;
    // Through a local: called inside the check, the list makes the sanitizer build's
    // compiler warn of a copy that may be uninitialised.
    const auto pList = kLists[f];
    const bool bRetCode = (mc->*pList)(values, &count);
    EXPECT_TRUE(bRetCode) << f;
    return {values, values + count};
}

// The record fields each list serves (offset in the timing or configuration record).
struct Served {
    MEMORY_FIELD list;
    bool timing;
    size_t offset;
    int count;              // consecutive doubles
};
const Served kServed[] = {
    {mfTcl, true, offsetof(MEMORY_TIMING, Tcl), 1}, {mfTrc, true, offsetof(MEMORY_TIMING, Trc), 1},
    {mfTrfc, true, offsetof(MEMORY_TIMING, Trfc0), 4}, {mfTrcd, true, offsetof(MEMORY_TIMING, Trcd), 1},
    {mfTrrd, true, offsetof(MEMORY_TIMING, Trrd), 1}, {mfTras, true, offsetof(MEMORY_TIMING, Tras), 1},
    {mfTrp, true, offsetof(MEMORY_TIMING, Trp), 1}, {mfTwr, true, offsetof(MEMORY_TIMING, Twr), 1},
    {mfTwtr, true, offsetof(MEMORY_TIMING, Twtr), 1}, {mfTrwt, true, offsetof(MEMORY_TIMING, Trwt), 1},
    {mfTref, true, offsetof(MEMORY_TIMING, Tref), 1}, {mfTwcl, true, offsetof(MEMORY_TIMING, Twcl), 1},
    {mfTrtp, true, offsetof(MEMORY_TIMING, Trtp), 1}, {mfTrwtTO, true, offsetof(MEMORY_TIMING, TrwtTO), 1},
    {mfTwrrd, true, offsetof(MEMORY_TIMING, Twrrd), 1}, {mfTwrwr, true, offsetof(MEMORY_TIMING, Twrwr), 1},
    {mfTrdrd, true, offsetof(MEMORY_TIMING, Trdrd), 1},
    {mfMemClk, false, offsetof(MEMORY_CONFIG, MemClk), 1}, {mfMaxAsyncLat, false, offsetof(MEMORY_CONFIG, MaxAsyncLat), 1},
    {mfDramTerm, false, offsetof(MEMORY_CONFIG, DramTerm), 1},
    {mfFourActWindow, false, offsetof(MEMORY_CONFIG, FourActWindow), 1},
    {mfDcqBypassMax, false, offsetof(MEMORY_CONFIG, DcqBypassMax), 1},
    {mfILD_lmt, false, offsetof(MEMORY_CONFIG, ILD_lmt), 1}, {mfRdPreamble, false, offsetof(MEMORY_CONFIG, RdPreamble), 1},
    {mfCkeDrvStrength, false, offsetof(MEMORY_CONFIG, CkeDrvStrength), 2},
    {mfCsOdtDrvStrength, false, offsetof(MEMORY_CONFIG, CsOdtDrvStrength), 2},
    {mfAddrCmdDrvStrength, false, offsetof(MEMORY_CONFIG, AddrCmdDrvStrength), 2},
    {mfClkDrvStrength, false, offsetof(MEMORY_CONFIG, ClkDrvStrength), 2},
    {mfDataDrvStrength, false, offsetof(MEMORY_CONFIG, DataDrvStrength), 2},
    {mfDqsDrvStrength, false, offsetof(MEMORY_CONFIG, DqsDrvStrength), 2},
    {mfProcOdt, false, offsetof(MEMORY_CONFIG, ProcOdt), 2},
    {mfDqsRcvEnDelay, false, offsetof(MEMORY_CONFIG, DqsRcvEnDelay), 8},
};

// The lists each memory page fills: the DDR page 22-37 and 45, the DDR2/DDR3 page
// 22-30, 32, 34 and 36-53.
bool PageUses(int type, MEMORY_FIELD f)
{
    const int slot = 22 + f;
    if (type == mtDDR_SDRAM)
        return slot <= 37 || slot == 45;
    return slot <= 30 || slot == 32 || slot == 34 || slot >= 36;
}

TEST_F(QvxTest, EveryFieldOfEachControllerKindHoldsAValueOfItsList)
{
    struct Case {
        const char* board;
        int type;
        const char16_t* className;
        bool channelB;
    };
    for (const Case& c : {Case{"default", mtDDR2_SDRAM, QVX_MC_CLASS_INTERNAL, true},
                          Case{"qvx-ddr", mtDDR_SDRAM, u"Vyk DDR Memory Controller", true},
                          Case{"qvx-ddr3-external", mtDDR3_SDRAM, u"Vyk DDR3 Memory Controller", false}}) {
        SCOPED_TRACE(c.board);
        UseBoard(c.board);
        EXPECT_EQ(MC()->GetMemoryType(), c.type);
        EXPECT_EQ(Str(MC()->GetClassName()), QString::fromUtf16(c.className));
        EXPECT_TRUE(MC()->IsChannelAPresent());
        EXPECT_EQ(MC()->IsChannelBPresent(), c.channelB);
        MEMORY_TIMING timing{};
        MEMORY_CONFIG config{};
        ASSERT_TRUE(MC()->GetTimings(&timing));
        ASSERT_TRUE(MC()->GetConfig(&config));
        for (const Served& s : kServed) {
            const std::vector<double> list = List(s.list);
            if (!PageUses(c.type, s.list))
                continue;
            ASSERT_FALSE(list.empty()) << "list " << s.list;
            const char* record = s.timing ? reinterpret_cast<const char*>(&timing) : reinterpret_cast<const char*>(&config);
            for (int k = 0; k < s.count; ++k) {
                double v;
                std::memcpy(&v, record + s.offset + 8 * k, sizeof v);
                // Exact equality: the pages select the choice whose value equals the field.
                EXPECT_NE(std::find(list.begin(), list.end(), v), list.end()) << "list " << s.list << " value " << v;
            }
        }
        // The memory clock agrees with the modules' fastest set.
        EXPECT_NEAR(config.MemClk, Module(0)->GetSPDInfo()->Timing[0].dFrequency, 0.001);
    }
}

TEST_F(QvxTest, ListsHonourTheCapacityAndEmptyListsStayEmpty)
{
    double values[256];
    unsigned count = 2;
    ASSERT_TRUE(MC()->GetTclList(values, &count));
    EXPECT_EQ(count, 2u);
    count = 0;
    ASSERT_TRUE(MC()->GetDqsRcvEnDelayList(values, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(MC()->GetTclList(nullptr, &count));
    EXPECT_EQ(List(mfDqsRcvEnDelay).size(), 32u);

    // A list the board file empties is empty (its widget is disabled), not refused.
    QJsonObject devices = test::DefaultBoard().value("devices").toObject();
    QJsonObject mc = devices.value("memoryController").toObject();
    mc.insert("lists", QJsonObject{{"Trfc", QJsonArray()}});
    devices.insert("memoryController", mc);
    g_DeviceManager.UnInit();
    ASSERT_TRUE(test::LoadDefaultBoardWith({{"devices", devices}}));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    EXPECT_TRUE(List(mfTrfc).empty());
    EXPECT_FALSE(List(mfTcl).empty());
    vb::Machine::Instance().GetFaults().Set("qvx:MC.GetTclList");
    count = 256;
    EXPECT_FALSE(MC()->GetTclList(values, &count));
}

TEST_F(QvxTest, TheMemoryClockFollowsTheReferenceAndReadsBackAsItsListValue)
{
    ASSERT_TRUE(Clock()->SetHTRefClock(210));
    const std::vector<double> clocks = List(mfMemClk);
    ASSERT_EQ(clocks.size(), 5u);
    EXPECT_NEAR(clocks[3], 420, 1e-9);
    MEMORY_CONFIG config{};
    ASSERT_TRUE(MC()->GetConfig(&config));
    EXPECT_EQ(config.MemClk, clocks[3]);
    config.MemClk = clocks[1] + 0.0004;                  // within the tolerance of an entry
    ASSERT_TRUE(MC()->SetConfig(&config));
    ASSERT_TRUE(MC()->GetConfig(&config));
    EXPECT_EQ(config.MemClk, clocks[1]);                 // exactly the entry
    EXPECT_EQ(MC()->GetMemoryFrequency(0, 0), clocks[1]);
    EXPECT_EQ(Module(0)->GetBusFrequency(), clocks[1]);
    ASSERT_TRUE(Clock()->SetHTRefClock(200));
    ASSERT_TRUE(MC()->GetConfig(&config));
    EXPECT_EQ(config.MemClk, List(mfMemClk)[1]);
}

TEST_F(QvxTest, RefusedWritesChangeNothingAndTheJournalKeepsTheOrder)
{
    MEMORY_TIMING timing{};
    MEMORY_CONFIG config{};
    ASSERT_TRUE(MC()->GetTimings(&timing));
    ASSERT_TRUE(MC()->GetConfig(&config));
    const MEMORY_TIMING timingBefore = timing;
    const MEMORY_CONFIG configBefore = config;
    vb::Machine::Instance().GetJournal().Clear();

    timing.Trcd = 6;
    config.DramTerm = 150;
    config.CkeDrvStrength[1] = 2;
    vb::Machine::Instance().GetFaults().Set("qvx:MC.SetTimings");
    EXPECT_FALSE(MC()->SetTimings(&timing));
    config.DqsRcvEnDelay[7] = 5;                        // not offered: the whole record is refused
    EXPECT_FALSE(MC()->SetConfig(&config));
    MEMORY_TIMING t{};
    MEMORY_CONFIG k{};
    ASSERT_TRUE(MC()->GetTimings(&t));
    ASSERT_TRUE(MC()->GetConfig(&k));
    EXPECT_EQ(std::memcmp(&t, &timingBefore, sizeof t), 0);
    EXPECT_EQ(std::memcmp(&k, &configBefore, sizeof k), 0);
    EXPECT_TRUE(QvxJournal().empty());

    vb::Machine::Instance().GetFaults().Clear();
    config.DqsRcvEnDelay[7] = configBefore.DqsRcvEnDelay[7];
    ASSERT_TRUE(MC()->SetTimings(&timing));
    ASSERT_TRUE(MC()->SetConfig(&config));
    EXPECT_EQ(QvxJournal(), (std::vector<std::string>{"MC.SetTimings(Trcd=6)", "MC.SetConfig(DramTerm=150)",
                                                      "MC.SetConfig(CkeDrvStrength1=2)"}));
    ASSERT_TRUE(MC()->GetConfig(&k));
    EXPECT_EQ(k.CkeDrvStrength[1], 2);
    EXPECT_EQ(k.CkeDrvStrength[0], configBefore.CkeDrvStrength[0]);
}

// A record is filled in place and never past its end: callers allocate exactly
// its size (and the dialogs 168 bytes for the timings).
template <class Record, class Fill>
void ExpectFilledWithinItsSize(Fill fill)
{
    struct {
        Record record;
        uint8_t guard[8];
    } buffer;
    std::memset(&buffer, 0xAB, sizeof buffer);
    ASSERT_TRUE(fill(&buffer.record));
    for (uint8_t b : buffer.guard)
        EXPECT_EQ(b, 0xAB);
}

TEST_F(QvxTest, RecordsAreNotWrittenPastTheirSize)
{
    ExpectFilledWithinItsSize<MEMORY_TIMING>([](MEMORY_TIMING* r) { return MC()->GetTimings(r); });
    ExpectFilledWithinItsSize<MEMORY_CONFIG>([](MEMORY_CONFIG* r) { return MC()->GetConfig(r); });
    ExpectFilledWithinItsSize<HTLINK_INFO>([](HTLINK_INFO* r) { return Link()->GetLinkInfo(0, r); });
}

} // namespace
