#pragma once
// The interpreter of the video BIOS's command tables (KESTBIOS byte code): the chip's
// own procedures for setting and reading its clocks, run by the Engine itself.
//
// Every fetch is checked against the image, every parameter, workspace and register
// index against its space, and a run is bounded by an instruction budget, a call
// depth and a total of waits: a broken or hostile table ends with a failure status
// and one log line, never an out-of-bounds access or an endless loop.
#include <cstddef>
#include <cstdint>

struct DEVICE;
namespace kest_run { struct Run; }

// The parameter block of a run. The slots are pointer-sized (a pointer does not fit
// a 32-bit word here), and the space's size travels with it so that tables cannot
// reach past the caller's words.
struct KESTBIOS_PARAMETERS {
    uint32_t* pParameterSpace = nullptr;   // words shared by the caller and the table
    uintptr_t uReserved = 0;               // not used by the interpreter
    const uint8_t* pImage = nullptr;       // set by RunCommandTable: the video BIOS image
    uint32_t uParameterWords = 0;          // words in pParameterSpace
};

// Register access of the byte code in direct mode: 32-bit registers by word number
// within the chip's 64 KB register window.
class IKestRegisterWindow {
public:
    virtual ~IKestRegisterWindow() = default;
    virtual uint32_t ReadRegisterCallback(uint32_t number) = 0;
    virtual void WriteRegisterCallback(uint32_t number, uint32_t value) = 0;
};

namespace kest {
constexpr uint32_t kResultSuccess = 0;
constexpr uint32_t kResultBadOpcode = 129;       // also: a fetch, index or limit broken
constexpr uint32_t kResultUnsupported = 130;
constexpr uint32_t kResultTableMissing = 131;
constexpr uint32_t kResultNoMemory = 135;

constexpr uint32_t kImageSize = 0x10000;
constexpr uint32_t kRegisterWindowSize = 0x10000;
constexpr uint32_t kMaxCallDepth = 32;
constexpr uint64_t kDefaultInstructionBudget = 1000000;
constexpr uint32_t kMaxTotalWaitMs = 10000;

// Offsets in the image and in the tables.
constexpr uint32_t kRomHeaderPointer = 0x48;
constexpr uint32_t kCommandListInHeader = 0x1E;
constexpr uint32_t kDataListInHeader = 0x20;
constexpr uint32_t kListHeaderSize = 4;
constexpr uint32_t kIndirectIoDataTable = 23;

// The u16 image offset of entry uIndex of the command-table (or data-table) list;
// 0 when there is no such table or the lists lie outside the image.
uint16_t CommandTableOffset(const uint8_t* pImage, size_t uImageSize, uint32_t uIndex);
uint16_t DataTableOffset(const uint8_t* pImage, size_t uImageSize, uint32_t uIndex);
} // namespace kest

class CKestInterpreter {
public:
    CKestInterpreter(const uint8_t* pImage, size_t uImageSize, IKestRegisterWindow& registers);

    // Runs command table uIndex and the tables it calls: 0 success (also when the
    // table does not exist), else 129, 130, 131 or 135.
    uint32_t ExecuteCommandTable(uint32_t uIndex, KESTBIOS_PARAMETERS* pParams);

    uint16_t CommandTableOffset(uint32_t uIndex) const { return kest::CommandTableOffset(m_pImage, m_uImageSize, uIndex); }
    uint16_t DataTableOffset(uint32_t uIndex) const { return kest::DataTableOffset(m_pImage, m_uImageSize, uIndex); }

    void SetInstructionBudget(uint64_t ullBudget) { m_ullBudget = ullBudget; }
    uint64_t InstructionsRun() const { return m_ullInstructions; }

private:
    const uint8_t* m_pImage;
    size_t m_uImageSize;
    IKestRegisterWindow& m_Registers;
    uint64_t m_ullBudget = kest::kDefaultInstructionBudget;
    uint64_t m_ullInstructions = 0;

    friend struct kest_run::Run;
};

// Runs command table uIndex of the device's video BIOS against the graphics clock
// tool's register window: 1 when the table ran to its end (or does not exist), 0
// when it failed. pParams->pImage is set to the device's image.
int RunCommandTable(KESTBIOS_PARAMETERS* pParams, DEVICE* pDevice, uint32_t uIndex);
