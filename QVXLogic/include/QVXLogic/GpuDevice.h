#pragma once
// dtGPU. Readings are > 0 when known; a usage below 0 is no reading.
#include "QVXLogic/Device.h"

class QVXLOGIC_API IGPUDevice : public IDevice {
public:
    virtual double GetEngineClock(int level) = 0;        // 10 MHz, level 0 = current
    virtual double GetEngineClockMin() = 0;              // 11
    virtual double GetEngineClockMax() = 0;              // 12
    virtual double GetEngineClockStep() = 0;             // 13
    virtual bool SetEngineClock(double mhz) = 0;         // 14 integrated chips only
    virtual double GetMemoryClock() = 0;                 // 15
    virtual double GetMemoryClockMin() = 0;              // 16
    virtual double GetMemoryClockMax() = 0;              // 17
    virtual double GetMemoryClockStep() = 0;             // 18
    virtual bool SetMemoryClock(double mhz) = 0;         // 19
    virtual int GetEngineClockInt(int which) = 0;        // 20 1 = current, 0 = default
    virtual double GetCoreVoltage() = 0;                 // 21 V, <= 0 not supported
    virtual double GetCoreVoltageMin() = 0;              // 22
    virtual double GetCoreVoltageMax() = 0;              // 23
    virtual double GetCoreVoltageStep() = 0;             // 24
    virtual bool SetCoreVoltage(double volts) = 0;       // 25
    virtual double GetSidePortClock() = 0;               // 26 MHz
    virtual double GetSidePortClockMin() = 0;            // 27
    virtual double GetSidePortClockMax() = 0;            // 28
    virtual double GetSidePortClockStep() = 0;           // 29
    virtual unsigned GetLevelCount() = 0;                // 30 constant for the device's life
    virtual unsigned GetCurrentLevel() = 0;              // 31
    virtual bool GetLevelInfo(GPU_LEVEL_INFO* levels) = 0; // 32 writes GetLevelCount() records
    virtual bool SetSidePortClock(double mhz) = 0;       // 33
    virtual void Reserved34() = 0;                       // 34
    virtual double GetMemoryCapacity() = 0;              // 35 bytes
    virtual double GetMemoryBitWidth() = 0;              // 36 bits
    virtual const VIDEO_BIOS_INFO* GetVideoBIOSInfo() = 0; // 37 null = failure
    virtual unsigned GetSensorCount() = 0;               // 38
    virtual void Reserved39() = 0;                       // 39
    virtual double GetFanSpeed(int sensor, int unit) = 0; // 40 unit 1 = percent
    virtual void Reserved41() = 0;                       // 41
    virtual double GetTemperature(int sensor) = 0;       // 42 deg C, <= 0 not reported
    virtual double GetUsage() = 0;                       // 43 %, < 0 no reading
    virtual double GetBusSpeed() = 0;                    // 44 MHz
    virtual double GetBusLanes() = 0;                    // 45
    virtual double GetMaxBusLanes() = 0;                 // 46
    virtual int GetPowerState() = 0;                     // 47 1..5
    virtual bool IsLoadBalancing() = 0;                  // 48
    virtual bool IsSleepOnTimestamp() = 0;               // 49
    virtual const char16_t* GetDisplayMode() = 0;        // 50
    virtual bool IsIntegrated() = 0;                     // 51
};
