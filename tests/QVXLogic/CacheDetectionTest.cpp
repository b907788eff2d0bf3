// The main-memory working set comes from the cache the measuring CPUs use, read
// from sysfs cache entries: a fake tree per case, in the test's own folder.
#include <sched.h>

#include <QDir>
#include <QFile>

#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "QVXLogic/Testers.h"
#include "Testers/CacheSizes.h"
#include "support/TestEnvironment.h"

namespace {

constexpr size_t kMiB = size_t(1) << 20;
constexpr size_t kMemory = 24576 * kMiB;

struct ENTRY {
    const char* pszLevel;
    const char* pszType;
    const char* pszSize;   // null: no such file
    const char* pszShared;
};

// Every CPU of one core group has the same entries; the last-level one names the group.
struct GROUP {
    std::vector<int> cpus;
    std::vector<ENTRY> entries;
};

std::vector<ENTRY> CoreCaches(std::vector<ENTRY> more)
{
    std::vector<ENTRY> entries = {{"1", "Data", "32K", ""}, {"1", "Instruction", "32K", ""}, {"2", "Unified", "1024K", ""}};
    entries.insert(entries.end(), more.begin(), more.end());
    return entries;
}

void WriteFile(const QString& path, const char* text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(text);
    file.write("\n");
}

// cpuN/cache/indexK/{level,type,size,shared_cpu_list} under root, as sysfs lays them out.
void MakeTree(const QString& root, const std::vector<GROUP>& groups)
{
    for (const GROUP& group : groups)
        for (int cpu : group.cpus)
            for (size_t k = 0; k < group.entries.size(); ++k) {
                const ENTRY& e = group.entries[k];
                const QString dir = QStringLiteral("%1/cpu%2/cache/index%3/").arg(root).arg(cpu).arg(k);
                ASSERT_TRUE(QDir().mkpath(dir));
                WriteFile(dir + QStringLiteral("level"), e.pszLevel);
                WriteFile(dir + QStringLiteral("type"), e.pszType);
                if (e.pszSize)
                    WriteFile(dir + QStringLiteral("size"), e.pszSize);
                WriteFile(dir + QStringLiteral("shared_cpu_list"), *e.pszShared ? e.pszShared : qPrintable(QString::number(cpu)));
            }
}

TEST(CacheDetection, TheWorkingSetFollowsTheCacheTheMeasuringCpusUse)
{
    const std::vector<int> all = {0, 1, 2, 3};
    // Each tree once, in a folder of its own.
    auto tree = [](const char* pszName, const std::vector<GROUP>& groups) {
        const QString root = test::TestDir() + QStringLiteral("/%1/devices/system/cpu").arg(QLatin1String(pszName));
        MakeTree(root, groups);
        return root;
    };
    // One level-3 cache for the whole package, as a virtual machine reports it.
    const QString package = tree("package", {{all, CoreCaches({{"3", "Unified", "32768K", "0-3"}})}});
    // Two core groups with level-3 caches of their own, of different sizes.
    const QString split = tree("split", {{{0, 1}, CoreCaches({{"3", "Unified", "32768K", "0-1"}})},
                                         {{2, 3}, CoreCaches({{"3", "Unified", "98304K", "2-3"}})}});
    const QString noLevel3 = tree("noLevel3", {{all, CoreCaches({})}});
    const QString level4 = tree("level4", {{all, CoreCaches({{"3", "Unified", "8M", "0-3"}, {"4", "Unified", "128M", "0-3"}})}});
    const QString sizeMissing = tree("sizeMissing", {{all, CoreCaches({{"3", "Unified", nullptr, "0-3"}})}});
    const QString sizeGarbled = tree("sizeGarbled", {{all, CoreCaches({{"3", "Unified", "lots", "0-3"}})}});
    const QString none = test::TestDir() + QStringLiteral("/none/devices/system/cpu");

    struct CASE {
        const char* pszName;
        QString root;
        std::vector<int> cpus;
        size_t uCache, uWorkingSet;
    } cases[] = {
        {"package-wide entry, pinned", package, {3}, 32 * kMiB, 128 * kMiB},
        {"package-wide entry, free to move", package, all, 32 * kMiB, 128 * kMiB},
        {"core group of the smaller cache", split, {1}, 32 * kMiB, 128 * kMiB},
        {"core group of the larger cache", split, {2}, 96 * kMiB, 512 * kMiB},
        {"free to move: the largest it may meet", split, all, 96 * kMiB, 512 * kMiB},
        {"no level 3: the level 2 is the last", noLevel3, {2}, 1 * kMiB, 64 * kMiB},
        {"a level 4 is the last", level4, {0}, 128 * kMiB, 512 * kMiB},
        {"unreadable: no size", sizeMissing, {3}, 0, 256 * kMiB},
        {"unreadable: size not a number", sizeGarbled, {3}, 0, 256 * kMiB},
        {"unreadable: no tree", none, {0}, 0, 256 * kMiB},
        {"unreadable: a CPU outside the tree", split, {1, 9}, 0, 256 * kMiB},
        {"no CPU known", package, {}, 0, 256 * kMiB},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszName);
        const qvx::SHARED_CACHE cache = qvx::LastLevelCache(c.root, c.cpus);
        EXPECT_EQ(cache.uBytes, c.uCache);
        EXPECT_EQ(CMemoryTester::BufferSizeFor(cache.uBytes, kMemory), c.uWorkingSet);
    }
}

// A tester made on a thread pinned to one CPU sizes its buffer by that CPU's cache
// in the system's own tree (not by what the whole package reports).
TEST(CacheDetection, ATesterMadeOnAPinnedThreadUsesThatCpusCache)
{
    const std::vector<int> allowed = qvx::CallingThreadCpus();
    ASSERT_FALSE(allowed.empty());
    const int cpu = allowed.back();
    const qvx::SHARED_CACHE own = qvx::LastLevelCache(QStringLiteral("/sys/devices/system/cpu"), {cpu});
    if (own.uBytes == 0)
        GTEST_SKIP() << "this system's sysfs reports no caches";
    size_t bytes = 0;
    std::vector<int> seen;
    std::thread maker([&] {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        if (sched_setaffinity(0, sizeof(set), &set) != 0)
            return;
        seen = qvx::CallingThreadCpus();
        bytes = CMemoryTester().GetBufferSize();
    });
    maker.join();
    EXPECT_EQ(seen, std::vector<int>{cpu});
    EXPECT_EQ(bytes, CMemoryTester::BufferSizeFor(own.uBytes, qvx::PhysicalMemory()));
}

} // namespace
