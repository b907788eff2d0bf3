#pragma once
// Shared by the device-library tests: the manager started on the current board
// (optionally a board file from the fixtures) and typed device look-ups.
#include <QString>

#include <gtest/gtest.h>

#include "QVXLogic/QVXLogic.h"
#include "VirtualBoard/Machine.h"

namespace test {

// Loads tests/fixtures/boards/<name>.json or VirtualBoard/boards/<name>.json.
bool LoadBoard(const char* name);

class QvxTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Restarts the manager on another board.
    void UseBoard(const char* name);

    static ICPUDevice* Cpu(unsigned long i = 0) { return QvxGetDevice<ICPUDevice>(dtCPU, i); }
    static IClockGeneratorDevice* Clock() { return QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0); }
    static IHTLinkDevice* Link() { return QvxGetDevice<IHTLinkDevice>(dtHTLink, 0); }
    static INorthBridgeDevice* NB() { return QvxGetDevice<INorthBridgeDevice>(dtNorthBridge, 0); }
    static ISouthBridgeDevice* SB() { return QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0); }
    static IPWMControllerDevice* Pwm() { return QvxGetDevice<IPWMControllerDevice>(dtPWMController, 0); }
    static IPWMController2Device* Pwm2() { return QvxGetDevice<IPWMController2Device>(dtPWMController2, 0); }
    static ISensorChipDevice* Sensors() { return QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0); }
    static IGPUDevice* Gpu(unsigned long i = 0) { return QvxGetDevice<IGPUDevice>(dtGPU, i); }
    static IMemoryControllerDevice* MC() { return QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0); }
    static IMemoryModuleDevice* Module(unsigned long i) { return QvxGetDevice<IMemoryModuleDevice>(dtMemory, i); }
    static IBIOSDevice* Bios() { return QvxGetDevice<IBIOSDevice>(dtBIOS, 0); }
    static IMonitorDevice* Monitor() { return QvxGetDevice<IMonitorDevice>(dtMonitor, 0); }
    static IAudioDevice* Audio() { return QvxGetDevice<IAudioDevice>(dtAudio, 0); }
    static IHardDiskDevice* Disk(unsigned long i = 0) { return QvxGetDevice<IHardDiskDevice>(dtHardDisk, i); }
    static IStorageControllerDevice* Sata() { return QvxGetDevice<IStorageControllerDevice>(dtSATAController, 0); }
    static IStorageControllerDevice* Ide() { return QvxGetDevice<IStorageControllerDevice>(dtIDEController, 0); }
    static IUSBControllerDevice* Usb(unsigned long i) { return QvxGetDevice<IUSBControllerDevice>(dtUSBController, i); }
};

// Journal lines of the device library, in order, without the "qvx: " prefix.
std::vector<std::string> QvxJournal();
QString Str(const char16_t* text);

} // namespace test
