#pragma once
// A stop flag for the program's own threads: Set ends every wait on it at once.
// Timed waits run on the simulated machine's clock, so a test moves time instead
// of waiting for it.
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace plat {

class StopSignal {
public:
    void Set();
    void Reset();
    bool IsSet() const;
    // Waits up to milliseconds; true when the signal is set (before or during the wait).
    bool Wait(uint32_t milliseconds);
    // Waits until GetTickCount64 reads deadlineMs; true when the signal is set.
    // A period counted from an event before the wait keeps its length, however
    // late the wait begins.
    bool WaitUntil(uint64_t deadlineMs);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bSet = false;
};

} // namespace plat
