#include "Engine/MICDatabase.h"

#include <cstring>

namespace {

struct MICRow {
    int bank;                                    // 0 = JEP106 bank 1
    int code;
    const char* name;
};

const MICRow kRows[] = {
#include "MICTable.inc"
};

const unsigned char kContinuation = 0x7F;

} // namespace

const char* const CMICDatabase::UNKNOWN_MIC = "Unknown Manufacturer Code ID";

CMICDatabase g_MICDatabase;

CMICDatabase::CMICDatabase()
{
    std::memset(m_Table, 0, sizeof m_Table);
    for (const MICRow& row : kRows)
        m_Table[row.bank][row.code] = row.name;
}

const char* CMICDatabase::GetMIC(const unsigned char* codes) const
{
    // Byte i is read only when the bytes before it were all continuation codes.
    for (int i = 0; i < 7; ++i)
        if (codes[i] != kContinuation)
            return m_Table[i][codes[i]];
    return UNKNOWN_MIC;
}

const char* CMICDatabase::GetMICForDDR3(const unsigned char* codes) const
{
    // Modules store the bank number with odd parity in bit 7 (bank 1 as 0x80).
    const unsigned char bank = codes[0] & 0x7F;
    if (bank < 8 && codes[1] != kContinuation)
        return m_Table[bank][codes[1]];
    return UNKNOWN_MIC;
}
