#include "Engine/PerfInfo.h"

#include <QString>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

// A duration in 100 ns units as h:mm:ss.mmm.
void PrintDuration(int64_t units)
{
    const int64_t ms = units / 10000;
    printf("%" PRId64 ":", ms / 3600000);
    printf("%.2d:", static_cast<int>(ms / 60000 % 60));
    printf("%.2d.", static_cast<int>(ms / 1000 % 60));
    printf("%.3d\n", static_cast<int>(ms % 1000));
}

} // namespace

void g_PrintPerfInfo(const SYSTEM_PERFORMANCE_INFORMATION& p)
{
    printf("IdleTime:\t\t");
    PrintDuration(p.IdleTime);
    printf("ReadOperationCount:\t%-10u\t", p.ReadOperationCount);
    printf("ReadTransferCount:\t%" PRId64 "\n", p.ReadTransferCount);
    printf("WriteOperationCount:\t%-10u\t", p.WriteOperationCount);
    printf("WriteTransferCount:\t%" PRId64 "\n", p.WriteTransferCount);
    printf("OtherOperationCount:\t%-10u\t", p.OtherOperationCount);
    printf("OtherTransferCount:\t%" PRId64 "\n", p.OtherTransferCount);

    struct Pair {
        const char* first;
        uint32_t a;
        const char* second;
        uint32_t b;
    };
    const Pair pairs[] = {
        {"AvailablePages:\t\t", p.AvailablePages, "TotalCommittedPage:\t", p.TotalCommittedPages},
        {"CommitLimit:\t\t", p.TotalCommitLimit, "PeakCommitment:\t\t", p.PeakCommitment},
        {"PageFault:\t\t", p.PageFaults, "WriteCopyFault:\t\t", p.WriteCopyFaults},
        {"TransitionFault:\t", p.TransitionFaults, "DemandZeroFault:\t", p.DemandZeroFaults},
        {"PagesRead:\t\t", p.PagesRead, "PageReadIos:\t\t", p.PageReadIos},
        {"PagesWritten:\t\t", p.PagefilePagesWritten, "PageWriteIos:\t\t", p.PagefilePageWriteIos},
        {"MappedFilePagesWritten:\t", p.MappedFilePagesWritten, "MappedFileWriteIos:\t", p.MappedFilePageWriteIos},
        {"PagedPoolUsage:\t\t", p.PagedPoolUsage, "NonPagedPoolUsage:\t", p.NonPagedPoolUsage},
        {"PagedPoolAllocs:\t", p.PagedPoolAllocs, "NonPagedPoolAllocs:\t", p.NonPagedPoolAllocs},
        {"PagedPoolFrees:\t\t", p.PagedPoolFrees, "NonPagedPoolFrees:\t", p.NonPagedPoolFrees},
        {"SystemCodePage:\t\t", p.SystemCodePage, "TotalSystemCodePage:\t", p.TotalSystemCodePages},
        {"TotalFreeSysPTE:\t", p.TotalFreeSystemPtes, "TotalSystemDriverPages:\t", p.TotalSystemDriverPages},
        {"PagedPoolPage:\t\t", p.PagedPoolPage, "SystemDriverPage:\t", p.SystemDriverPage},
        {"FastReadWait:\t\t", p.FastReadWait, "FastReadNoWait:\t\t", p.FastReadNoWait},
        {"FastReadNoPossible:\t", p.FastReadNotPossible, "FastReadResourceMiss:\t", p.FastReadResourceMiss},
        {"FastMdlReadWait:\t", p.FastMdlReadWait, "FastMdlReadNoWait:\t", p.FastMdlReadNoWait},
        {"FastMdlReadNotPossible:\t", p.FastMdlReadNotPossible, "FastMdlReadResourceMiss:", p.FastMdlReadResourceMiss},
        {"MapDataWait:\t\t", p.MapDataWait, "MapDataNoWait:\t\t", p.MapDataNoWait},
        {"MapDataWaitMiss:\t", p.MapDataWaitMiss, "MapDataNoWaitMiss:\t", p.MapDataNoWaitMiss},
        {"ReadAheadIos:\t\t", p.ReadAheadIos, "PinMappedDataCount:\t", p.PinMappedDataCount},
        {"PinReadWait:\t\t", p.PinReadWait, "PinReadNoWait:\t\t", p.PinReadNoWait},
        {"PinReadWaitMiss:\t", p.PinReadWaitMiss, "PinReadNoWaitMiss:\t", p.PinReadNoWaitMiss},
        {"CopyReadWait:\t\t", p.CopyReadWait, "CopyReadNoWait:\t\t", p.CopyReadNoWait},
        {"CopyReadWaitMiss:\t", p.CopyReadWaitMiss, "CopyReadNoWaitMiss:\t", p.CopyReadNoWaitMiss},
        {"MdlReadWait:\t\t", p.MdlReadWait, "MdlReadNoWait:\t\t", p.MdlReadNoWait},
        {"MdlReadWaitMiss:\t", p.MdlReadWaitMiss, "MdlReadNoWaitMiss:\t", p.MdlReadNoWaitMiss},
        {"LazyWriteIos:\t\t", p.LazyWriteIos, "LazyWritePages:\t\t", p.LazyWritePages},
        {"DataPages:\t\t", p.DataPages, "DataFlushes:\t\t", p.DataFlushes},
        {"FirstLevelTbFills:\t", p.FirstLevelTbFills, "SecondLevelTbFills:\t", p.SecondLevelTbFills},
        {"ContextSwitches:\t", p.ContextSwitches, "SytemCall:\t\t", p.SystemCalls},
    };
    for (const Pair& pair : pairs) {
        printf("%s%-10u\t", pair.first, pair.a);
        printf("%s%u\n", pair.second, pair.b);
    }
    printf("MemorySystemCachePage:\t%u\n", p.MmSystemCachePage);
    printf("SmallPagedLookasideListAllocateHits:\t%u\n", p.SmallPagedLookasideListAllocateHits);
    printf("SmallNonPagedLookasideListAllocateHits:\t%u\n", p.SmallNonPagedLookasideListAllocateHits);
}

void g_PrintProcessorTime(const SYSTEM_PROCESSOR_TIMES* times, unsigned count)
{
    for (unsigned i = 0; times && i < count; ++i) {
        const SYSTEM_PROCESSOR_TIMES& t = times[i];
        printf("IdleTime:\t\t");
        PrintDuration(t.IdleTime);
        printf("KernelTime:\t\t");
        PrintDuration(t.KernelTime);
        printf("UserTime:\t\t");
        PrintDuration(t.UserTime);
        printf("DpcTime:\t\t");
        PrintDuration(t.DpcTime);
        printf("InterruptTime:\t\t");
        PrintDuration(t.InterruptTime);
        printf("InterruptCount:\t\t%u\n", t.InterruptCount);
    }
}

void g_PrintPagefileInfo(const SYSTEM_PAGEFILE_INFORMATION* records, unsigned count)
{
    if (!records || count == 0)
        return;
    const auto* base = reinterpret_cast<const uint8_t*>(records);
    const size_t size = static_cast<size_t>(count) * sizeof *records;
    size_t at = 0;
    for (;;) {
        SYSTEM_PAGEFILE_INFORMATION r;
        std::memcpy(&r, base + at, sizeof r);
        printf("CurrentPagefileSize:\t%u\n", r.CurrentSize);
        printf("TotalPagefileUsed:\t%u\n", r.TotalUsed);
        printf("PeakPagefileUsed:\t%u\n", r.PeakUsed);
        // The name must lie wholly inside the caller's buffer.
        QString name;
        const size_t nameAt = at + r.NameOffset;
        if (r.NameOffset != 0 && nameAt <= size && r.NameLength <= size - nameAt) {
            std::u16string text(r.NameLength / 2, u'\0');
            std::memcpy(text.data(), base + nameAt, text.size() * 2);
            name = QString::fromStdU16String(text);
        }
        printf("PagefileFileName:\t%s\n", name.toLocal8Bit().constData());
        if (r.NextEntryOffset == 0 || r.NextEntryOffset > size - at || size - at - r.NextEntryOffset < sizeof r)
            break;
        at += r.NextEntryOffset;
    }
}

void g_PrintCacheInfo(const SYSTEM_CACHE_INFORMATION& c)
{
    printf("CacheWorkingSetSize:\t\t%u(KB)\n", c.CurrentSize / 1024);
    printf("CacheWorkingSetPeakSize:\t%u(KB)\n", c.PeakSize / 1024);
    printf("CacheWorkingSetFaults:\t\t%u\n", c.PageFaultCount);
    printf("CacheWorkingSetMinimum:\t\t%u\n", c.MinimumWorkingSet);
    printf("CacheWorkingSetMaximum:\t\t%u\n", c.MaximumWorkingSet);
    printf("TransitionSharedPages:\t\t%u\n", c.TransitionSharedPages);
    printf("TransitionSharedPagesPeak:\t%u\n", c.TransitionSharedPagesPeak);
}
