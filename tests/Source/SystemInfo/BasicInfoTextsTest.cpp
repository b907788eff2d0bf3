// The Basic page's fixed tables: memory-type codes and instruction-set flags.
#include <gtest/gtest.h>

#include <cstring>

#include "SystemInfo/InstructionSets.h"
#include "SystemInfo/MemoryTypes.h"

TEST(BasicInfoTextsTest, MemoryTypeCodes)
{
    const std::pair<unsigned, const char*> cases[] = {
        {0, "Reserved"},      {1, "Standard FPM DRAM"}, {2, "EDO"},          {3, "Pipelined Nibble"},
        {4, "SDRAM"},         {5, "ROM"},               {6, "DDR SGRAM"},    {7, "DDR SDRAM"},
        {8, "DDR2 SDRAM"},    {9, "Unknown Type"},      {10, "Unknown Type"}, {11, "DDR3 SDRAM"},
        {12, "Unknown Type"}, {0xFFFFFFFFu, "Unknown Type"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(MemoryTypeText(code), QLatin1String(text)) << code;
}

TEST(BasicInfoTextsTest, InstructionSetFlags)
{
    struct Case {
        std::vector<size_t> bytes;   // flag bytes set
        const char* text;
    };
    const Case cases[] = {
        {{18, 19, 6, 7, 15, 14, 13, 12, 8}, "MMX(+), Vexlo!\u2122(+), SSE, SSE2, SSE3, SSE4A, x86-64"},
        {{}, ""},
        {{19, 7}, ""},                     // an extension says nothing without its base
        {{18, 6}, "MMX, Vexlo!\u2122"},
        {{8}, "x86-64"},
        {{13, 12}, "SSE3, SSE4A"},
        // Bytes the page does not read change nothing.
        {{0, 1, 2, 3, 4, 5, 9, 10, 11, 16, 17, 20, 31}, ""},
    };
    for (const Case& c : cases) {
        INSTRUCTION_SET_INFO set;
        std::memset(&set, 0, sizeof set);
        for (size_t byte : c.bytes)
            reinterpret_cast<uint8_t*>(&set)[byte] = 0x80;   // any non-zero value is set
        EXPECT_EQ(InstructionSetText(set), QString::fromUtf8(c.text)) << testing::PrintToString(c.bytes);
    }
}
