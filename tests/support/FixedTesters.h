#pragma once
// Benchmark testers that answer with fixed values instead of measuring, installed
// while the object lives. They count and order the calls, and a closed gate holds
// every call until the test opens it or the caller's stop flag is raised.
#include <array>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "QVXLogic/Testers.h"

namespace test {

class FixedTesters : public IQvxTesterOverride {
public:
    FixedTesters();
    ~FixedTesters();

    void Set(TESTER_QUANTITY eQuantity, double dValue);
    // bHonourStop false: held calls ignore their stop flag, like a tester that cannot stop.
    void CloseGate(bool bHonourStop = true);
    void OpenGate();
    // Waits until nCalls calls are held at the closed gate; false after ten seconds.
    bool WaitHeld(int nCalls);

    int Calls(TESTER_QUANTITY eQuantity) const;
    std::vector<TESTER_QUANTITY> Order() const;
    void ForgetCalls();

    double Measure(TESTER_QUANTITY eQuantity, const std::atomic<bool>* pStop) override;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::array<double, tqTotal> m_values{};
    std::vector<TESTER_QUANTITY> m_order;
    bool m_bGateClosed = false;
    bool m_bHonourStop = true;
    int m_nHeld = 0;
};

} // namespace test
