// How the devices' readings follow writes.
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Processor.h"

#include <algorithm>
#include <cmath>

namespace vb {

double DeviceBoard::CoreClockMHz(int core) const
{
    if (core < 0 || core >= static_cast<int>(cpu.multiplier.size()))
        return 0;
    return clock.htRef.value * cpu.multiplier[static_cast<size_t>(core)];
}

double DeviceBoard::NBClockMHz() const { return clock.htRef.value * cpu.nbMultiplier; }

double DeviceBoard::MemClkMHz() const
{
    const double def = clock.htRef.def > 0 ? clock.htRef.def : 200;
    return mc.memClk * clock.htRef.value / def;
}

double DeviceBoard::MemoryFrequency(double nbMHz, double nbMultiplier) const
{
    // Pages call this with (0, 0) when they have no processor: answer with the
    // configured clock instead of dividing by zero.
    if (!(nbMHz > 0) || !(nbMultiplier > 0))
        return MemClkMHz();
    const double def = clock.htRef.def > 0 ? clock.htRef.def : 200;
    return mc.memClk * (nbMHz / nbMultiplier) / def;
}

double DeviceBoard::CpuTemperature(int core) const
{
    // Heat grows with clock x voltage squared, relative to the start operating point.
    const double load = CoreClockMHz(core) * cpu.vid * cpu.vid;
    const double ratio = cpu.nominalClockVolt2 > 0 ? load / cpu.nominalClockVolt2 : 1;
    return cpu.ambient + (cpu.idleTemperature - cpu.ambient) * ratio;
}

int DeviceBoard::SensorTemperature(int sensor) const
{
    if (sensor < 0 || sensor >= static_cast<int>(sensors.temperatures.size()))
        return -9999;
    const double t = sensors.temperatures[static_cast<size_t>(sensor)];
    if (std::isnan(t) || t < -9000)
        return -9999;
    if (sensor == 0 && cpu.id.present) {
        // The processor diode: the board value at the start point, moving with the processor.
        return static_cast<int>(std::lround(t + CpuTemperature(0) - cpu.idleTemperature));
    }
    return static_cast<int>(std::lround(t));
}

int DeviceBoard::FanRpm(int fan) const
{
    if (fan < 0 || fan >= static_cast<int>(sensors.fans.size()) || !sensors.fans[static_cast<size_t>(fan)].present)
        return -9999;
    const FanDef& f = sensors.fans[static_cast<size_t>(fan)];
    if (f.mode == 2)
        return f.maxRpm * f.percent / 100;
    // Automatic (and uncontrollable) fans follow their temperature: 30 % at 30 C or
    // below, full speed at 70 C.
    const int t = SensorTemperature(fan);
    const double duty = t == -9999 ? 0.5 : std::clamp((t - 30) / 40.0 * 0.7 + 0.3, 0.3, 1.0);
    return static_cast<int>(std::lround(f.maxRpm * duty));
}

double DeviceBoard::PstateFrequency(const PstateDef& p)
{
    return 100.0 * (p.fid + 16) / std::pow(2.0, p.did);
}

double DeviceBoard::PstateVoltage(int vid) { return 1.55 - 0.0125 * vid; }

double DeviceBoard::PstateNbFrequency(const PstateDef& p) const
{
    return NBClockMHz() / std::pow(2.0, p.nbDid);
}

void DeviceBoard::SetReference(double mhz)
{
    clock.htRef.value = mhz;
    SyncProcessorClock();
}

void DeviceBoard::SetMultiplier(int core, double multiplier)
{
    if (core < 0 || core >= static_cast<int>(cpu.multiplier.size()))
        return;
    cpu.multiplier[static_cast<size_t>(core)] = multiplier;
    if (core == 0)
        SyncProcessorClock();
}

void DeviceBoard::SyncProcessorClock()
{
    // The time-stamp counter runs at core 0's clock.
    if (m_processor && CoreClockMHz(0) > 0)
        m_processor->SetCoreClockMHz(CoreClockMHz(0));
}

} // namespace vb
