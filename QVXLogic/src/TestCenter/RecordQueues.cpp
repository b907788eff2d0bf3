#include "TestCenter/RecordQueues.h"

#include "Engine/Log.h"

namespace qvx {

bool RecordQueues::PushError(IStabilityTestCase* testCase, int32_t code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_Errors.size() >= kMaxErrors) {
        g_Log.Write(ltError, "QVXLogic: stability error queue full, error %d not queued\n", code);
        return false;
    }
    m_Errors.push_back(std::make_unique<ERROR_MESSAGE>(ERROR_MESSAGE{testCase, code}));
    return true;
}

void RecordQueues::PushResult(IStabilityTestCase* testCase, double value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_Results.size() >= kMaxResults)
        m_Results.pop_front();
    m_Results.push_back(std::make_unique<TEST_RESULT>(TEST_RESULT{testCase, value}));
}

namespace {

// Hands the oldest record to the caller, who deletes it.
template <class T>
T* PopFront(std::deque<std::unique_ptr<T>>& queue)
{
    if (queue.empty())
        return nullptr;
    T* record = queue.front().release();
    queue.pop_front();
    return record;
}

} // namespace

ERROR_MESSAGE* RecordQueues::PopError()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return PopFront(m_Errors);
}

TEST_RESULT* RecordQueues::PopResult()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return PopFront(m_Results);
}

void RecordQueues::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_Errors.clear();
    m_Results.clear();
}

} // namespace qvx
