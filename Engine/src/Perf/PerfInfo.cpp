#include "Engine/PerfInfo.h"

namespace {

// Loads the query, calls it once and reports the length it filled.
bool Query(uint32_t informationClass, void* buffer, uint32_t length, uint32_t* returnLength)
{
    plat::ISystemInformation& source = plat::SystemInformation();
    if (!source.IsAvailable())
        return false;
    uint32_t filled = 0;
    const int32_t status = source.Query(informationClass, buffer, length, &filled);
    if (returnLength)
        *returnLength = filled;
    return status == plat::STATUS_SUCCESS;
}

} // namespace

bool g_GetPerfInfo(SYSTEM_PERFORMANCE_INFORMATION& info)
{
    return Query(plat::SystemPerformanceInformation, &info, sizeof info, nullptr);
}

bool g_GetProcessorTime(SYSTEM_PROCESSOR_TIMES* times, unsigned& count)
{
    uint32_t filled = 0;
    if (!Query(plat::SystemProcessorTimes, times, static_cast<uint32_t>(count * sizeof *times), &filled))
        return false;
    count = filled / sizeof *times;
    return true;
}

bool g_GetPagefileInfo(SYSTEM_PAGEFILE_INFORMATION* records, unsigned& count)
{
    uint32_t filled = 0;
    if (!Query(plat::SystemPageFileInformation, records, static_cast<uint32_t>(count * sizeof *records), &filled))
        return false;
    count = filled / sizeof *records;
    return true;
}

bool g_GetCacheInfo(SYSTEM_CACHE_INFORMATION& info)
{
    return Query(plat::SystemFileCacheInformation, &info, sizeof info, nullptr);
}
