#pragma once
// The errors and results the workers leave for the program, oldest first. Both
// queues are bounded: results are frequent and only the newest matter, so the
// oldest go; errors are rare (a case stops at its first), so a full error queue
// refuses more, which only floods of injected errors reach.
#include <deque>
#include <memory>
#include <mutex>

#include "QVXLogic/Records.h"

namespace qvx {

class RecordQueues {
public:
    static constexpr size_t kMaxErrors = 4096;
    static constexpr size_t kMaxResults = 1024;

    bool PushError(IStabilityTestCase* testCase, int32_t code);
    void PushResult(IStabilityTestCase* testCase, double value);
    // The caller owns what it pops.
    ERROR_MESSAGE* PopError();
    TEST_RESULT* PopResult();
    void Clear();

private:
    std::mutex m_mutex;
    std::deque<std::unique_ptr<ERROR_MESSAGE>> m_Errors;
    std::deque<std::unique_ptr<TEST_RESULT>> m_Results;
};

} // namespace qvx
