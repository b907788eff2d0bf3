// The side-port memory clock against the north bridge's clock registers.
#include <gtest/gtest.h>

#include "Engine/SPMclkControl.h"
#include "GpuTestSupport.h"
#include "support/TestEnvironment.h"
#include "VirtualBoard/Clock.h"

namespace {

using gputest::GpuTest;

class SPMclk : public GpuTest {
protected:
    std::vector<uint32_t> Register9Writes() const
    {
        std::vector<uint32_t> out;
        for (const auto& [reg, value] : Nb().Writes())
            if (reg == 9)
                out.push_back(value);
        return out;
    }
    CTQ460SPMclkControl control;
};

TEST_F(SPMclk, RowSelectionAndTheClockItYields)
{
    Start();
    const struct { uint32_t asked, reported; } cases[] = {
        {40000, 40000}, {39999, 38750}, {90000, 85000}, {5000, 10000}, {11200, 11250},
        {49600, 50000}, {53200, 53333}, {44800, 45000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        uint32_t actual = 0;
        ASSERT_EQ(control.SetClock(c.asked, &actual, 0), 0u);
        EXPECT_EQ(actual, c.reported);
        EXPECT_EQ(Nb().ActiveClock(), c.reported) << "the board runs at what was reported";
        uint32_t read = 0;
        ASSERT_EQ(control.GetClock(&read, 0), 0u);
        EXPECT_EQ(read, c.reported);
        EXPECT_DOUBLE_EQ(Gpu().sidePort.value, c.reported / 100.0) << "the device library sees the same clock";
    }
    EXPECT_EQ(control.Table().size(), 76u);
}

TEST_F(SPMclk, FieldPackingAndRegister9SequenceOfBothSets)
{
    Start([](QJsonObject& board) {
        QJsonObject nb = board.value("northBridgeClocks").toObject();
        nb.insert("registers", QJsonObject{{"7", "0x0FC00000"}, {"9", "0x00000000"}, {"11", "0x00000000"}});
        board.insert("northBridgeClocks", nb);
    });
    // Set 1 in use: switch to set 2, program set 1 (register 7, bits 22-27 kept).
    uint32_t actual = 0;
    ASSERT_EQ(control.SetClock(40000, &actual, 0), 0u);
    EXPECT_EQ(Nb().Register(7), 0x0FC00000u | 3u << 3 | 6u << 28);
    EXPECT_EQ(Register9Writes(), (std::vector<uint32_t>{1, 3, 1, 0}));

    // Set 2 in use (register 9 bit 1): switch to set 1, program set 2 (A, B, C in
    // register 9, X, N, M, P in register 11), and keep the new fields on the way back.
    Nb().SetRegister(9, 0x80000002);
    Nb().SetRegister(0, 8);
    Nb().SetRegister(11, 0xFFFF0000);
    const uint32_t d = 0x80000002;
    const auto before = Nb().Writes().size();
    ASSERT_EQ(control.SetClock(71500, &actual, 0), 0u);        // M 7, N 50, P 1, A 5, B 12, C 2
    const uint32_t fields = 5u << 8 | 2u << 12 | 12u << 14;
    EXPECT_EQ(Nb().Register(11), 0xFFFF0000u | 49u << 3 | 6u << 9);
    EXPECT_EQ(Nb().Register(9), d | fields);
    std::vector<uint32_t> writes;
    for (size_t i = before; i < Nb().Writes().size(); ++i)
        if (Nb().Writes()[i].first == 9)
            writes.push_back(Nb().Writes()[i].second);
    EXPECT_EQ(writes, (std::vector<uint32_t>{d | 1, (d & ~2u) | 1, (d & ~2u) | 1 | fields, d | fields, d | fields}));
    EXPECT_EQ(actual, 71428u);
    uint32_t read = 0;
    ASSERT_EQ(control.GetClock(&read, 0), 0u);
    EXPECT_EQ(read, 71428u) << "decoded from register 11 while bit 1 is set";
}

TEST_F(SPMclk, HandshakeThatNeverCompletesChangesNothing)
{
    Start();
    drvtest::Faults().Set("nb-clock-handshake-stuck");
    const uint32_t r7 = Nb().Register(7), r11 = Nb().Register(11), r9 = Nb().Register(9);
    const uint64_t slept = test::Clock().SleptNs();
    uint32_t actual = 77;
    EXPECT_EQ(control.SetClock(40000, &actual, 0), 1u);
    EXPECT_EQ(actual, 77u);
    EXPECT_EQ(Nb().Register(7), r7);
    EXPECT_EQ(Nb().Register(11), r11);
    EXPECT_EQ(Nb().Register(9), r9);
    EXPECT_EQ(test::Clock().SleptNs() - slept, (1000u * 10 + 4) * 1000000ull) << "1000 polls of 10 ms, on the test clock";
}

TEST_F(SPMclk, ReadsAndZeroClockAndTheIndexRegisterIsRestored)
{
    Start();
    uint32_t latch = 0x55;
    ASSERT_TRUE(g_DriverHandler.SetPCIConfig(0, 0, 0, 0xE8, reinterpret_cast<char*>(&latch), 4));
    uint32_t clock = 0, actual = 0;
    ASSERT_EQ(control.GetClock(&clock, 0), 0u);
    EXPECT_EQ(clock, 53333u) << "register 7 of the default board";
    EXPECT_EQ(Nb().IndexLatch(), 0x55u);
    ASSERT_EQ(control.SetClock(0, &actual, 0), 0u);
    EXPECT_EQ(actual, clock);
    ASSERT_EQ(control.SetClock(60000, &actual, 0), 0u);
    EXPECT_EQ(Nb().IndexLatch(), 0x55u);
    Nb().SetRegister(9, 2);
    Nb().SetRegister(11, 3u << 3);                              // N 4, M 1, P 1: 40000
    ASSERT_EQ(control.GetClock(&clock, 0), 0u);
    EXPECT_EQ(clock, 40000u);
    EXPECT_EQ(control.GetClock(nullptr, 0), 1u);
    EXPECT_EQ(control.SetClock(40000, nullptr, 0), 1u);
}

TEST_F(SPMclk, FlatFunctionsWorkWhateverTheHostBridgeIs)
{
    // The control exists with the graphics tool; whether the north bridge has the
    // side-port memory is the callers' business, not the host bridge's id.
    for (const char* device : {"0x5956", "0x9600"}) {
        SCOPED_TRACE(device);
        Start([device](QJsonObject& board) {
            drvtest::EditPciFunction(board, "00:00.0", [device](QJsonObject& f) { f.insert("device", device); });
        });
        EXPECT_TRUE(g_SetSPMemoryClock(60000, 0));
        uint32_t clock = 0;
        EXPECT_TRUE(g_GetSPMemoryClock(&clock, 0));
        EXPECT_EQ(clock, 60000u);
        EXPECT_EQ(Nb().ActiveClock(), 60000u);
        TearDown();
    }
}

} // namespace
