#include "Devices/DiskIdentify.h"

#include <algorithm>
#include <limits>
#include <string>

#include "Devices/DeviceSupport.h"
#include "Engine/LogCheck.h"

namespace qvx {

namespace {

// Two characters per word, the first in the high byte; blanks pad the end.
std::string Text(const std::array<uint16_t, 256>& w, size_t first, size_t words)
{
    std::string s;
    for (size_t i = first; i < first + words; ++i)
        for (int shift : {8, 0}) {
            const char c = static_cast<char>((w[i] >> shift) & 0xFF);
            s += c >= 0x20 && c < 0x7F ? c : ' ';
        }
    s.erase(s.find_last_not_of(' ') + 1);
    s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
    return s;
}

bool Bit(uint16_t word, int bit) { return (word >> bit) & 1; }

// A word of all zeros or all ones means "not reported".
bool Reported(uint16_t word) { return word != 0 && word != 0xFFFF; }

// Words 82 to 84 hold their feature bits only when bit 14 is set and bit 15 clear.
bool CommandSetsValid(uint16_t word) { return (word & 0xC000) == 0x4000; }

// The most sectors each count can hold: 28 bits in words 60-61, 48 in words 100-103.
// A larger count is no drive's (words of all ones, say), so the size is unknown.
constexpr double kMost28Bit = 0x0FFFFFFF, kMost48Bit = 0xFFFFFFFFFFFF;
constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

// A drive that did not answer reads the same word everywhere: all ones (a floating
// bus) or all zeros. Word 255 is left out: it may carry an integrity byte all the same.
bool Answered(const std::array<uint16_t, 256>& w)
{
    const auto all = [&w](uint16_t word) {
        return std::all_of(w.begin(), w.end() - 1, [word](uint16_t x) { return x == word; });
    };
    return !all(0x0000) && !all(0xFFFF);
}

} // namespace

double IdentifySectors(const std::array<uint16_t, 256>& w)
{
    if (CommandSetsValid(w[83]) && Bit(w[83], 10)) {
        double total = 0;
        for (int i = 3; i >= 0; --i)
            total = total * 65536 + w[static_cast<size_t>(100 + i)];
        return total <= kMost48Bit ? total : kUnknown;
    }
    const double total = w[60] + 65536.0 * w[61];
    return total <= kMost28Bit ? total : kUnknown;
}

bool DecodeIdentify(const std::array<uint16_t, 256>& w, DISK_INFO* info)
{
    if (!Answered(w)) {
        g_Log.Write(ltError, "QVXLogic: the drive did not identify (its IDENTIFY data are all %s)\n",
                    w[0] ? "ones" : "zeros");
        return false;
    }
    if ((w[255] & 0xFF) == 0xA5) {
        uint8_t sum = 0;
        for (uint16_t word : w)
            sum = static_cast<uint8_t>(sum + (word & 0xFF) + (word >> 8));
        if (sum != 0) {
            g_Log.Write(ltError, "QVXLogic: IDENTIFY data fail their integrity check (sum %02X)\n", sum);
            return false;
        }
    }
    DISK_INFO d{};
    CopyText(d.szSerialNumber, sizeof d.szSerialNumber, Text(w, 10, 10));
    CopyText(d.szFirmwareRevision, sizeof d.szFirmwareRevision, Text(w, 23, 4));
    CopyText(d.szModelNumber, sizeof d.szModelNumber, Text(w, 27, 20));
    // Words of all ones hold no flags.
    d.bRemovable = Reported(w[0]) && Bit(w[0], 7);
    d.bDMA = Reported(w[49]) && Bit(w[49], 8);
    d.bLBA = Reported(w[49]) && Bit(w[49], 9);
    d.bSATA = Reported(w[76]);
    for (int gen = 3; d.bSATA && gen >= 1 && d.dSATAGeneration == 0; --gen)
        if (Bit(w[76], gen))
            d.dSATAGeneration = gen;
    d.dSectorTotal = IdentifySectors(w);
    // Word 75 holds the depth less one (0: no queuing, a depth of 1); all ones reports nothing.
    d.dMaxQueueDepth = w[75] == 0xFFFF ? 0 : (w[75] & 0x1F) + 1;
    for (int v = 14; Reported(w[80]) && v >= 1 && d.dATAVersion == 0; --v)
        if (Bit(w[80], v))
            d.dATAVersion = v;
    d.dMinorVersion = Reported(w[81]) ? w[81] : 0;
    d.dBufferSizeKB = Reported(w[21]) ? w[21] / 2.0 : 0;   // in 512-byte units
    const uint16_t security = Reported(w[128]) ? w[128] : 0;
    d.bSecuritySupported = Bit(security, 0);
    d.bSecurityEnabled = Bit(security, 1);
    d.bSecurityLocked = Bit(security, 2);
    d.bSecurityFrozen = Bit(security, 3);
    d.bSecurityCountExpired = Bit(security, 4);
    d.bSecurityEnhanced = Bit(security, 5);
    *info = d;
    return true;
}

} // namespace qvx
