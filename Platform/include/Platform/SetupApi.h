#pragma once
// Device setup's enumeration of a device class, as the flash-cache page uses it to
// find its disk. Backed by the simulated machine's disk-drive class
// (VirtualBoard/DiskClass.h); every other class is empty. A failed call returns
// false (or INVALID_HANDLE_VALUE) and sets GetLastError().
// Fault: "setupapi-classdevs-fails" (no device list can be built).
#include <cstdint>

namespace plat {

struct Guid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
    bool operator==(const Guid&) const = default;
};

// {4D36E967-E325-11CE-BFC1-08002BE10318}
inline constexpr Guid GUID_DEVCLASS_DISKDRIVE = {0x4D36E967, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

enum : uint32_t { DIGCF_PRESENT = 0x2 };
enum : uint32_t { SPDRP_HARDWAREID = 0x1, SPDRP_UI_NUMBER = 0x10 };
enum : uint32_t { REG_SZ = 1, REG_DWORD = 4, REG_MULTI_SZ = 7 };

// The errors these calls report besides the common ones (LastError.h).
enum : uint32_t {
    kErrorInvalidData = 13,             // the device has no such property
    kErrorInsufficientBuffer = 122,     // the buffer is too small; the size needed was returned
    kErrorNoMoreItems = 259,            // past the last device
    kErrorInvalidUserBuffer = 1784,     // a record whose cbSize is wrong
};

struct DeviceInfoList;
using HDEVINFO = DeviceInfoList*;
inline constexpr HDEVINFO INVALID_HANDLE_VALUE = nullptr;

struct SP_DEVINFO_DATA {
    uint32_t cbSize;
    Guid ClassGuid;
    uint32_t DevInst;
    uintptr_t Reserved;
};

// The devices of a class as they are now; release with SetupDiDestroyDeviceInfoList.
HDEVINFO SetupDiGetClassDevs(const Guid* classGuid, uint32_t flags);
// The device at index (kErrorNoMoreItems past the last one). data->cbSize must be set.
bool SetupDiEnumDeviceInfo(HDEVINFO list, uint32_t index, SP_DEVINFO_DATA* data);
// A property as bytes (text is UTF-16, a multi-string ends in an empty string). A
// buffer too small (or none) fails with kErrorInsufficientBuffer and gives the size
// needed in *requiredSize.
bool SetupDiGetDeviceRegistryProperty(HDEVINFO list, const SP_DEVINFO_DATA* data, uint32_t property, uint32_t* regType,
                                      uint8_t* buffer, uint32_t bufferSize, uint32_t* requiredSize);
bool SetupDiDestroyDeviceInfoList(HDEVINFO list);

// Tests: how many device lists are built and not yet destroyed.
int OpenDeviceInfoLists();

} // namespace plat
