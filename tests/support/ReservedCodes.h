#pragma once
// Device images that use codes their standard reserves, on a board that is otherwise
// whole: the DDR3 board of the fixtures with other bytes in its first module's SPD
// EEPROM (its CRC made right again), and its disk answering IDENTIFY with other words.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace test {

// The first SPD EEPROM of the fixtures' DDR3 board (a 2 GB DDR3-1333 module: 2 Gb
// chips, 8 banks, one rank of x8 chips on a 64-bit bus) with these bytes changed,
// its CRC (bytes 126 and 127, over bytes 0 to 116) made right.
std::vector<uint8_t> Ddr3Spd(std::initializer_list<std::pair<int, uint8_t>> edits = {});

// The same module with the reserved code 0xF for its chip density, 7 for its banks,
// 7 for its ranks and 7 for its bus width.
std::vector<uint8_t> Ddr3SpdOfReservedCodes();

// Loads the fixtures' DDR3 board with spd in its first module's EEPROM; given a word,
// its first disk answers IDENTIFY with that word in every place the drive fills
// (words 0 to 254; the drive still adds its integrity word).
bool LoadDdr3Board(const std::vector<uint8_t>& spd, std::optional<uint16_t> identifyWord = std::nullopt);

} // namespace test
