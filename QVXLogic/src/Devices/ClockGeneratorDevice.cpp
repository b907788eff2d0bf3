// The clock generator. In range mode a clock is accepted in [min, max] on the
// step grid; in list mode only a list entry (within 0.001 MHz) is, and the
// reading is then that entry exactly.
#include "Devices/ClockGeneratorDevice.h"

#include <algorithm>
#include <cmath>

#include "Engine/LogCheck.h"

namespace qvx {

namespace {

vb::ClockDef& Def(vb::DeviceBoard& b, int which)
{
    return which == 0 ? b.clock.htRef : which == 1 ? b.clock.pcie : b.clock.sb;
}

} // namespace

double CClockGeneratorDevice::_Get(Which which, double vb::ClockDef::*field)
{
    QVX_LOCK_BOARD;
    return Def(b, which).*field;
}

double CClockGeneratorDevice::GetHTRefClock() { return _Get(kRef, &vb::ClockDef::value); }
double CClockGeneratorDevice::GetPCIeClock() { return _Get(kPcie, &vb::ClockDef::value); }
double CClockGeneratorDevice::GetSBClock() { return _Get(kSb, &vb::ClockDef::value); }
double CClockGeneratorDevice::GetDefaultHTRefClock() { return _Get(kRef, &vb::ClockDef::def); }
double CClockGeneratorDevice::GetDefaultPCIeClock() { return _Get(kPcie, &vb::ClockDef::def); }
double CClockGeneratorDevice::GetDefaultSBClock() { return _Get(kSb, &vb::ClockDef::def); }
double CClockGeneratorDevice::GetHTRefClockMin() { return _Get(kRef, &vb::ClockDef::min); }
double CClockGeneratorDevice::GetPCIeClockMin() { return _Get(kPcie, &vb::ClockDef::min); }
double CClockGeneratorDevice::GetSBClockMin() { return _Get(kSb, &vb::ClockDef::min); }
double CClockGeneratorDevice::GetHTRefClockMax() { return _Get(kRef, &vb::ClockDef::max); }
double CClockGeneratorDevice::GetPCIeClockMax() { return _Get(kPcie, &vb::ClockDef::max); }
double CClockGeneratorDevice::GetSBClockMax() { return _Get(kSb, &vb::ClockDef::max); }
double CClockGeneratorDevice::GetHTRefClockStep() { return _Get(kRef, &vb::ClockDef::step); }
double CClockGeneratorDevice::GetPCIeClockStep() { return _Get(kPcie, &vb::ClockDef::step); }
double CClockGeneratorDevice::GetSBClockStep() { return _Get(kSb, &vb::ClockDef::step); }

bool CClockGeneratorDevice::_Set(Which which, double mhz, const char* operation)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse(operation));
    vb::ClockDef& c = Def(b, which);
    double value = mhz;
    if (b.clock.ranges || which == kSb) {
        LOG_PROCESS_ERROR(OnGrid(mhz, c.min, c.max, c.step));
    } else {
        const auto it = std::find_if(c.list.begin(), c.list.end(), [mhz](double v) { return std::fabs(v - mhz) <= 0.001; });
        LOG_PROCESS_ERROR(it != c.list.end());
        value = *it;
    }
    if (which == kRef)
        b.SetReference(value);   // core, north-bridge, link and memory clocks follow
    else
        c.value = value;
    if (which == kPcie) {
        for (vb::GpuState& g : b.gpus)
            if (!g.integrated && g.busSpeed > 0)
                g.busSpeed = value;
    }
    Journal("CG.%s(%g)", operation, value);
    return true;
}

bool CClockGeneratorDevice::SetHTRefClock(double mhz) { return _Set(kRef, mhz, "SetHTRefClock"); }
bool CClockGeneratorDevice::SetPCIeClock(double mhz) { return _Set(kPcie, mhz, "SetPCIeClock"); }
bool CClockGeneratorDevice::SetSBClock(double mhz) { return _Set(kSb, mhz, "SetSBClock"); }

bool CClockGeneratorDevice::HasClockRanges()
{
    QVX_LOCK_BOARD;
    return b.clock.ranges;
}

bool CClockGeneratorDevice::_List(Which which, double* list, int* count, const char* operation)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(count);
    LOG_PROCESS_ERROR(!Refuse(operation));
    const std::vector<double>& values = Def(b, which).list;
    if (!list) {
        *count = static_cast<int>(values.size());
        return true;
    }
    const int n = std::clamp(*count, 0, static_cast<int>(values.size()));
    std::copy_n(values.begin(), n, list);
    *count = n;
    return true;
}

bool CClockGeneratorDevice::GetHTRefClockList(double* list, int* count) { return _List(kRef, list, count, "GetHTRefClockList"); }
bool CClockGeneratorDevice::GetPCIeClockList(double* list, int* count) { return _List(kPcie, list, count, "GetPCIeClockList"); }

} // namespace qvx
