#pragma once
// The south bridge's keep-alive watchdog. While its mode is on, the program pulses
// it; when no sign of life comes for longer than the timeout, the board is taken
// to have hung and the watchdog brings it back: the default reference clock (safe
// clocks), the stability model's hang cleared, one recovery counted.
// A hung board runs no software, so pulses sent while it is hung are no sign of
// life. Nothing runs by itself: the timeout is checked on each pulse and whenever
// someone calls Poll (the tuner does, while it waits for a hung board).
#include <condition_variable>
#include <cstdint>
#include <vector>

#include "VirtualBoard/Devices/DeviceState.h"
#include "VirtualBoard/Machine.h"

namespace vb {

class DeviceBoard;
class StabilityModel;

class KeepAliveWatchdog final : public Component {
public:
    explicit KeepAliveWatchdog(Machine& machine);

    // False (nothing changes) when the south bridge does not accept the mode.
    // Switching it on starts the timeout afresh.
    bool SetMode(bool on);
    bool Mode();
    // One keep-alive call. Any call is recorded; a sign of life needs the mode on,
    // alive set and a board that is not hung.
    void Pulse(bool alive);
    // Recovers the board when the timeout has run out; true when this call did.
    bool Poll();

    uint64_t TimeoutNs();
    int Pulses();
    int Recoveries();
    std::vector<KeepAlivePulse> RecentPulses();
    // For tests: waits (in real time, at most timeoutMs) until count signs of life
    // have come in all; false when they have not.
    bool WaitForPulses(int count, unsigned timeoutMs);

private:
    static constexpr size_t kRecentPulses = 64;

    Machine& m_machine;
    DeviceBoard& m_board;
    StabilityModel& m_model;
    std::condition_variable m_pulsed;   // waits with the board's lock
};

} // namespace vb
