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

bool CSensorChipDevice::GetFanMode(int fan, int* mode)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(mode);
    LOG_PROCESS_ERROR(!Refuse("GetFanMode"));
    const vb::FanDef* f = Fan(b, fan);
    LOG_PROCESS_ERROR(f);
    *mode = f->mode;
    return true;
}

bool CSensorChipDevice::SetFanMode(int fan, int mode)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetFanMode"));
    vb::FanDef* f = Fan(b, fan);
    LOG_PROCESS_ERROR(f);
    LOG_PROCESS_ERROR(f->mode >= fmManual);   // an uncontrollable fan stays so
    LOG_PROCESS_ERROR(mode == fmManual || mode == fmAutomatic);
    f->mode = mode;
    Journal("SC.SetFanMode(%d, %d)", fan, mode);
    return true;
}

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
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(percent);
    LOG_PROCESS_ERROR(!Refuse("GetFanSpeedPercent"));
    const vb::FanDef* f = Fan(b, fan);
    LOG_PROCESS_ERROR(f);
    *percent = f->percent;
    return true;
}

bool CSensorChipDevice::SetFanSpeedPercent(int fan, int percent)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetFanSpeedPercent"));
    vb::FanDef* f = Fan(b, fan);
    LOG_PROCESS_ERROR(f);
    LOG_PROCESS_ERROR(f->mode >= fmManual);
    LOG_PROCESS_ERROR(percent >= 0 && percent <= 100);
    f->percent = percent;
    Journal("SC.SetFanSpeedPercent(%d, %d)", fan, percent);
    return true;
}

} // namespace qvx
