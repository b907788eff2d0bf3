#include "Platform/SystemInformation.h"
#include "Platform/Service.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QString>

#include <cstring>
#include <unistd.h>

namespace plat {

namespace {

// /proc counts kibibytes and clock ticks; the records count pages and 100 ns.
uint32_t KiBToPages(qulonglong kib) { return static_cast<uint32_t>(kib / 4); }

int64_t TicksTo100ns(qulonglong ticks)
{
    static const long hz = sysconf(_SC_CLK_TCK) > 0 ? sysconf(_SC_CLK_TCK) : 100;
    return static_cast<int64_t>(ticks * (10'000'000ull / static_cast<qulonglong>(hz)));
}

QList<QByteArray> ReadLines(const char* path)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

// "Key: value ..." or "key value" files into a map of first numbers.
QHash<QByteArray, qulonglong> ReadKeyValues(const char* path)
{
    QHash<QByteArray, qulonglong> values;
    for (const QByteArray& line : ReadLines(path)) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() >= 2) {
            QByteArray key = parts[0];
            if (key.endsWith(':'))
                key.chop(1);
            values.insert(key, parts[1].toULongLong());
        }
    }
    return values;
}

template <class T>
int32_t Fixed(const T& record, void* buffer, uint32_t length, uint32_t* returnLength)
{
    if (returnLength)
        *returnLength = sizeof(T);
    if (!buffer || length < sizeof(T))
        return STATUS_INFO_LENGTH_MISMATCH;
    std::memcpy(buffer, &record, sizeof(T));
    return STATUS_SUCCESS;
}

int32_t Performance(void* buffer, uint32_t length, uint32_t* returnLength)
{
    const auto mem = ReadKeyValues("/proc/meminfo");
    const auto vm = ReadKeyValues("/proc/vmstat");
    const auto stat = ReadKeyValues("/proc/stat");
    SystemPerformanceRecord r{};
    const QList<QByteArray> cpu = ReadLines("/proc/stat").value(0).simplified().split(' ');
    r.IdleTime = TicksTo100ns(cpu.value(4).toULongLong() + cpu.value(5).toULongLong());
    r.AvailablePages = KiBToPages(mem.value("MemAvailable"));
    r.TotalCommittedPages = KiBToPages(mem.value("Committed_AS"));
    r.TotalCommitLimit = KiBToPages(mem.value("CommitLimit"));
    r.PeakCommitment = r.TotalCommittedPages;
    r.PageFaults = static_cast<uint32_t>(vm.value("pgfault"));
    r.DemandZeroFaults = static_cast<uint32_t>(vm.value("pgfault") - vm.value("pgmajfault"));
    r.PagesRead = static_cast<uint32_t>(vm.value("pgpgin") / 4);
    r.PagefilePagesWritten = static_cast<uint32_t>(vm.value("pswpout"));
    r.PagedPoolUsage = KiBToPages(mem.value("SReclaimable"));
    r.NonPagedPoolUsage = KiBToPages(mem.value("SUnreclaim"));
    r.MmSystemCachePage = KiBToPages(mem.value("Cached"));
    r.ContextSwitches = static_cast<uint32_t>(stat.value("ctxt"));
    return Fixed(r, buffer, length, returnLength);
}

int32_t ProcessorTimes(void* buffer, uint32_t length, uint32_t* returnLength)
{
    QList<ProcessorTimesRecord> records;
    for (const QByteArray& line : ReadLines("/proc/stat")) {
        if (!line.startsWith("cpu") || line.startsWith("cpu "))
            continue;
        const QList<QByteArray> f = line.simplified().split(' ');
        // user nice system idle iowait irq softirq
        ProcessorTimesRecord r{};
        r.UserTime = TicksTo100ns(f.value(1).toULongLong() + f.value(2).toULongLong());
        r.IdleTime = TicksTo100ns(f.value(4).toULongLong() + f.value(5).toULongLong());
        r.InterruptTime = TicksTo100ns(f.value(6).toULongLong());
        r.DpcTime = TicksTo100ns(f.value(7).toULongLong());
        r.KernelTime = TicksTo100ns(f.value(3).toULongLong()) + r.IdleTime + r.InterruptTime + r.DpcTime;
        records.append(r);
    }
    const uint32_t needed = static_cast<uint32_t>(records.size() * sizeof(ProcessorTimesRecord));
    if (returnLength)
        *returnLength = needed;
    if (!buffer || length < needed)
        return STATUS_INFO_LENGTH_MISMATCH;
    std::memcpy(buffer, records.constData(), needed);
    return STATUS_SUCCESS;
}

int32_t PageFiles(void* buffer, uint32_t length, uint32_t* returnLength)
{
    struct Swap {
        QString name;
        qulonglong sizeKiB, usedKiB;
    };
    QList<Swap> swaps;
    const QList<QByteArray> lines = ReadLines("/proc/swaps");
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].simplified().split(' ');
        if (f.size() >= 4)
            swaps.append({QString::fromLocal8Bit(f[0]), f[2].toULongLong(), f[3].toULongLong()});
    }
    // Records first, then the names.
    uint32_t needed = static_cast<uint32_t>(swaps.size() * sizeof(PageFileRecord));
    for (const Swap& s : swaps)
        needed += static_cast<uint32_t>((s.name.size() + 1) * 2);
    if (returnLength)
        *returnLength = needed;
    if (swaps.isEmpty())
        return STATUS_SUCCESS;
    if (!buffer || length < needed)
        return STATUS_INFO_LENGTH_MISMATCH;
    auto* base = static_cast<uint8_t*>(buffer);
    uint32_t nameAt = static_cast<uint32_t>(swaps.size() * sizeof(PageFileRecord));
    for (int i = 0; i < swaps.size(); ++i) {
        const uint32_t at = static_cast<uint32_t>(i * sizeof(PageFileRecord));
        PageFileRecord r{};
        r.NextEntryOffset = i + 1 < swaps.size() ? sizeof(PageFileRecord) : 0;
        r.CurrentSize = KiBToPages(swaps[i].sizeKiB);
        r.TotalUsed = KiBToPages(swaps[i].usedKiB);
        r.PeakUsed = r.TotalUsed;
        r.NameLength = static_cast<uint16_t>(swaps[i].name.size() * 2);
        r.NameMaximumLength = static_cast<uint16_t>(r.NameLength + 2);
        r.NameOffset = nameAt - at;
        std::memcpy(base + at, &r, sizeof r);
        std::memcpy(base + nameAt, swaps[i].name.utf16(), r.NameMaximumLength);
        nameAt += r.NameMaximumLength;
    }
    return STATUS_SUCCESS;
}

int32_t FileCache(void* buffer, uint32_t length, uint32_t* returnLength)
{
    const auto mem = ReadKeyValues("/proc/meminfo");
    FileCacheRecord r{};
    const qulonglong cached = mem.value("Cached") * 1024;
    r.CurrentSize = static_cast<uint32_t>(std::min<qulonglong>(cached, 0xFFFFFFFFull));
    r.PeakSize = r.CurrentSize;
    r.MaximumWorkingSet = KiBToPages(mem.value("MemTotal"));
    return Fixed(r, buffer, length, returnLength);
}

class LinuxSystemInformation final : public ISystemInformation {
public:
    bool IsAvailable() override { return QFile::exists(QStringLiteral("/proc/stat")); }

    int32_t Query(uint32_t informationClass, void* buffer, uint32_t length, uint32_t* returnLength) override
    {
        switch (informationClass) {
        case SystemPerformanceInformation: return Performance(buffer, length, returnLength);
        case SystemProcessorTimes: return ProcessorTimes(buffer, length, returnLength);
        case SystemPageFileInformation: return PageFiles(buffer, length, returnLength);
        case SystemFileCacheInformation: return FileCache(buffer, length, returnLength);
        default: return STATUS_INVALID_INFO_CLASS;
        }
    }
};

LinuxSystemInformation g_linux;
Service<ISystemInformation> g_service(g_linux);

} // namespace

ISystemInformation& SystemInformation() { return g_service.Get(); }
void SetSystemInformation(ISystemInformation* source) { g_service.Set(source); }

} // namespace plat
