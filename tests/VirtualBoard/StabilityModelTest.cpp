// The board's stability model: the limit of a core at a voltage and temperature,
// the verdict at an operating point, the board as it stands, the draws that stress
// work takes from a verdict, the hang latch and the machine-check banks.
#include <QJsonObject>

#include <random>

#include <gtest/gtest.h>

#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Stability/StabilityModel.h"
#include "support/BoardEdits.h"

namespace {

vb::StabilityModel& Model() { return vb::Machine::Instance().Get<vb::StabilityModel>(); }

void SetMultiplier(int core, double multiplier)
{
    vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    auto lock = board.Lock();
    board.SetMultiplier(core, multiplier);
}

TEST(StabilityModel, OperatingPointsOfTheDefaultBoard)
{
    using vb::Stability;
    struct Case {
        double mhz, volts, temperature;
        Stability state;
    };
    const Case cases[] = {
        {3200, 1.325, 41, Stability::Stable},   // as the board starts
        {3392, 1.325, 41, Stability::Stable},   // right at the limit
        {3400, 1.325, 42, Stability::Errors},   // one multiplier step up: a few errors
        {3600, 1.325, 43, Stability::Errors},
        {3800, 1.325, 44, Stability::Hang},
        {3600, 1.450, 44, Stability::Stable},   // more voltage buys clock
        {3200, 1.200, 36, Stability::Errors},   // too little voltage for the start clock
        {3200, 1.325, 80, Stability::Errors},   // too hot
        {3200, 1.325, 125, Stability::Hang},
        {0, 1.325, 41, Stability::Stable},
    };
    double lastRate = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mhz << " MHz " << c.volts << " V " << c.temperature << " C");
        const vb::StabilityVerdict v = Model().JudgeCore({c.mhz, c.volts, c.temperature});
        EXPECT_EQ(v.state, c.state);
        if (c.state == Stability::Stable) {
            EXPECT_EQ(v.errorRate, 0);
        } else {
            EXPECT_GT(v.excess, 0);
            EXPECT_GT(v.errorRate, 0);
            EXPECT_LE(v.errorRate, 1);
        }
    }
    // The rate grows with the excess, and a hang is certain failure.
    for (double mhz = 3393; mhz < 3700; mhz += 25) {
        const vb::StabilityVerdict v = Model().JudgeCore({mhz, 1.325, 41});
        EXPECT_GE(v.errorRate, lastRate) << mhz;
        lastRate = v.errorRate;
    }
    EXPECT_LT(Model().JudgeCore({3400, 1.325, 42}).errorRate, 0.1);
    EXPECT_EQ(Model().JudgeCore({3800, 1.325, 44}).errorRate, 1);
    EXPECT_DOUBLE_EQ(Model().CoreLimitMHz(1.425, 41), 3392 + 240);
    EXPECT_DOUBLE_EQ(Model().CoreLimitMHz(1.325, 51), 3392 - 60);
}

TEST(StabilityModel, TheBoardAsItStandsAndAsItIsPushed)
{
    // The default board is stable at its default clocks.
    EXPECT_EQ(Model().BoardVerdict().state, vb::Stability::Stable);
    EXPECT_EQ(Model().CoreCount(), 4);
    EXPECT_DOUBLE_EQ(Model().Parameters().startCoreMHz, 3200);

    // One core raised: that core goes wrong, the others do not, the board does.
    SetMultiplier(1, 18);
    EXPECT_EQ(Model().CoreVerdict(1).state, vb::Stability::Errors);
    EXPECT_EQ(Model().CoreVerdict(0).state, vb::Stability::Stable);
    EXPECT_EQ(Model().CoreVerdict(7).state, vb::Stability::Stable);   // no such core
    EXPECT_EQ(Model().UncoreVerdict().state, vb::Stability::Stable);
    EXPECT_EQ(Model().BoardVerdict().state, vb::Stability::Errors);
    SetMultiplier(1, 20);
    EXPECT_EQ(Model().BoardVerdict().state, vb::Stability::Hang);

    // Low multipliers and a high reference clock: the cores cope, the north bridge
    // and the memory do not.
    vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    {
        auto lock = board.Lock();
        for (int core = 0; core < 4; ++core)
            board.SetMultiplier(core, 10);
        board.SetReference(240);
    }
    EXPECT_EQ(Model().CoreVerdict(0).state, vb::Stability::Stable);
    EXPECT_EQ(Model().UncoreVerdict().state, vb::Stability::Errors);
    EXPECT_EQ(Model().BoardVerdict().state, vb::Stability::Errors);
}

TEST(StabilityModel, ABoardWithoutLimitsIsStableAsItStarts)
{
    QJsonObject processor = test::DefaultBoard().value(QStringLiteral("processor")).toObject();
    processor.insert(QStringLiteral("multiplier"), 12);
    ASSERT_TRUE(test::LoadDefaultBoardWith({{QStringLiteral("processor"), processor}, {QStringLiteral("stability"), QJsonObject()}}));
    const vb::StabilityParameters p = Model().Parameters();
    EXPECT_DOUBLE_EQ(p.startCoreMHz, 2400);
    EXPECT_DOUBLE_EQ(p.coreMHz, 2400 * 1.06);
    EXPECT_DOUBLE_EQ(p.northBridgeMHz, 2000 * 1.15);
    EXPECT_DOUBLE_EQ(p.memoryMHz, 400 * 1.15);
    EXPECT_EQ(Model().BoardVerdict().state, vb::Stability::Stable);
    SetMultiplier(2, 13);
    EXPECT_EQ(Model().CoreVerdict(2).state, vb::Stability::Errors);
}

TEST(StabilityModel, DrawsFollowTheRateOrEveryBatchWhenDeterministic)
{
    std::mt19937_64 random(7);
    const vb::StabilityVerdict stable = Model().JudgeCore({3200, 1.325, 41});
    const vb::StabilityVerdict some = Model().JudgeCore({3420, 1.325, 41});   // rate about 0.08
    ASSERT_EQ(some.state, vb::Stability::Errors);
    int errors = 0;
    for (int i = 0; i < 4000; ++i) {
        EXPECT_FALSE(Model().DrawError(stable, random));
        errors += Model().DrawError(some, random) ? 1 : 0;
    }
    EXPECT_NEAR(errors / 4000.0, some.errorRate, 0.02);

    Model().SetDeterministic(true);
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(Model().DrawError(some, random));
        EXPECT_FALSE(Model().DrawError(stable, random));
    }
}

TEST(StabilityModel, AHangStaysUntilRecoveredAndMachineChecksAreTakenOnce)
{
    EXPECT_FALSE(Model().IsHung());
    Model().NoteHang();
    Model().NoteHang();
    EXPECT_TRUE(Model().IsHung());
    EXPECT_EQ(Model().HangCount(), 1);
    Model().Recover();
    EXPECT_FALSE(Model().IsHung());
    Model().NoteHang();
    EXPECT_EQ(Model().HangCount(), 2);

    EXPECT_EQ(Model().TakeMachineCheck(), -1);
    EXPECT_FALSE(Model().PostMachineCheck(-1));
    EXPECT_FALSE(Model().PostMachineCheck(vb::StabilityModel::kMcaBanks));
    EXPECT_TRUE(Model().PostMachineCheck(4));
    EXPECT_TRUE(Model().PostMachineCheck(0));
    EXPECT_EQ(Model().TakeMachineCheck(), 0);
    EXPECT_EQ(Model().TakeMachineCheck(), 4);
    EXPECT_EQ(Model().TakeMachineCheck(), -1);
}

TEST(StabilityModel, WorseOfTwoVerdicts)
{
    vb::StabilityVerdict stable, low, high, hang;
    low.state = high.state = vb::Stability::Errors;
    low.errorRate = 0.1;
    high.errorRate = 0.5;
    hang.state = vb::Stability::Hang;
    EXPECT_EQ(vb::StabilityModel::Worse(stable, low).errorRate, 0.1);
    EXPECT_EQ(vb::StabilityModel::Worse(high, low).errorRate, 0.5);
    EXPECT_EQ(vb::StabilityModel::Worse(high, hang).state, vb::Stability::Hang);
    EXPECT_EQ(vb::StabilityModel::Worse(stable, stable).state, vb::Stability::Stable);
}

} // namespace
