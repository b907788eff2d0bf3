#pragma once
// Plain state of the devices the information pages and the board diagram list:
// memory modules, firmware, monitors, audio, drives and the storage and USB
// controllers, as loaded from the board file's "devices" section (see
// InventoryLoad.cpp for the fields). DeviceBoard owns it beside the other device
// state and guards it with the same mutex.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "VirtualBoard/Devices/DeviceState.h"
#include "VirtualBoard/UsbBus.h"

namespace vb {

// A filled DIMM slot. Its serial-presence-detect EEPROM answers on the SMBus at
// spdAddress; what the module is (size, type, timings, maker) is read from there.
struct MemoryModuleDef {
    int slot = 0;                         // 0..3
    uint8_t spdAddress = 0x50;
    double capacity = 0;                  // bytes the controller sees when the SPD cannot be read
};

struct BiosState {
    DeviceIdentity id;                    // vendor, version and date of the SMBIOS BIOS record
    std::string version, date;
};

struct MonitorDef {
    DeviceIdentity id;
    std::vector<uint8_t> edid;            // the 128-byte base block the monitor reports
    double width = 0, height = 0, refresh = 0;   // current mode; 0: the EDID's preferred mode
    double dpiX = 96, dpiY = 96;          // logical pixels per inch
};

struct AudioDef {
    DeviceIdentity id;
    std::string driverFile, driverDate;
};

enum class StoragePort { Sata, Ide };

// A drive on one channel of the SATA or IDE controller.
struct DriveDef {
    DeviceIdentity id;
    StoragePort port = StoragePort::Sata;
    int channel = 0;
};

struct DiskDef : DriveDef {
    std::string interfaceType;            // "SATA", "IDE"
    double sectors = 0;                   // 512-byte sectors
    bool identifies = true;               // false: the drive gives no IDENTIFY data
    std::array<uint16_t, 256> identify{}; // ATA IDENTIFY DEVICE words
};

struct StorageControllerState {
    DeviceIdentity id;
    int channels = 0;
};

struct UsbDeviceDef {
    DeviceIdentity id;
    UsbKind kind = UsbKind::Storage;
    int controller = 0;
};

struct InventoryState {
    std::vector<MemoryModuleDef> modules;
    BiosState bios;
    std::vector<MonitorDef> monitors;
    std::vector<AudioDef> audio;
    std::vector<DiskDef> disks;
    std::vector<DriveDef> opticalDrives;
    StorageControllerState sata, ide;
    std::vector<DeviceIdentity> usbControllers;
    // The USB devices as the device library detected them last: the bus may have
    // changed since, and the library sees that only when it looks again (Refresh).
    std::vector<UsbDeviceDef> usbDevices;
};

// The devices on the bus as the device library lists them.
std::vector<UsbDeviceDef> UsbDevicesOf(const std::vector<UsbDevice>& attached);

} // namespace vb
