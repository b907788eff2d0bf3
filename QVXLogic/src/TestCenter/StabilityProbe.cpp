#include "TestCenter/StabilityProbe.h"

#include "TestCenter/CaseWork.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Stability/StabilityModel.h"

namespace qvx {

CStabilityProbe::CStabilityProbe(bool light) : m_bLight(light) {}

CStabilityProbe::~CStabilityProbe() = default;

ProbeOutcome CStabilityProbe::Run(uint64_t durationNs, const std::atomic<bool>* pAbort)
{
    if (m_Work.empty()) {
        const vb::StabilityParameters params = vb::Machine::Instance().Get<vb::StabilityModel>().Parameters();
        const int cores = vb::Machine::Instance().Get<vb::StabilityModel>().CoreCount();
        const auto add = [&](TEST_CASE_TYPE type, int processor) {
            m_Work.push_back(std::make_unique<CaseWork>(type, processor, m_bLight, params.seed, true));
        };
        for (int core = 0; core < cores; ++core) {
            add(tctCPU, core);
            add(tctFPU, core);
        }
        // Every case of the Stability Test, so that every error source it can meet
        // is probed here too: the machine-check banks also hold the north bridge's
        // and the memory's.
        add(tctCalculation, -1);
        add(tctMCA, -1);
    }
    ClearMachineChecks();
    ProbeOutcome outcome;
    vb::IClock& clock = vb::GetClock();
    const uint64_t end = clock.NowNs() + durationNs;
    do {
        for (const auto& work : m_Work) {
            if (pAbort && pAbort->load()) {
                outcome.bAborted = true;
                return outcome;
            }
            const BatchOutcome batch = work->Run(false);
            if (batch.error) {
                outcome.bStable = false;
                outcome.bHang = batch.hang;
                outcome.eFailedType = work->Type();
                outcome.nFailedProcessor = work->Processor();
                outcome.eError = batch.error;
                return outcome;
            }
            ++outcome.nBatches;
        }
    } while (clock.NowNs() < end);
    return outcome;
}

} // namespace qvx
