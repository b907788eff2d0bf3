#include "Devices/ControllerDevices.h"

#include <algorithm>
#include <string>

#include "Engine/LogCheck.h"

namespace qvx {

QVX_DEVICE_TYPE UsbDeviceType(vb::UsbKind kind)
{
    switch (kind) {
    case vb::UsbKind::Mouse: return dtMouse;
    case vb::UsbKind::Keyboard: return dtKeyboard;
    case vb::UsbKind::Optical: return dtCDROM;
    case vb::UsbKind::Storage: break;
    }
    return dtUSBStorage;
}

std::vector<UsbChild> UsbChildren(const vb::InventoryState& inventory, int controllers)
{
    std::vector<UsbChild> out;
    unsigned long counts[4] = {};
    // Optical drives on USB are numbered after those on the storage controllers.
    counts[static_cast<int>(vb::UsbKind::Optical)] = static_cast<unsigned long>(std::count_if(
        inventory.opticalDrives.begin(), inventory.opticalDrives.end(), [](const vb::DriveDef& d) { return d.id.present; }));
    for (size_t i = 0; i < inventory.usbDevices.size(); ++i) {
        const vb::UsbDeviceDef& d = inventory.usbDevices[i];
        if (d.controller < 0 || d.controller >= controllers)
            continue;
        out.push_back({UsbDeviceType(d.kind), counts[static_cast<int>(d.kind)]++, d.controller, i});
    }
    return out;
}

namespace {

std::string ChannelName(QVX_DEVICE_TYPE type, int channel)
{
    if (type == dtSATAController)
        return "Port " + std::to_string(channel);
    if (channel < 2)
        return channel == 0 ? "Primary Channel" : "Secondary Channel";
    return "Channel " + std::to_string(channel);
}

} // namespace

CStorageControllerDevice::CStorageControllerDevice(QVX_DEVICE_TYPE type, const vb::StorageControllerState& state,
                                                   const std::vector<std::vector<CHANNEL_DEVICE>>& drives)
    : CPciDevice(type, 0, state.id, type == dtSATAController ? "SATA" : "IDE")
{
    for (int c = 0; c < state.channels; ++c) {
        CHANNEL_INFO channel{};
        const std::u16string name = ToU16(ChannelName(type, c));
        std::copy_n(name.begin(), std::min<size_t>(name.size(), 255), channel.szName);
        if (static_cast<size_t>(c) < drives.size()) {
            const std::vector<CHANNEL_DEVICE>& on = drives[static_cast<size_t>(c)];
            channel.uDeviceCount = static_cast<uint32_t>(std::min<size_t>(on.size(), QVX_MAX_CHANNEL_DEVICES));
            std::copy_n(on.begin(), channel.uDeviceCount, channel.aDevices);
        }
        m_Channels.push_back(channel);
    }
}

unsigned CStorageControllerDevice::GetChannelCount()
{
    auto lock = LockBoard();
    return static_cast<unsigned>(m_Channels.size());
}

const CHANNEL_INFO* CStorageControllerDevice::GetChannelDevices(unsigned channel)
{
    auto lock = LockBoard();
    LOG_PROCESS_ERROR_RET(channel < m_Channels.size(), nullptr);
    LOG_PROCESS_ERROR_RET(!Refuse("GetChannelDevices"), nullptr);
    return &m_Channels[channel];
}

std::vector<UsbChild> CUSBControllerDevice::_Children(const vb::DeviceBoard& b) const
{
    const int controllers = static_cast<int>(std::count_if(b.inventory.usbControllers.begin(),
                                                           b.inventory.usbControllers.end(),
                                                           [](const vb::DeviceIdentity& id) { return id.present; }));
    std::vector<UsbChild> mine = UsbChildren(b.inventory, controllers);
    mine.erase(std::remove_if(mine.begin(), mine.end(), [this](const UsbChild& c) { return c.controller != m_nIndex; }),
               mine.end());
    return mine;
}

unsigned CUSBControllerDevice::GetChannelCount()
{
    QVX_LOCK_BOARD;
    return static_cast<unsigned>(_Children(b).size());
}

bool CUSBControllerDevice::GetChildDevice(unsigned i, QVX_DEVICE_TYPE* type, unsigned long* index)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(type && index);
    LOG_PROCESS_ERROR(!Refuse("GetChildDevice"));
    const std::vector<UsbChild> children = _Children(b);
    LOG_PROCESS_ERROR(i < children.size());
    *type = children[i].type;
    *index = children[i].index;
    return true;
}

} // namespace qvx
