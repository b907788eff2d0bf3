#pragma once
// A small assembler for the video BIOS's command-table byte code, so the simulated
// chip's tables and the interpreter's tests are written as readable programs.
//
// One instruction or label per line; ';' starts a comment.
//   Destinations: reg(n) param(n) ws(n) fb(n) pll(n) mc(n), with an optional
//   destination shift "@8", "@16" or "@24".
//   Sources: the same plus data(n) and immediates "#n"; a suffix selects the source
//   alignment: .d (whole word, the default), .w0 .w8 .w16 (16 bits at that bit),
//   .b0 .b8 .b16 .b24 (8 bits). An immediate's width follows it: 4, 2 or 1 bytes.
//   move and or add sub xor mul div cmp test shlw shrw   DST, SRC
//   shl shr DST.FIELD, COUNT      clear DST.FIELD        (FIELD: a source suffix)
//   mask DST, #AND.ALIGN, #OR
//   jmp jeq jb ja jbe jae jne LABEL                      call N    end    nop
//   delay N (opcode 80)   sleep N (81)   port N   iopci   iosys   regbase N
//   fbwin SRC   database N   embed B, B...   switch SRC / case V, LABEL / endswitch
//   db B, B...  (raw bytes)
// Jump and case targets are offsets from the table's first byte (its header), which
// is where the image builder puts them: the byte code starts 6 bytes in.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vb::kest {

// Table header: 4 bytes, then the attribute word; the byte code follows.
constexpr uint32_t kTableCodeOffset = 6;

// Byte code of one command table (without its header), or false with a message
// naming the line.
bool Assemble(const std::string& text, std::vector<uint8_t>* code, std::string* error);

// A video BIOS image built from tables: ROM signature, PCI data structure, ROM
// header, the command-table and data-table lists.
class ImageBuilder {
public:
    static constexpr uint32_t kImageSize = 0x10000;
    static constexpr uint32_t kListEntries = 81;

    ImageBuilder(uint16_t vendorId, uint16_t deviceId) : m_vendor(vendorId), m_device(deviceId) {}
    // A command table from source text: workspace in bytes, parameter space in words.
    bool AddCommandTable(uint32_t index, const std::string& text, uint8_t workspaceBytes, uint8_t parameterWords,
                         std::string* error);
    // A command table from raw byte code and attribute word.
    void AddRawCommandTable(uint32_t index, const std::vector<uint8_t>& code, uint16_t attribute);
    void AddDataTable(uint32_t index, const std::vector<uint8_t>& bytes);
    // The firmware-information table (data-table entry 4) with its reference clock.
    void SetReferenceClock(uint16_t clock10kHz);
    std::vector<uint8_t> Build() const;

private:
    uint16_t m_vendor, m_device;
    std::map<uint32_t, std::vector<uint8_t>> m_commandTables;  // whole tables, header included
    std::map<uint32_t, std::vector<uint8_t>> m_dataTables;
};

// Offsets of the image's fixed parts, for tests that break them on purpose.
constexpr uint32_t kPcirOffset = 0x100;
constexpr uint32_t kRomHeaderOffset = 0x200;
constexpr uint32_t kCommandListOffset = 0x300;
constexpr uint32_t kDataListOffset = 0x400;
constexpr uint32_t kFirstTableOffset = 0x600;

} // namespace vb::kest
