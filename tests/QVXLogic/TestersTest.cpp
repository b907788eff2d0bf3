// The benchmark testers' real kernels, on tiny working sets and pass times: the
// figures can only be checked for sanity here (bench/ compares them for real).
#include <cmath>
#include <functional>
#include <thread>
#include <string>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "QVXLogic/Testers.h"
#include "support/FixedTesters.h"

namespace {

constexpr size_t kMiB = size_t(1) << 20;

template <class T>
void MakeQuick(T& tester)
{
    tester.SetPassTime(0.001);
    tester.SetPassCount(2);
}

struct MEASURE {
    const char* pszName;
    std::function<double(const std::atomic<bool>* pStop)> call;
    double dMax;   // above what any computer reaches
};

// Every operation of every tester, each on a fresh tester with the given stop flag.
std::vector<MEASURE> AllMeasures()
{
    auto memory = [](float (CMemoryTester::*op)()) {
        return [op](const std::atomic<bool>* pStop) {
            CMemoryTester t;
            MakeQuick(t);
            t.SetBufferSize(kMiB);
            t.SetStopFlag(pStop);
            return static_cast<double>((t.*op)());
        };
    };
    auto cache = [](float (CCacheTester::*op)()) {
        return [op](const std::atomic<bool>* pStop) {
            CCacheTester t;
            MakeQuick(t);
            t.SetStopFlag(pStop);
            return static_cast<double>((t.*op)());
        };
    };
    return {
        {"integer", [](const std::atomic<bool>* pStop) { CCPUTesterIC t; MakeQuick(t); t.SetStopFlag(pStop); return t.GetBenchmarkValue(); }, 1e6},
        {"floating point", [](const std::atomic<bool>* pStop) { CCPUTesterFPC t; MakeQuick(t); t.SetStopFlag(pStop); return t.GetBenchmarkValue(); }, 1e6},
        {"memory read", memory(&CMemoryTester::GetMainMemoryReadSpeed), 1e6},
        {"memory write", memory(&CMemoryTester::GetMainMemoryWriteSpeed), 1e6},
        {"memory latency", memory(&CMemoryTester::GetMainMemoryLatency), 1e6},
        {"L1 read", cache(&CCacheTester::GetL1CacheReadSpeed), 1e7},
        {"L1 write", cache(&CCacheTester::GetL1CacheWriteSpeed), 1e7},
        {"L2 read", cache(&CCacheTester::GetL2CacheReadSpeed), 1e7},
        {"L2 write", cache(&CCacheTester::GetL2CacheWriteSpeed), 1e7},
    };
}

TEST(TestersTest, RealKernelsGiveSaneFigures)
{
    for (const MEASURE& m : AllMeasures()) {
        SCOPED_TRACE(m.pszName);
        const double value = m.call(nullptr);
        EXPECT_TRUE(std::isfinite(value));
        EXPECT_GT(value, 0.0) << "a failed self-check gives 0";
        EXPECT_LT(value, m.dMax);
    }
}

TEST(TestersTest, AStoppedTesterReturnsZeroAtOnce)
{
    const std::atomic<bool> stop{true};
    for (const MEASURE& m : AllMeasures()) {
        SCOPED_TRACE(m.pszName);
        EXPECT_EQ(m.call(&stop), 0.0);
    }
}

// A stop raised by another thread ends a measurement that would otherwise last a minute.
TEST(TestersTest, AStopFromAnotherThreadEndsALongMeasurement)
{
    CCacheTester tester;
    tester.SetPassTime(60.0);
    std::atomic<bool> stop{false};
    tester.SetStopFlag(&stop);
    std::atomic<float> result{-1.0f};
    std::thread measuring([&] { result = tester.GetL1CacheReadSpeed(); });
    stop = true;
    measuring.join();
    EXPECT_EQ(result.load(), 0.0f);
}

TEST(TestersTest, WorkingSetsFollowTheCaches)
{
    CCacheTester cache;
    EXPECT_GE(cache.GetL1WorkingSet(), 512u);
    EXPECT_LT(cache.GetL1WorkingSet(), cache.GetL2WorkingSet());
    EXPECT_EQ(cache.GetL1WorkingSet() % 512, 0u);

    struct CASE { size_t uLastLevel, uPhysical, uExpected; } cases[] = {
        {0, 0, 256 * kMiB},                     // cache unknown
        {8 * kMiB, 0, 64 * kMiB},               // four times is below the least
        {20 * kMiB, 0, 128 * kMiB},             // four times, up to a power of two
        {32 * kMiB, 0, 128 * kMiB},
        {64 * kMiB, 0, 256 * kMiB},             // 256 MiB at most...
        {65 * kMiB, 0, 512 * kMiB},             // ...unless four times the cache is more
        {480 * kMiB, 0, 2048 * kMiB},
        {32 * kMiB, 512 * kMiB, 64 * kMiB},     // an eighth of the memory, but not below the least
        {64 * kMiB, 2048 * kMiB, 256 * kMiB},
        {480 * kMiB, 24576 * kMiB, 2048 * kMiB},
        {480 * kMiB, 4096 * kMiB, 512 * kMiB},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(CMemoryTester::BufferSizeFor(c.uLastLevel, c.uPhysical), c.uExpected) << c.uLastLevel << " " << c.uPhysical;
    const size_t own = CMemoryTester().GetBufferSize();
    EXPECT_EQ(own & (own - 1), 0u) << "a power of two";
    EXPECT_GE(own, 64 * kMiB);
}

// Whether the mapping of this process that holds address asks for large pages ("hg"
// among its flags).
bool AsksForLargePages(quintptr address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return false;
    bool bHolds = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const QList<QByteArray> ends = fields.value(0).split('-');
        if (ends.size() == 2 && !fields.at(0).endsWith(':')) {
            bHolds = ends.at(0).toULongLong(nullptr, 16) <= address && address < ends.at(1).toULongLong(nullptr, 16);
            continue;
        }
        if (bHolds && line.startsWith("VmFlags:"))
            return fields.contains("hg");
    }
    return false;
}

// The work buffer a cache tester holds after a measurement.
struct HeldBufferCacheTester : CCacheTester {
    const void* Held() { return _Buffer(1); }
};

// Half a cache in small pages can meet more lines in some cache sets than they hold, and
// then its speed depends on the pages a process happened to get: the cache tester's
// buffer is one 2 MiB-aligned block that asks the system for large pages.
TEST(TestersTest, TheCacheTestersWorkingSetIsOneBlockOfLargePages)
{
    if (!QDir(QStringLiteral("/sys/kernel/mm/transparent_hugepage")).exists())
        GTEST_SKIP() << "this system has no large pages to ask for";
    HeldBufferCacheTester cache;
    MakeQuick(cache);
    EXPECT_GT(cache.GetL2CacheReadSpeed(), 0.0f);
    const auto address = reinterpret_cast<quintptr>(cache.Held());
    EXPECT_EQ(address % (2 * kMiB), 0u);
    EXPECT_TRUE(AsksForLargePages(address));
    EXPECT_TRUE(AsksForLargePages(address + cache.GetL2WorkingSet() - 1));
}

// A released buffer is given back and made again by the next measurement.
TEST(TestersTest, ReleasedBuffersAreMadeAgainWhenNeeded)
{
    const size_t held = QvxTesterBufferBytes();
    CMemoryTester memory;
    MakeQuick(memory);
    memory.SetBufferSize(kMiB);
    CCacheTester cache;
    MakeQuick(cache);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_GT(memory.GetMainMemoryReadSpeed(), 0.0f);
        EXPECT_GT(cache.GetL1CacheWriteSpeed(), 0.0f);
        EXPECT_GE(QvxTesterBufferBytes(), held + kMiB + cache.GetL1WorkingSet());
        memory.ReleaseBuffer();
        cache.ReleaseBuffer();
        EXPECT_EQ(QvxTesterBufferBytes(), held);
    }
    {
        CMemoryTester gone;
        MakeQuick(gone);
        gone.SetBufferSize(kMiB);
        EXPECT_GT(gone.GetMainMemoryWriteSpeed(), 0.0f);
    }
    EXPECT_EQ(QvxTesterBufferBytes(), held) << "a tester's end gives its buffer back";
}

TEST(TestersTest, AnInstalledOverrideAnswersForEveryTester)
{
    test::FixedTesters fixed;
    // Each quantity answers 100 plus its own number.
    auto v = [](TESTER_QUANTITY q) { return 100.0 + static_cast<int>(q); };
    for (int q = 0; q < tqTotal; ++q)
        fixed.Set(static_cast<TESTER_QUANTITY>(q), v(static_cast<TESTER_QUANTITY>(q)));
    CCPUTesterIC integer;
    CCPUTesterFPC floating;
    CMemoryTester memory;
    CCacheTester cache;
    EXPECT_EQ(integer.GetBenchmarkValue(), v(tqInteger));
    EXPECT_EQ(floating.GetBenchmarkValue(), v(tqFloatingPoint));
    EXPECT_EQ(memory.GetMainMemoryReadSpeed(), v(tqMemoryRead));
    EXPECT_EQ(memory.GetMainMemoryWriteSpeed(), v(tqMemoryWrite));
    EXPECT_EQ(memory.GetMainMemoryLatency(), v(tqMemoryLatency));
    EXPECT_EQ(cache.GetL1CacheReadSpeed(), v(tqL1Read));
    EXPECT_EQ(cache.GetL1CacheWriteSpeed(), v(tqL1Write));
    EXPECT_EQ(cache.GetL2CacheReadSpeed(), v(tqL2Read));
    EXPECT_EQ(cache.GetL2CacheWriteSpeed(), v(tqL2Write));
    EXPECT_EQ(fixed.Order().size(), size_t(tqTotal));
}

} // namespace
