// A graphics chip: engine, memory and side-port clocks, levels and readings.
#include "Devices/GpuDevice.h"

#include <cmath>

#include "Engine/LogCheck.h"

namespace qvx {

CGpuDevice::CGpuDevice(int index, const vb::GpuState& gpu)
    : CDevice(dtGPU, index, gpu.id, "GPU"), m_uLevelCount(static_cast<unsigned>(gpu.levels.size())),
      m_DisplayMode(ToU16(gpu.displayMode)), m_bHasVideoBios(gpu.hasVideoBios)
{
    CopyText(m_VideoBios.szVersion, sizeof(m_VideoBios.szVersion), gpu.biosVersion);
    CopyText(m_VideoBios.szPartNumber, sizeof(m_VideoBios.szPartNumber), gpu.biosPartNumber);
    CopyText(m_VideoBios.szReleaseDate, sizeof(m_VideoBios.szReleaseDate), gpu.biosDate);
    CopyText(m_VideoBios.szMemoryType, sizeof(m_VideoBios.szMemoryType), gpu.biosMemoryType);
}

vb::GpuState* CGpuDevice::_State(vb::DeviceBoard& b)
{
    return m_nIndex < static_cast<int>(b.gpus.size()) ? &b.gpus[static_cast<size_t>(m_nIndex)] : nullptr;
}

double CGpuDevice::_Get(vb::ClockDef vb::GpuState::*clock, double vb::ClockDef::*field)
{
    QVX_LOCK_BOARD;
    const vb::GpuState* g = _State(b);
    return g ? (g->*clock).*field : 0.0;
}

bool CGpuDevice::_Set(vb::ClockDef vb::GpuState::*clock, double value, const char* operation)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse(operation));
    vb::GpuState* g = _State(b);
    LOG_PROCESS_ERROR(g);
    vb::ClockDef& c = g->*clock;
    LOG_PROCESS_ERROR(c.max > 0 && OnGrid(value, c.min, c.max, c.step));
    c.value = value;
    Journal("%s.%s(%g)", Who().c_str(), operation, value);
    return true;
}

double CGpuDevice::GetEngineClock(int level)
{
    QVX_LOCK_BOARD;
    const vb::GpuState* g = _State(b);
    if (!g)
        return 0.0;
    if (level == 0)
        return g->engine.value;
    return level > 0 && level <= static_cast<int>(g->levels.size()) ? g->levels[static_cast<size_t>(level - 1)].engine : 0.0;
}

bool CGpuDevice::SetEngineClock(double mhz)
{
    {
        QVX_LOCK_BOARD;
        const vb::GpuState* g = _State(b);
        LOG_PROCESS_ERROR(g && g->integrated);   // only the integrated chip's clock is ours to set
    }
    if (!_Set(&vb::GpuState::engine, mhz, "SetEngineClock"))
        return false;
    QVX_LOCK_BOARD;
    vb::GpuState* g = _State(b);
    if (g && g->currentLevel < g->levels.size())
        g->levels[g->currentLevel].engine = mhz;   // the current level runs at the new clock
    return true;
}

bool CGpuDevice::SetMemoryClock(double mhz) { return _Set(&vb::GpuState::memory, mhz, "SetMemoryClock"); }
bool CGpuDevice::SetCoreVoltage(double volts) { return _Set(&vb::GpuState::voltage, volts, "SetCoreVoltage"); }
bool CGpuDevice::SetSidePortClock(double mhz) { return _Set(&vb::GpuState::sidePort, mhz, "SetSidePortClock"); }

int CGpuDevice::GetEngineClockInt(int which)
{
    QVX_LOCK_BOARD;
    const vb::GpuState* g = _State(b);
    if (!g)
        return 0;
    return static_cast<int>(std::lround(which == 0 ? g->engine.def : g->engine.value));
}

unsigned CGpuDevice::GetCurrentLevel()
{
    QVX_LOCK_BOARD;
    const vb::GpuState* g = _State(b);
    return g ? g->currentLevel : 0;
}

bool CGpuDevice::GetLevelInfo(GPU_LEVEL_INFO* levels)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(levels);
    LOG_PROCESS_ERROR(!Refuse("GetLevelInfo"));
    const vb::GpuState* g = _State(b);
    LOG_PROCESS_ERROR(g);
    for (unsigned i = 0; i < m_uLevelCount && i < g->levels.size(); ++i)
        levels[i] = GPU_LEVEL_INFO{g->levels[i].engine, g->levels[i].memory, g->levels[i].voltage};
    return true;
}

#define QVX_GPU_READING(Method, Type, expr, fallback) \
    Type CGpuDevice::Method()                         \
    {                                                 \
        QVX_LOCK_BOARD;                               \
        const vb::GpuState* g = _State(b);            \
        return g ? static_cast<Type>(expr) : fallback; \
    }

QVX_GPU_READING(GetMemoryCapacity, double, g->memoryBytes, 0.0)
QVX_GPU_READING(GetMemoryBitWidth, double, g->memoryBits, 0.0)
QVX_GPU_READING(GetSensorCount, unsigned, g->sensors, 0u)
QVX_GPU_READING(GetUsage, double, g->usage, -1.0)
QVX_GPU_READING(GetBusSpeed, double, g->busSpeed, 0.0)
QVX_GPU_READING(GetBusLanes, double, g->busLanes, 0.0)
QVX_GPU_READING(GetMaxBusLanes, double, g->maxBusLanes, 0.0)
QVX_GPU_READING(GetPowerState, int, g->powerState, 0)
QVX_GPU_READING(IsLoadBalancing, bool, g->loadBalancing, false)
QVX_GPU_READING(IsSleepOnTimestamp, bool, g->sleepOnTimestamp, false)
QVX_GPU_READING(IsIntegrated, bool, g->integrated, false)

const VIDEO_BIOS_INFO* CGpuDevice::GetVideoBIOSInfo()
{
    auto lock = LockBoard();
    return m_bHasVideoBios && !Refuse("GetVideoBIOSInfo") ? &m_VideoBios : nullptr;
}

double CGpuDevice::GetFanSpeed(int sensor, int unit)
{
    QVX_LOCK_BOARD;
    const vb::GpuState* g = _State(b);
    if (!g || sensor < 0 || sensor >= static_cast<int>(g->sensors) || unit != 1 || Refuse("GetFanSpeed"))
        return -1.0;
    return g->fanPercent;
}

double CGpuDevice::GetTemperature(int sensor)
{
    QVX_LOCK_BOARD;
    const vb::GpuState* g = _State(b);
    if (!g || sensor < 0 || sensor >= static_cast<int>(g->sensors) || Refuse("GetTemperature"))
        return 0.0;
    // The chip warms with its engine clock and voltage.
    const double ratio = g->engine.def > 0 && g->voltage.def > 0
                             ? (g->engine.value * g->voltage.value * g->voltage.value) / (g->engine.def * g->voltage.def * g->voltage.def)
                             : 1.0;
    return std::round((30 + (g->temperature - 30) * ratio) * 10) / 10;
}

} // namespace qvx
