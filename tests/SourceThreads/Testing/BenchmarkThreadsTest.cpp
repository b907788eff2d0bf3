// The Benchmark page's worker threads with fixed-value testers: the score
// arithmetic, the calls each run makes, the finished flag, and stopping a run.
// Run under ThreadSanitizer too.
#include <QThread>

#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "SourceThreads/Testing/BenchmarkTestSupport.h"

namespace {

using test::FixedTesters;
using test::WaitFinished;

TEST(BenchmarkThreadsTest, ScoresTruncateTowardZeroAndClamp)
{
    struct CASE { double dValue; int nExpected; } cases[] = {
        {0.9, 0}, {-2.7, -2}, {1234.9, 1234}, {-0.5, 0},
        {1e300, INT_MAX}, {-1e300, INT_MIN}, {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), INT_MAX},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(CPerformanceTestThread::Truncate(c.dValue), c.nExpected) << c.dValue;
    EXPECT_EQ(CPerformanceTestThread::SpeedScore(3000.5f, 2000.4f), 250);
    EXPECT_EQ(CPerformanceTestThread::SpeedScore(7400.0f, 7220.0f), 731);
    EXPECT_EQ(CPerformanceTestThread::SpeedScore(3e38f, 3e38f), INT_MAX);
}

TEST(BenchmarkThreadsTest, ARunScoresTheEnabledItemsInOrder)
{
    FixedTesters fixed;
    test::SetExampleValues(fixed);

    struct CASE {
        bool bInteger, bFP, bMemory, bCache;
        int nInteger, nFP, nMemory, nCache, nTotal;
        std::vector<TESTER_QUANTITY> calls;
    } cases[] = {
        {true, true, true, true, 4936, 812, 250, 731, 6729,
         {tqInteger, tqFloatingPoint, tqMemoryWrite, tqMemoryRead, tqL1Write, tqL1Read}},
        {false, true, false, false, 0, 812, 0, 0, 812, {tqFloatingPoint}},
        {true, false, false, true, 4936, 0, 0, 731, 5667, {tqInteger, tqL1Write, tqL1Read}},
        {false, false, false, false, 0, 0, 0, 0, 0, {}},
    };
    CPerformanceTestThread thread;
    thread.SetCoreCount(4);
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.nTotal);
        fixed.ForgetCalls();
        thread.SetIntegerEnabled(c.bInteger);
        thread.SetFPEnabled(c.bFP);
        thread.SetMemoryEnabled(c.bMemory);
        thread.SetCacheEnabled(c.bCache);
        ASSERT_TRUE(thread.StartRun());
        ASSERT_TRUE(WaitFinished(thread));
        EXPECT_EQ(thread.GetIntegerScore(), c.nInteger);
        EXPECT_EQ(thread.GetFPScore(), c.nFP);
        EXPECT_EQ(thread.GetMemoryScore(), c.nMemory);
        EXPECT_EQ(thread.GetCacheScore(), c.nCache);
        EXPECT_EQ(thread.GetTotalScore(), c.nTotal);
        ASSERT_TRUE(thread.Stop());
        EXPECT_EQ(fixed.Order(), c.calls);
    }
}

TEST(BenchmarkThreadsTest, LargeValuesClampInsteadOfOverflowing)
{
    FixedTesters fixed;
    fixed.Set(tqInteger, 1e9);
    fixed.Set(tqFloatingPoint, 3e9);
    CPerformanceTestThread thread;
    thread.SetCoreCount(64);
    thread.SetMemoryEnabled(false);
    thread.SetCacheEnabled(false);
    ASSERT_TRUE(thread.StartRun());
    ASSERT_TRUE(WaitFinished(thread));
    EXPECT_EQ(thread.GetIntegerScore(), INT_MAX);
    EXPECT_EQ(thread.GetFPScore(), INT_MAX);
    EXPECT_EQ(thread.GetTotalScore(), INT_MAX);
}

// The flag stays up between runs and is down from the moment the next one starts,
// even while its first tester has not answered yet.
TEST(BenchmarkThreadsTest, FinishedIsClearedWhenARunStartsNotWhenItIsScheduled)
{
    FixedTesters fixed;
    fixed.Set(tqInteger, 100);
    CPerformanceTestThread thread;
    EXPECT_FALSE(thread.IsFinished());
    ASSERT_TRUE(thread.StartRun());
    ASSERT_TRUE(WaitFinished(thread));
    ASSERT_TRUE(thread.Stop());
    EXPECT_TRUE(thread.IsFinished()) << "stays true between runs";

    fixed.CloseGate();
    fixed.Set(tqInteger, 200);
    ASSERT_TRUE(thread.StartRun());
    EXPECT_FALSE(thread.IsFinished());
    ASSERT_TRUE(fixed.WaitHeld(1));
    EXPECT_FALSE(thread.IsFinished());
    EXPECT_FALSE(thread.StartRun()) << "a busy thread is not started again";
    fixed.OpenGate();
    ASSERT_TRUE(WaitFinished(thread));
    EXPECT_EQ(thread.GetIntegerScore(), 200);
}

TEST(BenchmarkThreadsTest, AStoppedRunEndsAtOnceAndReportsNothing)
{
    FixedTesters fixed;
    fixed.Set(tqInteger, 100);
    fixed.CloseGate();
    CPerformanceTestThread thread;
    ASSERT_TRUE(thread.StartRun());
    ASSERT_TRUE(fixed.WaitHeld(1));
    EXPECT_TRUE(thread.IsBusy());
    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.IsBusy());
    EXPECT_FALSE(thread.IsFinished());
    EXPECT_EQ(thread.GetIntegerScore(), 0);
    EXPECT_EQ(fixed.Order(), std::vector<TESTER_QUANTITY>{tqInteger}) << "no item after the stop";

    // The same thread runs again afterwards.
    fixed.OpenGate();
    ASSERT_TRUE(thread.StartRun());
    ASSERT_TRUE(WaitFinished(thread));
    EXPECT_EQ(thread.GetIntegerScore(), 100);
}

// A thread's testers give their work buffers back when its work ends, completed or
// stopped: the main-memory one alone may be a good part of the computer's memory.
// Real kernels here, on the cache item and the load thread's integer tester only,
// whose buffers are small.
TEST(BenchmarkThreadsTest, TesterBuffersAreGivenBackWhenTheWorkEnds)
{
    const size_t held = QvxTesterBufferBytes();
    for (bool bStop : {false, true}) {
        SCOPED_TRACE(bStop ? "stopped" : "completed");
        CPerformanceTestThread main;
        main.SetIntegerEnabled(false);
        main.SetFPEnabled(false);
        main.SetMemoryEnabled(false);
        CalcPIThread load;
        ASSERT_TRUE(load.Start(QThread::HighestPriority));
        ASSERT_TRUE(main.StartRun());
        if (bStop) {
            ASSERT_TRUE(test::WaitUntil([&] { return QvxTesterBufferBytes() > held; }));
            main.RequestStop();
            load.RequestStop();
        } else {
            ASSERT_TRUE(WaitFinished(main));
            EXPECT_GT(main.GetCacheScore(), 0);
        }
        ASSERT_TRUE(test::WaitUntil([&] { return !main.IsBusy() && !load.IsBusy(); }));
        ASSERT_TRUE(main.Stop());
        ASSERT_TRUE(load.Stop());
        EXPECT_EQ(QvxTesterBufferBytes(), held);
    }
}

// Destroying thread objects whose threads are held inside a tester stops and joins them.
TEST(BenchmarkThreadsTest, ThreadObjectsGoingAwayMidRunJoinTheirThreads)
{
    FixedTesters fixed;
    fixed.CloseGate();
    {
        CPerformanceTestThread main;
        CalcPIThread load1, load2;
        CMemoryTestThread idle;
        ASSERT_TRUE(load1.Start(QThread::HighestPriority));
        ASSERT_TRUE(load2.Start(QThread::HighestPriority));
        ASSERT_TRUE(main.StartRun());
        ASSERT_TRUE(fixed.WaitHeld(3));
        EXPECT_FALSE(idle.IsBusy());
    }
    EXPECT_EQ(fixed.Calls(tqInteger), 3);
}

} // namespace
