#pragma once
// A disk drive as the board file describes it, and the 256 words it answers to
// ATA IDENTIFY DEVICE with, laid out as the ATA command set gives them (texts in
// byte-swapped word order, capacity in LBA28 and LBA48 form, SATA capabilities,
// security status, integrity word).
#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace vb {

struct AtaDrive {
    std::string model, serial, firmware;
    uint64_t sectors = 0;                 // 512-byte sectors
    int sataGeneration = 0;               // highest SATA generation; 0: parallel ATA
    int queueDepth = 1;                   // 2..32: native command queuing
    int ataMajor = 7;                     // highest ATA/ATAPI major version
    int ataMinor = 0;
    int bufferKB = 0;
    bool removable = false, dma = true, lba = true;
    bool securitySupported = false, securityEnabled = false, securityLocked = false, securityFrozen = false,
         securityCountExpired = false, securityEnhanced = false;
    // Words the drive answers in place of the ones above (0 to 254, by index): a drive
    // that leaves a word unreported, all zeros or all ones.
    std::map<int, uint16_t> words;
};

std::array<uint16_t, 256> BuildIdentify(const AtaDrive& drive);

} // namespace vb
