#pragma once
// Devices the information pages and dialogs list: drives, firmware, monitor,
// audio and the storage and USB controllers. CD-ROM, USB storage, mouse and
// keyboard offer the common operations only.
#include "QVXLogic/Device.h"

class QVXLOGIC_API IHardDiskDevice : public IDevice {
public:
    virtual double GetCapacity() = 0;                    // 10 bytes; NaN: unknown
    virtual double GetSectorSize() = 0;                  // 11
    virtual const char16_t* GetInterfaceType() = 0;      // 12
    virtual const DISK_INFO* GetDiskInfo() = 0;          // 13 null = no identification
};

class QVXLOGIC_API IBIOSDevice : public IDevice {
public:
    virtual const char16_t* GetVersion() = 0;            // 10
    virtual const char16_t* GetDate() = 0;               // 11
};

class QVXLOGIC_API IMonitorDevice : public IDevice {
public:
    virtual double GetScreenWidth() = 0;                 // 10 pixels
    virtual double GetScreenHeight() = 0;                // 11
    virtual double GetMaxWidth() = 0;                    // 12
    virtual double GetMaxHeight() = 0;                   // 13
    virtual double GetRefreshRate() = 0;                 // 14 Hz
    virtual double GetPixelsPerXLogicalInch() = 0;       // 15
    virtual double GetPixelsPerYLogicalInch() = 0;       // 16
};

class QVXLOGIC_API IAudioDevice : public IDevice {
public:
    virtual const char16_t* GetDriverFile() = 0;         // 10
    virtual const char16_t* GetDriverDate() = 0;         // 11
};

// dtSATAController, dtIDEController.
class QVXLOGIC_API IStorageControllerDevice : public IPciDevice {
public:
    virtual unsigned GetChannelCount() = 0;                       // 16 channels
    virtual const CHANNEL_INFO* GetChannelDevices(unsigned channel) = 0; // 17 null = failure
};

// dtUSBController.
class QVXLOGIC_API IUSBControllerDevice : public IPciDevice {
public:
    virtual unsigned GetChannelCount() = 0;              // 16 devices behind the controller
    virtual bool GetChildDevice(unsigned i, QVX_DEVICE_TYPE* type, unsigned long* index) = 0; // 17
};
