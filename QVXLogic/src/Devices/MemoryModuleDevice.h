#pragma once
#include <vector>

#include "Devices/DeviceSupport.h"
#include "Devices/SpdDecoder.h"
#include "QVXLogic/MemoryDevices.h"

namespace qvx {

// One installed memory module. Its SPD bytes are read once, when the module is
// detected (as firmware reads them at power-on); the bus clock is the memory
// controller's, now.
class CMemoryModuleDevice final : public CDevice<IMemoryModuleDevice> {
public:
    // spd: the EEPROM's bytes; null when no EEPROM answers for the slot.
    static std::unique_ptr<CMemoryModuleDevice> Create(int index, const vb::MemoryModuleDef& def,
                                                       const std::vector<uint8_t>* spd);

    double GetCapacity() override;
    int GetMemoryType() override;
    double GetMaxBandwidth() override;
    const char* GetPartNumber() override;
    uint32_t GetSerialNumber() override;
    double GetDataWidth() override;
    double GetBusFrequency() override;
    double GetSlotLocation() override;
    const SPD_INFO* GetSPDInfo() override;

private:
    CMemoryModuleDevice(int index, const vb::DeviceIdentity& id, const vb::MemoryModuleDef& def, bool readable,
                        const SpdModule& module);

    const int m_nSlot;
    const bool m_bReadable;
    const double m_dCapacity;
    const SpdModule m_Module;
};

} // namespace qvx
