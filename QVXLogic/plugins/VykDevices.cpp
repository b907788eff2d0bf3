// The device probe plug-in of this library's simulated devices: one class per
// device class name the simulated boards use, so the Device List page finds
// each class that has devices on the board it runs on.
#include "Devices/TypeNames.h"
#include "QVXLogic/DevicePlugin.h"

namespace {

struct DeviceClass {
    QVX_DEVICE_TYPE type;
    const char16_t* className;
};

const DeviceClass kClasses[] = {
    {dtCPU, u"Vyk Family 10h Processor"},
    {dtCPU, u"Vyk Family 11h Processor"},
    {dtHTLink, u"Vyk HyperTransport Link"},
    {dtMemoryController, u"Vyk DDR Memory Controller"},
    {dtMemoryController, u"Vyk DDR2 Memory Controller"},
    {dtMemoryController, u"Vyk DDR3 Memory Controller"},
    {dtMemoryController, QVX_MC_CLASS_INTERNAL},
    {dtGPU, u"Vyk Integrated Graphics"},
    {dtGPU, u"Vyk Graphics"},
    {dtMemory, u"Memory Module"},
    {dtHardDisk, u"Disk Drive"},
    {dtBIOS, u"System BIOS"},
    {dtMonitor, u"Plug and Play Monitor"},
    {dtAudio, u"High Definition Audio"},
    {dtClockGenerator, u"Vyk Clock Generator"},
    {dtPWMController, u"PWMController"},
    {dtPWMController, u"Vyk Voltage Regulator"},
    {dtPWMController2, u"PWMController2"},
    {dtPWMController2, u"Vyk Voltage Controller"},
    {dtNorthBridge, u"Vyk 790 Series Northbridge"},
    {dtNorthBridge, u"Vyk North Bridge"},
    {dtSouthBridge, u"Vyk MX350 Series Chipset"},
    {dtSouthBridge, QVX_SB_CLASS_MX310},
    {dtSouthBridge, u"Vyk South Bridge"},
    {dtSensorChip, u"Vyk Sensor Chip"},
    {dtSATAController, u"SATA AHCI Controller"},
    {dtIDEController, u"IDE Controller"},
    {dtUSBController, u"USB Host Controller"},
    {dtCDROM, u"CD/DVD Drive"},
    {dtUSBStorage, u"USB Mass Storage"},
    {dtMouse, u"USB Mouse"},
    {dtKeyboard, u"USB Keyboard"},
};

// A probe stands for its class, not for a device: it touches no hardware.
class CProbe final : public IDevice {
public:
    explicit CProbe(const DeviceClass& c) : m_Class(c) {}
    ~CProbe() override = default;
    const char16_t* GetName() override { return m_Class.className; }
    const char16_t* GetDescription() override { return m_Class.className; }
    const char16_t* GetVendor() override { return u"Vyk"; }
    const char16_t* GetTypeName() override { return qvx::TypeName(m_Class.type); }
    const char16_t* GetClassName() override { return m_Class.className; }
    QVX_DEVICE_TYPE GetType() override { return m_Class.type; }
    int GetIndex() override { return 0; }
    unsigned long GetBuildVersion() override { return qvx::kBuildVersion; }

private:
    const DeviceClass m_Class;
};

} // namespace

extern "C" QVXLOGIC_API unsigned GetDeviceClassCount() { return sizeof kClasses / sizeof kClasses[0]; }

extern "C" QVXLOGIC_API IDevice* CreateDevice(unsigned index)
{
    return index < GetDeviceClassCount() ? new CProbe(kClasses[index]) : nullptr;
}
