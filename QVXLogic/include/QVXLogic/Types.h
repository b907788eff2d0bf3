#pragma once
// Device types, codes and constants shared by the device library and the program.
#include <cstdint>

#define QVXLOGIC_API __attribute__((visibility("default")))

// Travels as 32 bits inside records; 5, 13 and 14 are not used.
enum QVX_DEVICE_TYPE : int32_t {
    dtCPU = 0,              // one per core
    dtHTLink = 1,
    dtMemoryController = 2,
    dtGPU = 3,
    dtMemory = 4,           // one per installed module
    dtHardDisk = 6,
    dtBIOS = 7,
    dtMonitor = 8,
    dtAudio = 9,
    dtClockGenerator = 10,
    dtPWMController = 11,   // six fixed rails
    dtPWMController2 = 12,  // named channels
    dtNorthBridge = 15,
    dtSouthBridge = 16,     // with its hardware monitor
    dtSensorChip = 17,
    dtSATAController = 18,
    dtIDEController = 19,
    dtUSBController = 20,
    dtCDROM = 21,
    dtUSBStorage = 22,
    dtMouse = 23,
    dtKeyboard = 24,
};

// JEDEC fundamental memory types.
enum QVX_MEMORY_TYPE : int32_t {
    mtReserved = 0,
    mtFPM = 1,
    mtEDO = 2,
    mtPipelinedNibble = 3,
    mtSDRAM = 4,
    mtROM = 5,
    mtDDR_SGRAM = 6,
    mtDDR_SDRAM = 7,
    mtDDR2_SDRAM = 8,
    mtDDR3_SDRAM = 11,
};

// Sensor-chip fan modes: below fmManual the fan cannot be controlled.
enum QVX_FAN_MODE : int32_t { fmManual = 2, fmAutomatic = 3 };

enum TEST_CASE_TYPE : int32_t {
    tctInvalid = 0,
    tctCPU = 1,
    tctFPU = 2,
    tctGPU = 3,
    tctMCA = 4,
    tctCalculation = 5,
    tctMemory = 6,
    tctGPUStream = 7,
    tctTotal = 8,
};

// Error codes of the stability test cases; valid codes lie in 1..27.
enum ERROR_MESSAGE_CODE : int32_t {
    emcInvalid = 0,
    emcUnexpectedResult = 1,
    emcHardwareFailure = 8,
    emcCalculationError = 22,
    emcMCAError = 23,
    emcTotal = 28,
};

// Tuner status values.
enum SYSTEM_TUNE_STATUS : int32_t { stsFailed = 0, stsIdle = 1, stsTuning = 2, stsFinished = 3 };

// Missing sensor-chip readings (integer readings); the south bridge reports
// the same value as a double.
constexpr int QVX_NO_READING = -9999;

// Fixed texts the pages compare with.
#define QVX_CPU_VENDOR u"AuthenticVyk"
#define QVX_CPU_CLASS_FAMILY10H u"Vyk Family 10h Processor"
#define QVX_SB_NAME_MX350 u"Vyk MX350 Chipset"
#define QVX_SB_CLASS_MX310 u"MX310 Series Chipset"
#define QVX_MC_CLASS_INTERNAL u"Internal DDR2 DDR3 Memory Controller"
// GetInfoString2 is the Engine's revision name (g_GetCPURevision), so its two-letter
// family codes are the Engine's.
