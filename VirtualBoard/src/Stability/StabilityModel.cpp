#include "VirtualBoard/Stability/StabilityModel.h"

#include <algorithm>
#include <cmath>

#include "VirtualBoard/Devices/DeviceBoard.h"

namespace vb {

namespace {

// Headroom of a board whose file gives no limits: what such a part of the board
// still takes above its start-up clock.
constexpr double kCoreHeadroom = 1.06;
constexpr double kUncoreHeadroom = 1.15;

double Num(const QJsonObject& o, const char* key, double fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() && std::isfinite(v.toDouble()) ? v.toDouble() : fallback;
}

int Rank(Stability s) { return s == Stability::Hang ? 2 : s == Stability::Errors ? 1 : 0; }

} // namespace

StabilityModel::StabilityModel(Machine& machine) : m_board(machine.Get<DeviceBoard>())
{
    // The start-up operating point, from what the device board read of the file:
    // the limits a file leaves out are set a little above it.
    double startCore = 0, startNb = 0, startMemory = 0, startVolts = 0, startTemperature = 0;
    {
        auto lock = m_board.Lock();
        const double reference = m_board.clock.htRef.def > 0 ? m_board.clock.htRef.def : 200;
        startCore = reference * Num(machine.Section(QStringLiteral("processor")), "multiplier", 15);
        startNb = reference * m_board.cpu.nbMultiplier;
        startMemory = m_board.mc.memClk;
        startVolts = m_board.cpu.startVoltage;
        startTemperature = m_board.cpu.idleTemperature;
    }
    const QJsonObject s = machine.Section(QStringLiteral("stability"));
    StabilityParameters& p = m_params;
    p.startCoreMHz = startCore;
    p.coreMHz = Num(s, "coreMHz", startCore * kCoreHeadroom);
    p.referenceVolts = Num(s, "referenceVolts", startVolts);
    p.referenceTemperature = Num(s, "referenceTemperature", startTemperature);
    p.mhzPerVolt = Num(s, "mhzPerVolt", p.mhzPerVolt);
    p.mhzPerDegree = Num(s, "mhzPerDegree", p.mhzPerDegree);
    p.errorsPerExcess = std::max(0.0, Num(s, "errorsPerExcess", p.errorsPerExcess));
    p.hangExcess = Num(s, "hangExcess", p.hangExcess);
    p.northBridgeMHz = Num(s, "northBridgeMHz", startNb * kUncoreHeadroom);
    p.memoryMHz = Num(s, "memoryMHz", startMemory * kUncoreHeadroom);
    p.seed = ToU64(s.value(QStringLiteral("seed")), p.seed);
    p.deterministic = s.value(QStringLiteral("deterministic")).toBool(false);
}

StabilityParameters StabilityModel::Parameters() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_params;
}

void StabilityModel::SetDeterministic(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_params.deterministic = on;
}

double StabilityModel::CoreLimitMHz(double volts, double temperature) const
{
    const StabilityParameters p = Parameters();
    const double limit = p.coreMHz + p.mhzPerVolt * (volts - p.referenceVolts) -
                         p.mhzPerDegree * (temperature - p.referenceTemperature);
    // A starved core still runs slowly rather than not at all.
    return std::isfinite(limit) ? std::max(limit, 1.0) : 1.0;
}

StabilityVerdict StabilityModel::JudgeCore(const OperatingPoint& point) const
{
    return JudgeClock(point.mhz, CoreLimitMHz(point.volts, point.temperature));
}

StabilityVerdict StabilityModel::JudgeClock(double mhz, double limitMHz) const
{
    const StabilityParameters p = Parameters();
    StabilityVerdict v;
    v.limitMHz = limitMHz;
    if (!(limitMHz > 0) || !std::isfinite(mhz))
        return v;
    v.excess = (mhz - limitMHz) / limitMHz;
    if (!(v.excess > 0))
        return v;
    if (v.excess >= p.hangExcess) {
        v.state = Stability::Hang;
        v.errorRate = 1;
    } else {
        v.state = Stability::Errors;
        v.errorRate = std::clamp(v.excess * p.errorsPerExcess, 0.0, 1.0);
    }
    return v;
}

OperatingPoint StabilityModel::CorePoint(int core)
{
    auto lock = m_board.Lock();
    OperatingPoint point;
    point.mhz = m_board.CoreClockMHz(core);
    point.volts = m_board.cpu.vid;
    point.temperature = m_board.CpuTemperature(core);
    return point;
}

int StabilityModel::CoreCount()
{
    auto lock = m_board.Lock();
    return static_cast<int>(m_board.cpu.multiplier.size());
}

StabilityVerdict StabilityModel::CoreVerdict(int core)
{
    if (core < 0 || core >= CoreCount())
        return StabilityVerdict{};
    return JudgeCore(CorePoint(core));
}

StabilityVerdict StabilityModel::UncoreVerdict()
{
    double nb = 0, memory = 0;
    {
        auto lock = m_board.Lock();
        nb = m_board.NBClockMHz();
        memory = m_board.MemClkMHz();
    }
    const StabilityParameters p = Parameters();
    return Worse(JudgeClock(nb, p.northBridgeMHz), JudgeClock(memory, p.memoryMHz));
}

StabilityVerdict StabilityModel::BoardVerdict()
{
    StabilityVerdict worst = UncoreVerdict();
    for (int core = 0, cores = CoreCount(); core < cores; ++core)
        worst = Worse(worst, CoreVerdict(core));
    return worst;
}

bool StabilityModel::DrawError(const StabilityVerdict& verdict, std::mt19937_64& random) const
{
    if (verdict.state == Stability::Stable)
        return false;
    if (Parameters().deterministic)
        return true;
    return std::uniform_real_distribution<double>(0.0, 1.0)(random) < verdict.errorRate;
}

StabilityVerdict StabilityModel::Worse(const StabilityVerdict& a, const StabilityVerdict& b)
{
    if (Rank(a.state) != Rank(b.state))
        return Rank(a.state) > Rank(b.state) ? a : b;
    return b.errorRate > a.errorRate ? b : a;
}

void StabilityModel::NoteHang()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_hung)
        ++m_hangs;
    m_hung = true;
}

bool StabilityModel::IsHung() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hung;
}

void StabilityModel::Recover()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hung = false;
}

int StabilityModel::HangCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hangs;
}

bool StabilityModel::PostMachineCheck(int bank)
{
    if (bank < 0 || bank >= kMcaBanks)
        return false;
    // Valid, uncorrected, with an error code of the bank's own kind.
    constexpr uint64_t kValid = 1ull << 63, kUncorrected = 1ull << 61;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mca[bank] = kValid | kUncorrected | static_cast<uint64_t>(0x0800 + bank);
    return true;
}

int StabilityModel::TakeMachineCheck()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int bank = 0; bank < kMcaBanks; ++bank) {
        if (m_mca[bank] >> 63) {
            m_mca[bank] = 0;
            return bank;
        }
    }
    return -1;
}

} // namespace vb
