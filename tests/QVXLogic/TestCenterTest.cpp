// The test centre on the simulated board: its cases, a run's workers and queues,
// errors where (and only where) the board is pushed too far, and stopping.
#include <memory>
#include <set>

#include "QvxTestSupport.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Stability/StabilityModel.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

using test::QvxTest;

namespace {

constexpr unsigned kWaitMs = 30000;   // only a safety net: the first batch comes at once

class TestCenterTest : public QvxTest {
protected:
    void TearDown() override
    {
        g_TestCenter.Stop();
        for (IStabilityTestCase* c : AllCases())
            g_TestCenter.SetRepeatTimes(c, 0);
        QvxTest::TearDown();
    }

    static std::vector<IStabilityTestCase*> AllCases()
    {
        std::vector<IStabilityTestCase*> cases;
        for (int core = 0; core < 4; ++core) {
            cases.push_back(g_TestCenter.GetTestCase(tctCPU, core));
            cases.push_back(g_TestCenter.GetTestCase(tctFPU, core));
        }
        cases.push_back(g_TestCenter.GetTestCase(tctCalculation, -1));
        cases.push_back(g_TestCenter.GetTestCase(tctMCA, -1));
        return cases;
    }

    static void RunAll(int times = -1)
    {
        for (IStabilityTestCase* c : AllCases())
            ASSERT_TRUE(g_TestCenter.SetRepeatTimes(c, times));
    }

    static vb::StabilityModel& Model() { return vb::Machine::Instance().Get<vb::StabilityModel>(); }

    static void SetMultiplier(int core, double multiplier)
    {
        vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
        auto lock = board.Lock();
        board.SetMultiplier(core, multiplier);
    }

    static void SetReference(double mhz)
    {
        vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
        auto lock = board.Lock();
        board.SetReference(mhz);
    }

    struct Drained {
        std::vector<ERROR_MESSAGE> errors;
        std::vector<TEST_RESULT> results;
    };
    static Drained Drain()
    {
        Drained d;
        while (ERROR_MESSAGE* e = g_TestCenter.PopError()) {
            d.errors.push_back(*e);
            delete e;
        }
        while (TEST_RESULT* r = g_TestCenter.PopResult()) {
            d.results.push_back(*r);
            delete r;
        }
        return d;
    }

    // Every case once: started, a first batch from each, stopped, collected.
    static Drained RunEveryCaseOnce()
    {
        RunAll();
        EXPECT_TRUE(g_TestCenter.Start());
        EXPECT_TRUE(g_TestCenter.WaitForBatches(1, kWaitMs));
        g_TestCenter.Stop();
        return Drain();
    }

    // Whether a code is one that a case of this type's own checks give.
    static bool IsCodeOf(TEST_CASE_TYPE type, int32_t code)
    {
        switch (type) {
        case tctCPU: return code >= 11 && code <= 13;
        case tctFPU: return code >= 14 && code <= 21;
        case tctCalculation: return code == 1 || code == 2 || code == 5 || code == 6 || code == 22;
        case tctMCA: return code == emcMCAError;
        default: return false;
        }
    }
};

TEST_F(TestCenterTest, OneCasePerTypeAndProcessorForTheCentresLife)
{
    IStabilityTestCase* cpu2 = g_TestCenter.GetTestCase(tctCPU, 2);
    ASSERT_TRUE(cpu2);
    EXPECT_EQ(cpu2->GetType(), tctCPU);
    EXPECT_EQ(cpu2->GetProcessor(), 2);
    EXPECT_EQ(g_TestCenter.GetTestCase(tctCPU, 2), cpu2);
    EXPECT_NE(g_TestCenter.GetTestCase(tctFPU, 2), cpu2);
    ASSERT_TRUE(g_TestCenter.GetTestCase(tctMCA, -1));
    EXPECT_EQ(g_TestCenter.GetTestCase(tctMCA, -1)->GetType(), tctMCA);
    EXPECT_EQ(g_TestCenter.GetTestCase(tctCalculation, -1)->GetProcessor(), -1);

    const struct { TEST_CASE_TYPE type; int processor; } none[] = {
        {tctCPU, 4}, {tctCPU, -1}, {tctFPU, 99}, {tctCalculation, 0}, {tctMCA, 1},
        {tctGPU, -1}, {tctMemory, 0}, {tctInvalid, -1}, {tctTotal, -1},
    };
    for (const auto& n : none)
        EXPECT_FALSE(g_TestCenter.GetTestCase(n.type, n.processor)) << n.type << "/" << n.processor;

    // A refresh of the devices keeps the cases.
    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(g_TestCenter.GetTestCase(tctCPU, 2), cpu2);
    EXPECT_FALSE(g_TestCenter.SetRepeatTimes(nullptr, -1));
    EXPECT_FALSE(g_TestCenter.SetRepeatTimes(cpu2, -2));
}

TEST_F(TestCenterTest, AStableBoardRunsCleanUntilStopped)
{
    // Nothing chosen: nothing starts.
    EXPECT_FALSE(g_TestCenter.Start());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(!active.empty())"));

    RunAll();
    ASSERT_TRUE(g_TestCenter.Start());
    EXPECT_TRUE(g_TestCenter.IsRunning());
    EXPECT_FALSE(g_TestCenter.Start());   // still running
    ASSERT_TRUE(g_TestCenter.WaitForBatches(1, kWaitMs));
    // The GUI thread collects while the workers go on.
    std::set<IStabilityTestCase*> reported;
    for (const TEST_RESULT& r : Drain().results) {
        reported.insert(r.pTestCase);
        EXPECT_GT(r.dValue, 0);
    }
    EXPECT_EQ(reported.size(), AllCases().size());

    // The next batches wait for the board clock.
    test::Clock().Advance(300'000'000);
    ASSERT_TRUE(g_TestCenter.WaitForBatches(2, kWaitMs));
    EXPECT_TRUE(g_TestCenter.Stop());
    EXPECT_FALSE(g_TestCenter.IsRunning());
    EXPECT_TRUE(Drain().errors.empty());
    EXPECT_TRUE(g_TestCenter.Stop());   // harmless when idle
}

TEST_F(TestCenterTest, ARepeatCountEndsTheCaseByItself)
{
    IStabilityTestCase* fpu = g_TestCenter.GetTestCase(tctFPU, 1);
    ASSERT_TRUE(g_TestCenter.SetRepeatTimes(fpu, 2));
    ASSERT_TRUE(g_TestCenter.Start());
    ASSERT_TRUE(g_TestCenter.WaitForBatches(1, kWaitMs));
    test::Clock().Advance(300'000'000);
    ASSERT_TRUE(g_TestCenter.WaitForBatches(3, kWaitMs));   // ended after two
    EXPECT_FALSE(g_TestCenter.IsRunning());
    const Drained d = Drain();
    ASSERT_EQ(d.results.size(), 2u);
    EXPECT_EQ(d.results[0].pTestCase, fpu);
    // A run that ended by itself makes way for the next.
    EXPECT_TRUE(g_TestCenter.Start());
}

TEST_F(TestCenterTest, OnlyTheCasesOfAnOverclockedCoreGoWrong)
{
    Model().SetDeterministic(true);
    SetMultiplier(1, 18);
    const Drained d = RunEveryCaseOnce();
    std::set<std::pair<int, int>> failed;
    for (const ERROR_MESSAGE& e : d.errors) {
        ASSERT_TRUE(e.pTestCase);
        failed.insert({e.pTestCase->GetType(), e.pTestCase->GetProcessor()});
        EXPECT_TRUE(IsCodeOf(e.pTestCase->GetType(), e.eErrorMessage)) << e.eErrorMessage;
    }
    // The core's own cases, and those that run on the whole machine.
    EXPECT_EQ(failed, (std::set<std::pair<int, int>>{{tctCPU, 1}, {tctFPU, 1}, {tctCalculation, -1}, {tctMCA, -1}}));
    // A case stops at its first error; the others kept reporting.
    for (const TEST_RESULT& r : d.results)
        EXPECT_FALSE(failed.count({r.pTestCase->GetType(), r.pTestCase->GetProcessor()}));
    EXPECT_FALSE(d.results.empty());
}

TEST_F(TestCenterTest, AMachineCheckIsReportedOnceAndARunStartsWithClearBanks)
{
    Model().SetDeterministic(true);
    IStabilityTestCase* mca = g_TestCenter.GetTestCase(tctMCA, -1);
    const auto runOnce = [mca] {
        EXPECT_TRUE(g_TestCenter.SetRepeatTimes(mca, 1));
        EXPECT_TRUE(g_TestCenter.Start());
        EXPECT_TRUE(g_TestCenter.WaitForBatches(1, kWaitMs));
        g_TestCenter.Stop();
        return Drain();
    };

    // The cores and the north bridge past their limits: the batch finds an entry
    // in each of their banks, reports the error once and leaves every bank clear.
    SetReference(231);
    ASSERT_EQ(Model().CoreVerdict(0).state, vb::Stability::Errors);
    ASSERT_EQ(Model().UncoreVerdict().state, vb::Stability::Errors);
    Drained d = runOnce();
    ASSERT_EQ(d.errors.size(), 1u);
    EXPECT_EQ(d.errors[0].eErrorMessage, emcMCAError);
    EXPECT_EQ(Model().TakeMachineCheck(), -1);

    // Entries that no batch of this run left are not its errors.
    SetReference(200);
    ASSERT_TRUE(Model().PostMachineCheck(vb::StabilityModel::kCoreBank));
    ASSERT_TRUE(Model().PostMachineCheck(vb::StabilityModel::kNorthBridgeBank));
    d = runOnce();
    EXPECT_TRUE(d.errors.empty());
    EXPECT_EQ(d.results.size(), 1u);
}

TEST_F(TestCenterTest, AHungBoardFailsEveryCase)
{
    SetMultiplier(3, 20);
    const Drained d = RunEveryCaseOnce();
    EXPECT_EQ(d.errors.size(), AllCases().size());
    for (const ERROR_MESSAGE& e : d.errors)
        EXPECT_EQ(e.eErrorMessage, emcHardwareFailure);
    EXPECT_TRUE(d.results.empty());
    EXPECT_TRUE(Model().IsHung());

    // Back at a stable clock, the next run starts from a live board, as it starts
    // with clear machine-check banks.
    SetMultiplier(3, 16);
    const Drained again = RunEveryCaseOnce();
    EXPECT_FALSE(Model().IsHung());
    EXPECT_TRUE(again.errors.empty());
    EXPECT_EQ(again.results.size(), AllCases().size());
}

TEST_F(TestCenterTest, TheSpoilSwitchIsCaughtByEveryCasesOwnChecks)
{
    vb::Machine::Instance().GetFaults().Set("qvx:TestCenter.SpoilResults");
    const Drained d = RunEveryCaseOnce();
    EXPECT_EQ(d.errors.size(), AllCases().size());
    for (const ERROR_MESSAGE& e : d.errors)
        EXPECT_TRUE(IsCodeOf(e.pTestCase->GetType(), e.eErrorMessage)) << e.eErrorMessage;
}

TEST_F(TestCenterTest, QueuesAreBoundedAndClearedAtStart)
{
    IStabilityTestCase* mca = g_TestCenter.GetTestCase(tctMCA, -1);
    EXPECT_FALSE(g_TestCenter.PopError());
    EXPECT_FALSE(g_TestCenter.PopResult());
    for (int i = 0; i < 2000; ++i)
        g_TestCenter.InjectResult(mca, i);
    // Nobody collected: the oldest results went, the newest stayed, in order.
    const Drained d = Drain();
    ASSERT_EQ(d.results.size(), 1024u);
    EXPECT_EQ(d.results.front().dValue, 2000 - 1024);
    EXPECT_EQ(d.results.back().dValue, 1999);

    // What a previous run left is gone when the next starts.
    ASSERT_TRUE(g_TestCenter.InjectError(mca, emcMCAError));
    g_TestCenter.InjectResult(mca, 1);
    g_TestCenter.SetScripted(true);
    ASSERT_TRUE(g_TestCenter.SetRepeatTimes(mca, -1));
    ASSERT_TRUE(g_TestCenter.Start());
    EXPECT_TRUE(g_TestCenter.IsRunning());
    EXPECT_FALSE(g_TestCenter.PopError());
    EXPECT_FALSE(g_TestCenter.PopResult());
    g_TestCenter.Stop();
    EXPECT_FALSE(g_TestCenter.IsRunning());
}

TEST_F(TestCenterTest, StartRefusedAndTheLibrarysShutdownStopsTheRun)
{
    RunAll();
    vb::Machine::Instance().GetFaults().Set("qvx:TestCenter.Start");
    EXPECT_FALSE(g_TestCenter.Start());
    EXPECT_FALSE(g_TestCenter.IsRunning());
    vb::Machine::Instance().GetFaults().Set("qvx:TestCenter.Start", false);

    ASSERT_TRUE(g_TestCenter.Start());
    ASSERT_TRUE(g_TestCenter.WaitForBatches(1, kWaitMs));
    g_PerformanceControl.UnInitialize();
    EXPECT_FALSE(g_TestCenter.IsRunning());

    ASSERT_TRUE(g_TestCenter.Start());
    g_DeviceManager.UnInit();
    EXPECT_FALSE(g_TestCenter.IsRunning());
}

} // namespace
