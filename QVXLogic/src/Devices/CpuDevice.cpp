// A processor core: multipliers, VIDs, P-states and readings that follow them.
#include "Devices/CpuDevice.h"

#include <cmath>
#include <cstring>
#include <map>

#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

namespace qvx {

namespace {

std::u16string Text(const char16_t* s) { return s ? std::u16string(s) : std::u16string(); }

// Multiplier of a P-state: core clock = reference x (FID + 16) / 2 / 2^DID.
double PstateMultiplier(const vb::PstateDef& p) { return (p.fid + 16) / 2.0 / std::pow(2.0, p.did); }

bool IsWhole(double v, double max) { return std::isfinite(v) && v >= 0 && v <= max && v == std::floor(v); }

bool InVoltageRange(const vb::CpuState& cpu, double volts)
{
    return std::isfinite(volts) && volts >= cpu.minVoltage - 1e-9 && volts <= cpu.maxVoltage + 1e-9;
}

} // namespace

CCpuDevice::CCpuDevice(int index, const vb::CpuState& cpu)
    : CDevice(dtCPU, index, cpu.id, "CPU"), m_uSignature(cpu.signature),
      m_Package(Text(g_GetCPUPackage(cpu.signature))), m_Revision(Text(g_GetCPURevision(cpu.signature)))
{
    static_assert(sizeof(m_InstructionSet) == 32);
    std::memcpy(&m_InstructionSet, cpu.instructionSet.data(), sizeof(m_InstructionSet));
    for (size_t i = 0; i < 4; ++i)
        m_Caches[i] = CACHE_INFO{cpu.caches[i].size, cpu.caches[i].ways, cpu.caches[i].lines, cpu.caches[i].lineSize};
}

// CPUID's answer: read from the processor each time, like every other reading.
uint32_t CCpuDevice::_Signature()
{
    auto lock = LockBoard();
    return m_uSignature;
}

int CCpuDevice::GetExtFamily() { return static_cast<int>((_Signature() >> 20) & 0xFF); }
int CCpuDevice::GetBaseFamily() { return static_cast<int>((_Signature() >> 8) & 0xF); }
int CCpuDevice::GetBaseModel() { return static_cast<int>((_Signature() >> 4) & 0xF); }
int CCpuDevice::GetExtModel() { return static_cast<int>((_Signature() >> 16) & 0xF); }
unsigned long CCpuDevice::GetStepping() { return _Signature() & 0xF; }
unsigned long CCpuDevice::GetSignature() { return _Signature(); }
const char16_t* CCpuDevice::GetInfoString() { return Counted(m_Package); }
const char16_t* CCpuDevice::GetInfoString2() { return Counted(m_Revision); }

const INSTRUCTION_SET_INFO* CCpuDevice::GetInstructionSet()
{
    auto lock = LockBoard();
    return Refuse("GetInstructionSet") ? nullptr : &m_InstructionSet;
}

double CCpuDevice::GetCurrentFrequency()
{
    QVX_LOCK_BOARD;
    return b.CoreClockMHz(m_nIndex);
}

double CCpuDevice::GetMaxFrequency() { return _Read(&vb::CpuState::maxFrequencyHz); }

double CCpuDevice::GetUsage()
{
    QVX_LOCK_BOARD;
    return b.CpuUsage(m_nIndex);
}

double CCpuDevice::GetCPUVid() { return _Read(&vb::CpuState::vid); }

double CCpuDevice::GetStartVoltage() { return _Read(&vb::CpuState::startVoltage); }

double CCpuDevice::GetMinVoltage() { return _Read(&vb::CpuState::minVoltage); }

double CCpuDevice::GetMaxVoltage() { return _Read(&vb::CpuState::maxVoltage); }

double CCpuDevice::GetMaxRampVoltage() { return _Read(&vb::CpuState::maxRampVoltage); }

bool CCpuDevice::SetCPUVid(double volts)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetCPUVid"));
    LOG_PROCESS_ERROR(InVoltageRange(b.cpu, volts));
    b.SetCoreVid(volts);   // one voltage plane for all cores
    Journal("%s.SetCPUVid(%g)", Who().c_str(), volts);
    return true;
}

double CCpuDevice::GetCurrentMultiplier()
{
    QVX_LOCK_BOARD;
    return b.cpu.multiplier.at(static_cast<size_t>(m_nIndex));
}

double CCpuDevice::GetMaxMultiplier() { return _Read(&vb::CpuState::maxMultiplier); }

double CCpuDevice::GetStartMultiplier() { return _Read(&vb::CpuState::startMultiplier); }

bool CCpuDevice::SetMultiplier(double multiplier)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetMultiplier"));
    const double step = b.cpu.halfMultipliers ? 0.5 : 1.0;
    LOG_PROCESS_ERROR(OnGrid(multiplier, 0, b.cpu.maxMultiplier, step) && multiplier >= b.cpu.startMultiplier - 1e-9);
    if (b.cpu.perCoreControl) {
        b.SetMultiplier(m_nIndex, multiplier);
    } else {
        // One multiplier drives every core.
        for (int core = 0; core < b.cpu.cores; ++core)
            b.SetMultiplier(core, multiplier);
    }
    Journal("%s.SetMultiplier(%g)", Who().c_str(), multiplier);
    return true;
}

double CCpuDevice::GetNBMultiplier() { return _Read(&vb::CpuState::nbMultiplier); }

double CCpuDevice::GetNBFrequency()
{
    QVX_LOCK_BOARD;
    return b.NBClockMHz();
}

double CCpuDevice::GetNBVid() { return _Read(&vb::CpuState::nbVid); }

bool CCpuDevice::SetNBVid(double volts)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetNBVid"));
    LOG_PROCESS_ERROR(b.cpu.nbVid > 0);
    LOG_PROCESS_ERROR(InVoltageRange(b.cpu, volts));
    b.cpu.nbVid = volts;
    Journal("%s.SetNBVid(%g)", Who().c_str(), volts);
    return true;
}

const CACHE_INFO* CCpuDevice::_Cache(size_t level, const char* operation)
{
    auto lock = LockBoard();
    return Refuse(operation) ? nullptr : &m_Caches[level];
}

const CACHE_INFO* CCpuDevice::GetL1DataCacheInfo() { return _Cache(0, "GetL1DataCacheInfo"); }
const CACHE_INFO* CCpuDevice::GetL1CodeCacheInfo() { return _Cache(1, "GetL1CodeCacheInfo"); }
const CACHE_INFO* CCpuDevice::GetL2CacheInfo() { return _Cache(2, "GetL2CacheInfo"); }
const CACHE_INFO* CCpuDevice::GetL3CacheInfo() { return _Cache(3, "GetL3CacheInfo"); }

const double* CCpuDevice::GetTemperature()
{
    // The pair stays valid until this thread asks this core again, so readers on
    // several threads never share one buffer.
    thread_local std::map<const CCpuDevice*, std::array<double, 2>> pairs;
    QVX_LOCK_BOARD;
    if (!b.cpu.hasTemperature || Refuse("GetTemperature"))
        return nullptr;
    std::array<double, 2>& pair = pairs[this];
    if (b.cpu.temperaturePair.size() == 2) {
        pair = {b.cpu.temperaturePair[0], b.cpu.temperaturePair[1]};
    } else {
        const double t = std::round(b.CpuTemperature(m_nIndex) * 10) / 10;
        pair = {t, t - 1.5};
    }
    return pair.data();
}

bool CCpuDevice::IsPerCoreControlSupported() { return _Read(&vb::CpuState::perCoreControl); }

bool CCpuDevice::IsPerCoreClockSupported()
{
    // Always the same answer as per-core control: a page that trusted one and not
    // the other would touch widgets it removed.
    return IsPerCoreControlSupported();
}

bool CCpuDevice::IsHalfMultiplierSupported() { return _Read(&vb::CpuState::halfMultipliers); }

int CCpuDevice::GetMaxPstateIndex()
{
    QVX_LOCK_BOARD;
    return static_cast<int>(b.cpu.pstates.size()) - 1;
}

int CCpuDevice::GetCurrentPstate()
{
    QVX_LOCK_BOARD;
    return b.cpu.pstate.at(static_cast<size_t>(m_nIndex));
}

bool CCpuDevice::GetPstateInfo(int pstate, PSTATE_INFO* info)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(info);
    LOG_PROCESS_ERROR(!Refuse("GetPstateInfo"));
    LOG_PROCESS_ERROR(pstate >= 0 && pstate < static_cast<int>(b.cpu.pstates.size()));
    const vb::PstateDef& p = b.cpu.pstates[static_cast<size_t>(pstate)];
    PSTATE_INFO r{};
    r.CpuFid = p.fid;
    r.CpuDid = p.did;
    r.CpuVid = p.vid;
    r.NbDid = p.nbDid;
    r.NbVid = p.nbVid;
    r.IddValue = p.idd;
    r.IddDiv = p.iddDiv;
    r.bEnabled = p.enabled;
    r.dFrequency = b.clock.htRef.value * PstateMultiplier(p);
    r.dVoltage = vb::DeviceBoard::PstateVoltage(p.vid);
    r.dNbFrequency = b.PstateNbFrequency(p);
    r.dNbVoltage = vb::DeviceBoard::PstateVoltage(p.nbVid);
    *info = r;
    return true;
}

bool CCpuDevice::SetPstateInfo(int pstate, const PSTATE_INFO* info)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(info);
    LOG_PROCESS_ERROR(!Refuse("SetPstateInfo"));
    LOG_PROCESS_ERROR(pstate >= 0 && pstate < static_cast<int>(b.cpu.pstates.size()));
    // Raw fields must fit their register fields.
    LOG_PROCESS_ERROR(IsWhole(info->CpuFid, 63) && IsWhole(info->CpuDid, 4) && IsWhole(info->CpuVid, 127));
    LOG_PROCESS_ERROR(IsWhole(info->NbDid, 1) && IsWhole(info->NbVid, 127));
    LOG_PROCESS_ERROR(IsWhole(info->IddValue, 255) && IsWhole(info->IddDiv, 3));
    vb::PstateDef& p = b.cpu.pstates[static_cast<size_t>(pstate)];
    p.fid = static_cast<int>(info->CpuFid);
    p.did = static_cast<int>(info->CpuDid);
    p.vid = static_cast<int>(info->CpuVid);
    p.nbDid = static_cast<int>(info->NbDid);
    p.nbVid = static_cast<int>(info->NbVid);
    p.idd = static_cast<int>(info->IddValue);
    p.iddDiv = static_cast<int>(info->IddDiv);
    p.enabled = info->bEnabled;
    Journal("%s.SetPstateInfo(%d, fid=%d did=%d vid=%d %s)", Who().c_str(), pstate, p.fid, p.did, p.vid,
            p.enabled ? "on" : "off");
    return true;
}

bool CCpuDevice::SetPstate(int pstate)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetPstate"));
    LOG_PROCESS_ERROR(pstate >= 0 && pstate < static_cast<int>(b.cpu.pstates.size()));
    const vb::PstateDef& p = b.cpu.pstates[static_cast<size_t>(pstate)];
    b.cpu.pstate[static_cast<size_t>(m_nIndex)] = pstate;
    b.SetMultiplier(m_nIndex, PstateMultiplier(p));
    b.SetCoreVid(vb::DeviceBoard::PstateVoltage(p.vid));
    Journal("%s.SetPstate(%d)", Who().c_str(), pstate);
    return true;
}

bool CCpuDevice::GetBoostMode(bool* boost, bool* second)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(boost && second);
    LOG_PROCESS_ERROR(!Refuse("GetBoostMode"));
    *boost = b.cpu.boost;
    *second = b.cpu.boostSecond;
    return true;
}

bool CCpuDevice::SetBoostMode(bool boost, bool second)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetBoostMode"));
    b.cpu.boost = boost;
    b.cpu.boostSecond = second;
    Journal("%s.SetBoostMode(%d, %d)", Who().c_str(), boost ? 1 : 0, second ? 1 : 0);
    return true;
}

} // namespace qvx
