// What the device manager finds on the board: one object per device, indexes of
// one type contiguous from 0 in the order below.
#include "QVXLogic/DeviceManager.h"

#include <algorithm>

#include "Devices/ChipsetDevices.h"
#include "Devices/ClockGeneratorDevice.h"
#include "Devices/ControllerDevices.h"
#include "Devices/CpuDevice.h"
#include "Devices/GpuDevice.h"
#include "Devices/InventoryDevices.h"
#include "Devices/MemoryControllerDevice.h"
#include "Devices/MemoryModuleDevice.h"
#include "Devices/PowerDevices.h"
#include "Devices/SensorChipDevice.h"
#include "VirtualBoard/Smbus.h"
#include "VirtualBoard/UsbBus.h"

namespace {

using Found = std::vector<std::unique_ptr<IDevice>>;

void DetectPerformanceDevices(const vb::DeviceBoard& b, Found& found)
{
    if (b.cpu.id.present)
        for (int core = 0; core < b.cpu.cores; ++core)
            found.push_back(std::make_unique<qvx::CCpuDevice>(core, b.cpu));
    if (b.ht.id.present)
        found.push_back(std::make_unique<qvx::CHTLinkDevice>(b.ht));
    if (b.mc.id.present)
        found.push_back(std::make_unique<qvx::CMemoryControllerDevice>(b.mc));
    int gpu = 0;
    for (const vb::GpuState& g : b.gpus)
        if (g.id.present)
            found.push_back(std::make_unique<qvx::CGpuDevice>(gpu++, g));
    if (b.clock.id.present)
        found.push_back(std::make_unique<qvx::CClockGeneratorDevice>(b.clock));
    if (b.pwm.id.present)
        found.push_back(std::make_unique<qvx::CPWMControllerDevice>(b.pwm));
    if (b.pwm2.id.present)
        found.push_back(std::make_unique<qvx::CPWMController2Device>(b.pwm2));
    if (b.nb.id.present)
        found.push_back(std::make_unique<qvx::CNorthBridgeDevice>(b.nb));
    if (b.sb.id.present)
        found.push_back(std::make_unique<qvx::CSouthBridgeDevice>(b.sb));
    if (b.sensors.id.present)
        found.push_back(std::make_unique<qvx::CSensorChipDevice>(b.sensors));
}

// Disks and optical drives, and the channel lists of the two storage controllers.
void DetectDrives(const vb::InventoryState& inv, Found& found)
{
    std::vector<std::vector<CHANNEL_DEVICE>> channels[2];   // SATA, IDE
    channels[0].resize(static_cast<size_t>(std::max(inv.sata.channels, 0)));
    channels[1].resize(static_cast<size_t>(std::max(inv.ide.channels, 0)));
    const auto attach = [&](const vb::DriveDef& d, QVX_DEVICE_TYPE type, int index) {
        auto& on = channels[d.port == vb::StoragePort::Ide ? 1 : 0];
        if (d.channel >= 0 && static_cast<size_t>(d.channel) < on.size())
            on[static_cast<size_t>(d.channel)].push_back({static_cast<uint32_t>(type), static_cast<uint32_t>(index)});
    };
    int disk = 0, optical = 0;
    for (const vb::DiskDef& d : inv.disks)
        if (d.id.present) {
            attach(d, dtHardDisk, disk);
            found.push_back(std::make_unique<qvx::CHardDiskDevice>(disk++, d));
        }
    for (const vb::DriveDef& d : inv.opticalDrives)
        if (d.id.present) {
            attach(d, dtCDROM, optical);
            found.push_back(std::make_unique<qvx::CPlainDevice>(dtCDROM, optical++, d.id, "CDROM"));
        }
    if (inv.sata.id.present)
        found.push_back(std::make_unique<qvx::CStorageControllerDevice>(dtSATAController, inv.sata, channels[0]));
    if (inv.ide.id.present)
        found.push_back(std::make_unique<qvx::CStorageControllerDevice>(dtIDEController, inv.ide, channels[1]));
}

// The USB controllers and, as the bus holds them now, the devices behind them.
void DetectUsb(vb::InventoryState& inv, const std::vector<vb::UsbDevice>& attached, Found& found)
{
    int controllers = 0;
    for (const vb::DeviceIdentity& id : inv.usbControllers)
        if (id.present)
            found.push_back(std::make_unique<qvx::CUSBControllerDevice>(controllers++, id));
    inv.usbDevices = vb::UsbDevicesOf(attached);
    for (const qvx::UsbChild& c : qvx::UsbChildren(inv, controllers)) {
        const char* tag = c.type == dtMouse      ? "Mouse"
                          : c.type == dtKeyboard ? "Keyboard"
                          : c.type == dtCDROM    ? "CDROM"
                                                 : "USBStorage";
        found.push_back(std::make_unique<qvx::CPlainDevice>(c.type, static_cast<int>(c.index),
                                                            inv.usbDevices[c.device].id, tag));
    }
}

} // namespace

bool CDeviceManager::_Detect(std::vector<std::unique_ptr<IDevice>>& found)
{
    // The machine before the board, the order in which every model of the board
    // takes the two: the SPD bytes and the USB bus are the machine's.
    vb::Machine& machine = vb::Machine::Instance();
    std::lock_guard<std::recursive_mutex> machineLock(machine.Mutex());
    const std::vector<vb::UsbDevice> attached = machine.Get<vb::UsbBus>().Attached();
    vb::Smbus& smbus = machine.Get<vb::Smbus>();
    vb::DeviceBoard& b = qvx::Board();
    auto lock = b.Lock();

    DetectPerformanceDevices(b, found);
    vb::InventoryState& inv = b.inventory;
    int module = 0;
    for (const vb::MemoryModuleDef& m : inv.modules) {
        const vb::SmbusDevice* eeprom = smbus.Device(m.spdAddress);
        found.push_back(qvx::CMemoryModuleDevice::Create(module++, m, eeprom ? &eeprom->Bytes() : nullptr));
    }
    if (inv.bios.id.present)
        found.push_back(std::make_unique<qvx::CBIOSDevice>(inv.bios));
    int monitor = 0;
    for (const vb::MonitorDef& m : inv.monitors)
        if (m.id.present)
            found.push_back(qvx::CMonitorDevice::Create(monitor++, m));
    int audio = 0;
    for (const vb::AudioDef& a : inv.audio)
        if (a.id.present)
            found.push_back(std::make_unique<qvx::CAudioDevice>(audio++, a));
    DetectDrives(inv, found);
    DetectUsb(inv, attached, found);
    return true;
}
