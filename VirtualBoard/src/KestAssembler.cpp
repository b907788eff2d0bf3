#include "VirtualBoard/KestAssembler.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace vb::kest {

namespace {

// Source types in the attribute byte.
enum SourceType : uint8_t { kReg = 0, kParam = 1, kWork = 2, kFB = 3, kData = 4, kImm = 5, kPLL = 6, kMC = 7 };

struct Operand {
    uint8_t type = 0;
    uint32_t value = 0;
    int align = -1;                              // source alignment, -1: none given
    uint8_t shift = 0;                           // destination alignment 0..3
};

// First opcode of each group of six (destination register, parameter, workspace,
// frame buffer, PLL, MC).
const std::map<std::string, uint8_t> kGroups = {
    {"move", 1},  {"and", 7},   {"or", 13},   {"shl", 19},  {"shr", 25},  {"mul", 31},
    {"div", 37},  {"add", 43},  {"sub", 49},  {"cmp", 60},  {"test", 74}, {"clear", 84},
    {"mask", 92}, {"xor", 103}, {"shlw", 109}, {"shrw", 115},
};
const std::map<std::string, uint8_t> kJumps = {
    {"jmp", 67}, {"jeq", 68}, {"jb", 69}, {"ja", 70}, {"jbe", 71}, {"jae", 72}, {"jne", 73},
};
const std::map<std::string, int> kAligns = {
    {"d", 0}, {"w0", 1}, {"w8", 2}, {"w16", 3}, {"b0", 4}, {"b8", 5}, {"b16", 6}, {"b24", 7},
};

std::string Trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

bool Number(const std::string& text, uint32_t* value)
{
    const std::string t = Trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(t.c_str(), &end, 0);
    if (*end != '\0' || v > 0xFFFFFFFFull)
        return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

unsigned ImmediateWidth(int align) { return align <= 0 ? 4 : align <= 3 ? 2 : 1; }

class Assembler {
public:
    bool Line(const std::string& raw);
    bool Finish(std::vector<uint8_t>* code);
    std::string error;

private:
    bool Fail(const std::string& what) { error = what; return false; }
    bool ParseOperand(std::string text, Operand* op);
    bool Destination(const std::string& text, Operand* op);
    void Put(uint32_t value, unsigned bytes)
    {
        for (unsigned i = 0; i < bytes; ++i)
            m_code.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void PutDestination(const Operand& d) { Put(d.value, d.type == kReg ? 2 : 1); }
    void PutSource(const Operand& s)
    {
        Put(s.value, s.type == kImm ? ImmediateWidth(s.align) : (s.type == kReg || s.type == kData) ? 2 : 1);
    }
    uint8_t DestinationIndex(const Operand& d) const
    {
        return d.type == kPLL ? 4 : d.type == kMC ? 5 : d.type;   // reg, param, ws, fb, pll, mc
    }
    static uint8_t Attribute(const Operand& src, int align, uint8_t dstShift)
    {
        return static_cast<uint8_t>(src.type | (align < 0 ? 0 : align) << 3 | dstShift << 6);
    }
    void Target(const std::string& label)
    {
        m_fixups.emplace_back(m_code.size(), Trim(label));
        Put(0, 2);
    }
    bool Bytes(const std::vector<std::string>& args);

    std::vector<uint8_t> m_code;
    std::map<std::string, size_t> m_labels;
    std::vector<std::pair<size_t, std::string>> m_fixups;
    int m_switchWidth = 0;                       // bytes of the open switch's case values
};

bool Assembler::ParseOperand(std::string text, Operand* op)
{
    text = Trim(text);
    *op = Operand{};
    const size_t at = text.find('@');
    if (at != std::string::npos) {
        uint32_t shift = 0;
        if (!Number(text.substr(at + 1), &shift) || shift % 8 || shift > 24)
            return Fail("bad destination shift in \"" + text + "\"");
        op->shift = static_cast<uint8_t>(shift / 8);
        text = Trim(text.substr(0, at));
    }
    const size_t dot = text.rfind('.');
    if (dot != std::string::npos && text.find(')') < dot) {
        auto it = kAligns.find(text.substr(dot + 1));
        if (it == kAligns.end())
            return Fail("bad alignment in \"" + text + "\"");
        op->align = it->second;
        text = text.substr(0, dot);
    } else if (dot != std::string::npos && !text.empty() && text[0] == '#') {
        auto it = kAligns.find(text.substr(dot + 1));
        if (it == kAligns.end())
            return Fail("bad alignment in \"" + text + "\"");
        op->align = it->second;
        text = text.substr(0, dot);
    }
    if (!text.empty() && text[0] == '#') {
        op->type = kImm;
        return Number(text.substr(1), &op->value) || Fail("bad immediate \"" + text + "\"");
    }
    const size_t open = text.find('(');
    if (open == std::string::npos || text.back() != ')')
        return Fail("bad operand \"" + text + "\"");
    static const std::map<std::string, uint8_t> kinds = {
        {"reg", kReg}, {"param", kParam}, {"ws", kWork}, {"fb", kFB},
        {"data", kData}, {"pll", kPLL}, {"mc", kMC},
    };
    auto kind = kinds.find(text.substr(0, open));
    if (kind == kinds.end())
        return Fail("unknown operand kind \"" + text + "\"");
    op->type = kind->second;
    if (!Number(text.substr(open + 1, text.size() - open - 2), &op->value))
        return Fail("bad operand index \"" + text + "\"");
    const uint32_t limit = (op->type == kReg || op->type == kData) ? 0xFFFF : 0xFF;
    return op->value <= limit || Fail("operand index too large \"" + text + "\"");
}

bool Assembler::Destination(const std::string& text, Operand* op)
{
    if (!ParseOperand(text, op))
        return false;
    return (op->type != kImm && op->type != kData) || Fail("\"" + text + "\" cannot be written");
}

bool Assembler::Bytes(const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        uint32_t v = 0;
        if (!Number(a, &v) || v > 0xFF)
            return Fail("bad byte \"" + a + "\"");
        Put(v, 1);
    }
    return true;
}

bool Assembler::Line(const std::string& raw)
{
    std::string line = Trim(raw.substr(0, raw.find(';')));
    if (line.empty())
        return true;
    if (line.back() == ':') {
        const std::string name = Trim(line.substr(0, line.size() - 1));
        if (name.empty() || m_labels.count(name))
            return Fail("bad or repeated label \"" + name + "\"");
        m_labels[name] = m_code.size();
        return true;
    }
    const size_t space = line.find_first_of(" \t");
    const std::string mnemonic = line.substr(0, space);
    std::vector<std::string> args;
    if (space != std::string::npos) {
        std::stringstream rest(line.substr(space + 1));
        std::string a;
        while (std::getline(rest, a, ','))
            args.push_back(Trim(a));
    }
    auto want = [&](size_t n) { return args.size() == n || Fail(mnemonic + " takes " + std::to_string(n) + " operands"); };
    uint32_t n = 0;
    auto number = [&](size_t i, uint32_t limit) {
        return (Number(args[i], &n) && n <= limit) || Fail("bad number \"" + args[i] + "\"");
    };

    if (auto g = kGroups.find(mnemonic); g != kGroups.end()) {
        Operand d, s;
        if (mnemonic == "clear" || mnemonic == "shl" || mnemonic == "shr") {
            if (!want(mnemonic == "clear" ? 1 : 2) || !Destination(args[0], &d))
                return false;
            m_code.push_back(static_cast<uint8_t>(g->second + DestinationIndex(d)));
            m_code.push_back(Attribute(Operand{}, d.align, d.shift));
            PutDestination(d);
            if (mnemonic != "clear") {
                if (!number(1, 0xFF))
                    return false;
                Put(n, 1);
            }
            return true;
        }
        if (mnemonic == "mask") {
            Operand o;
            if (!want(3) || !Destination(args[0], &d) || !ParseOperand(args[1], &s) || !ParseOperand(args[2], &o))
                return false;
            if (s.type != kImm || o.type != kImm)
                return Fail("mask takes two immediates");
            m_code.push_back(static_cast<uint8_t>(g->second + DestinationIndex(d)));
            m_code.push_back(Attribute(s, s.align, d.shift));
            PutDestination(d);
            Put(s.value, ImmediateWidth(s.align));
            Put(o.value, ImmediateWidth(s.align));
            return true;
        }
        if (!want(2) || !Destination(args[0], &d) || !ParseOperand(args[1], &s))
            return false;
        m_code.push_back(static_cast<uint8_t>(g->second + DestinationIndex(d)));
        m_code.push_back(Attribute(s, s.align, d.shift));
        PutDestination(d);
        PutSource(s);
        return true;
    }
    if (auto j = kJumps.find(mnemonic); j != kJumps.end()) {
        if (!want(1))
            return false;
        m_code.push_back(j->second);
        Target(args[0]);
        return true;
    }
    static const std::map<std::string, std::pair<uint8_t, uint32_t>> oneByteOperand = {
        {"delay", {80, 0xFF}}, {"sleep", {81, 0xFF}}, {"call", {82, 0xFF}}, {"database", {102, 0xFF}},
    };
    if (auto o = oneByteOperand.find(mnemonic); o != oneByteOperand.end()) {
        if (!want(1) || !number(0, o->second.second))
            return false;
        m_code.push_back(o->second.first);
        Put(n, 1);
        return true;
    }
    static const std::map<std::string, uint8_t> bare = {{"end", 91}, {"nop", 90}, {"iopci", 56}, {"iosys", 57}};
    if (auto b = bare.find(mnemonic); b != bare.end()) {
        if (!want(0))
            return false;
        m_code.push_back(b->second);
        return true;
    }
    if (mnemonic == "port") {
        if (!want(1) || !number(0, 0xFF))
            return false;
        m_code.insert(m_code.end(), {55, static_cast<uint8_t>(n), 0});
        return true;
    }
    if (mnemonic == "regbase") {
        if (!want(1) || !number(0, 0xFFFF))
            return false;
        m_code.push_back(58);
        Put(n, 2);
        return true;
    }
    if (mnemonic == "fbwin" || mnemonic == "switch") {
        Operand s;
        if (!want(1) || !ParseOperand(args[0], &s))
            return false;
        m_code.push_back(mnemonic == "fbwin" ? 59 : 66);
        m_code.push_back(Attribute(s, s.align, 0));
        PutSource(s);
        m_switchWidth = static_cast<int>(ImmediateWidth(s.align));
        return true;
    }
    if (mnemonic == "case") {
        if (!want(2) || !number(0, 0xFFFFFFFF))
            return false;
        m_code.push_back(0x63);
        Put(n, static_cast<unsigned>(m_switchWidth ? m_switchWidth : 4));
        Target(args[1]);
        return true;
    }
    if (mnemonic == "endswitch") {
        if (!want(0))
            return false;
        m_code.insert(m_code.end(), {0x5A, 0x5A});
        return true;
    }
    if (mnemonic == "embed") {
        m_code.push_back(122);
        Put(static_cast<uint32_t>(args.size()), 2);
        return Bytes(args);
    }
    if (mnemonic == "db")
        return Bytes(args);
    return Fail("unknown mnemonic \"" + mnemonic + "\"");
}

bool Assembler::Finish(std::vector<uint8_t>* code)
{
    for (const auto& [at, label] : m_fixups) {
        auto it = m_labels.find(label);
        if (it == m_labels.end())
            return Fail("unknown label \"" + label + "\"");
        const uint32_t target = static_cast<uint32_t>(kTableCodeOffset + it->second);
        m_code[at] = static_cast<uint8_t>(target);
        m_code[at + 1] = static_cast<uint8_t>(target >> 8);
    }
    *code = m_code;
    return true;
}

void Put16(std::vector<uint8_t>& image, uint32_t at, uint32_t value)
{
    image[at] = static_cast<uint8_t>(value);
    image[at + 1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

bool Assemble(const std::string& text, std::vector<uint8_t>* code, std::string* error)
{
    Assembler a;
    std::stringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!a.Line(line)) {
            if (error)
                *error = "line " + std::to_string(number) + ": " + a.error;
            return false;
        }
    }
    if (!a.Finish(code)) {
        if (error)
            *error = a.error;
        return false;
    }
    return true;
}

bool ImageBuilder::AddCommandTable(uint32_t index, const std::string& text, uint8_t workspaceBytes,
                                   uint8_t parameterWords, std::string* error)
{
    std::vector<uint8_t> code;
    if (!Assemble(text, &code, error))
        return false;
    AddRawCommandTable(index, code, static_cast<uint16_t>(workspaceBytes | (parameterWords & 0x1F) << 10));
    return true;
}

void ImageBuilder::AddRawCommandTable(uint32_t index, const std::vector<uint8_t>& code, uint16_t attribute)
{
    const uint32_t size = static_cast<uint32_t>(kTableCodeOffset + code.size());
    std::vector<uint8_t> table = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8), 1, 1,
                                  static_cast<uint8_t>(attribute), static_cast<uint8_t>(attribute >> 8)};
    table.insert(table.end(), code.begin(), code.end());
    m_commandTables[index] = std::move(table);
}

void ImageBuilder::AddDataTable(uint32_t index, const std::vector<uint8_t>& bytes) { m_dataTables[index] = bytes; }

void ImageBuilder::SetReferenceClock(uint16_t clock10kHz)
{
    std::vector<uint8_t> info(0x60, 0);
    info[0] = static_cast<uint8_t>(info.size());
    Put16(info, 0x52, clock10kHz);
    m_dataTables[4] = info;
}

std::vector<uint8_t> ImageBuilder::Build() const
{
    std::vector<uint8_t> image(kImageSize, 0);
    image[0] = 0x55;
    image[1] = 0xAA;
    image[2] = static_cast<uint8_t>(kImageSize / 512);
    Put16(image, 0x18, kPcirOffset);
    std::memcpy(image.data() + kPcirOffset, "PCIR", 4);
    Put16(image, kPcirOffset + 4, m_vendor);
    Put16(image, kPcirOffset + 6, m_device);
    Put16(image, 0x48, kRomHeaderOffset);
    Put16(image, kRomHeaderOffset + 0x1E, kCommandListOffset);
    Put16(image, kRomHeaderOffset + 0x20, kDataListOffset);
    Put16(image, kCommandListOffset, 4 + 2 * kListEntries);
    Put16(image, kDataListOffset, 4 + 2 * kListEntries);
    uint32_t at = kFirstTableOffset;
    auto place = [&](uint32_t list, uint32_t index, const std::vector<uint8_t>& bytes) {
        if (index >= kListEntries || at + bytes.size() > image.size())
            return;
        std::memcpy(image.data() + at, bytes.data(), bytes.size());
        Put16(image, list + 4 + 2 * index, at);
        at += static_cast<uint32_t>((bytes.size() + 3) & ~size_t(3));
    };
    for (const auto& [index, table] : m_dataTables)
        place(kDataListOffset, index, table);
    for (const auto& [index, table] : m_commandTables)
        place(kCommandListOffset, index, table);
    return image;
}

} // namespace vb::kest
