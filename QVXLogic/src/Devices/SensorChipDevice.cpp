// The board's sensor chip: fans follow their duty (manual) or their temperature
// (automatic); sensor 0 follows the processor.
#include "Devices/SensorChipDevice.h"

#include <cmath>

#include "Engine/LogCheck.h"

namespace qvx {

namespace {

vb::FanDef* Fan(vb::DeviceBoard& b, int fan)
{
    if (fan < 0 || fan >= static_cast<int>(b.sensors.fans.size()) || !b.sensors.fans[static_cast<size_t>(fan)].present)
        return nullptr;
    return &b.sensors.fans[static_cast<size_t>(fan)];
}

} // namespace

int CSensorChipDevice::GetFanSpeed(int fan)
{
    QVX_LOCK_BOARD;
    return Refuse("GetFanSpeed") ? QVX_NO_READING : b.FanRpm(fan);
}

bool CSensorChipDevice::_ReadFan(int fan, int* out, int vb::FanDef::*field, const char* operation)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(out);
    LOG_PROCESS_ERROR(!Refuse(operation));
    const vb::FanDef* f = Fan(b, fan);
    LOG_PROCESS_ERROR(f);
    *out = f->*field;
    return true;
}

bool CSensorChipDevice::_WriteFan(int fan, int value, int vb::FanDef::*field, const char* operation)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse(operation));
    vb::FanDef* f = Fan(b, fan);
    LOG_PROCESS_ERROR(f);
    LOG_PROCESS_ERROR(f->mode >= fmManual);   // an uncontrollable fan stays so
    if (field == &vb::FanDef::mode)
        LOG_PROCESS_ERROR(value == fmManual || value == fmAutomatic);
    else
        LOG_PROCESS_ERROR(value >= 0 && value <= 100);
    f->*field = value;
    Journal("SC.%s(%d, %d)", operation, fan, value);
    return true;
}

bool CSensorChipDevice::GetFanMode(int fan, int* mode) { return _ReadFan(fan, mode, &vb::FanDef::mode, "GetFanMode"); }
bool CSensorChipDevice::SetFanMode(int fan, int mode) { return _WriteFan(fan, mode, &vb::FanDef::mode, "SetFanMode"); }

int CSensorChipDevice::GetTemperature(int sensor)
{
    QVX_LOCK_BOARD;
    return Refuse("GetTemperature") ? QVX_NO_READING : b.SensorTemperature(sensor);
}

double CSensorChipDevice::GetVoltage(int input)
{
    QVX_LOCK_BOARD;
    if (Refuse("GetVoltage") || input < 0 || input >= static_cast<int>(b.sensors.voltages.size()))
        return 0.0;
    const double v = b.sensors.voltages[static_cast<size_t>(input)];
    return std::isfinite(v) ? v : 0.0;
}

bool CSensorChipDevice::GetFanSpeedPercent(int fan, int* percent)
{
    return _ReadFan(fan, percent, &vb::FanDef::percent, "GetFanSpeedPercent");
}

bool CSensorChipDevice::SetFanSpeedPercent(int fan, int percent)
{
    return _WriteFan(fan, percent, &vb::FanDef::percent, "SetFanSpeedPercent");
}

} // namespace qvx
