#pragma once
#include "Devices/DeviceSupport.h"
#include "QVXLogic/GpuDevice.h"

namespace qvx {

class CGpuDevice final : public CDevice<IGPUDevice> {
public:
    CGpuDevice(int index, const vb::GpuState& gpu);
    double GetEngineClock(int level) override;
    double GetEngineClockMin() override { return _Get(&vb::GpuState::engine, &vb::ClockDef::min); }
    double GetEngineClockMax() override { return _Get(&vb::GpuState::engine, &vb::ClockDef::max); }
    double GetEngineClockStep() override { return _Get(&vb::GpuState::engine, &vb::ClockDef::step); }
    bool SetEngineClock(double mhz) override;
    double GetMemoryClock() override { return _Get(&vb::GpuState::memory, &vb::ClockDef::value); }
    double GetMemoryClockMin() override { return _Get(&vb::GpuState::memory, &vb::ClockDef::min); }
    double GetMemoryClockMax() override { return _Get(&vb::GpuState::memory, &vb::ClockDef::max); }
    double GetMemoryClockStep() override { return _Get(&vb::GpuState::memory, &vb::ClockDef::step); }
    bool SetMemoryClock(double mhz) override;
    int GetEngineClockInt(int which) override;
    double GetCoreVoltage() override { return _Get(&vb::GpuState::voltage, &vb::ClockDef::value); }
    double GetCoreVoltageMin() override { return _Get(&vb::GpuState::voltage, &vb::ClockDef::min); }
    double GetCoreVoltageMax() override { return _Get(&vb::GpuState::voltage, &vb::ClockDef::max); }
    double GetCoreVoltageStep() override { return _Get(&vb::GpuState::voltage, &vb::ClockDef::step); }
    bool SetCoreVoltage(double volts) override;
    double GetSidePortClock() override { return _Get(&vb::GpuState::sidePort, &vb::ClockDef::value); }
    double GetSidePortClockMin() override { return _Get(&vb::GpuState::sidePort, &vb::ClockDef::min); }
    double GetSidePortClockMax() override { return _Get(&vb::GpuState::sidePort, &vb::ClockDef::max); }
    double GetSidePortClockStep() override { return _Get(&vb::GpuState::sidePort, &vb::ClockDef::step); }
    unsigned GetLevelCount() override
    {
        auto lock = LockBoard();
        return m_uLevelCount;
    }
    unsigned GetCurrentLevel() override;
    bool GetLevelInfo(GPU_LEVEL_INFO* levels) override;
    bool SetSidePortClock(double mhz) override;
    void Reserved34() override {}
    double GetMemoryCapacity() override;
    double GetMemoryBitWidth() override;
    const VIDEO_BIOS_INFO* GetVideoBIOSInfo() override;
    unsigned GetSensorCount() override;
    void Reserved39() override {}
    double GetFanSpeed(int sensor, int unit) override;
    void Reserved41() override {}
    double GetTemperature(int sensor) override;
    double GetUsage() override;
    double GetBusSpeed() override;
    double GetBusLanes() override;
    double GetMaxBusLanes() override;
    int GetPowerState() override;
    bool IsLoadBalancing() override;
    bool IsSleepOnTimestamp() override;
    const char16_t* GetDisplayMode() override { return Counted(m_DisplayMode); }
    bool IsIntegrated() override;

private:
    vb::GpuState* _State(vb::DeviceBoard& b);
    double _Get(vb::ClockDef vb::GpuState::*clock, double vb::ClockDef::*field);
    bool _Set(vb::ClockDef vb::GpuState::*clock, double value, const char* operation);

    const unsigned m_uLevelCount;          // constant: callers size their arrays by it
    const std::u16string m_DisplayMode;
    VIDEO_BIOS_INFO m_VideoBios{};
    const bool m_bHasVideoBios;
};

} // namespace qvx
