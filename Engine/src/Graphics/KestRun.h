#pragma once
// The state of one run of the command-table interpreter (private to it).
#include <cstdint>
#include <memory>
#include <vector>

#include "Engine/KestBIOS.h"

namespace kest_run {

// Operand types: the source-type codes of the attribute byte.
enum : uint8_t { kReg = 0, kParam = 1, kWork = 2, kFB = 3, kData = 4, kImm = 5, kPLL = 6, kMC = 7 };
// Compare flag.
enum : uint8_t { kBelow = 0, kEqual = 1, kAbove = 2, kNotZero = 3 };
enum IoMode : uint8_t { kIoDirect, kIoPci, kIoSystem };

// Shifts by a count the byte code chose: 32 and more shift everything out.
inline uint32_t Shl(uint32_t v, uint32_t n) { return n >= 32 ? 0 : v << n; }
inline uint32_t Shr(uint32_t v, uint32_t n) { return n >= 32 ? 0 : v >> n; }

constexpr uint32_t kRunning = 0xFFFFFFFF;        // Step's "go on"
constexpr uint32_t kWorkspaceWords = 0x40;
constexpr uint32_t kTableCodeOffset = 6;          // 4-byte header, attribute word

// One active table. The workspace always has room for every index the byte code
// can name; the declared size bounds what a table may use.
struct Frame {
    uint32_t start = 0;                          // image offset of the table's header
    uint32_t ip = 0;
    uint16_t attribute = 0;
    uint32_t workspaceBytes = 0;
    uint32_t parameterShift = 0;                 // words the call moved the parameter space on
    uint32_t workspace[kWorkspaceWords] = {};
};

struct Run {
    Run(CKestInterpreter& interpreter, KESTBIOS_PARAMETERS* p) : in(interpreter), params(p) {}

    uint32_t LoadTable(uint32_t index);
    uint32_t Step();

    bool Fetch(uint32_t bytes, uint32_t* value);
    bool ImageValue(uint64_t at, uint32_t bytes, uint32_t* value);
    bool ParameterSlot(uint32_t index, uint32_t** slot);
    bool Read(uint8_t type, uint32_t index, uint32_t* value);
    bool Write(uint8_t type, uint32_t index, uint32_t value);
    bool ReadWorkspace(uint32_t index, uint32_t* value);
    bool WriteWorkspace(uint32_t index, uint32_t value);
    bool ReadRegister(uint32_t number, uint32_t* value);
    bool WriteRegister(uint32_t number, uint32_t value);
    bool FetchDestination(uint8_t type, uint32_t* index);
    bool FetchSource(uint8_t attr, uint32_t* aligned);
    bool TwoOperand(uint8_t op, uint8_t first);
    bool FieldOperation(uint8_t op, uint8_t first);
    bool Jump(uint8_t op);
    bool Switch();
    bool Wait();
    bool DataBase();
    uint32_t Call();
    bool EndTable();
    // Indirect I/O: runs program `id` of the area; false when the area is malformed.
    bool Indirect(uint8_t id, uint32_t number, uint32_t data, uint32_t* value);
    bool FindProgram(uint8_t id, uint64_t* program);

    CKestInterpreter& in;
    KESTBIOS_PARAMETERS* params;
    std::vector<std::unique_ptr<Frame>> frames;
    uint8_t flag = 0;
    uint16_t registerBase = 0, dataBase = 0;
    uint32_t fbWindow = 0;
    uint32_t quotient = 0, remainder = 0;
    uint8_t shiftCount = 0;
    uint16_t attribute = 0;                      // the running table's attribute word
    uint8_t port = 0;
    IoMode ioMode = kIoDirect;
    uint32_t parameterOffset = 0;                // words the nested calls moved the space on
    uint32_t totalWaitMs = 0;
    bool areaKnown = false;                      // indirect-I/O area pointer set up
    uint64_t areaStart = 0, areaPointer = 0;
};

} // namespace kest_run
