#pragma once
#include "Devices/DeviceSupport.h"
#include "QVXLogic/PowerDevices.h"

namespace qvx {

class CPWMControllerDevice final : public CDevice<IPWMControllerDevice> {
public:
    explicit CPWMControllerDevice(const vb::PwmState& pwm);
    bool IsAvailable() override;
    double GetMemVDDQ() override { return _Get(prMemVDDQ); }
    bool SetMemVDDQ(double value) override { return _Set(prMemVDDQ, value, "SetMemVDDQ"); }
    double GetMemVTT() override { return _Get(prMemVTT); }
    bool SetMemVTT(double value) override { return _Set(prMemVTT, value, "SetMemVTT"); }
    double GetCPUVDDC() override { return _Get(prCPUVDDC); }
    bool SetCPUVDDC(double value) override { return _Set(prCPUVDDC, value, "SetCPUVDDC"); }
    double GetNBCoreVoltage() override { return _Get(prNBCore); }
    bool SetNBCoreVoltage(double value) override { return _Set(prNBCore, value, "SetNBCoreVoltage"); }
    double GetNBPCIEVoltage() override { return _Get(prNBPCIE); }
    bool SetNBPCIEVoltage(double value) override { return _Set(prNBPCIE, value, "SetNBPCIEVoltage"); }
    double GetCPUHTVoltage() override { return _Get(prCPUHT); }
    bool SetCPUHTVoltage(double value) override { return _Set(prCPUHT, value, "SetCPUHTVoltage"); }
    const PWM_RAIL_INFO* GetRailTable() override;

private:
    double _Get(PWM_RAIL rail);
    bool _Set(PWM_RAIL rail, double value, const char* operation);
    PWM_RAIL_INFO m_Table[prCount]{};
};

class CPWMController2Device final : public CDevice<IPWMController2Device> {
public:
    explicit CPWMController2Device(const vb::Pwm2State& pwm2);
    int GetChannelCount() override;
    const char16_t* GetChannelName(int channel) override;
    double GetChannelMin(int channel) override { return _Get(channel, &vb::RailDef::min); }
    double GetChannelMax(int channel) override { return _Get(channel, &vb::RailDef::max); }
    double GetChannelDefault(int channel) override { return _Get(channel, &vb::RailDef::def); }
    double GetChannelStep(int channel) override { return _Get(channel, &vb::RailDef::step); }
    double GetChannelVoltage(int channel) override { return _Get(channel, &vb::RailDef::value); }
    bool SetChannelVoltage(int channel, double value) override;

private:
    double _Get(int channel, double vb::RailDef::*field);
    std::vector<std::u16string> m_Names;   // fixed for the device's life
};

} // namespace qvx
