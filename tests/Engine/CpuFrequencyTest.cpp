#include <gtest/gtest.h>

#include "Engine/Engine.h"
#include "support/PlatformDoubles.h"
#include "support/TestEnvironment.h"

#include "VirtualBoard/Machine.h"

namespace {

TEST(CpuFrequency, ZeroLoopsOrMillisecondsTouchNothing)
{
    test::RecordingPriority priority;
    EXPECT_EQ(g_GetCPUFrequency(0, 100, 15, 0x80), 0.0);
    EXPECT_EQ(g_GetCPUFrequency(3, 0, 15, 0x80), 0.0);
    EXPECT_TRUE(priority.calls.empty());
}

TEST(CpuFrequency, MeasuresTheSimulatedCoreClockAndRestoresPriorities)
{
    test::RecordingPriority priority;
    // Default board: 200 MHz x 16.
    EXPECT_NEAR(g_GetCPUFrequency(2, 50, 15, 0x80), 3200.0, 0.5);
    const std::vector<std::string> expected{
        "GetPriorityClass", "SetPriorityClass 128", "GetThreadPriority", "SetThreadPriority 15",
        "SetThreadPriority 0", "SetPriorityClass 32"};
    EXPECT_EQ(priority.calls, expected);
}

TEST(CpuFrequency, LeavesPrioritiesAloneWhenAskedOrWhenUnreadable)
{
    test::RecordingPriority priority;
    g_GetCPUFrequency(1, 10, 0x7FFFFFFF, 0);
    EXPECT_TRUE(priority.calls.empty());

    priority.getClassOk = false;
    priority.getThreadOk = false;
    EXPECT_NEAR(g_GetCPUFrequency(1, 10, 2, 0x80), 3200.0, 1.0);
    const std::vector<std::string> expected{"GetPriorityClass", "GetThreadPriority"};
    EXPECT_EQ(priority.calls, expected);
}

TEST(CpuFrequency, RefusedRaiseIsToleratedAndNotRestored)
{
    test::RecordingPriority priority;
    priority.setClassOk = false;
    EXPECT_NEAR(g_GetCPUFrequency(1, 10, 0x7FFFFFFF, 0x100), 3200.0, 1.0);
    const std::vector<std::string> expected{"GetPriorityClass", "SetPriorityClass 256"};
    EXPECT_EQ(priority.calls, expected);
}

TEST(CpuFrequency, NoPerformanceCounterMeansNoWait)
{
    vb::Machine::Instance().GetFaults().Set("performance-counter");
    EXPECT_LT(g_GetCPUFrequency(1, 1000, 0x7FFFFFFF, 0), 1.0);
}

} // namespace
