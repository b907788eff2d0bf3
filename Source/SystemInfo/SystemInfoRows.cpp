#include "SystemInfo/SystemInfoRows.h"

#include <cmath>
#include <cstdint>

namespace sysinfo {

QString MaxFrequencyMHz(double hz)
{
    // 2^64: the first value that no longer fits.
    constexpr double kLimit = 18446744073709551616.0;
    if (!std::isfinite(hz) || hz < 0 || hz >= kLimit)
        return General(hz);
    const uint64_t uHz = static_cast<uint64_t>(hz);
    return QString::number(uHz / 10000000u * 10u);
}

} // namespace sysinfo
