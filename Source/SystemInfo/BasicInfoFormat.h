#pragma once
// The number notations of the Basic page's texts. They are plain literals: unlike
// the form's captions they are not translated.
#include <QString>

#include <cmath>
#include <cstring>

namespace basicinfo {

// Fixed-point with n decimals (0: rounded, no point).
inline QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }
// Six significant digits, no trailing zeros (64, 1.5).
inline QString General(double value) { return QString::number(value, 'g', 6); }
// A CAS latency in clocks: whole, or with the one decimal of a half clock (2.5 on DDR).
inline QString Latency(double clocks)
{
    const bool bWhole = std::fmod(std::round(clocks * 10), 10) == 0;
    return QStringLiteral("%1 clock").arg(Fixed(clocks, bWhole ? 0 : 1));
}
// Base 16, upper case, no leading zeros.
inline QString Hex(long long value) { return QString::number(value, 16).toUpper(); }

// An 8-bit text of a record, read no further than its field even when the
// device left it unterminated.
template <size_t N>
QString FieldText(const char (&field)[N])
{
    return QString::fromLatin1(field, static_cast<qsizetype>(strnlen(field, N)));
}

} // namespace basicinfo
