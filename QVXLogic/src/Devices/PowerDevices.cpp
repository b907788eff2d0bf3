// The voltage regulators, in volts x 100000. Memory VTT follows VDDQ / 2.
#include "Devices/PowerDevices.h"

#include <cmath>

#include "Engine/LogCheck.h"

namespace qvx {

namespace {

bool SetRail(vb::RailDef& rail, double value)
{
    if (!rail.present || !OnGrid(value, rail.min, rail.max, rail.step))
        return false;
    rail.value = value;
    return true;
}

// VTT tracks VDDQ / 2, kept inside its own range.
void FollowVddq(vb::RailDef& vtt, double vddq)
{
    if (vtt.present)
        vtt.value = std::clamp(vddq / 2, vtt.min, vtt.max);
}

} // namespace

CPWMControllerDevice::CPWMControllerDevice(const vb::PwmState& pwm)
    : CDevice(dtPWMController, 0, pwm.id, "PWM")
{
    for (int i = 0; i < prCount; ++i) {
        const vb::RailDef& r = pwm.rails[static_cast<size_t>(i)];
        m_Table[i] = PWM_RAIL_INFO{r.min, r.max, r.def, r.step};
    }
}

bool CPWMControllerDevice::IsAvailable()
{
    QVX_LOCK_BOARD;
    return b.pwm.available;
}

double CPWMControllerDevice::_Get(PWM_RAIL rail)
{
    QVX_LOCK_BOARD;
    const vb::RailDef& r = b.pwm.rails[static_cast<size_t>(rail)];
    return b.pwm.available && r.present ? r.value : 0.0;
}

bool CPWMControllerDevice::_Set(PWM_RAIL rail, double value, const char* operation)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse(operation));
    LOG_PROCESS_ERROR(b.pwm.available);
    LOG_PROCESS_ERROR(SetRail(b.pwm.rails[static_cast<size_t>(rail)], value));
    if (rail == prMemVDDQ)
        FollowVddq(b.pwm.rails[prMemVTT], value);
    Journal("PWM.%s(%g)", operation, value);
    return true;
}

const PWM_RAIL_INFO* CPWMControllerDevice::GetRailTable()
{
    return Refuse("GetRailTable") ? nullptr : m_Table;
}

CPWMController2Device::CPWMController2Device(const vb::Pwm2State& pwm2)
    : CDevice(dtPWMController2, 0, pwm2.id, "PWM2")
{
    for (const vb::RailDef& c : pwm2.channels)
        m_Names.push_back(ToU16(c.name));
}

int CPWMController2Device::GetChannelCount() { return static_cast<int>(m_Names.size()); }

const char16_t* CPWMController2Device::GetChannelName(int channel)
{
    auto lock = LockBoard();
    // Texts are never null: no such channel has an empty name.
    if (channel < 0 || channel >= static_cast<int>(m_Names.size()))
        return u"";
    return m_Names[static_cast<size_t>(channel)].c_str();
}

double CPWMController2Device::_Get(int channel, double vb::RailDef::*field)
{
    QVX_LOCK_BOARD;
    if (channel < 0 || channel >= static_cast<int>(b.pwm2.channels.size()))
        return 0.0;
    return b.pwm2.channels[static_cast<size_t>(channel)].*field;
}

bool CPWMController2Device::SetChannelVoltage(int channel, double value)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetChannelVoltage"));
    LOG_PROCESS_ERROR(channel >= 0 && channel < static_cast<int>(b.pwm2.channels.size()));
    vb::RailDef& rail = b.pwm2.channels[static_cast<size_t>(channel)];
    LOG_PROCESS_ERROR(SetRail(rail, value));
    if (rail.name == "Mem VDDQ") {
        for (vb::RailDef& other : b.pwm2.channels)
            if (other.name == "Mem VTT")
                FollowVddq(other, value);
    }
    Journal("PWM2.SetChannelVoltage(%s, %g)", rail.name.c_str(), value);
    return true;
}

} // namespace qvx
