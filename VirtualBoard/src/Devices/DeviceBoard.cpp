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

double DeviceBoard::CpuUsage(int core)
{
    if (cpu.usage.empty())
        return m_hostLoad.Usage(core);
    return core < 0 ? 0 : cpu.usage[static_cast<size_t>(core) % cpu.usage.size()];
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

void DeviceBoard::SetCoreVid(double volts)
{
    cpu.vid = volts;
    if (!sensors.voltages.empty())
        sensors.voltages[0] = volts;   // the board's VCORE input sees it
    SyncStatusRegister();
}

void DeviceBoard::SyncProcessorClock()
{
    // The time-stamp counter runs at core 0's clock.
    if (m_processor && CoreClockMHz(0) > 0)
        m_processor->SetCoreClockMHz(CoreClockMHz(0));
    SyncStatusRegister();
}

void DeviceBoard::SyncStatusRegister()
{
    // Family 10h reports core 0's operating point in its COFVID status register
    // (FID bits 0-5, DID bits 6-8, VID bits 9-15), which the Engine reads: keep it
    // in step when the board lists it.
    constexpr uint32_t kCofVidStatus = 0xC0010071;
    uint64_t reg = 0;
    if (!m_processor || cpu.multiplier.empty() || !m_processor->ReadMsr(kCofVidStatus, &reg))
        return;
    int did = 0;
    double fid = 2 * cpu.multiplier[0] - 16;
    while (fid < 0 && did < 4) {
        ++did;
        fid = 2 * cpu.multiplier[0] * (1 << did) - 16;
    }
    const uint64_t f = static_cast<uint64_t>(std::clamp(std::lround(fid), 0L, 63L));
    const uint64_t v = static_cast<uint64_t>(std::clamp(std::lround((1.55 - cpu.vid) / 0.0125), 0L, 127L));
    reg = (reg & ~uint64_t{0xFFFF}) | f | (static_cast<uint64_t>(did) << 6) | (v << 9);
    m_processor->WriteMsr(kCofVidStatus, reg);
}

} // namespace vb
