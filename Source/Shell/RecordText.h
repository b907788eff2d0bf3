#pragma once
// Texts out of device records. A device may give no text at all (null), and a fixed
// 8-bit field may be left unterminated: neither is ever read past what it holds. A
// number the device does not know (not finite) has no text either.
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstring>

namespace text {

// A device's text; none (null) is an empty text.
inline QString DeviceText(const char16_t* pszText) { return pszText ? QString::fromUtf16(pszText) : QString(); }

// An 8-bit text in a record field of `size` bytes, read no further than the field.
inline QString RecordText(const char* pszText, size_t size)
{
    if (!pszText)
        return QString();
    return QString::fromLatin1(pszText, static_cast<qsizetype>(strnlen(pszText, size)));
}

// The text of a device's number, or none when the device does not know it: an
// unknown size shows as an empty field, the way an empty timing set does.
inline QString KnownText(double value, const QString& text) { return std::isfinite(value) ? text : QString(); }

} // namespace text
