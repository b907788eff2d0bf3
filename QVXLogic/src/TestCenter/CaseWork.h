#pragma once
// The work behind one stability case, shared by the test centre's workers and by
// the tuner's stability probe: before each batch it asks the simulated board how
// the case's part of the machine runs, draws from that whether the batch goes
// wrong, and lets the kernel's own checks find the damage.
#include <memory>
#include <random>

#include "QVXLogic/Types.h"
#include "TestCenter/StressKernel.h"

namespace vb {
struct StabilityVerdict;
}

namespace qvx {

struct BatchOutcome {
    int32_t error = 0;    // the first failed check's code; 0 when the batch was sound
    bool hang = false;    // the board hung (reported as a hardware failure)
    double hz = 0;        // rounds per second, scaled by the core's clock
};

// Empties the machine-check banks: a run or a probe starts without what the board
// logged before it, at another clock.
void ClearMachineChecks();
// Ends a hang that earlier stress work ran into: a run or a search starts on a live
// board, as a hung machine is only used again after its reset.
void EndHang();

class CaseWork {
public:
    // processor: the core of a CPU or FPU case, -1 for the whole system.
    // certain: every batch on an unstable part goes wrong, not only now and then
    // at the part's rate (the tuner's probe, see StabilityProbe.h).
    CaseWork(TEST_CASE_TYPE type, int processor, bool light, uint64_t seed, bool certain = false);

    // One batch. forceFault spoils it whatever the board says.
    BatchOutcome Run(bool forceFault);

    TEST_CASE_TYPE Type() const { return m_eType; }
    int Processor() const { return m_nProcessor; }

private:
    int32_t _PollMachineChecks(bool forceFault);
    bool _GoesWrong(const vb::StabilityVerdict& verdict);

    const TEST_CASE_TYPE m_eType;
    const int m_nProcessor;
    const bool m_bCertain;
    std::unique_ptr<IStressKernel> m_pKernel;   // none for the machine-check case
    std::mt19937_64 m_Random;
};

} // namespace qvx
