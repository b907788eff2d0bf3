// SPD layouts of the JEDEC module standards. The timing sets: DDR and DDR2 give a
// cycle time at the highest CAS latency and at the two below it; DDR3 gives one
// minimum cycle time and the absolute minimum timings, from which the sets at the
// standard clocks up to the module's fastest are worked out. A fourth, "extra"
// set is the maker's performance profile in the module-specific area: "VP", the
// clock in MHz (16 bits, little-endian), then Tcl x 2, Trp, Trrd, Trcd, Tras,
// Twr, Twtr, Trtp and Trc in clocks.
#include "Devices/SpdDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "Devices/DeviceSupport.h"
#include "Engine/LogCheck.h"
#include "Engine/MICDatabase.h"

namespace qvx {

namespace {

constexpr int kDdr = 7, kDdr2 = 8, kDdr3 = 11;
constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

struct Times {              // ns, the module's minimum timings
    double trp, trrd, trcd, tras, twr, twtr, trtp, trc;
};

double Clocks(double ns, double tck) { return tck > 0 ? std::ceil(ns / tck - 0.01) : 0; }

void FillSet(SPD_TIMING& set, double tck, double cl, const Times& t)
{
    set = SPD_TIMING{};
    set.dFrequency = 1000.0 / tck;
    set.Tcl = cl;
    set.Trp = Clocks(t.trp, tck);
    set.Trrd = Clocks(t.trrd, tck);
    set.Trcd = Clocks(t.trcd, tck);
    set.Tras = Clocks(t.tras, tck);
    set.Twr = Clocks(t.twr, tck);
    set.Twtr = Clocks(t.twtr, tck);
    set.Trtp = Clocks(t.trtp, tck);
    set.Trc = Clocks(t.trc, tck);
}

void EmptySet(SPD_TIMING& set)
{
    set = SPD_TIMING{};
    set.dFrequency = std::nan("");
}

// Cycle time of DDR/DDR2 bytes 9, 23, 25: ns in the high nibble, tenths in the
// low one (DDR2 adds A-D for .25, .33, .66, .75). A reserved low nibble gives 0:
// no cycle time, so no set at that latency.
double CycleTime(uint8_t b, bool ddr2)
{
    static const double kFraction[16] = {0, .1, .2, .3, .4, .5, .6, .7, .8, .9, .25, 1 / 3.0, 2 / 3.0, .75, -1, -1};
    const int low = b & 0xF;
    const double f = !ddr2 && low > 9 ? -1 : kFraction[low];
    return f < 0 ? 0 : (b >> 4) + f;
}

double QuarterNs(uint8_t b) { return (b >> 2) + (b & 3) * 0.25; }

std::string Trimmed(const std::vector<uint8_t>& b, size_t first, size_t count)
{
    std::string s;
    for (size_t i = first; i < first + count && i < b.size(); ++i)
        s += b[i] >= 0x20 && b[i] < 0x7F ? static_cast<char>(b[i]) : ' ';
    s.erase(std::find_if(s.rbegin(), s.rend(), [](char c) { return c != ' '; }).base(), s.end());
    return s;
}

int Bcd(uint8_t b) { return (b >> 4) * 10 + (b & 0xF); }

uint32_t BigEndian32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

void Identity(const std::vector<uint8_t>& b, size_t part, size_t date, size_t serial, const char* maker, SPD_INFO& s)
{
    CopyText(s.szPartNumber, sizeof s.szPartNumber, Trimmed(b, part, 18));
    CopyText(s.szManufacturer, sizeof s.szManufacturer, maker ? maker : CMICDatabase::UNKNOWN_MIC);
    char text[32];
    std::snprintf(text, sizeof text, "Week %d, %d", Bcd(b[date + 1]), 2000 + Bcd(b[date]));
    CopyText(s.szDate, sizeof s.szDate, text);
    s.uSerialNumber = BigEndian32(b, serial);
}

void ExtraSet(const std::vector<uint8_t>& b, size_t at, SPD_INFO& s)
{
    EmptySet(s.ExtraTiming);
    if (b.size() < at + 13 || b[at] != 'V' || b[at + 1] != 'P')
        return;
    SPD_TIMING& e = s.ExtraTiming;
    e.dFrequency = b[at + 2] | b[at + 3] << 8;
    e.Tcl = b[at + 4] / 2.0;
    e.Trp = b[at + 5];
    e.Trrd = b[at + 6];
    e.Trcd = b[at + 7];
    e.Tras = b[at + 8];
    e.Twr = b[at + 9];
    e.Twtr = b[at + 10];
    e.Trtp = b[at + 11];
    e.Trc = b[at + 12];
    s.bExtraSet = 1;
}

bool DecodeDdr12(const std::vector<uint8_t>& b, SpdModule& m)
{
    const bool ddr2 = b[2] == kDdr2;
    uint8_t sum = 0;
    for (size_t i = 0; i < 63; ++i)
        sum = static_cast<uint8_t>(sum + b[i]);
    if (sum != b[63]) {
        g_Log.Write(ltError, "QVXLogic: SPD checksum %02X, stored %02X\n", sum, b[63]);
        return false;
    }
    SPD_INFO& s = m.info;
    const int rows = b[3] & (ddr2 ? 0x1F : 0x0F), cols = b[4] & (ddr2 ? 0x1F : 0x0F);
    s.uRanks = ddr2 ? (b[5] & 7) + 1u : b[5];
    s.uBanks = b[17];
    m.dataWidth = std::min<double>(b[6] | b[7] << 8, 64);
    s.dCapacity = std::ldexp(1.0, rows + cols) * s.uBanks * m.dataWidth / 8 * s.uRanks;
    s.uModuleType = ddr2 ? b[20] : b[11];
    s.dVoltage = ddr2 ? 1.8 : 2.5;

    // CAS latencies: DDR2 bit n = CL n for bits 2-6; DDR bit n = CL 1 + n/2 for bits
    // 0-6. The other bits are reserved and name no latency.
    const uint8_t latencies = b[18] & (ddr2 ? 0x7C : 0x7F);
    int highest = -1;
    for (int bit = 6; bit >= 0 && highest < 0; --bit)
        if (latencies & (1 << bit))
            highest = bit;
    const double step = ddr2 ? 1 : 0.5;
    const Times t{QuarterNs(b[27]), QuarterNs(b[28]), QuarterNs(b[29]), double(b[30]),
                  ddr2 ? QuarterNs(b[36]) : 15.0, ddr2 ? QuarterNs(b[37]) : 0, ddr2 ? QuarterNs(b[38]) : 0,
                  b[41] + (ddr2 ? std::array<double, 8>{0, .25, 1 / 3.0, .5, 2 / 3.0, .75, 0, 0}[(b[40] >> 4) & 7] : 0)};
    const uint8_t cycles[3] = {b[9], b[23], b[25]};
    for (int k = 0; k < 3; ++k) {
        const int bit = highest - k;   // one bit per CAS step on both kinds
        const double tck = CycleTime(cycles[k], ddr2);
        if (highest < 0 || bit < 0 || !(latencies & (1 << bit)) || tck <= 0) {
            EmptySet(s.Timing[k]);
            continue;
        }
        const double cl = ddr2 ? bit : 1 + bit * step;
        FillSet(s.Timing[k], tck, cl, t);
        if (!ddr2) {           // DDR: write-to-read 1 clock, read-to-precharge 2 clocks
            s.Timing[k].Twtr = 1;
            s.Timing[k].Trtp = 2;
        }
    }
    s.dMinCycleTime = CycleTime(b[9], ddr2);
    Identity(b, 73, 93, 95, g_MICDatabase.GetMIC(&b[64]), s);
    ExtraSet(b, 99, s);
    return true;
}

// A DDR3 geometry field: first << code for the codes the standard defines (0 to
// last). A reserved code is no size at all, so nothing is worked out from it.
double Doubling(unsigned code, unsigned last, double first)
{
    return code <= last ? std::ldexp(first, static_cast<int>(code)) : kUnknown;
}

// Byte 7, bits 5-3: 1 to 4 ranks, then 8 (code 4); the rest is reserved.
double Ddr3Ranks(unsigned code) { return code <= 3 ? code + 1.0 : code == 4 ? 8.0 : kUnknown; }

// The record's counts: 0 for one the module's data leave unknown.
uint32_t Count(double value) { return std::isfinite(value) ? static_cast<uint32_t>(value) : 0; }

uint16_t Crc16(const std::vector<uint8_t>& b, size_t count)
{
    unsigned crc = 0;
    for (size_t i = 0; i < count; ++i) {
        crc ^= unsigned(b[i]) << 8;
        for (int k = 0; k < 8; ++k)
            crc = crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1;
    }
    return static_cast<uint16_t>(crc);
}

bool DecodeDdr3(const std::vector<uint8_t>& b, SpdModule& m)
{
    const uint16_t crc = Crc16(b, b[0] & 0x80 ? 117 : 126);
    if (crc != (b[126] | b[127] << 8)) {
        g_Log.Write(ltError, "QVXLogic: SPD CRC %04X, stored %02X%02X\n", crc, b[127], b[126]);
        return false;
    }
    SPD_INFO& s = m.info;
    const double mtb = b[11] ? double(b[10]) / b[11] : 0.125;
    // The fine timebase (ps, byte 9) and the signed fine corrections of tCK, tAA,
    // tRCD, tRP and tRC (bytes 34-38): the speeds above DDR3-1600 need them.
    const double ftb = (b[9] & 0xF) ? double(b[9] >> 4) / (b[9] & 0xF) / 1000 : 0;
    const auto time = [&](unsigned medium, size_t fine) { return medium * mtb + static_cast<int8_t>(b[fine]) * ftb; };
    const double chipBits = Doubling(b[4] & 0xF, 6, 256.0 * 1024 * 1024);   // 256 Mb to 16 Gb
    const double deviceWidth = Doubling(b[7] & 7, 3, 4);                      // x4 to x32
    const double ranks = Ddr3Ranks((b[7] >> 3) & 7);
    m.dataWidth = Doubling(b[8] & 7, 3, 8);                                   // 8 to 64 bits
    s.uRanks = Count(ranks);
    s.uBanks = Count(Doubling((b[4] >> 4) & 7, 3, 8));                        // 8 to 64
    s.dCapacity = chipBits / 8 * (m.dataWidth / deviceWidth) * ranks;
    s.uModuleType = b[3] & 0xF;
    s.dVoltage = 1.5;
    const double tckMin = time(b[12], 34), taa = time(b[16], 35);
    const Times t{time(b[20], 37), b[19] * mtb, time(b[18], 36), ((b[21] & 0xF) << 8 | b[22]) * mtb, b[17] * mtb,
                  b[26] * mtb, b[27] * mtb, time((b[21] >> 4) << 8 | b[23], 38)};
    const unsigned cls = (b[14] | b[15] << 8) & 0x7FFF;    // bit i: CL 4 + i; bit 15 is reserved
    // The standard clocks (DDR3-2133 down to DDR3-800) from the module's fastest
    // down. The module gives its cycle time to the picosecond (1.071 ns for 15/14).
    std::vector<double> cycles;
    for (double tck : {15.0 / 16, 15.0 / 14, 1.25, 1.5, 1.875, 2.5})
        if (tck >= tckMin - 0.001 && cycles.size() < 3)
            cycles.push_back(tck);
    for (int k = 0; k < 3; ++k) {
        EmptySet(s.Timing[k]);
        if (k >= static_cast<int>(cycles.size()))
            continue;
        for (int i = 0; i < 16; ++i)
            if ((cls & (1u << i)) && 4 + i >= Clocks(taa, cycles[static_cast<size_t>(k)])) {
                FillSet(s.Timing[k], cycles[static_cast<size_t>(k)], 4 + i, t);
                break;
            }
    }
    s.dMinCycleTime = tckMin;
    Identity(b, 128, 120, 122, g_MICDatabase.GetMICForDDR3(&b[117]), s);
    ExtraSet(b, 176, s);
    return true;
}

} // namespace

bool DecodeSpd(const std::vector<uint8_t>& bytes, SpdModule* module)
{
    SpdModule m;
    const int type = bytes.size() > 2 ? bytes[2] : -1;
    const size_t needed = type == kDdr3 ? 176 : 128;
    if (bytes.size() < needed || (type != kDdr && type != kDdr2 && type != kDdr3)) {
        g_Log.Write(ltError, "QVXLogic: no SPD data (%zu bytes, memory type %d)\n", bytes.size(), type);
        return false;
    }
    m.info.nMemoryType = type;
    if (!(type == kDdr3 ? DecodeDdr3(bytes, m) : DecodeDdr12(bytes, m)))
        return false;
    // Two transfers per clock over the module's data width, at its fastest clock;
    // unknown when either is.
    const double fastest = m.info.dMinCycleTime > 0 ? 1000 / m.info.dMinCycleTime : kUnknown;
    m.info.dMaxBandwidth = m.dataWidth / 8 * 2 * fastest * 1e6;
    *module = m;
    return true;
}

const char* MemoryTypeText(int type)
{
    switch (type) {
    case kDdr: return "DDR SDRAM";
    case kDdr2: return "DDR2 SDRAM";
    case kDdr3: return "DDR3 SDRAM";
    default: return "";
    }
}

} // namespace qvx
