// Each pair says which pages held each side's buffer: read from the mapping that holds
// our buffer, and from all of a tool's memory.
#include <QByteArray>

#include <sys/mman.h>

#include <gtest/gtest.h>

#include "PageBacking.h"

namespace {

// Two mappings as /proc/self/smaps lists them, the second half in large pages.
const QByteArray kSmaps = "7f0000000000-7f0000100000 rw-p 00000000 00:00 0 \n"
                          "Size:               1024 kB\n"
                          "Anonymous:          1024 kB\n"
                          "AnonHugePages:         0 kB\n"
                          "VmFlags: rd wr mr mw me ac sd\n"
                          "7f0000200000-7f0000600000 rw-p 00000000 00:00 0 \n"
                          "Size:               4096 kB\n"
                          "Anonymous:          4096 kB\n"
                          "AnonHugePages:      2048 kB\n"
                          "VmFlags: rd wr mr mw me ac sd hg\n";

TEST(BenchPageBacking, TheMappingThatHoldsTheAddressIsRead)
{
    struct CASE { quintptr address; const char* pszExpected; } cases[] = {
        {0x7f0000000000, "small pages"},
        {0x7f00000fffff, "small pages"},
        {0x7f0000200000, "2048 of 4096 KiB in large pages"},
        {0x7f00005fffff, "2048 of 4096 KiB in large pages"},
        {0x7f0000100000, "unknown"},   // between the two
        {0x7f0000600000, "unknown"},   // past the last
    };
    for (const CASE& c : cases)
        EXPECT_EQ(bench::Describe(bench::BackingInSmaps(kSmaps, c.address)), QLatin1String(c.pszExpected)) << c.address;
}

TEST(BenchPageBacking, AProcessIsReadWhole)
{
    const QByteArray rollup = "55d000000000-7ffc00000000 ---p 00000000 00:00 0    [rollup]\n"
                              "Rss:                5632 kB\n"
                              "Anonymous:          4608 kB\n"
                              "AnonHugePages:      4096 kB\n";
    EXPECT_EQ(bench::Describe(bench::BackingInRollup(rollup)), QStringLiteral("4096 of 4608 KiB in large pages"));
    EXPECT_EQ(bench::Describe(bench::BackingInRollup(QByteArray(rollup).replace("4096 kB", "4608 kB"))),
              QStringLiteral("large pages"));
    EXPECT_EQ(bench::Describe(bench::BackingInRollup(QByteArray())), QStringLiteral("unknown"));
    EXPECT_EQ(bench::Describe(bench::BackingOfProcess(0)), QStringLiteral("unknown"));
}

// This process's own pages: a mapping of its own (its advice keeps it from merging with
// a neighbour) that is too small for a large page.
TEST(BenchPageBacking, OurOwnMappingIsFound)
{
    constexpr size_t kBytes = 16384;
    void* p = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(p, MAP_FAILED);
    madvise(p, kBytes, MADV_NOHUGEPAGE);
    static_cast<char*>(p)[kBytes - 1] = 1;
    const bench::PAGE_BACKING backing = bench::BackingAt(static_cast<char*>(p) + 100);
    munmap(p, kBytes);
    EXPECT_GE(backing.nBytes, 4096);
    EXPECT_EQ(bench::Describe(backing), QStringLiteral("small pages"));
}

} // namespace
