#pragma once
// Firmware, monitors, audio devices and drives: what they report does not change
// while they exist, so each is read once when the device is detected; every
// reading still goes through the board like any other.
#include <memory>
#include <string>

#include "Devices/DeviceSupport.h"
#include "QVXLogic/InventoryDevices.h"

namespace qvx {

class CBIOSDevice final : public CDevice<IBIOSDevice> {
public:
    explicit CBIOSDevice(const vb::BiosState& bios);
    const char16_t* GetVersion() override;
    const char16_t* GetDate() override;

private:
    const std::u16string m_Version, m_Date;
};

class CMonitorDevice final : public CDevice<IMonitorDevice> {
public:
    // Name, maker and the largest mode come from the monitor's EDID.
    static std::unique_ptr<CMonitorDevice> Create(int index, const vb::MonitorDef& def);
    double GetScreenWidth() override;
    double GetScreenHeight() override;
    double GetMaxWidth() override;
    double GetMaxHeight() override;
    double GetRefreshRate() override;
    double GetPixelsPerXLogicalInch() override;
    double GetPixelsPerYLogicalInch() override;

private:
    struct Modes {
        double width, height, maxWidth, maxHeight, refresh, dpiX, dpiY;
    };
    CMonitorDevice(int index, const vb::DeviceIdentity& id, const Modes& modes);
    double _Read(double Modes::*field);
    const Modes m_Modes;
};

class CAudioDevice final : public CDevice<IAudioDevice> {
public:
    CAudioDevice(int index, const vb::AudioDef& def);
    const char16_t* GetDriverFile() override;
    const char16_t* GetDriverDate() override;

private:
    const std::u16string m_DriverFile, m_DriverDate;
};

// A disk drive: its identification record is decoded from the drive's IDENTIFY
// words; a drive that gives none, or damaged ones, has no record and no capacity.
class CHardDiskDevice final : public CDevice<IHardDiskDevice> {
public:
    CHardDiskDevice(int index, const vb::DiskDef& def);
    double GetCapacity() override;
    double GetSectorSize() override;
    const char16_t* GetInterfaceType() override;
    const DISK_INFO* GetDiskInfo() override;

private:
    const std::u16string m_Interface;
    DISK_INFO m_Info{};
    bool m_bHasInfo = false;
    double m_dSectors;
};

// Optical drives, USB storage, mice and keyboards: the common operations only.
class CPlainDevice final : public CDevice<IDevice> {
public:
    CPlainDevice(QVX_DEVICE_TYPE type, int index, const vb::DeviceIdentity& id, const char* tag)
        : CDevice(type, index, id, tag) {}
};

} // namespace qvx
