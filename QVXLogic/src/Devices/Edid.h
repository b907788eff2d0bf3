#pragma once
// The base block of a monitor's EDID: maker code, monitor name and the preferred
// (native) mode from the first detailed timing.
#include <cstdint>
#include <string>
#include <vector>

namespace qvx {

struct EdidInfo {
    std::string maker;          // three-letter manufacturer code
    std::string name;           // monitor name descriptor, empty when absent
    double width = 0, height = 0, refresh = 0;   // preferred mode
};

// False for a block that is not EDID: short, without the header, or with a
// wrong checksum.
bool DecodeEdid(const std::vector<uint8_t>& block, EdidInfo* info);

} // namespace qvx
