#pragma once
// One stability case of the centre: its type, its processor and how often it runs.
#include <atomic>

#include "QVXLogic/TestCenter.h"

namespace qvx {

class CStabilityTestCase final : public IStabilityTestCase {
public:
    CStabilityTestCase(TEST_CASE_TYPE type, int processor) : m_eType(type), m_nProcessor(processor) {}
    ~CStabilityTestCase() = default;

    TEST_CASE_TYPE GetType() override { return m_eType; }
    int GetProcessor() override { return m_nProcessor; }

    // -1 until stopped, 0 skipped, n batches. Set on the GUI thread, read at Start.
    std::atomic<int> m_nRepeat{0};

private:
    const TEST_CASE_TYPE m_eType;
    const int m_nProcessor;
};

} // namespace qvx
