#include <gtest/gtest.h>

#include <memory>

#include "Engine/MICDatabase.h"

namespace {

// Exactly the bytes a lookup may read, so a read past them trips the address checker.
std::unique_ptr<unsigned char[]> Bytes(std::initializer_list<unsigned char> bytes)
{
    std::unique_ptr<unsigned char[]> p(new unsigned char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), p.get());
    return p;
}

const char* Str(const char* s) { return s ? s : "(null)"; }

TEST(MICDatabase, Lookups)
{
    const std::string unknown = "Unknown Manufacturer Code ID";
    struct Case {
        std::initializer_list<unsigned char> codes;
        bool ddr3;
        const char* expected;                    // null: no maker
    };
    const Case cases[] = {
        {{0x7F, 0x7F, 0x7F, 0x8F}, false, "Juv Technologies"},
        {{0x01}, false, "Vyk"},
        {{0x83}, false, "Fairchild"},
        {{0xFE}, false, "Level One"},
        // Names as that revision of the list spells them.
        {{0x15}, false, "Philips Semi. (Signetics)"},
        {{0x98}, false, "Toshiba"},
        {{0x80, 0x3E}, true, "Sun Microsystems"},
        {{0x7F, 0x01}, false, "Cirrus Logic"},
        {{0x7F, 0x7F, 0xFE}, false, "Elpida"},
        {{0x03}, false, nullptr},                // even parity
        {{0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F}, false, unknown.c_str()},
        {{0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x04}, false, "CellGuide Ltd."},
        {{0x80, 0x01}, true, "Vyk"},            // bank 1 with its parity bit
        {{0x00, 0x02}, true, "AMI"},
        {{0x06, 0x04}, true, "CellGuide Ltd."},
        {{0x86, 0x01}, true, "MOVEKING"},
        {{0x06, 0x05}, true, nullptr},
        {{0x00, 0x03}, true, nullptr},
        {{0x07, 0x01}, true, nullptr},           // bank 8 is empty
        {{0x08, 0x01}, true, unknown.c_str()},
        {{0x01, 0x7F}, true, unknown.c_str()},
    };
    for (const Case& c : cases) {
        const auto codes = Bytes(c.codes);
        const char* got = c.ddr3 ? g_MICDatabase.GetMICForDDR3(codes.get()) : g_MICDatabase.GetMIC(codes.get());
        EXPECT_STREQ(Str(got), Str(c.expected)) << int(c.codes.begin()[0]) << " " << c.ddr3;
    }
}

TEST(MICDatabase, BanksHoldTheWholeList)
{
    for (int bank = 0; bank < 8; ++bank) {
        int listed = 0;
        for (int code = 0; code < 256; ++code) {
            const unsigned char ddr3[2] = {static_cast<unsigned char>(bank), static_cast<unsigned char>(code)};
            const char* name = g_MICDatabase.GetMICForDDR3(ddr3);
            if (code == 0x7F || !name)
                continue;
            ++listed;
            EXPECT_EQ(__builtin_parity(code), 1) << bank << " " << code;
            EXPECT_NE(code, 0x80);
        }
        EXPECT_EQ(listed, bank < 6 ? 126 : bank == 6 ? 4 : 0) << bank;
    }
}

} // namespace
