#pragma once
// What the firmware tells once about itself: the BIOS vendor name and the
// integrated-graphics mode with its engine-clock-override flag.
#include <cstdint>

// The firmware's signed mode byte, sign-extended; its values are the firmware's.
enum IGP_MODE : int32_t {
    IGP_MODE_UNKNOWN = -1,
};

class CBIOSMiscInfo {
public:
    virtual ~CBIOSMiscInfo() = default;

    bool Init();
    bool UnInit() { return true; }
    // At most 64 characters, always terminated.
    const char* GetVendorName() const { return m_szVendorName; }
    IGP_MODE GetIGPMode() const { return m_eIGPMode; }
    bool GetEngineClockOverride() const { return m_bEngineClockOverride; }

private:
    bool _GetVendorName();
    bool _GetIGPInfo();

    char m_szVendorName[65] = {};                // one more than the firmware's field
    IGP_MODE m_eIGPMode = IGP_MODE_UNKNOWN;
    bool m_bEngineClockOverride = false;
};

extern CBIOSMiscInfo g_BIOSMiscInfo;
