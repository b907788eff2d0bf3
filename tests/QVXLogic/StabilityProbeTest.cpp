// The tuner's stability probe: the test centre's stress work run on the calling
// thread against the board as it stands.
#include <atomic>

#include "QvxTestSupport.h"
#include "TestCenter/StabilityProbe.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Stability/StabilityModel.h"

using test::QvxTest;

namespace {

vb::StabilityModel& Model() { return vb::Machine::Instance().Get<vb::StabilityModel>(); }

void SetReference(double mhz)
{
    vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    auto lock = board.Lock();
    board.SetReference(mhz);
}

TEST_F(QvxTest, ProbeAnswersStableUnstableOrHung)
{
    Model().SetDeterministic(true);
    qvx::CStabilityProbe probe(true);

    // No time given: one round, a CPU and an FPU batch per core, a calculation
    // batch and a look at the machine-check banks.
    qvx::ProbeOutcome outcome = probe.Run(0);
    EXPECT_TRUE(outcome.bStable);
    EXPECT_FALSE(outcome.bHang);
    EXPECT_EQ(outcome.nBatches, 10);
    // Some time: rounds until the board clock has moved that far.
    outcome = probe.Run(200'000);
    EXPECT_TRUE(outcome.bStable);
    EXPECT_GT(outcome.nBatches, 10);

    // Every core runs 16 x 215 = 3440 MHz: the first core's first batch goes wrong.
    SetReference(215);
    EXPECT_EQ(Model().BoardVerdict().state, vb::Stability::Errors);
    outcome = probe.Run(0);
    EXPECT_FALSE(outcome.bStable);
    EXPECT_FALSE(outcome.bHang);
    EXPECT_EQ(outcome.eFailedType, tctCPU);
    EXPECT_EQ(outcome.nFailedProcessor, 0);
    EXPECT_GE(outcome.eError, 11);
    EXPECT_LE(outcome.eError, 13);
    EXPECT_FALSE(Model().IsHung());

    // Far beyond: the board hangs, and stays hung until recovered.
    SetReference(240);
    outcome = probe.Run(0);
    EXPECT_FALSE(outcome.bStable);
    EXPECT_TRUE(outcome.bHang);
    EXPECT_EQ(outcome.eError, emcHardwareFailure);
    EXPECT_TRUE(Model().IsHung());
}

void SetMultipliers(double multiplier)
{
    vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    auto lock = board.Lock();
    for (int core = 0; core < board.cpu.cores; ++core)
        board.SetMultiplier(core, multiplier);
}

TEST_F(QvxTest, ProbeFailsEveryUnstablePartHoweverRarelyItGoesWrong)
{
    // The board's own random draws: just over a limit, a batch goes wrong only now
    // and then, yet minutes of the Stability Test would find it.
    Model().SetDeterministic(false);
    struct Case {
        const char* name;
        double multiplier, reference;
        TEST_CASE_TYPE failed;
        int processor;
    };
    const Case cases[] = {
        {"cores just over their limit", 16, 212, tctCPU, 0},
        // Cores far below theirs; the north bridge and the memory just over theirs.
        {"north bridge and memory just over theirs", 12, 231, tctCalculation, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMultipliers(c.multiplier);
        SetReference(c.reference);
        const vb::StabilityVerdict verdict = Model().BoardVerdict();
        ASSERT_EQ(verdict.state, vb::Stability::Errors);
        ASSERT_LT(verdict.errorRate, 0.05);
        // Round after round, each drawing afresh.
        qvx::CStabilityProbe probe(true);
        for (int run = 0; run < 20; ++run) {
            const qvx::ProbeOutcome outcome = probe.Run(0);
            ASSERT_FALSE(outcome.bStable) << run;
            EXPECT_FALSE(outcome.bHang);
            EXPECT_EQ(outcome.eFailedType, c.failed);
            EXPECT_EQ(outcome.nFailedProcessor, c.processor);
        }
    }
    // One step below, nothing goes wrong.
    SetMultipliers(16);
    SetReference(211);
    qvx::CStabilityProbe probe(true);
    EXPECT_TRUE(probe.Run(1'000'000).bStable);
}

TEST_F(QvxTest, ProbeStartsWithClearMachineCheckBanks)
{
    // Entries left in the banks before the probe (by an earlier unstable clock)
    // say nothing of the clock it probes.
    Model().SetDeterministic(true);
    ASSERT_TRUE(Model().PostMachineCheck(vb::StabilityModel::kCoreBank));
    ASSERT_TRUE(Model().PostMachineCheck(vb::StabilityModel::kNorthBridgeBank));
    qvx::CStabilityProbe probe(true);
    EXPECT_TRUE(probe.Run(0).bStable);
    EXPECT_EQ(Model().TakeMachineCheck(), -1);
}

TEST_F(QvxTest, ProbeStopsAtOnceWhenAborted)
{
    qvx::CStabilityProbe probe(true);
    std::atomic<bool> abort{true};
    const qvx::ProbeOutcome outcome = probe.Run(1'000'000'000'000ull, &abort);
    EXPECT_TRUE(outcome.bAborted);
    EXPECT_TRUE(outcome.bStable);
    EXPECT_EQ(outcome.nBatches, 0);
}

} // namespace
