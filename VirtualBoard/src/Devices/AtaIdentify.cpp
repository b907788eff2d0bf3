#include "VirtualBoard/Devices/AtaIdentify.h"

#include <algorithm>

namespace vb {

namespace {

// ATA texts: two characters per word, the first in the high byte, blank-padded.
void PutText(std::array<uint16_t, 256>& w, int first, int words, const std::string& text)
{
    for (int i = 0; i < words; ++i) {
        const auto at = [&](size_t k) { return k < text.size() ? static_cast<uint8_t>(text[k]) : uint8_t(' '); };
        w[static_cast<size_t>(first + i)] = static_cast<uint16_t>(at(2 * i) << 8 | at(2 * i + 1));
    }
}

uint16_t Bit(bool on, int bit) { return on ? static_cast<uint16_t>(1u << bit) : 0; }

} // namespace

std::array<uint16_t, 256> BuildIdentify(const AtaDrive& d)
{
    std::array<uint16_t, 256> w{};
    w[0] = d.removable ? 0x0080 : 0x0040;
    // The legacy geometry: 16 heads, 63 sectors per track, cylinders capped.
    w[1] = static_cast<uint16_t>(std::min<uint64_t>(d.sectors / (16 * 63), 16383));
    w[3] = 16;
    w[6] = 63;
    PutText(w, 10, 10, d.serial);
    w[21] = static_cast<uint16_t>(std::min(d.bufferKB * 2, 0xFFFF));
    PutText(w, 23, 4, d.firmware);
    PutText(w, 27, 20, d.model);
    w[47] = 0x8010;
    w[49] = Bit(d.dma, 8) | Bit(d.lba, 9);
    w[53] = 0x0006;
    const uint64_t lba28 = std::min<uint64_t>(d.sectors, 0x0FFFFFFF);
    w[60] = static_cast<uint16_t>(lba28);
    w[61] = static_cast<uint16_t>(lba28 >> 16);
    w[63] = d.dma ? 0x0407 : 0;
    const int depth = std::clamp(d.queueDepth, 1, 32);
    w[75] = static_cast<uint16_t>(depth - 1);
    if (d.sataGeneration > 0) {
        for (int g = 1; g <= std::min(d.sataGeneration, 3); ++g)
            w[76] |= Bit(true, g);
        w[76] |= Bit(depth > 1, 8);
    }
    for (int v = 1; v <= std::clamp(d.ataMajor, 0, 14); ++v)
        w[80] |= Bit(true, v);
    w[81] = static_cast<uint16_t>(d.ataMinor);
    const bool lba48 = d.sectors > 0x0FFFFFFF;
    w[82] = Bit(d.securitySupported, 1);
    w[83] = 0x4000 | Bit(lba48, 10);
    w[85] = Bit(d.securityEnabled, 1);
    w[86] = Bit(lba48, 10);
    w[88] = d.dma ? 0x207F : 0;
    for (int i = 0; i < 4; ++i)
        w[static_cast<size_t>(100 + i)] = static_cast<uint16_t>(d.sectors >> (16 * i));
    w[128] = Bit(d.securitySupported, 0) | Bit(d.securityEnabled, 1) | Bit(d.securityLocked, 2)
        | Bit(d.securityFrozen, 3) | Bit(d.securityCountExpired, 4) | Bit(d.securityEnhanced, 5);
    for (const auto& [index, word] : d.words)
        if (index >= 0 && index < 255)
            w[static_cast<size_t>(index)] = word;
    // Integrity word: signature A5h, then the byte that makes all 512 bytes sum to 0.
    uint8_t sum = 0xA5;
    for (size_t i = 0; i < 255; ++i)
        sum = static_cast<uint8_t>(sum + (w[i] & 0xFF) + (w[i] >> 8));
    w[255] = static_cast<uint16_t>(static_cast<uint8_t>(-sum) << 8 | 0xA5);
    return w;
}

} // namespace vb
