#pragma once
// The storage controllers with the drives on their channels, and the USB
// controllers with the devices behind them, each named as (type, index) for
// CDeviceManager::GetDevice.
#include <vector>

#include "Devices/DeviceSupport.h"
#include "QVXLogic/InventoryDevices.h"

namespace qvx {

QVX_DEVICE_TYPE UsbDeviceType(vb::UsbKind kind);

struct UsbChild {
    QVX_DEVICE_TYPE type;
    unsigned long index;          // among the devices of that type
    int controller;
    size_t device;                // position in the inventory's USB devices
};
// The USB devices as the library lists them, in order; a device on a controller
// the board does not have is not seen.
std::vector<UsbChild> UsbChildren(const vb::InventoryState& inventory, int controllers);

// dtSATAController or dtIDEController. The drives do not change while the board
// runs, so the channel records are made once.
class CStorageControllerDevice final : public CPciDevice<IStorageControllerDevice> {
public:
    // drives: per channel, the (type, index) pairs of its drives.
    CStorageControllerDevice(QVX_DEVICE_TYPE type, const vb::StorageControllerState& state,
                             const std::vector<std::vector<CHANNEL_DEVICE>>& drives);
    unsigned GetChannelCount() override;
    const CHANNEL_INFO* GetChannelDevices(unsigned channel) override;

private:
    std::vector<CHANNEL_INFO> m_Channels;
};

// dtUSBController: its children follow the USB devices the library detected last.
class CUSBControllerDevice final : public CPciDevice<IUSBControllerDevice> {
public:
    CUSBControllerDevice(int index, const vb::DeviceIdentity& id) : CPciDevice(dtUSBController, index, id, "USB") {}
    unsigned GetChannelCount() override;
    bool GetChildDevice(unsigned i, QVX_DEVICE_TYPE* type, unsigned long* index) override;

private:
    std::vector<UsbChild> _Children(const vb::DeviceBoard& b) const;
};

} // namespace qvx
