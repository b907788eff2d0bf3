#pragma once
// The SMBIOS structure table as the standard lays it out: each structure is its
// formatted area (type, length, handle, fields), then its string set: numbered
// strings, each ending in a NUL, and one more NUL after the last (a set without
// strings is two NULs at once). The next structure starts right after that.
// Every reader of the table walks it through this one walker.
#include <cstdint>
#include <cstring>
#include <vector>

namespace smbios {

// String numbers are bytes: no structure can address more.
constexpr uint32_t kMaxStrings = 255;

struct Structure {
    const uint8_t* data;          // the formatted area: type at 0, its length at 1
    uint32_t length;              // of the formatted area
    const char* const* strings;   // each terminated inside the table
    uint32_t stringCount;

    uint8_t Type() const { return data[0]; }
    // The string whose number the byte at offset holds (1: the first); null for
    // number 0, a number past the set, or a byte the formatted area does not cover.
    const char* String(uint32_t offset) const
    {
        if (offset >= length)
            return nullptr;
        const uint8_t number = data[offset];
        return number != 0 && number <= stringCount ? strings[number - 1] : nullptr;
    }
};

// How a walk ended.
enum class WalkEnd {
    Complete,      // every structure up to the table's length was visited
    Stopped,       // the visitor asked to stop
    HeaderCut,     // fewer bytes left than a structure's header
    BadLength,     // a formatted length under the header or past the table's end
    StringsCut,    // a string set that does not end inside the table
};

// Calls visit(const Structure&) for each structure in table order, up to the
// table's length (the end-of-table structure, type 127, is one like any other);
// visit returns false to stop. A malformed structure ends the walk before it is
// visited.
template <class Visit>
WalkEnd Walk(const uint8_t* table, uint32_t length, Visit&& visit)
{
    std::vector<const char*> strings;
    uint32_t offset = 0;
    while (offset < length) {
        if (length - offset < 4)
            return WalkEnd::HeaderCut;
        const uint8_t formatted = table[offset + 1];
        if (formatted < 4 || formatted > length - offset)
            return WalkEnd::BadLength;

        strings.clear();
        uint32_t at = offset + formatted;
        for (;;) {
            const void* nul = at < length ? std::memchr(table + at, 0, length - at) : nullptr;
            if (!nul)
                return WalkEnd::StringsCut;
            const uint32_t end = static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - table);
            if (end == at) {                 // the NUL that ends the set
                if (strings.empty() && at + 1 < length && table[at + 1] == 0)
                    ++at;                    // a set without strings: two NULs
                ++at;
                break;
            }
            if (strings.size() < kMaxStrings)
                strings.push_back(reinterpret_cast<const char*>(table + at));
            at = end + 1;
        }

        if (!visit(Structure{table + offset, formatted, strings.data(), static_cast<uint32_t>(strings.size())}))
            return WalkEnd::Stopped;
        offset = at;
    }
    return WalkEnd::Complete;
}

} // namespace smbios
