#pragma once
// The ACPI tables of the firmware, copied out of physical memory once and looked up
// by signature.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

// Four signature characters, the first in the most significant byte ("MCFG" = 0x4D434647).
using ACPI_TABLE_SIGNATURE = uint32_t;

constexpr ACPI_TABLE_SIGNATURE AcpiSignature(const char* text)
{
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
           (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

constexpr uint32_t ACPI_SEARCH_START = 0xE0000;
constexpr uint32_t ACPI_SEARCH_END = 0xFFFFF;

class CACPITable {
public:
    CACPITable() = default;
    virtual ~CACPITable();
    CACPITable(const CACPITable&) = delete;
    CACPITable& operator=(const CACPITable&) = delete;

    // Finds the root pointer and copies every table reached from it. A failure
    // leaves the list empty.
    bool Init();
    bool UnInit();
    // The stored copy (header included) and its length; owned by this object.
    bool GetTable(ACPI_TABLE_SIGNATURE signature, const char*& data, uint32_t& length);

private:
    struct TableCopy {
        std::unique_ptr<char[]> data;
        uint32_t length;
        uint64_t address;       // where it was read
    };

    uint8_t CheckSum(const uint8_t* pData, uint32_t length);
    bool Parse(uint64_t address, int depth = 0);
    void _Follow(ACPI_TABLE_SIGNATURE signature, const char* table, uint32_t length, int depth);

    std::map<ACPI_TABLE_SIGNATURE, TableCopy> m_TableList;
    uint32_t m_uRSDPAddress = 0;
};

// The one reader, created on first use.
CACPITable& GetACPITable();

// What the driver's start-up takes the PCI-express configuration base from: reads
// the tables and copies the "MCFG" table. False when there is none.
bool g_ReadMCFGFromACPI(std::vector<uint8_t>& table);
