// The command-table interpreter: the run loop, operand decoding and the opcodes.
#include "Engine/KestBIOS.h"

#include <memory>
#include <new>
#include <vector>

#include "Engine/LogCheck.h"
#include "KestRun.h"
#include "Platform/Time.h"

using namespace kest;

namespace {

// Source alignment: mask and shift of the field taken from the source.
const uint32_t kAlignMask[8] = {0xFFFFFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFF, 0xFF, 0xFF, 0xFF};
const uint32_t kAlignShift[8] = {0, 0, 8, 16, 0, 8, 16, 24};
const uint32_t kDestShift[4] = {0, 8, 16, 24};

// Destination types of the six opcodes of a group, as source-type codes.
const uint8_t kGroupDest[6] = {kest_run::kReg, kest_run::kParam, kest_run::kWork, kest_run::kFB,
                               kest_run::kPLL, kest_run::kMC};

// Bytes of an immediate (and of a switch's case values) by source alignment.
uint32_t ImmediateWidth(uint32_t align) { return align == 0 ? 4 : align <= 3 ? 2 : 1; }

bool InGroup(uint8_t op, uint8_t first) { return op >= first && op < first + 6; }

} // namespace

CKestInterpreter::CKestInterpreter(const uint8_t* pImage, size_t uImageSize, IKestRegisterWindow& registers)
    : m_pImage(pImage), m_uImageSize(pImage ? uImageSize : 0), m_Registers(registers)
{
}

namespace kest {

static uint16_t ListEntry(const uint8_t* image, size_t size, uint32_t listField, uint32_t index)
{
    if (!image)
        return 0;
    auto u16 = [&](uint64_t at, uint16_t* value) {
        if (at + 2 > size)
            return false;
        *value = static_cast<uint16_t>(image[at] | image[at + 1] << 8);
        return true;
    };
    uint16_t header = 0, list = 0, entry = 0;
    if (!u16(kRomHeaderPointer, &header) || !u16(uint64_t(header) + listField, &list)
        || !u16(uint64_t(list) + kListHeaderSize + 2ull * index, &entry))
        return 0;
    return entry;
}

uint16_t CommandTableOffset(const uint8_t* pImage, size_t uImageSize, uint32_t uIndex)
{
    return ListEntry(pImage, uImageSize, kCommandListInHeader, uIndex);
}

uint16_t DataTableOffset(const uint8_t* pImage, size_t uImageSize, uint32_t uIndex)
{
    return ListEntry(pImage, uImageSize, kDataListInHeader, uIndex);
}

} // namespace kest

namespace kest_run {

bool Run::Fetch(uint32_t bytes, uint32_t* value)
{
    Frame& f = *frames.back();
    LOG_PROCESS_ERROR(ImageValue(f.ip, bytes, value));
    f.ip += bytes;
    return true;
}

bool Run::ImageValue(uint64_t at, uint32_t bytes, uint32_t* value)
{
    LOG_PROCESS_ERROR(at + bytes <= in.m_uImageSize);
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        v |= uint32_t(in.m_pImage[at + i]) << (8 * i);
    *value = v;
    return true;
}

bool Run::ParameterSlot(uint32_t index, uint32_t** slot)
{
    LOG_PROCESS_ERROR(params && params->pParameterSpace);
    LOG_PROCESS_ERROR(uint64_t(parameterOffset) + index < params->uParameterWords);
    *slot = params->pParameterSpace + parameterOffset + index;
    return true;
}

bool Run::Read(uint8_t type, uint32_t index, uint32_t* value)
{
    *value = 0;
    switch (type) {
    case kReg:
        return ReadRegister(index + registerBase, value);
    case kParam: {
        uint32_t* slot = nullptr;
        if (!ParameterSlot(index, &slot))
            return false;
        *value = *slot;
        return true;
    }
    case kWork:
        return ReadWorkspace(index, value);
    case kData:
        return ImageValue(uint64_t(dataBase) + index, 4, value);
    default:                                     // frame buffer, PLL, MC: read as 0
        return true;
    }
}

bool Run::Write(uint8_t type, uint32_t index, uint32_t value)
{
    switch (type) {
    case kReg:
        return WriteRegister(index + registerBase, value);
    case kParam: {
        uint32_t* slot = nullptr;
        if (!ParameterSlot(index, &slot))
            return false;
        *slot = value;
        return true;
    }
    case kWork:
        return WriteWorkspace(index, value);
    default:                                     // frame buffer, PLL, MC: no effect
        return true;
    }
}

bool Run::ReadWorkspace(uint32_t index, uint32_t* value)
{
    const Frame& f = *frames.back();
    if (index < kWorkspaceWords) {
        LOG_PROCESS_ERROR(index * 4 < f.workspaceBytes);
        *value = f.workspace[index];
        return true;
    }
    const uint32_t bit = shiftCount < 32 ? 1u << shiftCount : 0;
    switch (index) {
    case 0x40: *value = quotient; break;
    case 0x41: *value = remainder; break;
    case 0x42: *value = dataBase; break;
    case 0x43: *value = shiftCount; break;
    case 0x44: *value = bit; break;
    case 0x45: *value = ~bit; break;
    case 0x46: *value = fbWindow; break;
    case 0x47: *value = attribute; break;
    default: *value = 0; break;
    }
    return true;
}

bool Run::WriteWorkspace(uint32_t index, uint32_t value)
{
    Frame& f = *frames.back();
    if (index < kWorkspaceWords) {
        LOG_PROCESS_ERROR(index * 4 < f.workspaceBytes);
        f.workspace[index] = value;
        return true;
    }
    switch (index) {
    case 0x40: quotient = value; break;
    case 0x41: remainder = value; break;
    case 0x42: dataBase = static_cast<uint16_t>(value); break;
    case 0x43: shiftCount = static_cast<uint8_t>(value); break;
    case 0x46: fbWindow = value; break;
    case 0x47: attribute = static_cast<uint16_t>(value); break;
    default: break;                              // 0x44, 0x45 and the rest are read-only
    }
    return true;
}

bool Run::ReadRegister(uint32_t number, uint32_t* value)
{
    *value = 0;
    if (ioMode != kIoDirect)
        return true;
    if (port != 0)
        return Indirect(port, number, 0, value);
    LOG_PROCESS_ERROR(uint64_t(number) * 4 + 4 <= kRegisterWindowSize);
    *value = in.m_Registers.ReadRegisterCallback(number);
    return true;
}

bool Run::WriteRegister(uint32_t number, uint32_t value)
{
    if (ioMode != kIoDirect)
        return true;
    if (port != 0) {
        uint32_t ignored = 0;
        return Indirect(static_cast<uint8_t>(port + 128), number, value, &ignored);
    }
    LOG_PROCESS_ERROR(uint64_t(number) * 4 + 4 <= kRegisterWindowSize);
    in.m_Registers.WriteRegisterCallback(number, number == 0 ? value * 4 : value);
    return true;
}

// The operand of a destination (a u16 register number, else a byte index).
bool Run::FetchDestination(uint8_t type, uint32_t* index)
{
    return Fetch(type == kReg ? 2 : 1, index);
}

// Fetches the source operand the attribute byte describes and aligns it.
bool Run::FetchSource(uint8_t attr, uint32_t* aligned)
{
    const uint8_t type = attr & 7;
    const uint32_t align = (attr >> 3) & 7;
    uint32_t operand = 0;
    if (type == kImm)
        return Fetch(ImmediateWidth(align), aligned);
    const uint32_t bytes = (type == kReg || type == kData) ? 2 : 1;
    uint32_t value = 0;
    if (!Fetch(bytes, &operand) || !Read(type, operand, &value))
        return false;
    *aligned = (value >> kAlignShift[align]) & kAlignMask[align];
    return true;
}


// Opcodes 1-54, 60-65, 74-79, 92-97 and 103-120: a destination and a source.
bool Run::TwoOperand(uint8_t op, uint8_t first)
{
    const uint8_t dtype = kGroupDest[op - first];
    uint32_t attr = 0, index = 0, src = 0, dest = 0, orValue = 0;
    if (!Fetch(1, &attr) || !FetchDestination(dtype, &index))
        return false;
    const uint32_t align = (attr >> 3) & 7;
    const uint32_t mask = kAlignMask[align];
    const uint32_t ds = kDestShift[attr >> 6];
    const uint32_t field = mask << ds;
    if (first == 92) {                           // mask: two immediates of the source width
        if (!Fetch(ImmediateWidth(align), &src) || !Fetch(ImmediateWidth(align), &orValue))
            return false;
    } else if (!FetchSource(static_cast<uint8_t>(attr), &src)) {
        return false;
    }
    if (!(first == 1 && align == 0) && !Read(dtype, index, &dest))
        return false;
    const uint32_t current = (dest >> ds) & mask;
    switch (first) {
    case 1: dest = align == 0 ? src << ds : (dest & ~field) | ((src << ds) & field); break;
    case 7: dest &= (src << ds) | ~field; break;
    case 13: dest |= src << ds; break;
    case 31: quotient = current * src; return true;
    case 37:
        // A zero divisor gives zero quotient and remainder rather than a fault.
        quotient = src ? current / src : 0;
        remainder = src ? current % src : 0;
        return true;
    case 43: dest += src << ds; break;
    case 49: dest -= src << ds; break;
    case 60: flag = current == src ? kEqual : current < src ? kBelow : kAbove; return true;
    case 74: flag = (current & src) ? kNotZero : kEqual; return true;
    case 92: dest = (dest & ((src << ds) | ~field)) | (orValue << ds); break;
    case 103: dest ^= src << ds; break;
    case 109: dest = Shl(dest, (src << ds) % 32); break;
    case 115: dest = Shr(dest, (src << ds) % 32); break;
    default: return false;
    }
    return Write(dtype, index, dest);
}

// Opcodes 19-30 and 84-89: the field the source-alignment bits select.
bool Run::FieldOperation(uint8_t op, uint8_t first)
{
    const uint8_t dtype = kGroupDest[op - first];
    uint32_t attr = 0, index = 0, count = 0, dest = 0;
    if (!Fetch(1, &attr) || !FetchDestination(dtype, &index))
        return false;
    if (first != 84 && !Fetch(1, &count))
        return false;
    if (!Read(dtype, index, &dest))
        return false;
    const uint32_t align = (attr >> 3) & 7;
    const uint32_t mask = kAlignMask[align], shift = kAlignShift[align];
    uint32_t value = (dest >> shift) & mask;
    value = first == 19 ? Shl(value, count) & mask : first == 25 ? Shr(value, count) : 0;
    return Write(dtype, index, (dest & ~(mask << shift)) | (value << shift));
}

bool Run::Jump(uint8_t op)
{
    uint32_t target = 0;
    if (!Fetch(2, &target))
        return false;
    bool take = false;
    switch (op) {
    case 67: take = true; break;
    case 68: take = flag == kEqual; break;
    case 69: take = flag == kBelow; break;
    case 70: take = flag == kAbove; break;
    case 71: take = flag == kBelow || flag == kEqual; break;
    case 72: take = flag == kAbove || flag == kEqual; break;
    case 73: take = flag != kEqual; break;
    }
    if (take)
        frames.back()->ip = frames.back()->start + target;
    return true;
}

bool Run::Switch()
{
    uint32_t attr = 0, value = 0;
    if (!Fetch(1, &attr) || !FetchSource(static_cast<uint8_t>(attr), &value))
        return false;
    const uint32_t width = ImmediateWidth((attr >> 3) & 7);
    for (;;) {
        uint32_t tag = 0, caseValue = 0, target = 0;
        if (!Fetch(1, &tag))
            return false;
        if (tag == 0x5A) {
            LOG_PROCESS_ERROR(Fetch(1, &tag) && tag == 0x5A);
            return true;                         // no case matched
        }
        LOG_PROCESS_ERROR(tag == 0x63);
        if (!Fetch(width, &caseValue) || !Fetch(2, &target))
            return false;
        if (caseValue == value) {
            frames.back()->ip = frames.back()->start + target;
            return true;
        }
    }
}

bool Run::Wait()
{
    uint32_t ms = 0;
    if (!Fetch(1, &ms))
        return false;
    totalWaitMs += ms;
    LOG_PROCESS_ERROR(totalWaitMs <= kMaxTotalWaitMs);
    plat::Sleep(ms);
    return true;
}

bool Run::DataBase()
{
    uint32_t n = 0;
    if (!Fetch(1, &n))
        return false;
    dataBase = n == 0 ? 0 : n == 255 ? static_cast<uint16_t>(frames.back()->start) : in.DataTableOffset(n);
    return true;
}

uint32_t Run::LoadTable(uint32_t index)
{
    LOG_PROCESS_ERROR_RET(frames.size() < kMaxCallDepth, kResultBadOpcode);
    const uint16_t start = in.CommandTableOffset(index);
    uint32_t attr = 0;
    LOG_PROCESS_ERROR_RET(start != 0 && ImageValue(uint64_t(start) + 4, 2, &attr), kResultBadOpcode);
    std::unique_ptr<Frame> frame(new (std::nothrow) Frame());
    LOG_PROCESS_ERROR_RET(frame, kResultNoMemory);
    frame->start = start;
    frame->ip = start + kTableCodeOffset;
    frame->attribute = static_cast<uint16_t>(attr);
    frame->workspaceBytes = attr & 0xFF;
    attribute = frame->attribute;
    frames.push_back(std::move(frame));
    return kRunning;
}

// Bits 10-14 of a table's attribute word: its parameter space in words.
static uint32_t ParameterWords(uint16_t attribute) { return (attribute >> 10) & 0x1F; }

uint32_t Run::Call()
{
    uint32_t index = 0;
    if (!Fetch(1, &index))
        return kResultBadOpcode;
    if (in.CommandTableOffset(index) == 0)
        return kRunning;                         // a missing nested table is skipped
    const uint32_t shift = ParameterWords(frames.back()->attribute);
    const uint32_t status = LoadTable(index);
    if (status != kRunning)
        return status;
    frames.back()->parameterShift = shift;
    parameterOffset += shift;
    return kRunning;
}

// Ends the current table; true when the outermost one ended.
bool Run::EndTable()
{
    parameterOffset -= frames.back()->parameterShift;
    frames.pop_back();
    if (frames.empty())
        return true;
    attribute = frames.back()->attribute;
    return false;
}

uint32_t Run::Step()
{
    LOG_PROCESS_ERROR_RET(++in.m_ullInstructions <= in.m_ullBudget, kResultBadOpcode);
    uint32_t op32 = 0;
    if (!Fetch(1, &op32))
        return kResultBadOpcode;
    const uint8_t op = static_cast<uint8_t>(op32);
    bool ok = true;
    static const uint8_t twoOperandGroups[] = {1, 7, 13, 31, 37, 43, 49, 60, 74, 92, 103, 109, 115};
    for (uint8_t first : twoOperandGroups)
        if (InGroup(op, first))
            return TwoOperand(op, first) ? kRunning : kResultBadOpcode;
    for (uint8_t first : {uint8_t(19), uint8_t(25), uint8_t(84)})
        if (InGroup(op, first))
            return FieldOperation(op, first) ? kRunning : kResultBadOpcode;
    uint32_t operand = 0;
    switch (op) {
    case 55:
        ok = Fetch(1, &operand) && Fetch(1, &op32);
        port = static_cast<uint8_t>(operand);
        ioMode = kIoDirect;
        break;
    case 56: ioMode = kIoPci; break;
    case 57: ioMode = kIoSystem; break;
    case 58:
        ok = Fetch(2, &operand);
        registerBase = static_cast<uint16_t>(operand);
        break;
    case 59:
        ok = Fetch(1, &op32) && FetchSource(static_cast<uint8_t>(op32), &fbWindow);
        break;
    case 66: ok = Switch(); break;
    case 67: case 68: case 69: case 70: case 71: case 72: case 73: ok = Jump(op); break;
    case 80: case 81: ok = Wait(); break;
    case 82: return Call();
    case 83: case 99: case 100: case 101:
        g_Log.Write(ltError, "LOG_PROCESS_ERROR(unsupported opcode %u) at line %d in %s\n", op, __LINE__,
                    "CKestInterpreter::ExecuteCommandTable");
        return kResultUnsupported;
    case 90: break;
    case 91: return EndTable() ? kResultSuccess : kRunning;
    case 98: case 121: ok = Fetch(1, &operand); break;
    case 102: ok = DataBase(); break;
    case 122:
        ok = Fetch(2, &operand);
        frames.back()->ip += operand;
        break;
    default:
        g_Log.Write(ltError, "LOG_PROCESS_ERROR(bad opcode %u) at line %d in %s\n", op, __LINE__,
                    "CKestInterpreter::ExecuteCommandTable");
        return kResultBadOpcode;
    }
    return ok ? kRunning : kResultBadOpcode;
}

} // namespace kest_run

uint32_t CKestInterpreter::ExecuteCommandTable(uint32_t uIndex, KESTBIOS_PARAMETERS* pParams)
{
    m_ullInstructions = 0;
    if (CommandTableOffset(uIndex) == 0)
        return kResultSuccess;                   // no such table: nothing to run
    kest_run::Run run(*this, pParams);
    uint32_t status = run.LoadTable(uIndex);
    while (status == kest_run::kRunning)
        status = run.Step();
    return status;
}
