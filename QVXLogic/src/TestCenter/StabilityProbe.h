#pragma once
// A short stability check of the board as it stands, for the tuner: the test
// centre's own stress work, run on the calling thread against the board's
// stability model. The probe lasts a second where the Stability Test that checks
// its result runs for minutes or hours, and it stands for that run: a part that
// goes wrong at any rate fails its batch every time, not only now and then, so the
// clock the tuner leaves applied passes every case of the test. Whether an
// operating point is stable or hangs without running anything:
// vb::StabilityModel (CoreVerdict, BoardVerdict, JudgeCore).
#include <atomic>
#include <memory>
#include <vector>

#include "QVXLogic/Types.h"

namespace qvx {

class CaseWork;

struct ProbeOutcome {
    bool bStable = true;               // no batch went wrong and the board did not hang
    bool bHang = false;                // the board hung (latched in the model until recovered)
    bool bAborted = false;             // stopped by the abort flag before the time was up
    int nBatches = 0;                  // sound batches
    TEST_CASE_TYPE eFailedType = tctInvalid;
    int nFailedProcessor = -1;
    int32_t eError = emcInvalid;       // the first failed check's code
};

class CStabilityProbe {
public:
    explicit CStabilityProbe(bool light);
    ~CStabilityProbe();

    // Rounds of one batch of the CPU and FPU work of every core, one of the
    // calculation work and one look at the machine-check banks, until durationNs
    // of the board clock have passed (at least one round), the first error, a
    // hang, or abort. The banks are cleared first: what an earlier clock left
    // there says nothing of this one. Blocks the calling thread; takes no lock
    // across a batch.
    ProbeOutcome Run(uint64_t durationNs, const std::atomic<bool>* pAbort = nullptr);

private:
    const bool m_bLight;
    std::vector<std::unique_ptr<CaseWork>> m_Work;   // made for the cores of the first run
};

} // namespace qvx
