#pragma once
// The firmware's command channel: class VYK_ACPI in "root\wmi", method "RunCMD",
// one 256-byte command record in and one 512-byte result record out.
#include <cstddef>
#include <cstdint>
#include <set>

#pragma pack(push, 1)
struct VYK_BIOS_COMMAND {
    uint32_t uCommandId;                         // group << 16 | function
    uint8_t Data[252];
};
struct VYK_BIOS_RESULT {
    uint32_t uStatus;                            // briSuccess or a failure code
    uint8_t Data[508];
};
#pragma pack(pop)
static_assert(sizeof(VYK_BIOS_COMMAND) == 256);
static_assert(sizeof(VYK_BIOS_RESULT) == 512);
static_assert(offsetof(VYK_BIOS_RESULT, Data) == 4);

enum VYK_BIOS_RESULT_CODE : uint32_t {
    briSuccess = 0,
    // Our own failure when no status could be had: a bad argument, a failed call,
    // or a result too short to hold a status word.
    briEngineFailure = 0xFFFFFFFF,
};

class CVykBIOS {
public:
    virtual ~CVykBIOS() = default;

    // Reads the interface version (only 0 is accepted) and the command list.
    bool Init();
    bool UnInit() { return true; }
    uint32_t GetVersion() const { return m_uVersion; }
    bool IsValidCommand(uint32_t uCommandId) const { return m_CommandList.count(uCommandId) != 0; }
    // Sends InDataSize bytes (at most 256, zero-padded) and copies up to OutDataSize
    // bytes (at most 512) of the result; returns its status word, or briEngineFailure.
    uint32_t RunCommand(const void* pInData, unsigned InDataSize, void* pOutData, unsigned OutDataSize);

private:
    uint32_t m_uVersion = 0;
    std::set<uint32_t> m_CommandList;
};

extern CVykBIOS g_VykBIOS;
