#include "Testers/CacheSizes.h"

#include <unistd.h>

#include <QDir>
#include <QFile>

#include <algorithm>

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

// Processor 0's caches in sysfs, where sysconf knows nothing (other architectures).
void ReadSysfs(CACHE_SIZES& sizes)
{
    const QString root = QStringLiteral("/sys/devices/system/cpu/cpu0/cache");
    const QStringList entries = QDir(root).entryList({QStringLiteral("index*")}, QDir::Dirs);
    for (const QString& entry : entries) {
        const QString dir = root + QLatin1Char('/') + entry + QLatin1Char('/');
        const int level = ReadSmall(dir + QStringLiteral("level")).trimmed().toInt();
        const QByteArray type = ReadSmall(dir + QStringLiteral("type")).trimmed();
        const size_t size = ParseSize(ReadSmall(dir + QStringLiteral("size")));
        if (type == "Instruction" || size == 0)
            continue;
        if (level == 1 && sizes.uL1Data == 0)
            sizes.uL1Data = size;
        if (level == 2 && sizes.uL2 == 0)
            sizes.uL2 = size;
        sizes.uLastLevel = std::max(sizes.uLastLevel, size);
    }
}

CACHE_SIZES Detect()
{
    CACHE_SIZES sizes{};
#ifdef _SC_LEVEL1_DCACHE_SIZE
    sizes.uL1Data = Sysconf(_SC_LEVEL1_DCACHE_SIZE);
    sizes.uL2 = Sysconf(_SC_LEVEL2_CACHE_SIZE);
    sizes.uLastLevel = std::max({sizes.uL2, Sysconf(_SC_LEVEL3_CACHE_SIZE), Sysconf(_SC_LEVEL4_CACHE_SIZE)});
#endif
    if (sizes.uL1Data == 0 || sizes.uL2 == 0 || sizes.uLastLevel == 0)
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
