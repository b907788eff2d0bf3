// Indirect register access of the command tables: small programs in data table 23
// that build the value of a register read (or write) from the register number, the
// attribute word and the written data.
#include "Engine/LogCheck.h"
#include "KestRun.h"

namespace kest_run {

namespace {

// Bytes of each operation of the indirect-I/O area (0: unknown).
uint32_t OperationLength(uint32_t op)
{
    static const uint8_t lengths[10] = {1, 2, 3, 3, 3, 3, 4, 4, 4, 3};
    return op < 10 ? lengths[op] : 0;
}

uint32_t Bits(uint32_t b) { return b == 0 || b >= 32 ? 0xFFFFFFFF : (1u << b) - 1; }

} // namespace

// Walks the area from the area pointer to the start operation of `id`. Not found
// (the area's 0 byte): the pointer stays on that byte for the rest of the run.
bool Run::FindProgram(uint8_t id, uint64_t* program)
{
    *program = 0;
    uint64_t at = areaPointer;
    for (;;) {
        uint32_t op = 0, operand = 0;
        if (!ImageValue(at, 1, &op))
            return false;
        if (op == 0) {
            areaPointer = at;
            return true;
        }
        const uint32_t length = OperationLength(op);
        LOG_PROCESS_ERROR(length != 0);
        if (op == 1) {
            if (!ImageValue(at + 1, 1, &operand))
                return false;
            if (operand == id) {
                *program = at;
                return true;
            }
        }
        at += length;
    }
}

bool Run::Indirect(uint8_t id, uint32_t number, uint32_t data, uint32_t* value)
{
    *value = 0;
    if (!areaKnown) {
        const uint16_t table = in.DataTableOffset(kest::kIndirectIoDataTable);
        areaKnown = true;
        areaStart = areaPointer = table ? table + 4u : 0;
        if (!table) {
            areaPointer = in.m_uImageSize;       // no area: every access yields 0
            return true;
        }
    }
    if (areaPointer >= in.m_uImageSize)
        return true;
    uint64_t at = 0;
    if (!FindProgram(id, &at))
        return false;
    if (at == 0)
        return true;
    uint32_t result = id;
    for (at += 2;;) {
        uint32_t op = 0, b = 0, s = 0, d = 0, operand = 0;
        if (!ImageValue(at, 1, &op))
            return false;
        const uint32_t length = OperationLength(op);
        LOG_PROCESS_ERROR(length != 0);
        if (length >= 3 && (!ImageValue(at + 1, 1, &b) || !ImageValue(at + 2, 1, &s)))
            return false;
        if (length == 4 && !ImageValue(at + 3, 1, &d))
            return false;
        switch (op) {
        case 4: result &= ~Shl(Bits(b), s); break;
        case 5: result |= Shl(Bits(b), s); break;
        case 6: case 7: case 8: {
            const uint32_t source = op == 6 ? number : op == 7 ? attribute : data;
            const uint32_t field = Shl(Bits(b), d);
            result = (result & ~field) | (Shl(Shr(source, s) & Bits(b), d) & field);
            break;
        }
        case 9: {
            if (!ImageValue(at + 1, 2, &operand))
                return false;
            // The pointer moves back to where the program asks; it may not leave the area.
            const int64_t back = int64_t(at) - (int64_t(operand) - 1);
            LOG_PROCESS_ERROR(back >= int64_t(areaStart) && back < int64_t(in.m_uImageSize));
            areaPointer = static_cast<uint64_t>(back);
            *value = result;
            return true;
        }
        default: break;                          // 0 none, 1 start, 2 and 3 port access: not implemented
        }
        at += length;
    }
}

} // namespace kest_run
