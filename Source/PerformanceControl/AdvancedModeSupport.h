#pragma once
// Shared by the files of the Clock/Voltage page: slider units and the one check form
// the device library's void operations need.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Engine/LogCheck.h"
#include "Pages/DeviceLookup.h"

namespace advmode {

using namespace dev;

// Device values become slider positions by truncation toward zero (1.15 V x 100000
// is 114999.99..., so 114999), never by rounding.
inline int ToSlider(double value) { return static_cast<int>(value); }
constexpr double kVoltsToSlider = 100000.0;
// A multiplier slider counts half steps when the processor offers them.
inline double MultiplierScale(ICPUDevice* pCPU) { return pCPU && pCPU->IsHalfMultiplierSupported() ? 2.0 : 1.0; }

// Index of the first list entry within 0.001 MHz of the clock; count when none
// (also when the list is gone after UnInit).
inline int FindClock(const std::vector<double>& list, int count, double mhz)
{
    const int size = std::min(count, static_cast<int>(list.size()));
    for (int idx = 0; idx < size; ++idx)
        if (std::fabs(list[static_cast<size_t>(idx)] - mhz) < 0.001)
            return idx;
    return count;
}

// Bits of the clock change mask: what the user moved since the hardware was last
// read. Apply writes only those, so a page that was not looked at while something
// else changed the hardware never writes its old targets back.
enum : uint32_t {
    kMultiplierBit = 0x1,      // any multiplier slider
    kHTMultiplierBit = 0x2,
    kRefClockBit = 0x4,
    kPCIeClockBit = 0x8,
    kIGPClockBit = 0x80,
    kSidePortClockBit = 0x100,
    kCPUVidBit = 0x200,
    kNBVidBit = 0x400,
    kCoreMultiplierBit = 0x1000,   // core n's slider: kCoreMultiplierBit << n
};

// The BIOS setup items of the clock calibration, in the order of their boxes.
constexpr const char* kCalibrationItems[6] = {"Tidewell Clock Calibration", "Value (All Cores)", "Value (Core 0)",
                                              "Value (Core 1)", "Value (Core 2)", "Value (Core 3)"};

} // namespace advmode

// LOG_PROCESS_ERROR for operations without a result.
#define ADVMODE_PROCESS_ERROR_VOID(cond) \
    do { if (!(cond)) { LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", #cond); return; } } while (0)
