#include "Testers/CacheSizes.h"

#include <sched.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>

namespace qvx {

namespace {

constexpr size_t kKiB = 1024, kMiB = 1024 * kKiB;

size_t Sysconf(int name)
{
    const long value = sysconf(name);
    return value > 0 ? static_cast<size_t>(value) : 0;
}

// "48K", "1024K", "32M" as sysfs writes them.
size_t ParseSize(QByteArray text)
{
    text = text.trimmed();
    size_t unit = 1;
    if (text.endsWith('K'))
        unit = kKiB;
    else if (text.endsWith('M'))
        unit = kMiB;
    if (unit != 1)
        text.chop(1);
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    return ok ? static_cast<size_t>(value) * unit : 0;
}

QByteArray ReadSmall(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(64) : QByteArray();
}

// One cache entry of a CPU; level and bytes are 0 where the entry cannot be read.
struct ENTRY {
    int level;
    bool instructions;
    size_t bytes;
    QByteArray shared;
};

std::vector<ENTRY> Entries(const QString& cpuRoot, int cpu)
{
    const QString root = QStringLiteral("%1/cpu%2/cache").arg(cpuRoot).arg(cpu);
    std::vector<ENTRY> entries;
    for (const QString& name : QDir(root).entryList({QStringLiteral("index*")}, QDir::Dirs)) {
        const QString dir = root + QLatin1Char('/') + name + QLatin1Char('/');
        bool ok = false;
        const int level = ReadSmall(dir + QStringLiteral("level")).trimmed().toInt(&ok);
        entries.push_back({ok && level > 0 ? level : 0, ReadSmall(dir + QStringLiteral("type")).trimmed() == "Instruction",
                           ParseSize(ReadSmall(dir + QStringLiteral("size"))),
                           ReadSmall(dir + QStringLiteral("shared_cpu_list")).trimmed()});
    }
    return entries;
}

// "0-3,8,10-11" as sysfs lists CPUs; what cannot be read is left out.
std::vector<int> ParseCpuList(const QByteArray& text)
{
    std::vector<int> cpus;
    for (const QByteArray& part : text.split(',')) {
        const QList<QByteArray> ends = part.split('-');
        bool okFirst = false, okLast = false;
        const int first = ends.first().toInt(&okFirst);
        const int last = ends.size() == 2 ? ends.last().toInt(&okLast) : first;
        if (okFirst && (ends.size() == 1 || okLast) && first >= 0 && last >= first && last - first < 65536)
            for (int cpu = first; cpu <= last; ++cpu)
                cpus.push_back(cpu);
    }
    return cpus;
}

// Processor 0's caches in sysfs, where sysconf knows nothing (other architectures).
void ReadSysfs(CACHE_SIZES& sizes)
{
    for (const ENTRY& entry : Entries(kSysCpuRoot, 0)) {
        if (entry.instructions || entry.bytes == 0)
            continue;
        if (entry.level == 1 && sizes.uL1Data == 0)
            sizes.uL1Data = entry.bytes;
        if (entry.level == 2 && sizes.uL2 == 0)
            sizes.uL2 = entry.bytes;
    }
}

CACHE_SIZES Detect()
{
    CACHE_SIZES sizes{};
    // The first two levels belong to one core, so the system's answer is that core's. Its
    // answer for level 3 may be the whole package's: LastLevelCache reads that per CPU.
#ifdef _SC_LEVEL1_DCACHE_SIZE
    sizes.uL1Data = Sysconf(_SC_LEVEL1_DCACHE_SIZE);
    sizes.uL2 = Sysconf(_SC_LEVEL2_CACHE_SIZE);
#endif
    if (sizes.uL1Data == 0 || sizes.uL2 == 0)
        ReadSysfs(sizes);
    if (sizes.uL1Data == 0)
        sizes.uL1Data = 16 * kKiB;
    if (sizes.uL2 == 0)
        sizes.uL2 = 256 * kKiB;
    return sizes;
}

} // namespace

const CACHE_SIZES& HostCacheSizes()
{
    static const CACHE_SIZES sizes = Detect();
    return sizes;
}

SHARED_CACHE LastLevelCache(const QString& cpuRoot, const std::vector<int>& cpus)
{
    SHARED_CACHE largest;
    std::vector<int> seen;   // CPUs whose cache an entry read already names
    for (int cpu : cpus) {
        if (std::find(seen.begin(), seen.end(), cpu) != seen.end())
            continue;
        const std::vector<ENTRY> entries = Entries(cpuRoot, cpu);
        const ENTRY* pLast = nullptr;
        for (const ENTRY& entry : entries) {
            if (entry.instructions)
                continue;
            // A cache we cannot size might be the last: guessing smaller would leave the
            // working set inside it.
            if (entry.level == 0 || entry.bytes == 0)
                return {};
            if (!pLast || entry.level > pLast->level)
                pLast = &entry;
        }
        if (!pLast)
            return {};
        const std::vector<int> sharing = ParseCpuList(pLast->shared);
        seen.insert(seen.end(), sharing.begin(), sharing.end());
        if (pLast->bytes > largest.uBytes)
            largest = {pLast->level, pLast->bytes, QString::fromLatin1(pLast->shared)};
    }
    return largest;
}

std::vector<int> CallingThreadCpus()
{
    std::vector<int> cpus;
    // cpu_set_t holds 1024 CPUs; a larger system wants a larger set.
    for (int count = 1024; count <= (1 << 20); count *= 2) {
        cpu_set_t* set = CPU_ALLOC(count);
        if (!set)
            break;
        const size_t size = CPU_ALLOC_SIZE(count);
        const bool ok = sched_getaffinity(0, size, set) == 0;
        const int error = errno;
        for (int cpu = 0; ok && cpu < count; ++cpu)
            if (CPU_ISSET_S(cpu, size, set))
                cpus.push_back(cpu);
        CPU_FREE(set);
        if (ok || error != EINVAL)
            break;
    }
    return cpus;
}

size_t PhysicalMemory() { return Sysconf(_SC_PHYS_PAGES) * Sysconf(_SC_PAGESIZE); }

size_t PowerOfTwoAtLeast(size_t value)
{
    size_t p = 1;
    while (p < value && p < (size_t(1) << 62))
        p <<= 1;
    return p;
}

size_t PowerOfTwoAtMost(size_t value)
{
    size_t p = 1;
    while (p <= value / 2)
        p <<= 1;
    return p;
}

} // namespace qvx
