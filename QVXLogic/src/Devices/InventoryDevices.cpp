#include "Devices/InventoryDevices.h"

#include <limits>

#include "Devices/DiskIdentify.h"
#include "Devices/Edid.h"
#include "Engine/LogCheck.h"

namespace qvx {

CBIOSDevice::CBIOSDevice(const vb::BiosState& bios)
    : CDevice(dtBIOS, 0, bios.id, "BIOS"), m_Version(ToU16(bios.version)), m_Date(ToU16(bios.date))
{
}

const char16_t* CBIOSDevice::GetVersion() { return Counted(m_Version); }

const char16_t* CBIOSDevice::GetDate() { return Counted(m_Date); }

std::unique_ptr<CMonitorDevice> CMonitorDevice::Create(int index, const vb::MonitorDef& def)
{
    EdidInfo edid;
    if (!DecodeEdid(def.edid, &edid))
        g_Log.Write(ltWarning, "QVXLogic: monitor %d reports no usable EDID\n", index);
    vb::DeviceIdentity id = def.id;
    if (id.name.empty())
        id.name = edid.name.empty() ? "Generic Monitor" : edid.name;
    if (id.vendor.empty())
        id.vendor = edid.maker;
    Modes m{def.width, def.height, edid.width, edid.height, def.refresh, def.dpiX, def.dpiY};
    if (m.width <= 0 || m.height <= 0) {            // no mode set: the monitor's own
        m.width = edid.width;
        m.height = edid.height;
    }
    if (m.refresh <= 0)
        m.refresh = edid.refresh;
    if (m.maxWidth <= 0 || m.maxHeight <= 0) {
        m.maxWidth = m.width;
        m.maxHeight = m.height;
    }
    return std::unique_ptr<CMonitorDevice>(new CMonitorDevice(index, id, m));
}

CMonitorDevice::CMonitorDevice(int index, const vb::DeviceIdentity& id, const Modes& modes)
    : CDevice(dtMonitor, index, id, "Monitor"), m_Modes(modes)
{
}

double CMonitorDevice::_Read(double Modes::*field)
{
    auto lock = LockBoard();
    return m_Modes.*field;
}

double CMonitorDevice::GetScreenWidth() { return _Read(&Modes::width); }
double CMonitorDevice::GetScreenHeight() { return _Read(&Modes::height); }
double CMonitorDevice::GetMaxWidth() { return _Read(&Modes::maxWidth); }
double CMonitorDevice::GetMaxHeight() { return _Read(&Modes::maxHeight); }
double CMonitorDevice::GetRefreshRate() { return _Read(&Modes::refresh); }
double CMonitorDevice::GetPixelsPerXLogicalInch() { return _Read(&Modes::dpiX); }
double CMonitorDevice::GetPixelsPerYLogicalInch() { return _Read(&Modes::dpiY); }

CAudioDevice::CAudioDevice(int index, const vb::AudioDef& def)
    : CDevice(dtAudio, index, def.id, "Audio"), m_DriverFile(ToU16(def.driverFile)), m_DriverDate(ToU16(def.driverDate))
{
}

const char16_t* CAudioDevice::GetDriverFile() { return Counted(m_DriverFile); }

const char16_t* CAudioDevice::GetDriverDate() { return Counted(m_DriverDate); }

CHardDiskDevice::CHardDiskDevice(int index, const vb::DiskDef& def)
    : CDevice(dtHardDisk, index, def.id, "Disk"), m_Interface(ToU16(def.interfaceType)),
      m_dSectors(std::numeric_limits<double>::quiet_NaN())
{
    // The drive's size is what it says in its IDENTIFY data, and nothing else.
    if (def.identifies) {
        m_bHasInfo = DecodeIdentify(def.identify, &m_Info);
        if (m_bHasInfo)
            m_dSectors = m_Info.dSectorTotal;
    }
}

double CHardDiskDevice::GetCapacity()
{
    auto lock = LockBoard();
    return m_dSectors * 512;
}

double CHardDiskDevice::GetSectorSize()
{
    auto lock = LockBoard();
    return 512;
}

const char16_t* CHardDiskDevice::GetInterfaceType() { return Counted(m_Interface); }

const DISK_INFO* CHardDiskDevice::GetDiskInfo()
{
    auto lock = LockBoard();
    if (!m_bHasInfo || Refuse("GetDiskInfo"))
        return nullptr;
    return &m_Info;
}

} // namespace qvx
