#pragma once
// The graphics clock tool: finds the maker's graphics chip on the PCI bus, keeps a
// copy of its video BIOS, maps its register window and reads and sets the engine
// and memory clocks by running the chip's own command tables. Clocks are in
// 10 kHz units, as the video BIOS keeps them.
#include <cstdint>

class CTQ460SPMclkControl;

// The chip that was found. Created once and kept for the life of the process.
struct DEVICE {
    uint32_t uReserved = 0;
    char szDescription[256] = {};
    uint8_t VideoBios[0x10000] = {};
    // False when the image is not this chip's (or could not be read): no tables run.
    bool bVideoBiosValid = false;
    uint16_t usDeviceID = 0;
    uint8_t ucRevisionID = 0;
};

// A PCI base address as its two 32-bit halves.
struct BASEADDRTYPE {
    struct {
        uint32_t BaseAddress = 0;
        uint32_t BaseAddressHigh = 0;
    } BaseAddress32;
    uint64_t Value() const { return uint64_t(BaseAddress32.BaseAddressHigh) << 32 | BaseAddress32.BaseAddress; }
};

class CGPUTool {
public:
    // The singleton, created on the first call; null when it cannot be created.
    static CGPUTool* GetInstance();
    static void DestroyInstance();

    static CGPUTool* Instance;
    static DEVICE* m_pDeviceData;

    // TOOLLIB_SUCCESS, or TOOLLIB_NOT_SUPPORTED (outputs written as 0) when there is
    // no chip or no table to read a clock, or the side-port control's result.
    uint32_t GetClocks(uint32_t* engineClock, uint32_t* memoryClock, uint32_t flags);
    uint32_t SetClocks(uint32_t engineClock, uint32_t*, uint32_t memoryClock, uint32_t*, uint32_t);
    bool SetEngineClock(uint32_t clock);
    bool SetMemoryClock(uint32_t clock);
    bool GetSPMemoryClock(uint32_t* clock, uint32_t flags);
    bool SetSPMemoryClock(uint32_t clock, uint32_t flags);
    // The clock counter's reading in MHz.
    uint32_t GetClockCounter(uint32_t select);
    uint32_t ReferenceClock() const { return m_uReferenceClock; }

    // Runs command table uIndex with the clock as parameter word 0; false when the
    // table is missing or fails.
    bool RunClockTable(uint32_t uIndex, uint32_t* pClock);
    // The chip's registers (also used by the command tables, before the tool exists).
    static uint32_t _ReadMMReg32(uint32_t uRegister);
    static void _WriteMMReg32(uint32_t uRegister, uint32_t uValue);

    // The register window, mapped on first use and kept until the Engine closes.
    static bool IsRegisterWindowMapped();
    static bool UnmapRegisterWindow();

private:
    CGPUTool();
    ~CGPUTool();
    CGPUTool(const CGPUTool&) = delete;
    CGPUTool& operator=(const CGPUTool&) = delete;

    void EnumerateDevices();
    bool DetectDevice(uint32_t uBus, uint32_t uDevice);
    bool _CreateDeviceData(uint16_t usDeviceID, uint32_t uBus, uint32_t uDevice, const uint8_t* pConfig);
    void _ReadReferenceClock();
    bool _IsTQ460GFX() const;
    bool IsMoxgateEnabled();
    bool GetMoxgateEngClock(uint32_t* pClock);

    CTQ460SPMclkControl* m_pSPMclkControl = nullptr;
    uint32_t m_uReferenceClock = 0;
};

bool g_KESTBIOS_GetGPUClocks(uint32_t* engineClock, uint32_t* memoryClock, uint32_t flags);
bool g_KESTBIOS_SetGPUEngineClock(uint32_t clock);
bool g_KESTBIOS_SetGPUMemoryClock(uint32_t clock);
