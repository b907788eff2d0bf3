#include "MemoryDefaults.h"

#include <initializer_list>

namespace vb {

namespace {

using List = std::vector<double>;

List Range(double first, double last, double step = 1)
{
    List out;
    for (int i = 0; first + i * step <= last + 1e-9; ++i)
        out.push_back(first + i * step);
    return out;
}

struct Kind {
    double memClk;                                 // at the default reference clock
    std::initializer_list<std::pair<const char*, List>> lists;
    std::initializer_list<std::pair<const char*, double>> fields;
};

// The receiver-enable delays are set in steps of an eighth of a memory clock.
const List kDelays = Range(0, 3.875, 0.125);

const Kind kDdr = {
    200,
    {{"MemClk", {100, 133.333, 166.667, 200}}, {"Tcl", {2, 2.5, 3}}, {"Trc", Range(7, 22)},
     {"Trfc", {75, 105, 120}}, {"Trcd", Range(2, 6)}, {"Trrd", Range(2, 4)}, {"Tras", Range(5, 15)},
     {"Trp", Range(2, 6)}, {"Twr", Range(2, 3)}, {"Twtr", Range(1, 2)}, {"Trwt", Range(1, 6)},
     {"Tref", {3.9, 7.8, 15.6}}, {"Twcl", {1}}, {"MaxAsyncLat", Range(0, 15)}, {"RdPreamble", Range(2, 9.5, 0.5)},
     {"ILD_lmt", {0, 4, 8, 16, 32, 64, 128, 256}}, {"DcqBypassMax", Range(0, 15)}},
    {{"Tcl", 3}, {"Trc", 11}, {"Trfc0", 75}, {"Trfc1", 75}, {"Trfc2", 75}, {"Trfc3", 75}, {"Trcd", 3},
     {"Trrd", 2}, {"Tras", 8}, {"Trp", 3}, {"Twr", 3}, {"Twtr", 1}, {"Trwt", 3}, {"Tref", 7.8}, {"Twcl", 1},
     {"MaxAsyncLat", 8}, {"RdPreamble", 5}, {"ILD_lmt", 16}, {"DcqBypassMax", 4}, {"DualChannel", 1},
     {"DCC_EN", 1}},
};

const Kind kDdr2 = {
    400,
    {{"MemClk", {200, 266.667, 333.333, 400, 533.333}}, {"Tcl", Range(3, 7)}, {"Trc", Range(11, 30)},
     {"Trfc", {75, 105, 127.5, 195, 327.5}}, {"Trcd", Range(3, 7)}, {"Trrd", Range(2, 5)},
     {"Tras", Range(15, 21)}, {"Trp", Range(3, 7)}, {"Twr", Range(3, 6)}, {"Twtr", Range(1, 3)},
     {"Trwt", Range(2, 9)}, {"Tref", {3.9, 7.8}}, {"Twcl", Range(2, 6)}, {"MaxAsyncLat", Range(4, 10)},
     {"RdPreamble", Range(2, 9.5, 0.5)}, {"ILD_lmt", {0, 4, 8, 16, 32, 64, 128, 256}}, {"Trtp", Range(2, 3)},
     {"TrwtTO", Range(2, 17)}, {"Twrrd", Range(0, 3)}, {"Twrwr", Range(1, 3)}, {"Trdrd", Range(2, 5)},
     {"DramTerm", {0, 50, 75, 150}}, {"FourActWindow", {0, 8, 10, 12, 14, 16, 18, 20}},
     {"DcqBypassMax", Range(0, 15)}, {"CkeDrvStrength", {1, 1.25, 1.5, 2}},
     {"CsOdtDrvStrength", {1, 1.25, 1.5, 2}}, {"AddrCmdDrvStrength", {1, 1.25, 1.5, 2}},
     {"ClkDrvStrength", {0.75, 1, 1.25, 1.5}}, {"DataDrvStrength", {0.75, 1, 1.25, 1.5}},
     {"DqsDrvStrength", {0.75, 1, 1.25, 1.5}}, {"ProcOdt", {75, 150, 300}}, {"DqsRcvEnDelay", kDelays}},
    {{"Tcl", 5}, {"Trc", 24}, {"Trfc0", 127.5}, {"Trfc1", 127.5}, {"Trfc2", 127.5}, {"Trfc3", 127.5},
     {"Trcd", 6}, {"Trrd", 3}, {"Tras", 18}, {"Trp", 6}, {"Twr", 6}, {"Twtr", 3}, {"Trwt", 4}, {"Tref", 7.8},
     {"Twcl", 4}, {"Trtp", 3}, {"TrwtTO", 4}, {"Twrrd", 2}, {"Twrwr", 2}, {"Trdrd", 2}, {"DualChannel", 1},
     {"BankSwizzleMode", 1}, {"DCC_EN", 1}, {"DramTerm", 75}, {"MaxAsyncLat", 6}, {"FourActWindow", 16},
     {"DcqBypassMax", 4}, {"ILD_lmt", 16}, {"RdPreamble", 5}},
};

const Kind kDdr3 = {
    666.667,
    {{"MemClk", {400, 533.333, 666.667, 800}}, {"Tcl", Range(5, 11)}, {"Trc", Range(20, 40)},
     {"Trfc", {90, 110, 160, 300}}, {"Trcd", Range(5, 12)}, {"Trrd", Range(4, 7)}, {"Tras", Range(15, 30)},
     {"Trp", Range(5, 12)}, {"Twr", Range(5, 12)}, {"Twtr", Range(4, 7)}, {"Trwt", Range(3, 10)},
     {"Tref", {3.9, 7.8}}, {"Twcl", Range(5, 8)}, {"MaxAsyncLat", Range(4, 10)}, {"RdPreamble", Range(2, 9.5, 0.5)},
     {"ILD_lmt", {0, 4, 8, 16, 32, 64, 128, 256}}, {"Trtp", Range(4, 7)}, {"TrwtTO", Range(2, 17)},
     {"Twrrd", Range(0, 3)}, {"Twrwr", Range(1, 3)}, {"Trdrd", Range(2, 5)}, {"DramTerm", {0, 40, 60, 120}},
     {"FourActWindow", Range(16, 32, 2)}, {"DcqBypassMax", Range(0, 15)}, {"CkeDrvStrength", {1, 1.25, 1.5, 2}},
     {"CsOdtDrvStrength", {1, 1.25, 1.5, 2}}, {"AddrCmdDrvStrength", {1, 1.25, 1.5, 2}},
     {"ClkDrvStrength", {0.75, 1, 1.25, 1.5}}, {"DataDrvStrength", {0.75, 1, 1.25, 1.5}},
     {"DqsDrvStrength", {0.75, 1, 1.25, 1.5}}, {"ProcOdt", {60, 120, 240}}, {"DqsRcvEnDelay", kDelays}},
    {{"Tcl", 9}, {"Trc", 33}, {"Trfc0", 110}, {"Trfc1", 110}, {"Trfc2", 110}, {"Trfc3", 110}, {"Trcd", 9},
     {"Trrd", 4}, {"Tras", 24}, {"Trp", 9}, {"Twr", 10}, {"Twtr", 5}, {"Trwt", 5}, {"Tref", 7.8},
     {"Twcl", 7}, {"Trtp", 5}, {"TrwtTO", 5}, {"Twrrd", 2}, {"Twrwr", 2}, {"Trdrd", 2}, {"DualChannel", 1},
     {"BankSwizzleMode", 1}, {"DCC_EN", 1}, {"DramTerm", 60}, {"MaxAsyncLat", 7}, {"FourActWindow", 20},
     {"DcqBypassMax", 4}, {"ILD_lmt", 16}, {"RdPreamble", 5}},
};

// Drive strengths (channel A "0", B "1") and receiver-enable delays, alike on
// DDR2 and DDR3 boards.
const std::initializer_list<std::pair<const char*, double>> kChannelFields = {
    {"CkeDrvStrength0", 1.5}, {"CkeDrvStrength1", 1.5}, {"CsOdtDrvStrength0", 1.5}, {"CsOdtDrvStrength1", 1.5},
    {"AddrCmdDrvStrength0", 1.5}, {"AddrCmdDrvStrength1", 1.5}, {"ClkDrvStrength0", 1}, {"ClkDrvStrength1", 1},
    {"DataDrvStrength0", 1}, {"DataDrvStrength1", 1}, {"DqsDrvStrength0", 1}, {"DqsDrvStrength1", 1},
    {"DqsRcvEnDelay0", 1.5}, {"DqsRcvEnDelay1", 1.625}, {"DqsRcvEnDelay2", 1.75}, {"DqsRcvEnDelay3", 1.875},
    {"DqsRcvEnDelay4", 1.5}, {"DqsRcvEnDelay5", 1.625}, {"DqsRcvEnDelay6", 1.75}, {"DqsRcvEnDelay7", 1.875},
};

const Kind* KindOf(int memoryType)
{
    switch (memoryType) {
    case 7: return &kDdr;
    case 8: return &kDdr2;
    case 11: return &kDdr3;
    default: return nullptr;
    }
}

} // namespace

void FillMemoryDefaults(MemoryControllerState& m, bool memClkGiven)
{
    const Kind* kind = KindOf(m.type);
    if (!kind)
        return;
    if (!memClkGiven)
        m.memClk = kind->memClk;
    for (const auto& [name, values] : kind->lists)
        m.lists.emplace(name, values);             // a list the board file gives stays
    for (const auto& [name, value] : kind->fields)
        m.fields.emplace(name, value);
    if (m.type != 7) {
        for (const auto& [name, value] : kChannelFields)
            m.fields.emplace(name, value);
        const double odt = m.type == 8 ? 150 : 120;
        m.fields.emplace("ProcOdt0", odt);
        m.fields.emplace("ProcOdt1", odt);
    }
}

const char* DefaultControllerClass(int memoryType)
{
    switch (memoryType) {
    case 7: return "Vyk DDR Memory Controller";
    case 11: return "Vyk DDR3 Memory Controller";
    default: return "Vyk DDR2 Memory Controller";
    }
}

} // namespace vb
