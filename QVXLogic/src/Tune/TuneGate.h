#pragma once
// How runs of the tuner are paced: the step times, and the gate through which the
// program's tests release a run one step at a time. Process-wide, as the tests
// reach the tuner only through the page that owns it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace qvx {

class TuneGate {
public:
    static TuneGate& Instance();

    void SetStepTimes(uint64_t settleNs, uint64_t probeNs);
    uint64_t SettleNs() const { return m_uSettleNs.load(); }
    uint64_t ProbeNs() const { return m_uProbeNs.load(); }

    void SetGated(bool gated);
    void SetHeldThroughAbort(bool held);
    void Release(int steps);
    bool WaitUntilWaiting(unsigned timeoutMs);

    // A run calls this before each step; false when abort was set first.
    bool Pass(const std::atomic<bool>& abort);
    // Ends every wait at the gate, so that an aborted run sees its flag.
    void Wake();

private:
    std::atomic<uint64_t> m_uSettleNs{100'000'000};
    std::atomic<uint64_t> m_uProbeNs{1'000'000'000};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bGated = false;
    bool m_bHeldThroughAbort = false;
    int m_nReleased = 0;
    int m_nWaiting = 0;
};

} // namespace qvx
