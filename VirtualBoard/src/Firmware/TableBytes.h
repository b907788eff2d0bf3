#pragma once
// Little-endian byte writing for the firmware table builders.
#include <QByteArray>

#include <cstdint>

namespace vb::tables {

inline void Put8(QByteArray& b, int at, uint8_t v) { b[at] = static_cast<char>(v); }
inline void Put16(QByteArray& b, int at, uint16_t v)
{
    Put8(b, at, v & 0xFF);
    Put8(b, at + 1, v >> 8);
}
inline void Put32(QByteArray& b, int at, uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}
inline void Put64(QByteArray& b, int at, uint64_t v)
{
    Put32(b, at, static_cast<uint32_t>(v));
    Put32(b, at + 4, static_cast<uint32_t>(v >> 32));
}
inline uint32_t Get32(const QByteArray& b, int at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}
// Text into a fixed field, padded with the given byte.
inline void PutText(QByteArray& b, int at, const QByteArray& text, int width, char pad = ' ')
{
    for (int i = 0; i < width; ++i)
        b[at + i] = i < text.size() ? text[i] : pad;
}
// The byte that makes [begin, end) sum to 0 modulo 256, with the checksum byte at `at`.
inline void FixChecksum(QByteArray& b, int at, int begin, int end)
{
    b[at] = 0;
    uint8_t sum = 0;
    for (int i = begin; i < end; ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(b[i]));
    b[at] = static_cast<char>(static_cast<uint8_t>(0x100 - sum));
}

} // namespace vb::tables
