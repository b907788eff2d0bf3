#include "TestCenter/CaseWork.h"

#include <algorithm>

#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Stability/StabilityModel.h"

namespace qvx {

namespace {

constexpr int32_t kHardwareFailure = emcHardwareFailure, kMachineCheck = emcMCAError;
// Polls of the machine-check banks in one batch of the machine-check case.
constexpr int kMcaPolls = 2000;

vb::StabilityModel& Model() { return vb::Machine::Instance().Get<vb::StabilityModel>(); }

std::unique_ptr<IStressKernel> MakeKernel(TEST_CASE_TYPE type, bool light)
{
    switch (type) {
    case tctCPU: return MakeCpuKernel(light);
    case tctFPU: return MakeFpuKernel(light);
    case tctCalculation: return MakeCalculationKernel(light);
    default: return nullptr;
    }
}

// Reads and clears every bank that holds an entry, as a machine-check poll walks
// them all; how many did.
int TakeMachineChecks(vb::StabilityModel& model)
{
    int taken = 0;
    while (model.TakeMachineCheck() >= 0)
        ++taken;
    return taken;
}

} // namespace

void ClearMachineChecks() { TakeMachineChecks(Model()); }

void EndHang() { Model().Recover(); }

CaseWork::CaseWork(TEST_CASE_TYPE type, int processor, bool light, uint64_t seed, bool certain)
    : m_eType(type), m_nProcessor(processor), m_bCertain(certain), m_pKernel(MakeKernel(type, light)),
      m_Random(seed ^ (static_cast<uint64_t>(type) << 32) ^ static_cast<uint64_t>(processor + 1))
{
}

BatchOutcome CaseWork::Run(bool forceFault)
{
    vb::StabilityModel& model = Model();
    BatchOutcome outcome;
    // A board pushed far enough hangs as a whole: on a real machine nothing would
    // run on any core. The simulated one says so as a hardware failure.
    if (model.BoardVerdict().state == vb::Stability::Hang) {
        model.NoteHang();
        outcome.hang = true;
        outcome.error = kHardwareFailure;
        return outcome;
    }
    vb::IClock& clock = vb::GetClock();
    const uint64_t start = clock.NowNs();
    uint64_t rounds = 1;
    if (m_pKernel) {
        const vb::StabilityVerdict verdict = m_nProcessor >= 0 ? model.CoreVerdict(m_nProcessor) : model.BoardVerdict();
        int fault = kNoFault;
        if (forceFault || _GoesWrong(verdict))
            fault = std::uniform_int_distribution<int>(0, m_pKernel->FaultKinds() - 1)(m_Random);
        outcome.error = m_pKernel->RunBatch(fault);
        rounds = m_pKernel->IterationsPerBatch();
    } else {
        outcome.error = _PollMachineChecks(forceFault);
        rounds = kMcaPolls;
    }
    const uint64_t elapsed = std::max<uint64_t>(clock.NowNs() - start, 1);
    const double startMHz = model.Parameters().startCoreMHz;
    const double scale = startMHz > 0 ? model.CorePoint(std::max(m_nProcessor, 0)).mhz / startMHz : 1.0;
    outcome.hz = static_cast<double>(rounds) * 1e9 / static_cast<double>(elapsed) * scale;
    return outcome;
}

int32_t CaseWork::_PollMachineChecks(bool forceFault)
{
    vb::StabilityModel& model = Model();
    // What went wrong on an unstable part since the last batch leaves an entry in
    // that part's bank, as the hardware logs it.
    for (int core = 0, cores = model.CoreCount(); core < cores; ++core) {
        if (_GoesWrong(model.CoreVerdict(core)))
            model.PostMachineCheck(vb::StabilityModel::kCoreBank);
    }
    if (_GoesWrong(model.UncoreVerdict()))
        model.PostMachineCheck(vb::StabilityModel::kNorthBridgeBank);
    if (forceFault)
        model.PostMachineCheck(vb::StabilityModel::kCoreBank);
    // Every bank is read on each poll, so a batch leaves none of its entries for
    // the next one to report again.
    bool found = false;
    for (int poll = 0; poll < kMcaPolls && !found; ++poll)
        found = TakeMachineChecks(model) > 0;
    return found ? kMachineCheck : 0;
}

bool CaseWork::_GoesWrong(const vb::StabilityVerdict& verdict)
{
    if (m_bCertain)
        return verdict.state != vb::Stability::Stable;
    return Model().DrawError(verdict, m_Random);
}

} // namespace qvx
