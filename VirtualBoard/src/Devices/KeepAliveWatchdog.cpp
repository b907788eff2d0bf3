#include "VirtualBoard/Devices/KeepAliveWatchdog.h"

#include <chrono>

#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Stability/StabilityModel.h"

namespace vb {

KeepAliveWatchdog::KeepAliveWatchdog(Machine& machine)
    : m_machine(machine), m_board(machine.Get<DeviceBoard>()), m_model(machine.Get<StabilityModel>())
{
}

bool KeepAliveWatchdog::SetMode(bool on)
{
    auto lock = m_board.Lock();
    if (on && !m_board.sb.acceptsKeepAlive)
        return false;
    if (on && !m_board.sb.keepAliveMode)
        m_board.sb.lastPulseNs = GetClock().NowNs();
    m_board.sb.keepAliveMode = on;
    return true;
}

bool KeepAliveWatchdog::Mode()
{
    auto lock = m_board.Lock();
    return m_board.sb.keepAliveMode;
}

void KeepAliveWatchdog::Pulse(bool alive)
{
    Poll();
    // Asked before the board lock: the model never waits for the board while
    // holding its own lock, and neither does this.
    const bool hung = m_model.IsHung();
    {
        auto lock = m_board.Lock();
        SouthBridgeState& sb = m_board.sb;
        KeepAlivePulse pulse;
        pulse.ns = GetClock().NowNs();
        pulse.alive = alive;
        pulse.counted = sb.keepAliveMode && alive && !hung;
        if (pulse.counted) {
            sb.lastPulseNs = pulse.ns;
            ++sb.pulses;
        }
        if (sb.recentPulses.size() >= kRecentPulses)
            sb.recentPulses.erase(sb.recentPulses.begin());
        sb.recentPulses.push_back(pulse);
    }
    m_pulsed.notify_all();
}

bool KeepAliveWatchdog::Poll()
{
    {
        auto lock = m_board.Lock();
        SouthBridgeState& sb = m_board.sb;
        const uint64_t now = GetClock().NowNs();
        if (!sb.keepAliveMode || now < sb.lastPulseNs || now - sb.lastPulseNs <= sb.keepAliveTimeoutNs)
            return false;
        // What the board's reset brings back: its default reference clock, which
        // every derived clock follows.
        m_board.SetReference(m_board.clock.htRef.def);
        sb.lastPulseNs = now;
        ++sb.recoveries;
    }
    m_model.Recover();
    m_machine.GetJournal().Record("board: keep-alive watchdog recovered the board");
    return true;
}

uint64_t KeepAliveWatchdog::TimeoutNs()
{
    auto lock = m_board.Lock();
    return m_board.sb.keepAliveTimeoutNs;
}

int KeepAliveWatchdog::Pulses()
{
    auto lock = m_board.Lock();
    return m_board.sb.pulses;
}

int KeepAliveWatchdog::Recoveries()
{
    auto lock = m_board.Lock();
    return m_board.sb.recoveries;
}

std::vector<KeepAlivePulse> KeepAliveWatchdog::RecentPulses()
{
    auto lock = m_board.Lock();
    return m_board.sb.recentPulses;
}

bool KeepAliveWatchdog::WaitForPulses(int count, unsigned timeoutMs)
{
    auto lock = m_board.Lock();
    return m_pulsed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_board.sb.pulses >= count; });
}

} // namespace vb
