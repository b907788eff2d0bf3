#pragma once
// Operating-system performance records in fixed layouts (the same size on every
// build), and the query that fills them. On Linux the records come from /proc.
#include <cstddef>
#include <cstdint>

namespace plat {

enum SystemInformationClass : uint32_t {
    SystemPerformanceInformation = 2,
    SystemProcessorTimes = 8,
    SystemPageFileInformation = 18,
    SystemFileCacheInformation = 21,
};

// Status codes of the query.
enum : int32_t {
    STATUS_SUCCESS = 0,
    STATUS_INFO_LENGTH_MISMATCH = static_cast<int32_t>(0xC0000004),
    STATUS_INVALID_INFO_CLASS = static_cast<int32_t>(0xC0000003),
    STATUS_UNSUCCESSFUL = static_cast<int32_t>(0xC0000001),
};

#pragma pack(push, 4)
// Times are in 100-nanosecond units; page counts in 4 KiB pages.
struct SystemPerformanceRecord {
    int64_t IdleTime;
    int64_t ReadTransferCount;
    int64_t WriteTransferCount;
    int64_t OtherTransferCount;
    uint32_t ReadOperationCount;
    uint32_t WriteOperationCount;
    uint32_t OtherOperationCount;
    uint32_t AvailablePages;
    uint32_t TotalCommittedPages;
    uint32_t TotalCommitLimit;
    uint32_t PeakCommitment;
    uint32_t PageFaults;
    uint32_t WriteCopyFaults;
    uint32_t TransitionFaults;
    uint32_t CacheTransitionFaults;
    uint32_t DemandZeroFaults;
    uint32_t PagesRead;
    uint32_t PageReadIos;
    uint32_t CacheReads;
    uint32_t CacheIos;
    uint32_t PagefilePagesWritten;
    uint32_t PagefilePageWriteIos;
    uint32_t MappedFilePagesWritten;
    uint32_t MappedFilePageWriteIos;
    uint32_t PagedPoolUsage;
    uint32_t NonPagedPoolUsage;
    uint32_t PagedPoolAllocs;
    uint32_t PagedPoolFrees;
    uint32_t NonPagedPoolAllocs;
    uint32_t NonPagedPoolFrees;
    uint32_t TotalFreeSystemPtes;
    uint32_t SystemCodePage;
    uint32_t TotalSystemDriverPages;
    uint32_t TotalSystemCodePages;
    uint32_t SmallNonPagedLookasideListAllocateHits;
    uint32_t SmallPagedLookasideListAllocateHits;
    uint32_t Reserved3;
    uint32_t MmSystemCachePage;
    uint32_t PagedPoolPage;
    uint32_t SystemDriverPage;
    uint32_t FastReadNoWait;
    uint32_t FastReadWait;
    uint32_t FastReadResourceMiss;
    uint32_t FastReadNotPossible;
    uint32_t FastMdlReadNoWait;
    uint32_t FastMdlReadWait;
    uint32_t FastMdlReadResourceMiss;
    uint32_t FastMdlReadNotPossible;
    uint32_t MapDataNoWait;
    uint32_t MapDataWait;
    uint32_t MapDataNoWaitMiss;
    uint32_t MapDataWaitMiss;
    uint32_t PinMappedDataCount;
    uint32_t PinReadNoWait;
    uint32_t PinReadWait;
    uint32_t PinReadNoWaitMiss;
    uint32_t PinReadWaitMiss;
    uint32_t CopyReadNoWait;
    uint32_t CopyReadWait;
    uint32_t CopyReadNoWaitMiss;
    uint32_t CopyReadWaitMiss;
    uint32_t MdlReadNoWait;
    uint32_t MdlReadWait;
    uint32_t MdlReadNoWaitMiss;
    uint32_t MdlReadWaitMiss;
    uint32_t ReadAheadIos;
    uint32_t LazyWriteIos;
    uint32_t LazyWritePages;
    uint32_t DataFlushes;
    uint32_t DataPages;
    uint32_t ContextSwitches;
    uint32_t FirstLevelTbFills;
    uint32_t SecondLevelTbFills;
    uint32_t SystemCalls;
};
static_assert(sizeof(SystemPerformanceRecord) == 312);
static_assert(offsetof(SystemPerformanceRecord, ReadOperationCount) == 32);
static_assert(offsetof(SystemPerformanceRecord, SystemCalls) == 308);

struct ProcessorTimesRecord {
    int64_t IdleTime;
    int64_t KernelTime;        // includes the idle time
    int64_t UserTime;
    int64_t DpcTime;
    int64_t InterruptTime;
    uint32_t InterruptCount;
    uint32_t Reserved;
};
static_assert(sizeof(ProcessorTimesRecord) == 48);

// Page-file records form a chain inside the caller's buffer: NextEntryOffset is the
// distance to the next record (0 ends the chain); the name is UTF-16, NameOffset
// bytes from the start of its record, NameLength bytes long.
struct PageFileRecord {
    uint32_t NextEntryOffset;
    uint32_t CurrentSize;      // pages
    uint32_t TotalUsed;
    uint32_t PeakUsed;
    uint16_t NameLength;
    uint16_t NameMaximumLength;
    uint32_t NameOffset;
};
static_assert(sizeof(PageFileRecord) == 24);
static_assert(offsetof(PageFileRecord, NameOffset) == 20);

struct FileCacheRecord {
    uint32_t CurrentSize;      // bytes
    uint32_t PeakSize;
    uint32_t PageFaultCount;
    uint32_t MinimumWorkingSet;
    uint32_t MaximumWorkingSet;
    uint32_t TransitionSharedPages;
    uint32_t TransitionSharedPagesPeak;
    uint32_t Reserved[2];
};
static_assert(sizeof(FileCacheRecord) == 36);
#pragma pack(pop)

class ISystemInformation {
public:
    virtual ~ISystemInformation() = default;
    // Whether the query entry point can be loaded at all.
    virtual bool IsAvailable() = 0;
    virtual int32_t Query(uint32_t informationClass, void* buffer, uint32_t length, uint32_t* returnLength) = 0;
};

ISystemInformation& SystemInformation();
void SetSystemInformation(ISystemInformation* source);

} // namespace plat
