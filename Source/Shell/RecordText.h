#pragma once
// Texts out of device records. A device may give no text at all (null), and a fixed
// 8-bit field may be left unterminated: neither is ever read past what it holds.
#include <QString>

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

} // namespace text
