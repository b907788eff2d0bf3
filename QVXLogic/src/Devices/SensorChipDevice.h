#pragma once
#include "Devices/DeviceSupport.h"
#include "QVXLogic/SensorChipDevice.h"

namespace qvx {

class CSensorChipDevice final : public CDevice<ISensorChipDevice> {
public:
    explicit CSensorChipDevice(const vb::SensorChipState& sc) : CDevice(dtSensorChip, 0, sc.id, "SC") {}
    int GetFanSpeed(int fan) override;
    bool GetFanMode(int fan, int* mode) override;
    bool SetFanMode(int fan, int mode) override;
    int GetTemperature(int sensor) override;
    double GetVoltage(int input) override;
    bool GetFanSpeedPercent(int fan, int* percent) override;
    bool SetFanSpeedPercent(int fan, int percent) override;

private:
    bool _ReadFan(int fan, int* out, int vb::FanDef::*field, const char* operation);
    bool _WriteFan(int fan, int value, int vb::FanDef::*field, const char* operation);
};

} // namespace qvx
