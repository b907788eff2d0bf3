#include "Devices/MemoryModuleDevice.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "Engine/LogCheck.h"

namespace qvx {

namespace {

// What only the SPD data tell (speed, width) is unknown without them.
constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

} // namespace

std::unique_ptr<CMemoryModuleDevice> CMemoryModuleDevice::Create(int index, const vb::MemoryModuleDef& def,
                                                                 const std::vector<uint8_t>* spd)
{
    SpdModule module;
    const bool readable = spd && DecodeSpd(*spd, &module);
    if (!readable)
        g_Log.Write(ltWarning, "QVXLogic: the SPD data of the module in slot %d cannot be read\n", def.slot);
    vb::DeviceIdentity id;
    id.present = true;
    id.className = "Memory Module";
    if (readable) {
        const SPD_INFO& s = module.info;
        // A size the data leave unknown is left out, not written as "nan MB".
        char description[96];
        if (std::isfinite(s.dCapacity))
            std::snprintf(description, sizeof description, "%.0f MB %s DIMM", s.dCapacity / 1048576,
                          MemoryTypeText(s.nMemoryType));
        else
            std::snprintf(description, sizeof description, "%s DIMM", MemoryTypeText(s.nMemoryType));
        id.name = s.szPartNumber[0] ? s.szPartNumber : "Memory Module";
        id.description = description;
        id.vendor = s.szManufacturer;
    } else {
        id.name = "Memory Module";
        id.description = "DIMM";
    }
    return std::unique_ptr<CMemoryModuleDevice>(new CMemoryModuleDevice(index, id, def, readable, module));
}

CMemoryModuleDevice::CMemoryModuleDevice(int index, const vb::DeviceIdentity& id, const vb::MemoryModuleDef& def,
                                         bool readable, const SpdModule& module)
    : CDevice(dtMemory, index, id, "Memory"), m_nSlot(def.slot), m_bReadable(readable),
      m_dCapacity(readable ? module.info.dCapacity : def.capacity), m_Module(module)
{
}

double CMemoryModuleDevice::GetCapacity()
{
    auto lock = LockBoard();
    return m_dCapacity;
}

int CMemoryModuleDevice::GetMemoryType()
{
    QVX_LOCK_BOARD;
    return m_bReadable ? m_Module.info.nMemoryType : b.mc.type;
}

double CMemoryModuleDevice::GetMaxBandwidth()
{
    auto lock = LockBoard();
    return m_bReadable ? m_Module.info.dMaxBandwidth : kUnknown;
}

const char* CMemoryModuleDevice::GetPartNumber()
{
    auto lock = LockBoard();
    return m_Module.info.szPartNumber;
}

uint32_t CMemoryModuleDevice::GetSerialNumber()
{
    auto lock = LockBoard();
    return m_Module.info.uSerialNumber;
}

double CMemoryModuleDevice::GetDataWidth()
{
    auto lock = LockBoard();
    return m_bReadable ? m_Module.dataWidth : kUnknown;
}

double CMemoryModuleDevice::GetBusFrequency()
{
    QVX_LOCK_BOARD;
    return b.MemClkMHz();
}

double CMemoryModuleDevice::GetSlotLocation()
{
    auto lock = LockBoard();
    return m_nSlot;
}

const SPD_INFO* CMemoryModuleDevice::GetSPDInfo()
{
    auto lock = LockBoard();
    if (!m_bReadable || Refuse("GetSPDInfo"))
        return nullptr;
    return &m_Module.info;
}

} // namespace qvx
