#pragma once
// A drive's ATA IDENTIFY DEVICE words turned into its identification record.
#include <array>
#include <cstdint>

#include "QVXLogic/Records.h"

namespace qvx {

// False, with one log line, when the drive did not identify (every word all ones or
// all zeros) or the integrity word says the data are damaged.
bool DecodeIdentify(const std::array<uint16_t, 256>& words, DISK_INFO* info);

// Sectors the drive reports (48-bit count when it supports that, else 28-bit); NaN
// for a count past what its words may hold.
double IdentifySectors(const std::array<uint16_t, 256>& words);

} // namespace qvx
