#include <cstring>

#include <gtest/gtest.h>

#include "Engine/PerfInfo.h"
#include "support/PlatformDoubles.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(PerfQueries, FillRecordsAndCounts)
{
    test::FixedSystemInformation source;
    SYSTEM_PROCESSOR_TIMES two[2] = {};
    two[0].InterruptCount = 11;
    two[1].InterruptCount = 22;
    std::vector<uint8_t> bytes(sizeof two);
    std::memcpy(bytes.data(), two, sizeof two);
    source.records[plat::SystemProcessorTimes] = bytes;

    SYSTEM_PROCESSOR_TIMES out[4] = {};
    unsigned count = 4;
    ASSERT_TRUE(g_GetProcessorTime(out, count));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(out[1].InterruptCount, 22u);

    unsigned one = 1;
    EXPECT_FALSE(g_GetProcessorTime(out, one));        // too small a buffer

    SYSTEM_PERFORMANCE_INFORMATION perf{};
    perf.ContextSwitches = 99;
    source.Set(plat::SystemPerformanceInformation, perf);
    SYSTEM_PERFORMANCE_INFORMATION got{};
    ASSERT_TRUE(g_GetPerfInfo(got));
    EXPECT_EQ(got.ContextSwitches, 99u);

    source.statuses[plat::SystemFileCacheInformation] = plat::STATUS_UNSUCCESSFUL;
    SYSTEM_CACHE_INFORMATION cache{};
    EXPECT_FALSE(g_GetCacheInfo(cache));

    source.available = false;
    EXPECT_FALSE(g_GetPerfInfo(got));
}

TEST(PerfQueries, LinuxSourceAnswersEveryClass)
{
    SYSTEM_PERFORMANCE_INFORMATION perf{};
    EXPECT_TRUE(g_GetPerfInfo(perf));
    EXPECT_GT(perf.ContextSwitches, 0u);
    SYSTEM_PROCESSOR_TIMES times[1024];
    unsigned count = 1024;
    EXPECT_TRUE(g_GetProcessorTime(times, count));
    EXPECT_GE(count, 1u);
    EXPECT_GT(times[0].KernelTime + times[0].UserTime, 0);
    SYSTEM_PAGEFILE_INFORMATION files[64];
    unsigned fileCount = 64;
    EXPECT_TRUE(g_GetPagefileInfo(files, fileCount));
    SYSTEM_CACHE_INFORMATION cache{};
    EXPECT_TRUE(g_GetCacheInfo(cache));
}

TEST(PerfPrinters, ProcessorTimes)
{
    SYSTEM_PROCESSOR_TIMES t{};
    t.IdleTime = ((1 * 3600 + 2 * 60 + 3) * 1000 + 45) * 10000ll;   // 1:02:03.045
    t.KernelTime = 5 * 10000ll;
    t.UserTime = 26ll * 3600 * 1000 * 10000;                          // beyond a day
    t.InterruptCount = 7;
    CaptureStdout();
    g_PrintProcessorTime(&t, 1);
    EXPECT_EQ(GetCapturedStdout(),
              "IdleTime:\t\t1:02:03.045\n"
              "KernelTime:\t\t0:00:00.005\n"
              "UserTime:\t\t26:00:00.000\n"
              "DpcTime:\t\t0:00:00.000\n"
              "InterruptTime:\t\t0:00:00.000\n"
              "InterruptCount:\t\t7\n");
}

TEST(PerfPrinters, PerformanceUsesWideCountersAndKeepsLabels)
{
    SYSTEM_PERFORMANCE_INFORMATION p{};
    p.ReadOperationCount = 12;
    p.ReadTransferCount = 5'000'000'000ll;
    p.SystemCalls = 77;
    p.SmallNonPagedLookasideListAllocateHits = 3;
    CaptureStdout();
    g_PrintPerfInfo(p);
    const std::string out = GetCapturedStdout();
    EXPECT_EQ(out.rfind("IdleTime:\t\t0:00:00.000\nReadOperationCount:\t12        \tReadTransferCount:\t5000000000\n", 0), 0u)
        << out;
    EXPECT_NE(out.find("ContextSwitches:\t0         \tSytemCall:\t\t77\n"), std::string::npos);
    const std::string tail = "MemorySystemCachePage:\t0\nSmallPagedLookasideListAllocateHits:\t0\n"
                             "SmallNonPagedLookasideListAllocateHits:\t3\n";
    EXPECT_EQ(out.substr(out.size() - std::min(out.size(), tail.size())), tail);
    size_t lines = 0;
    for (char c : out)
        lines += c == '\n';
    EXPECT_EQ(lines, 1u + 3u + 30u + 3u);
}

TEST(PerfPrinters, PageFileChainStopsInsideTheBuffer)
{
    // Two records and their names in a buffer of four records' size.
    SYSTEM_PAGEFILE_INFORMATION buf[4] = {};
    const std::u16string names[2] = {u"/swapfile", u"/dev/sdb2"};
    auto* base = reinterpret_cast<uint8_t*>(buf);
    uint32_t nameAt = 2 * sizeof(SYSTEM_PAGEFILE_INFORMATION);
    for (int i = 0; i < 2; ++i) {
        buf[i].NextEntryOffset = i == 0 ? sizeof(SYSTEM_PAGEFILE_INFORMATION) : 0;
        buf[i].CurrentSize = 100 * (i + 1);
        buf[i].TotalUsed = 10 * (i + 1);
        buf[i].PeakUsed = 20 * (i + 1);
        buf[i].NameLength = static_cast<uint16_t>(names[i].size() * 2);
        buf[i].NameOffset = nameAt - i * sizeof(SYSTEM_PAGEFILE_INFORMATION);
        std::memcpy(base + nameAt, names[i].data(), buf[i].NameLength);
        nameAt += buf[i].NameLength;
    }
    CaptureStdout();
    g_PrintPagefileInfo(buf, 4);
    EXPECT_EQ(GetCapturedStdout(),
              "CurrentPagefileSize:\t100\nTotalPagefileUsed:\t10\nPeakPagefileUsed:\t20\nPagefileFileName:\t/swapfile\n"
              "CurrentPagefileSize:\t200\nTotalPagefileUsed:\t20\nPeakPagefileUsed:\t40\nPagefileFileName:\t/dev/sdb2\n");

    // An offset that leaves the buffer ends the chain instead of reading past it.
    buf[1].NextEntryOffset = 4000;
    buf[1].NameOffset = 5000;
    CaptureStdout();
    g_PrintPagefileInfo(buf, 2);
    const std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("PagefileFileName:\t\n"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 8);
}

TEST(PerfPrinters, CacheInKilobytes)
{
    SYSTEM_CACHE_INFORMATION c{};
    c.CurrentSize = 4096 * 1024;
    c.PeakSize = 2048;
    c.PageFaultCount = 5;
    CaptureStdout();
    g_PrintCacheInfo(c);
    EXPECT_EQ(GetCapturedStdout(),
              "CacheWorkingSetSize:\t\t4096(KB)\nCacheWorkingSetPeakSize:\t2(KB)\nCacheWorkingSetFaults:\t\t5\n"
              "CacheWorkingSetMinimum:\t\t0\nCacheWorkingSetMaximum:\t\t0\nTransitionSharedPages:\t\t0\n"
              "TransitionSharedPagesPeak:\t0\n");
}

} // namespace
