#pragma once
// dtSensorChip: board temperatures, voltages and three fans (fan i belongs to
// temperature sensor i). Integer readings use -9999 for "no reading"; a voltage
// of exactly 0.0 is no reading.
#include "QVXLogic/Device.h"

class QVXLOGIC_API ISensorChipDevice : public IDevice {
public:
    virtual int GetFanSpeed(int fan) = 0;                        // 10 rpm
    virtual bool GetFanMode(int fan, int* mode) = 0;             // 11 < 2 not controllable, 2 manual, 3 auto
    virtual bool SetFanMode(int fan, int mode) = 0;              // 12
    virtual int GetTemperature(int sensor) = 0;                  // 13 deg C
    virtual double GetVoltage(int input) = 0;                    // 14 V
    virtual bool GetFanSpeedPercent(int fan, int* percent) = 0;  // 15
    virtual bool SetFanSpeedPercent(int fan, int percent) = 0;   // 16
};
