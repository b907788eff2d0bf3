#include "SystemInfo/SystemInfoRows.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace sysinfo {

QString DeviceText(const char16_t* pszText) { return pszText ? QString::fromUtf16(pszText) : QString(); }

QString RecordText(const char* pszText, size_t size)
{
    if (!pszText)
        return QString();
    return QString::fromLatin1(pszText, static_cast<qsizetype>(strnlen(pszText, size)));
}

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
