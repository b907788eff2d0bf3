#include "PerformanceControl/ClockLists.h"

#include <algorithm>

#include "Engine/LogCheck.h"
#include "QVXLogic/ClockGeneratorDevice.h"

namespace {

using ListCall = bool (IClockGeneratorDevice::*)(double*, int*);

bool ReadList(IClockGeneratorDevice* pClockGen, ListCall get, std::vector<double>& list, const char* countCheck,
              const char* function)
{
    int nCount = 0;
    if (!(pClockGen->*get)(nullptr, &nCount)) {
        LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", "bRetCode", function);
        return false;
    }
    if (nCount <= 0) {
        LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", countCheck, function);
        return false;
    }
    list.assign(static_cast<size_t>(nCount), 0.0);
    if (!(pClockGen->*get)(list.data(), &nCount)) {
        LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", "bRetCode", function);
        return false;
    }
    // Never more entries than were asked for, whatever the generator says it wrote.
    list.resize(static_cast<size_t>(std::clamp(nCount, 0, static_cast<int>(list.size()))));
    if (list.empty()) {
        LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", countCheck, function);
        return false;
    }
    return true;
}

} // namespace

bool ReadClockLists(IClockGeneratorDevice* pClockGen, std::vector<double>& htRefClocks,
                    std::vector<double>& pcieClocks, const char* function)
{
    return ReadList(pClockGen, &IClockGeneratorDevice::GetHTRefClockList, htRefClocks, "m_nExtFreqCount > 0", function)
        && ReadList(pClockGen, &IClockGeneratorDevice::GetPCIeClockList, pcieClocks, "m_nPCIeFreqCount > 0", function);
}
