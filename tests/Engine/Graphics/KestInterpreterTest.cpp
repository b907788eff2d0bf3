// The command-table interpreter, one small program per behaviour.
#include <gtest/gtest.h>

#include <algorithm>

#include "KestTestSupport.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"
#include "VirtualBoard/Clock.h"

using kesttest::Runner;

namespace {

struct AluCase {
    const char* name;
    const char* program;
    std::vector<uint32_t> params;      // initial words
    std::vector<uint32_t> want;        // the first words afterwards
};

TEST(KestInterpreter, ArithmeticAndFieldOperations)
{
    const AluCase cases[] = {
        {"move byte into bits 8-15", "move param(0)@8, param(1).b0", {0x11223344, 0xAB}, {0x1122AB44}},
        {"move immediate into bits 8-15", "move param(0)@8, #0xAB.b0", {0x11223344}, {0x1122AB44}},
        {"move whole word", "move param(0), #5", {0xFFFFFFFF}, {5}},
        {"move high half into low half", "move param(0), param(1).w16", {0xFFFFFFFF, 0xABCD1234}, {0xFFFFABCD}},
        {"move byte 3 of a source", "move param(0), param(1).b24", {0, 0x9A000000}, {0x9A}},
        {"immediate widths 2 and 1", "move param(0), #0xAABB.w0\nmove param(1), #0xCC.b0", {0, 0}, {0xAABB, 0xCC}},
        {"and keeps the bits outside", "and param(0)@8, #0x0F.b0", {0x12345678}, {0x12340678}},
        {"or", "or param(0)@16, #0x80.b0", {0x12345678}, {0x12B45678}},
        {"xor", "xor param(0)@24, #0xFF.b0", {0x12345678}, {0xED345678}},
        {"add", "add param(0)@8, #1.b0", {0x12345678}, {0x12345778}},
        {"sub", "sub param(0), #0x78", {0x12345678}, {0x12345600}},
        {"mul writes the quotient register", "mul param(0), #6.b0\nmove param(1), ws(0x40)", {7, 0}, {7, 42}},
        {"div", "div param(0), #7.b0\nmove param(1), ws(0x40)\nmove param(2), ws(0x41)", {45, 0, 0}, {45, 6, 3}},
        {"div by zero gives 0 and 0", "move ws(0x40), #9\ndiv param(0), #0.b0\nmove param(1), ws(0x40)\nmove param(2), ws(0x41)",
         {45, 1, 1}, {45, 0, 0}},
        {"field shift left", "shl param(0).b8, 4", {0x12345678}, {0x12346078}},
        {"field shift right", "shr param(0).b0, 4", {0x12345678}, {0x12345607}},
        {"field shift by 40 clears the field", "shl param(0).w16, 40", {0x12345678}, {0x00005678}},
        {"whole shift modulo 32", "shlw param(0), #36.b0", {0x12345678}, {0x23456780}},
        {"whole shift right", "shrw param(0), #8.b0", {0x12345678}, {0x00123456}},
        {"clear a field", "clear param(0).b16", {0x12345678}, {0x12005678}},
        {"mask", "mask param(0)@8, #0x0F.b0, #0x30", {0x12345678}, {0x12343678}},
        {"shift-count specials", "move ws(0x43), #0x105\nmove param(0), ws(0x43)\nmove param(1), ws(0x44)\n"
                                 "move param(2), ws(0x45)\nmove ws(0x44), #7\nmove param(3), ws(0x44)\nmove param(4), ws(0x48)",
         {0, 0, 0, 0, 9}, {5, 32, ~32u, 32, 0}},
        {"frame-buffer window and attribute word", "fbwin #0x1234\nmove param(0), ws(0x46)\nmove param(1), ws(0x47)",
         {0, 0}, {0x1234, 16 | 2 << 10}},
        {"frame buffer, PLL and MC read as 0", "move fb(1), #5\nmove param(0), fb(1)\nmove pll(2), #5\nmove param(1), pll(2)\n"
                                               "move param(2), mc(3)", {9, 9, 9}, {0, 0, 0}},
        {"embedded data is skipped", "embed 1, 2, 3\nmove param(0), #7", {0}, {7}},
        {"no-ops", "nop\ndb 98, 0xFF\ndb 121, 0\nmove param(0), #1", {0}, {1}},
    };
    for (const AluCase& c : cases) {
        SCOPED_TRACE(c.name);
        Runner r;
        r.Table(1, std::string(c.program) + "\nend", 16, 2);
        std::copy(c.params.begin(), c.params.end(), r.space.begin());
        ASSERT_EQ(r.Run(), kest::kResultSuccess);
        for (size_t i = 0; i < c.want.size(); ++i)
            EXPECT_EQ(r.space[i], c.want[i]) << "word " << i;
    }
}

TEST(KestInterpreter, AssemblerEncodesOperandsDestinationFirst)
{
    std::vector<uint8_t> code;
    std::string error;
    ASSERT_TRUE(vb::kest::Assemble("move reg(0x1234)@8, #0xAB.b0\nadd ws(2), param(3).w8\njmp here\nhere:\nend", &code, &error))
        << error;
    const std::vector<uint8_t> want = {
        1, 5 | 4 << 3 | 1 << 6, 0x34, 0x12, 0xAB,   // register destination, 1-byte immediate
        45, 1 | 2 << 3, 2, 3,                       // workspace destination, parameter source
        67, 6 + 12, 0,                              // target: from the table's first byte
        91,
    };
    EXPECT_EQ(code, want);
    EXPECT_FALSE(vb::kest::Assemble("move #1, param(0)", &code, &error));
    EXPECT_FALSE(vb::kest::Assemble("jmp nowhere", &code, &error));
    EXPECT_NE(error.find("nowhere"), std::string::npos);
}

TEST(KestInterpreter, CompareAndEveryConditionalJump)
{
    struct Jump { const char* op; bool below, equal, above; };
    const Jump jumps[] = {
        {"jmp", true, true, true},    {"jeq", false, true, false}, {"jb", true, false, false},
        {"ja", false, false, true},   {"jbe", true, true, false},  {"jae", false, true, true},
        {"jne", true, false, true},
    };
    for (const Jump& j : jumps) {
        for (auto [a, b, taken] : {std::tuple{1u, 2u, j.below}, std::tuple{2u, 2u, j.equal}, std::tuple{3u, 2u, j.above}}) {
            SCOPED_TRACE(std::string(j.op) + " " + std::to_string(a) + " vs " + std::to_string(b));
            Runner r;
            r.Table(1, "cmp param(0), param(1)\n" + std::string(j.op) + " taken\nmove param(2), #0\nend\n"
                       "taken:\nmove param(2), #1\nend");
            r.space = {a, b, 7, 0, 0, 0, 0, 0};
            ASSERT_EQ(r.Run(), kest::kResultSuccess);
            EXPECT_EQ(r.space[2], taken ? 1u : 0u);
        }
    }
    // Test: flag 3 when a bit is shared (not "equal"), else 1 ("equal").
    for (auto [value, shared] : {std::pair{0x14u, true}, std::pair{0x10u, false}}) {
        Runner r;
        r.Table(1, "test param(0), #4.b0\njeq none\nmove param(1), #1\nend\nnone:\nmove param(1), #2\nend");
        r.space[0] = value;
        ASSERT_EQ(r.Run(), kest::kResultSuccess);
        EXPECT_EQ(r.space[1], shared ? 1u : 2u);
    }
}

TEST(KestInterpreter, SwitchJumpsToTheMatchingCaseOrSkipsTheMarker)
{
    for (auto [value, want] : {std::pair{1u, 11u}, std::pair{2u, 22u}, std::pair{5u, 99u}}) {
        Runner r;
        r.Table(1, "switch param(0).b0\ncase 1, one\ncase 2, two\nendswitch\nmove param(1), #99\nend\n"
                   "one:\nmove param(1), #11\nend\ntwo:\nmove param(1), #22\nend");
        r.space[0] = value;
        ASSERT_EQ(r.Run(), kest::kResultSuccess);
        EXPECT_EQ(r.space[1], want);
    }
    // Anything but a case entry or the marker in the list ends the run.
    Runner r;
    r.Table(1, "switch param(0).b0\ndb 0x11\nend");
    EXPECT_EQ(r.Run(), kest::kResultBadOpcode);
}

TEST(KestInterpreter, NestedCallsShiftTheParameterSpace)
{
    Runner r;
    // The caller declares 2 parameter words: the callee's word 0 is the caller's word 2.
    r.Table(1, "move param(0), #1\ncall 2\ncall 40\nmove param(1), ws(0)\nmove param(4), ws(0x47)\nend", 16, 2);
    r.Table(2, "move param(0), #0x22\nmove param(1), ws(0x47)\nend", 4, 1);
    r.space.assign(8, 0);
    ASSERT_EQ(r.Run(), kest::kResultSuccess);
    EXPECT_EQ(r.space[0], 1u);
    EXPECT_EQ(r.space[2], 0x22u);
    EXPECT_EQ(r.space[3], uint32_t(4 | 1 << 10)) << "the callee sees its own attribute word";
    EXPECT_EQ(r.space[4], uint32_t(16 | 2 << 10)) << "and the caller its own again after the return";
    EXPECT_EQ(r.space[1], 0u) << "the caller's workspace is its own";
}

TEST(KestInterpreter, MissingOutermostTableRunsNothing)
{
    Runner r;
    r.Table(1, "move reg(1), #1\nend");
    EXPECT_EQ(r.Run(10), kest::kResultSuccess);
    EXPECT_EQ(r.instructions, 0u);
    EXPECT_TRUE(r.regs.writes.empty());
}

TEST(KestInterpreter, BadAndUnsupportedOpcodes)
{
    const std::pair<const char*, uint32_t> cases[] = {
        {"db 0", kest::kResultBadOpcode},     {"db 123", kest::kResultBadOpcode}, {"db 255", kest::kResultBadOpcode},
        {"db 83", kest::kResultUnsupported},  {"db 99", kest::kResultUnsupported},
        {"db 100", kest::kResultUnsupported}, {"db 101", kest::kResultUnsupported},
    };
    for (const auto& [program, status] : cases) {
        SCOPED_TRACE(program);
        Runner r;
        r.Table(1, std::string("move param(0), #1\n") + program + "\nmove param(0), #2\nend");
        EXPECT_EQ(r.Run(), status);
        EXPECT_EQ(r.space[0], 1u) << "the run ends at once";
    }
}

TEST(KestInterpreter, WaitsGoToTheReplaceableClock)
{
    Runner r;
    r.Table(1, "sleep 5\ndelay 3\nend");
    const uint64_t before = test::Clock().SleptNs();
    ASSERT_EQ(r.Run(), kest::kResultSuccess);
    EXPECT_EQ(test::Clock().SleptNs() - before, 8'000'000u);
    // The waits of one run are bounded in total.
    Runner endless;
    endless.Table(1, "again:\ndelay 255\njmp again");
    EXPECT_EQ(endless.Run(), kest::kResultBadOpcode);
    EXPECT_TRUE(test::LogContains("kMaxTotalWaitMs"));
}

TEST(KestInterpreter, DataBlockBase)
{
    Runner r;
    r.image.AddDataTable(5, {0x78, 0x56, 0x34, 0x12, 0xEF, 0xBE});
    r.Table(1, "database 0\nmove param(0), data(0)\ndatabase 255\nmove param(1), data(4).w0\n"
               "database 5\nmove param(2), data(0)\nmove param(3), data(2)\nmove param(4), ws(0x42)\nend");
    ASSERT_EQ(r.Run(), kest::kResultSuccess);
    EXPECT_EQ(r.space[0], 0x0080AA55u) << "the image's first word";
    EXPECT_EQ(r.space[1], uint32_t(16)) << "the table's own attribute word";
    EXPECT_EQ(r.space[2], 0x12345678u);
    EXPECT_EQ(r.space[3], 0xBEEF1234u);
    EXPECT_NE(r.space[4], 0u);
}

TEST(KestInterpreter, RegisterAccessModes)
{
    Runner r;
    r.regs.regs[0x205] = 0xCAFE;
    r.Table(1, "regbase 0x200\nmove param(0), reg(5)\nmove reg(6), #0x77\nregbase 0\nmove reg(0), #3\n"
               "iopci\nmove param(1), reg(0x205)\nmove reg(7), #1\niosys\nmove param(2), reg(0x205)\n"
               "port 0\nmove param(3), reg(0x205)\nend");
    r.space.assign(8, 9);
    ASSERT_EQ(r.Run(), kest::kResultSuccess);
    EXPECT_EQ(r.space[0], 0xCAFEu);
    EXPECT_EQ(r.regs.regs[0x206], 0x77u);
    EXPECT_EQ(r.regs.regs[0], 12u) << "a write to register 0 stores the value times 4";
    EXPECT_EQ(r.space[1], 0u);
    EXPECT_EQ(r.space[2], 0u);
    EXPECT_EQ(r.space[3], 0xCAFEu) << "selecting a port goes back to direct access";
    EXPECT_EQ(r.regs.regs.count(7), 0u);
}

// Data table 23: a 4-byte header, then programs; the area ends with a 0 byte.
std::vector<uint8_t> IndirectArea(const std::vector<uint8_t>& programs)
{
    std::vector<uint8_t> table(4 + programs.size() + 1, 0);
    table[2] = table[3] = 1;
    std::copy(programs.begin(), programs.end(), table.begin() + 4);
    return table;
}

TEST(KestInterpreter, IndirectPortsRunTheirPrograms)
{
    Runner r;
    r.image.AddDataTable(23, IndirectArea({
        1, 5,          // start of program 5 (register reads on port 5)
        5, 4, 8,       // set bits 8-11
        6, 8, 0, 16,   // bits 16-23 = register number bits 0-7
        7, 4, 10, 24,  // bits 24-27 = attribute bits 10-13
        4, 1, 0,       // clear bit 0
        9, 17, 0,      // end; back to the start operation
        1, 133,        // program of the writes on port 5
        8, 16, 0, 0,
        9, 26, 0,      // end; back to the area's start
    }));
    r.Table(1, "port 5\nmove param(0), reg(0x12)\nmove reg(0x12), #0x55\nmove param(1), reg(0x13)\n"
               "port 7\nmove param(2), reg(0x12)\nport 5\nmove param(3), reg(0x12)\nend", 16, 3);
    ASSERT_EQ(r.Run(), kest::kResultSuccess);
    EXPECT_EQ(r.space[0], 0x03120F04u);
    EXPECT_EQ(r.space[1], 0x03130F04u) << "the write program sent the pointer back to the start";
    EXPECT_EQ(r.space[2], 0u) << "no program 7";
    EXPECT_EQ(r.space[3], 0u) << "the pointer stays at the area's end for the rest of the run";
    EXPECT_TRUE(r.regs.writes.empty()) << "indirect accesses never reach the window";
}

TEST(KestInterpreter, BrokenTablesEndCleanly)
{
    struct Case {
        const char* name;
        const char* program;
        uint8_t workspace;
        std::vector<uint8_t> area;     // data table 23, when not empty
        const char* line;              // fragment of the log line
    };
    const Case cases[] = {
        {"jump out of the image", "db 67, 0xF0, 0xFF", 16, {}, "at + bytes <= in.m_uImageSize"},
        {"table runs off the image", "embed 0\ndb 122, 0xFF, 0xFF", 16, {}, "at + bytes <= in.m_uImageSize"},
        {"endless loop", "again:\njmp again", 16, {}, "m_ullBudget"},
        {"self-recursion", "call 1\nend", 16, {}, "kMaxCallDepth"},
        {"workspace beyond the declared size", "move ws(1), #1\nend", 4, {}, "f.workspaceBytes"},
        {"workspace read beyond the declared size", "move param(0), ws(0x3F)\nend", 0, {}, "f.workspaceBytes"},
        {"parameter beyond the space", "move param(8), #1\nend", 16, {}, "uParameterWords"},
        {"register beyond the window", "regbase 0x3FFF\nmove reg(1), #1\nend", 16, {}, "kRegisterWindowSize"},
        {"register read beyond the window", "move param(0), reg(0xFFFF)\nend", 16, {}, "kRegisterWindowSize"},
        {"data beyond the image", "database 255\nmove param(0), data(0xFFFF)\nend", 16, {}, "m_uImageSize"},
        {"indirect end leaves the area", "port 5\nmove param(0), reg(1)\nend", 16, {1, 5, 9, 0xFF, 0x7F},
         "back >= int64_t(areaStart)"},
        {"indirect unknown operation", "port 5\nmove param(0), reg(1)\nend", 16, {1, 5, 0x42}, "length != 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LogCapture::Instance().Clear();
        Runner r;
        if (!c.area.empty())
            r.image.AddDataTable(23, IndirectArea(c.area));
        r.Table(1, c.program, c.workspace);
        EXPECT_EQ(r.Run(1, 10000), kest::kResultBadOpcode);
        EXPECT_TRUE(test::LogContains(c.line)) << c.line;
        EXPECT_TRUE(r.regs.writes.empty());
    }
    // Nested calls move the space on: a callee may not reach past its end.
    Runner r;
    r.Table(1, "call 2\nend", 16, 6);
    r.Table(2, "move param(2), #1\nend");
    EXPECT_EQ(r.Run(), kest::kResultBadOpcode);
    EXPECT_EQ(r.space, std::vector<uint32_t>(8, 0));
}

TEST(KestInterpreter, ListsOutsideTheImageMeanNoTables)
{
    Runner r;
    r.Table(1, "move param(0), #1\nend");
    std::vector<uint8_t> image = r.image.Build();
    image[0x48] = 0xFF;
    image[0x49] = 0xFF;                           // ROM header pointer at the image's very end
    CKestInterpreter interpreter(image.data(), image.size(), r.regs);
    EXPECT_EQ(interpreter.CommandTableOffset(1), 0u);
    CKestInterpreter empty(nullptr, 0, r.regs);
    EXPECT_EQ(empty.CommandTableOffset(1), 0u);
    EXPECT_EQ(empty.ExecuteCommandTable(1, nullptr), kest::kResultSuccess);
}

} // namespace
