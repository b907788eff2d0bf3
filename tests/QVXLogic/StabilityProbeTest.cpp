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

    // No time given: one round, a CPU and an FPU batch per core and a calculation batch.
    qvx::ProbeOutcome outcome = probe.Run(0);
    EXPECT_TRUE(outcome.bStable);
    EXPECT_FALSE(outcome.bHang);
    EXPECT_EQ(outcome.nBatches, 9);
    // Some time: rounds until the board clock has moved that far.
    outcome = probe.Run(200'000);
    EXPECT_TRUE(outcome.bStable);
    EXPECT_GT(outcome.nBatches, 9);

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
