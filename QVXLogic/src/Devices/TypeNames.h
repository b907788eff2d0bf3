#pragma once
// What the devices of this library and its probe plug-in report alike: the type
// word (IDevice::GetTypeName) of each device type, the group under which stored
// settings of the device live; and the build version.
#include "QVXLogic/Types.h"

namespace qvx {

// Build version every device of this library reports.
constexpr unsigned long kBuildVersion = 0x00010000;

constexpr const char16_t* TypeName(QVX_DEVICE_TYPE type)
{
    switch (type) {
    case dtCPU: return u"CPU";
    case dtHTLink: return u"HTLink";
    case dtMemoryController: return u"MemoryController";
    case dtGPU: return u"GPU";
    case dtMemory: return u"Memory";
    case dtHardDisk: return u"HardDisk";
    case dtBIOS: return u"BIOS";
    case dtMonitor: return u"Monitor";
    case dtAudio: return u"Audio";
    case dtClockGenerator: return u"ClockGen";
    case dtPWMController: return u"PWMController";
    case dtPWMController2: return u"PWMController2";
    case dtNorthBridge: return u"NorthBridge";
    case dtSouthBridge: return u"SouthBridge";
    case dtSensorChip: return u"SensorChip";
    case dtSATAController: return u"SATAController";
    case dtIDEController: return u"IDEController";
    case dtUSBController: return u"USBController";
    case dtCDROM: return u"CDROM";
    case dtUSBStorage: return u"USBStorage";
    case dtMouse: return u"Mouse";
    case dtKeyboard: return u"Keyboard";
    }
    return u"";
}

} // namespace qvx
