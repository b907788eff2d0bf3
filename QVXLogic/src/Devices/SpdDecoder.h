#pragma once
// A memory module's serial-presence-detect bytes (DDR, DDR2, DDR3) turned into
// the module record: type, geometry, capacity, bandwidth, maker, part and serial
// numbers, date and the timing sets at up to three clocks.
#include <cstdint>
#include <vector>

#include "QVXLogic/Records.h"

namespace qvx {

// What a reserved code leaves unknown stays so: a size or a width is NaN, a count
// 0, and neither the capacity nor the bandwidth is worked out from it.
struct SpdModule {
    SPD_INFO info{};
    double dataWidth = 0;       // bits, without check bits
};

// False, with one log line, for bytes that are not a module's SPD data: too short,
// an unknown memory type, or a wrong checksum (DDR, DDR2) or CRC (DDR3).
bool DecodeSpd(const std::vector<uint8_t>& bytes, SpdModule* module);

// "DDR2 SDRAM" and so on; empty for other types.
const char* MemoryTypeText(int type);

} // namespace qvx
