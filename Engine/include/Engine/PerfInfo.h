#pragma once
// Operating-system performance queries and their printers (standard output).
#include "Platform/SystemInformation.h"

using SYSTEM_PERFORMANCE_INFORMATION = plat::SystemPerformanceRecord;
using SYSTEM_PROCESSOR_TIMES = plat::ProcessorTimesRecord;
using SYSTEM_PAGEFILE_INFORMATION = plat::PageFileRecord;
using SYSTEM_CACHE_INFORMATION = plat::FileCacheRecord;

bool g_GetPerfInfo(SYSTEM_PERFORMANCE_INFORMATION& info);
// count: in, records the buffer holds; out, records filled.
bool g_GetProcessorTime(SYSTEM_PROCESSOR_TIMES* times, unsigned& count);
bool g_GetPagefileInfo(SYSTEM_PAGEFILE_INFORMATION* records, unsigned& count);
bool g_GetCacheInfo(SYSTEM_CACHE_INFORMATION& info);

void g_PrintPerfInfo(const SYSTEM_PERFORMANCE_INFORMATION& info);
void g_PrintProcessorTime(const SYSTEM_PROCESSOR_TIMES* times, unsigned count);
// Follows the chain of records; stops where an offset would leave count records.
void g_PrintPagefileInfo(const SYSTEM_PAGEFILE_INFORMATION* records, unsigned count);
void g_PrintCacheInfo(const SYSTEM_CACHE_INFORMATION& info);
