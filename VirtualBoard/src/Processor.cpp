#include "VirtualBoard/Processor.h"
#include "VirtualBoard/Clock.h"

#include <QJsonArray>
#include <cstring>

namespace vb {

namespace {

uint32_t Pack4(const std::string& text, size_t offset)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t at = offset + i;
        const uint8_t c = at < text.size() ? static_cast<uint8_t>(text[at]) : 0;
        v |= static_cast<uint32_t>(c) << (8 * i);
    }
    return v;
}

} // namespace

Processor::Processor(Machine& machine)
{
    const QJsonObject p = machine.Section(QStringLiteral("processor"));
    m_cpuidSupported = p.value(QStringLiteral("cpuidSupported")).toBool(true);
    m_vendor = p.value(QStringLiteral("vendor")).toString(QStringLiteral("AuthenticVyk")).toStdString();
    m_brand = p.value(QStringLiteral("brand")).toString().toStdString();
    m_signature = static_cast<uint32_t>(ToU64(p.value(QStringLiteral("signature")), 0x00100F42));
    m_cores = static_cast<int>(ToU64(p.value(QStringLiteral("cores")), 1));
    if (m_cores < 1)
        m_cores = 1;
    m_maxStdLeaf = static_cast<uint32_t>(ToU64(p.value(QStringLiteral("maxStandardLeaf")), 5));
    m_maxExtLeaf = static_cast<uint32_t>(ToU64(p.value(QStringLiteral("maxExtendedLeaf")), 0x8000001B));
    const QJsonObject f = p.value(QStringLiteral("features")).toObject();
    m_msrSupported = f.value(QStringLiteral("msr")).toBool(true);
    m_fidControl = f.value(QStringLiteral("fidControl")).toBool(true);
    m_vidControl = f.value(QStringLiteral("vidControl")).toBool(true);
    m_hwPstate = f.value(QStringLiteral("hardwarePstates")).toBool(true);

    const QJsonObject overrides = p.value(QStringLiteral("cpuid")).toObject();
    for (auto it = overrides.begin(); it != overrides.end(); ++it) {
        const QJsonArray r = it.value().toArray();
        CpuidRegs regs;
        regs.eax = static_cast<uint32_t>(ToU64(r.at(0)));
        regs.ebx = static_cast<uint32_t>(ToU64(r.at(1)));
        regs.ecx = static_cast<uint32_t>(ToU64(r.at(2)));
        regs.edx = static_cast<uint32_t>(ToU64(r.at(3)));
        m_cpuidOverrides[static_cast<uint32_t>(ToU64(QJsonValue(it.key())))] = regs;
    }
    const QJsonObject msrs = p.value(QStringLiteral("msr")).toObject();
    for (auto it = msrs.begin(); it != msrs.end(); ++it)
        m_msrs[static_cast<uint32_t>(ToU64(QJsonValue(it.key())))] = ToU64(it.value());

    const double ref = p.value(QStringLiteral("referenceClockMHz")).toDouble(200.0);
    const double mult = p.value(QStringLiteral("multiplier")).toDouble(15.0);
    m_coreMHz = ref * mult;
    m_tscSinceNs = GetClock().NowNs();
    m_tscBase = static_cast<uint64_t>(ToU64(p.value(QStringLiteral("tscStart")), 0));
}

CpuidRegs Processor::Cpuid(uint32_t leaf, uint32_t) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto o = m_cpuidOverrides.find(leaf);
    if (o != m_cpuidOverrides.end())
        return o->second;
    CpuidRegs r;
    const bool extended = leaf >= 0x80000000u;
    if ((!extended && leaf > m_maxStdLeaf) || (extended && leaf > m_maxExtLeaf))
        return r;
    switch (leaf) {
    case 0:
    case 0x80000000:
        r.eax = leaf == 0 ? m_maxStdLeaf : m_maxExtLeaf;
        r.ebx = Pack4(m_vendor, 0);
        r.edx = Pack4(m_vendor, 4);
        r.ecx = Pack4(m_vendor, 8);
        break;
    case 1:
        r.eax = m_signature;
        r.ebx = (static_cast<uint32_t>(m_cores) << 16) | (8u << 8);
        r.ecx = 0x00802009;                       // SSE3, MONITOR, CX16, POPCNT
        r.edx = 0x178BFBFF & ~(1u << 5);           // FPU ... SSE2, HTT
        if (m_msrSupported)
            r.edx |= 1u << 5;
        break;
    case 0x80000001:
        r.eax = m_signature;
        r.edx = 0xEFD3FBFF;
        break;
    case 0x80000002:
    case 0x80000003:
    case 0x80000004: {
        const size_t base = (leaf - 0x80000002u) * 16;
        r.eax = Pack4(m_brand, base);
        r.ebx = Pack4(m_brand, base + 4);
        r.ecx = Pack4(m_brand, base + 8);
        r.edx = Pack4(m_brand, base + 12);
        break;
    }
    case 0x80000007:
        r.edx = (m_fidControl ? 1u << 1 : 0) | (m_vidControl ? 1u << 2 : 0) | (m_hwPstate ? 1u << 7 : 0)
              | (1u << 8);                         // invariant counter
        break;
    case 0x80000008:
        r.eax = 0x00003030;
        r.ecx = static_cast<uint32_t>(m_cores - 1);
        break;
    default:
        break;
    }
    return r;
}

bool Processor::ReadMsr(uint32_t msr, uint64_t* value) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_msrs.find(msr);
    if (it == m_msrs.end())
        return false;
    *value = it->second;
    return true;
}

bool Processor::WriteMsr(uint32_t msr, uint64_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_msrs.find(msr);
    if (it == m_msrs.end())
        return false;
    it->second = value;
    return true;
}

uint64_t Processor::ReadTsc()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint64_t now = GetClock().NowNs();
    if (now < m_tscSinceNs)       // another clock was installed: count on from here
        m_tscSinceNs = now;
    const unsigned __int128 elapsed = now - m_tscSinceNs;
    return m_tscBase + static_cast<uint64_t>(elapsed * static_cast<unsigned __int128>(m_coreMHz * 1000.0) / 1000000u);
}

double Processor::CoreClockMHz() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_coreMHz;
}

void Processor::SetCoreClockMHz(double mhz)
{
    const uint64_t tsc = ReadTsc();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tscBase = tsc;
    m_tscSinceNs = GetClock().NowNs();
    m_coreMHz = mhz;
}

} // namespace vb
