#pragma once
// Memory-chip maker names by JEDEC JEP106 code, as memory modules store them in
// their serial-presence-detect data.
#include <cstdint>

class CMICDatabase {
public:
    CMICDatabase();
    virtual ~CMICDatabase() = default;

    // DDR/DDR2 layout: continuation codes (0x7F) then the code byte. Null for a code
    // byte no maker has; the unknown text after seven continuation codes.
    const char* GetMIC(const unsigned char* codes) const;
    // DDR3 layout: bank byte (its parity bit ignored), then the code byte.
    const char* GetMICForDDR3(const unsigned char* codes) const;

    static const char* const UNKNOWN_MIC;        // "Unknown Manufacturer Code ID"

private:
    // [bank][code byte as stored, odd parity included]; null where no maker is listed.
    const char* m_Table[8][256];
};

extern CMICDatabase g_MICDatabase;
