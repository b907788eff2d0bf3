#include "Devices/Edid.h"

#include <algorithm>

namespace qvx {

bool DecodeEdid(const std::vector<uint8_t>& e, EdidInfo* info)
{
    static const uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (e.size() < 128 || !std::equal(kHeader, kHeader + 8, e.begin()))
        return false;
    uint8_t sum = 0;
    for (size_t i = 0; i < 128; ++i)
        sum = static_cast<uint8_t>(sum + e[i]);
    if (sum != 0)
        return false;

    EdidInfo r;
    // Three letters of five bits each, 1 = 'A', big-endian.
    const unsigned id = unsigned(e[8]) << 8 | e[9];
    for (int shift : {10, 5, 0})
        r.maker += static_cast<char>('A' - 1 + ((id >> shift) & 0x1F));
    for (size_t d = 54; d + 18 <= 126; d += 18) {
        const unsigned clock = e[d] | unsigned(e[d + 1]) << 8;   // 10 kHz units
        if (clock != 0) {
            if (r.width > 0)
                continue;                                   // the first timing is the preferred one
            const unsigned hActive = e[d + 2] | unsigned(e[d + 4] & 0xF0) << 4;
            const unsigned hBlank = e[d + 3] | unsigned(e[d + 4] & 0x0F) << 8;
            const unsigned vActive = e[d + 5] | unsigned(e[d + 7] & 0xF0) << 4;
            const unsigned vBlank = e[d + 6] | unsigned(e[d + 7] & 0x0F) << 8;
            // An interlaced timing gives one field's lines: the frame has twice the
            // active lines, and each field half of the frame's odd extra line.
            const bool interlaced = e[d + 17] & 0x80;
            r.width = hActive;
            r.height = interlaced ? 2.0 * vActive : vActive;
            const double lines = interlaced ? vActive + vBlank + 0.5 : vActive + vBlank;
            const double total = double(hActive + hBlank) * lines;   // per field
            r.refresh = total > 0 ? static_cast<double>(static_cast<long>(clock * 10000.0 / total + 0.5)) : 0;
        } else if (e[d + 3] == 0xFC) {
            for (size_t i = d + 5; i < d + 18 && e[i] != 0x0A; ++i)
                r.name += e[i] >= 0x20 && e[i] < 0x7F ? static_cast<char>(e[i]) : '?';
            r.name.erase(r.name.find_last_not_of(' ') + 1);
        }
    }
    *info = r;
    return true;
}

} // namespace qvx
