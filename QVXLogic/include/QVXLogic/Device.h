#pragma once
// The common device interface. The order of the virtual operations is the
// interface: slots 0-1 are the destructor, 2-9 are common to every device,
// type-specific operations start at slot 10. Texts are owned by the device.
#include <cstdint>

#include "QVXLogic/Records.h"

class QVXLOGIC_API IDevice {
public:
    virtual ~IDevice();                                  // 0, 1 (probe objects are deleted by their caller)
    virtual const char16_t* GetName() = 0;               // 2
    virtual const char16_t* GetDescription() = 0;        // 3
    virtual const char16_t* GetVendor() = 0;             // 4
    virtual const char16_t* GetTypeName() = 0;           // 5 group word of stored settings
    virtual const char16_t* GetClassName() = 0;          // 6
    virtual QVX_DEVICE_TYPE GetType() = 0;               // 7
    virtual int GetIndex() = 0;                          // 8 equals the manager's index
    virtual unsigned long GetBuildVersion() = 0;         // 9
};

// Devices on the PCI bus share slots 10-15.
class QVXLOGIC_API IPciDevice : public IDevice {
public:
    virtual uint32_t GetVendorID() = 0;                  // 10
    virtual uint32_t GetDeviceID() = 0;                  // 11
    virtual uint32_t GetRevision() = 0;                  // 12
    virtual uint32_t GetBusNumber() = 0;                 // 13
    virtual uint32_t GetDeviceNumber() = 0;              // 14
    virtual uint32_t GetFunctionNumber() = 0;            // 15
};
