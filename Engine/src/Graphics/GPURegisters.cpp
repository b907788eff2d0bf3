// The graphics chip's register window: mapped on first use through the driver and
// kept until the Engine closes; word by word through physical-memory requests when
// it cannot be mapped. Also the register callbacks of the command tables.
#include "Engine/DriverHandler.h"
#include "Engine/GPUTool.h"
#include "Engine/KestBIOS.h"
#include "Engine/LogCheck.h"
#include "GPUState.h"
#include "Platform/Mmio.h"

BASEADDRTYPE RegisterBaseAddress;
BASEADDRTYPE FrameBufferBaseAddress;

namespace {

char* g_pRegisterWindow = nullptr;
bool g_bWindowMapped = false;

const uint32_t kWindowSize = 0x10000;
// Registers beyond the window: number at offset 0, data at 0x10 (at 4 without a map).
const uint32_t kIndexOffset = 0;
const uint32_t kDataOffset = 0x10;
const uint32_t kUnmappedDataOffset = 4;

char* Window()
{
    if (!g_bWindowMapped) {
        g_pRegisterWindow = g_DriverHandler.MapPhysicalMemory(RegisterBaseAddress.Value(), kWindowSize);
        g_bWindowMapped = g_pRegisterWindow != nullptr;
    }
    return g_pRegisterWindow;
}

uint32_t PhysicalRead(uint64_t address)
{
    uint32_t value = 0;
    LOG_CHECK_ERROR(g_DriverHandler.ReadMemory(address, 4, reinterpret_cast<char*>(&value)));
    return value;
}

void PhysicalWrite(uint64_t address, uint32_t value)
{
    LOG_CHECK_ERROR(g_DriverHandler.WriteMemory(address, 4, reinterpret_cast<char*>(&value)));
}

// The command tables' register access, by word number.
class CGPURegisterWindow final : public IKestRegisterWindow {
public:
    uint32_t ReadRegisterCallback(uint32_t number) override { return CGPUTool::_ReadMMReg32(number * 4); }
    void WriteRegisterCallback(uint32_t number, uint32_t value) override { CGPUTool::_WriteMMReg32(number * 4, value); }
};

} // namespace

void GpuSetBases(const BASEADDRTYPE& registers, const BASEADDRTYPE& frameBuffer)
{
    RegisterBaseAddress = registers;
    FrameBufferBaseAddress = frameBuffer;
}

uint32_t CGPUTool::_ReadMMReg32(uint32_t uRegister)
{
    LOG_PROCESS_ERROR_RET(RegisterBaseAddress.BaseAddress32.BaseAddress != 0, 0);
    const uint64_t base = RegisterBaseAddress.Value();
    char* window = Window();
    if (uRegister < kWindowSize) {
        const uint32_t offset = uRegister & ~3u;
        return window ? plat::MmioRead32(window + offset) : PhysicalRead(base + offset);
    }
    if (window) {
        plat::MmioWrite32(window + kIndexOffset, uRegister);
        return plat::MmioRead32(window + kDataOffset);
    }
    PhysicalWrite(base + kIndexOffset, uRegister);
    return PhysicalRead(base + kUnmappedDataOffset);
}

void CGPUTool::_WriteMMReg32(uint32_t uRegister, uint32_t uValue)
{
    if (RegisterBaseAddress.BaseAddress32.BaseAddress == 0) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "RegisterBaseAddress.BaseAddress32.BaseAddress != 0");
        return;
    }
    const uint64_t base = RegisterBaseAddress.Value();
    char* window = Window();
    if (uRegister < kWindowSize) {
        const uint32_t offset = uRegister & ~3u;
        if (window)
            plat::MmioWrite32(window + offset, uValue);
        else
            PhysicalWrite(base + offset, uValue);
        return;
    }
    if (window) {
        plat::MmioWrite32(window + kIndexOffset, uRegister);
        plat::MmioWrite32(window + kDataOffset, uValue);
        return;
    }
    PhysicalWrite(base + kIndexOffset, uRegister);
    PhysicalWrite(base + kUnmappedDataOffset, uValue);
}

bool CGPUTool::IsRegisterWindowMapped() { return g_bWindowMapped; }

bool CGPUTool::UnmapRegisterWindow()
{
    if (!g_bWindowMapped)
        return true;
    const bool bRetCode = g_DriverHandler.UnmapPhysicalMemory(g_pRegisterWindow);
    // Either way the pointer is not ours any more (the driver frees what is left).
    g_pRegisterWindow = nullptr;
    g_bWindowMapped = false;
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

int RunCommandTable(KESTBIOS_PARAMETERS* pParams, DEVICE* pDevice, uint32_t uIndex)
{
    LOG_PROCESS_ERROR_RET(pParams && pDevice, 0);
    pParams->pImage = pDevice->VideoBios;
    if (!pDevice->bVideoBiosValid)
        return 1;                                // no tables of this chip: nothing runs
    CGPURegisterWindow registers;
    CKestInterpreter interpreter(pDevice->VideoBios, sizeof pDevice->VideoBios, registers);
    return interpreter.ExecuteCommandTable(uIndex, pParams) == kest::kResultSuccess ? 1 : 0;
}
