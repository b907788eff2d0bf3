// The graphics clock tool: the singleton, the clocks through the video BIOS's
// command tables, the clock counter and the flat exported functions.
#include "Engine/GPUTool.h"

#include <exception>
#include <new>
#include <vector>

#include "Engine/Engine.h"
#include "Engine/KestBIOS.h"
#include "Engine/LogCheck.h"
#include "Engine/SPMclkControl.h"
#include "GPUState.h"

CGPUTool* CGPUTool::Instance = nullptr;
DEVICE* CGPUTool::m_pDeviceData = nullptr;

namespace {

// Command tables of the video BIOS.
const uint32_t kSetEngineClockTable = 10;
const uint32_t kSetMemoryClockTable = 11;
const uint32_t kGetMemoryClockTable = 47;
const uint32_t kGetEngineClockTable = 48;

const uint32_t kPllRegister = 0x600;
const uint32_t kMoxgateRegister = 0x3000;
const uint32_t kFeedbackRegister = 0x3074;
const uint32_t kScaleEnableRegister = 0x3078;
const uint32_t kScaleRegister = 0x3084;
const uint32_t kClockCounterRegister = 0x79C;
const uint32_t kIntegratedCounterReference = 1250;

// Words of parameter space handed to a table: the clock in word 0, and room for
// what the tables it calls may use.
const uint32_t kParameterWords = 256;

} // namespace

CGPUTool::CGPUTool()
{
    m_pSPMclkControl = nullptr;
    // A record left by an earlier tool describes the board as it was then: scan
    // again (and free it rather than leak it).
    delete m_pDeviceData;
    m_pDeviceData = nullptr;
    EnumerateDevices();
    m_pSPMclkControl = new CTQ460SPMclkControl();
}

CGPUTool::~CGPUTool() { delete m_pSPMclkControl; }

CGPUTool* CGPUTool::GetInstance()
{
    if (Instance)
        return Instance;
    // Nothing may leave the library as an exception: a failed construction is logged.
    try {
        Instance = new CGPUTool();
    } catch (const std::exception& e) {
        g_Log.Write(ltError, "CGPUTool could not be created: %s\n", e.what());
        Instance = nullptr;
    }
    return Instance;
}

void CGPUTool::DestroyInstance()
{
    delete Instance;
    Instance = nullptr;
}

bool CGPUTool::RunClockTable(uint32_t uIndex, uint32_t* pClock)
{
    LOG_PROCESS_ERROR(m_pDeviceData && m_pDeviceData->bVideoBiosValid);
    // A missing table must not count as done: the clock would be the caller's own value.
    LOG_PROCESS_ERROR(kest::CommandTableOffset(m_pDeviceData->VideoBios, sizeof m_pDeviceData->VideoBios, uIndex) != 0);
    std::vector<uint32_t> space(kParameterWords, 0);
    space[0] = *pClock;
    KESTBIOS_PARAMETERS params;
    params.pParameterSpace = space.data();
    params.uParameterWords = kParameterWords;
    LOG_PROCESS_ERROR(RunCommandTable(&params, m_pDeviceData, uIndex) == 1);
    *pClock = space[0];
    return true;
}

uint32_t CGPUTool::GetClocks(uint32_t* engineClock, uint32_t* memoryClock, uint32_t flags)
{
    if (engineClock)
        *engineClock = 0;
    if (memoryClock)
        *memoryClock = 0;
    if (!m_pDeviceData || !m_pDeviceData->bVideoBiosValid)
        return TOOLLIB_NOT_SUPPORTED;
    uint32_t result = TOOLLIB_SUCCESS;
    if (engineClock && !RunClockTable(kGetEngineClockTable, engineClock)) {
        *engineClock = 0;
        result = TOOLLIB_NOT_SUPPORTED;
    }
    if (memoryClock && !RunClockTable(kGetMemoryClockTable, memoryClock)) {
        *memoryClock = 0;
        if (!_IsTQ460GFX())
            result = TOOLLIB_NOT_SUPPORTED;
    }
    // The dynamic engine clock replaces the table's reading when it is on (only
    // when the caller asked for the engine clock at all).
    if ((flags & INCLUDE_DPM_CLOCKS) && engineClock && IsMoxgateEnabled()) {
        uint32_t clock = 0;
        if (GetMoxgateEngClock(&clock)) {
            *engineClock = clock;
            result = TOOLLIB_SUCCESS;
        }
    }
    if (memoryClock && _IsTQ460GFX() && m_pSPMclkControl) {
        const uint32_t sidePort = m_pSPMclkControl->GetClock(memoryClock, flags);
        if (sidePort != 0)
            *memoryClock = 0;
        return sidePort != 0 ? TOOLLIB_FAIL : result;
    }
    return result;
}

uint32_t CGPUTool::SetClocks(uint32_t engineClock, uint32_t*, uint32_t memoryClock, uint32_t*, uint32_t)
{
    if (!m_pDeviceData)
        return TOOLLIB_NOT_SUPPORTED;
    const bool engine = SetEngineClock(engineClock);
    const bool memory = SetMemoryClock(memoryClock);
    return engine && memory ? TOOLLIB_SUCCESS : TOOLLIB_FAIL;
}

bool CGPUTool::SetEngineClock(uint32_t clock) { return RunClockTable(kSetEngineClockTable, &clock); }
bool CGPUTool::SetMemoryClock(uint32_t clock) { return RunClockTable(kSetMemoryClockTable, &clock); }

bool CGPUTool::GetSPMemoryClock(uint32_t* clock, uint32_t flags)
{
    return m_pSPMclkControl && m_pSPMclkControl->GetClock(clock, flags) == 0;
}

bool CGPUTool::SetSPMemoryClock(uint32_t clock, uint32_t flags)
{
    uint32_t actual = 0;
    return m_pSPMclkControl && m_pSPMclkControl->SetClock(clock, &actual, flags) == 0;
}

bool CGPUTool::IsMoxgateEnabled()
{
    const uint32_t value = _ReadMMReg32(kMoxgateRegister);
    return (value & (1u << 27)) && (value & (1u << 28));
}

bool CGPUTool::GetMoxgateEngClock(uint32_t* pClock)
{
    const uint32_t a = _ReadMMReg32(kPllRegister);
    // Without bit 24 the PLL register does not describe the clock: keep the table's.
    LOG_PROCESS_ERROR(a & (1u << 24));
    const uint32_t b = _ReadMMReg32(kFeedbackRegister);
    const uint32_t d = _ReadMMReg32(kScaleRegister);
    const uint32_t e = _ReadMMReg32(kScaleEnableRegister);
    const uint32_t post = ((a >> 20) & 0xF) + ((a >> 16) & 0xF) + 2;
    const uint32_t clock = m_uReferenceClock * (b & 0xFFF) / (((a >> 2) & 7) + 1) / post;
    *pClock = ((d & (1u << 20)) && e != 0) ? (clock * (d & 0xFF)) >> 8 : clock;
    return true;
}

uint32_t CGPUTool::GetClockCounter(uint32_t select)
{
    const uint32_t reference = _IsTQ460GFX() ? kIntegratedCounterReference : m_uReferenceClock;
    const uint32_t start = select | 0xFF50;
    _WriteMMReg32(kClockCounterRegister, start);
    _ReadMMReg32(kClockCounterRegister);
    _WriteMMReg32(kClockCounterRegister, start & ~0x8000u);
    uint32_t count = _ReadMMReg32(kClockCounterRegister) >> 17;
    // Wait until the count settles (two equal reads in a row); bounded, as the chip
    // may never settle. Note: up to reference x 10000 reads.
    const uint64_t limit = uint64_t(reference) * 10000;
    for (uint64_t i = 0; i < limit; ++i) {
        const uint32_t next = _ReadMMReg32(kClockCounterRegister) >> 17;
        if (next == count)
            break;
        count = next;
    }
    return (reference / 100) * count / 127;
}

bool g_KESTBIOS_GetGPUClocks(uint32_t* engineClock, uint32_t* memoryClock, uint32_t flags)
{
    CGPUTool* pGPUTool = CGPUTool::GetInstance();
    LOG_PROCESS_ERROR(pGPUTool);
    return pGPUTool->GetClocks(engineClock, memoryClock, flags) == TOOLLIB_SUCCESS;
}

bool g_KESTBIOS_SetGPUEngineClock(uint32_t clock)
{
    CGPUTool* pGPUTool = CGPUTool::GetInstance();
    LOG_PROCESS_ERROR(pGPUTool);
    return pGPUTool->SetEngineClock(clock);
}

bool g_KESTBIOS_SetGPUMemoryClock(uint32_t clock)
{
    CGPUTool* pGPUTool = CGPUTool::GetInstance();
    LOG_PROCESS_ERROR(pGPUTool);
    return pGPUTool->SetMemoryClock(clock);
}

bool g_GetSPMemoryClock(uint32_t* clock, uint32_t flags)
{
    CGPUTool* pGPUTool = CGPUTool::GetInstance();
    LOG_PROCESS_ERROR(pGPUTool);
    return pGPUTool->GetSPMemoryClock(clock, flags);
}

bool g_SetSPMemoryClock(uint32_t clock, uint32_t flags)
{
    CGPUTool* pGPUTool = CGPUTool::GetInstance();
    LOG_PROCESS_ERROR(pGPUTool);
    return pGPUTool->SetSPMemoryClock(clock, flags);
}
