#include "support/FixedTesters.h"

#include <algorithm>
#include <chrono>

namespace test {

FixedTesters::FixedTesters() { QvxSetTesterOverride(this); }

FixedTesters::~FixedTesters()
{
    OpenGate();
    QvxSetTesterOverride(nullptr);
}

void FixedTesters::Set(TESTER_QUANTITY eQuantity, double dValue)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_values[eQuantity] = dValue;
}

void FixedTesters::CloseGate(bool bHonourStop)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bGateClosed = true;
    m_bHonourStop = bHonourStop;
}

void FixedTesters::OpenGate()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bGateClosed = false;
    }
    m_changed.notify_all();
}

bool FixedTesters::WaitHeld(int nCalls)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_nHeld >= nCalls; });
}

int FixedTesters::Calls(TESTER_QUANTITY eQuantity) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(std::count(m_order.begin(), m_order.end(), eQuantity));
}

std::vector<TESTER_QUANTITY> FixedTesters::Order() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_order;
}

void FixedTesters::ForgetCalls()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_order.clear();
}

// A held call looks at its stop flag every millisecond, as the real kernels do
// between stretches of work.
double FixedTesters::Measure(TESTER_QUANTITY eQuantity, const std::atomic<bool>* pStop)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_order.push_back(eQuantity);
    if (m_bGateClosed) {
        ++m_nHeld;
        m_changed.notify_all();
        while (m_bGateClosed && !(m_bHonourStop && pStop && pStop->load()))
            m_changed.wait_for(lock, std::chrono::milliseconds(1));
        --m_nHeld;
    }
    if (pStop && pStop->load())
        return 0.0;
    return m_values[eQuantity];
}

} // namespace test
