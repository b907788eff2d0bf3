#pragma once
// The one time source of the simulated machine. Sleeps, timeouts, the performance
// counter and the time-stamp counter all come from here, so a test can replace it
// and never wait for real seconds.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace vb {

class IClock {
public:
    virtual ~IClock() = default;
    virtual uint64_t NowNs() = 0;            // monotonic nanoseconds
    virtual void SleepNs(uint64_t ns) = 0;
};

// Real monotonic time and real sleeps: what the program runs on.
class SystemClock final : public IClock {
public:
    uint64_t NowNs() override;
    void SleepNs(uint64_t ns) override;
};

// Time that moves only when someone sleeps, calls Advance, or reads it with an
// automatic step set (so a busy-wait on the clock still ends).
class ManualClock final : public IClock {
public:
    explicit ManualClock(uint64_t startNs = 1'000'000'000ull, uint64_t stepPerReadNs = 0)
        : m_now(startNs), m_step(stepPerReadNs) {}
    uint64_t NowNs() override { return m_now.fetch_add(m_step) + m_step; }
    void SleepNs(uint64_t ns) override { m_now.fetch_add(ns); m_slept.fetch_add(ns); }
    void Advance(uint64_t ns) { m_now.fetch_add(ns); }
    void SetStepPerRead(uint64_t ns) { m_step = ns; }
    uint64_t SleptNs() const { return m_slept.load(); }
private:
    std::atomic<uint64_t> m_now;
    std::atomic<uint64_t> m_step;
    std::atomic<uint64_t> m_slept{0};
};

IClock& GetClock();
// Installs a clock (not owned); null goes back to the system clock.
void SetClock(IClock* clock);

// Waits on cv until stopped() holds or ns of the installed clock have passed; true
// when stopped. Whoever sets what stopped() reads notifies cv, which ends the wait
// at once. The real wait runs in short slices, so a clock that a test moves by
// hand is noticed within one slice. Called with lock held, as cv's waits are.
bool WaitOnClock(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t ns,
                 const std::function<bool()>& stopped);
// The same until the installed clock reads deadlineNs.
bool WaitOnClockUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadlineNs,
                      const std::function<bool()>& stopped);

// Installs a clock for the life of a scope.
class ScopedClock {
public:
    explicit ScopedClock(IClock& clock) { SetClock(&clock); }
    ~ScopedClock() { SetClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

} // namespace vb
