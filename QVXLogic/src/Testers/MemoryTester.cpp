// Main-memory speeds on a buffer several times the last-level cache, so the
// caches hold almost none of it; swept chunk by chunk, so a stop is seen at once.
#include "Testers/CacheSizes.h"
#include "Testers/TesterSupport.h"

namespace {

constexpr uint64_t kPattern = 0x0123456789ABCDEFull;
constexpr size_t kChaseSteps = 1u << 16;

} // namespace

// The cache that matters is the last level of the CPUs the measuring thread may run on,
// not what the system reports for the whole package. That thread is started by the one
// making the tester (the page's GUI thread) and inherits its CPUs.
CMemoryTester::CMemoryTester()
    : m_uBytes(BufferSizeFor(qvx::LastLevelCache(qvx::kSysCpuRoot, qvx::CallingThreadCpus()).uBytes, qvx::PhysicalMemory()))
{
}

CMemoryTester::~CMemoryTester() = default;

void CMemoryTester::SetBufferSize(size_t uBytes) { m_uBytes = qvx::SweepBytes(uBytes); }

// Four times the cache is what keeps the caches from holding the measurement; 256 MiB
// covers that for every cache up to 64 MiB, and more is only taken for larger ones.
size_t CMemoryTester::BufferSizeFor(size_t uLastLevel, size_t uPhysical)
{
    constexpr size_t kMin = size_t(64) << 20, kUnknown = size_t(256) << 20;
    size_t bytes = uLastLevel == 0 ? kUnknown : std::max(kMin, qvx::PowerOfTwoAtLeast(4 * uLastLevel));
    if (uPhysical != 0)
        bytes = std::min(bytes, std::max(kMin, qvx::PowerOfTwoAtMost(uPhysical / 8)));
    return bytes;
}

float CMemoryTester::GetMainMemoryReadSpeed()
{
    if (IQvxTesterOverride* pOverride = qvx::TesterOverride())
        return static_cast<float>(pOverride->Measure(tqMemoryRead, m_pStop));
    const char* p = static_cast<const char*>(_Buffer(m_uBytes));
    if (!p)
        return 0.0f;
    size_t offset = 0;
    return qvx::MegabytesPerSecond(_BestRate([&] {
        const size_t chunk = std::min(qvx::kChunkBytes, m_uBytes - offset);
        m_uSink += qvx::ReadSweeps(p + offset, chunk, 1);
        offset = (offset + chunk) % m_uBytes;
        return static_cast<double>(chunk);
    }));
}

float CMemoryTester::GetMainMemoryWriteSpeed()
{
    if (IQvxTesterOverride* pOverride = qvx::TesterOverride())
        return static_cast<float>(pOverride->Measure(tqMemoryWrite, m_pStop));
    char* p = static_cast<char*>(_Buffer(m_uBytes));
    if (!p)
        return 0.0f;
    size_t offset = 0;
    return qvx::MegabytesPerSecond(_BestRate([&] {
        const size_t chunk = std::min(qvx::kChunkBytes, m_uBytes - offset);
        qvx::WriteSweeps(p + offset, chunk, 1, kPattern);
        offset = (offset + chunk) % m_uBytes;
        return static_cast<double>(chunk);
    }));
}

// Loads that each wait for the one before, over the whole buffer in random order.
float CMemoryTester::GetMainMemoryLatency()
{
    if (IQvxTesterOverride* pOverride = qvx::TesterOverride())
        return static_cast<float>(pOverride->Measure(tqMemoryLatency, m_pStop));
    void* p = _Buffer(m_uBytes);
    if (!p)
        return 0.0f;
    qvx::LinkRandomCycle(p, m_uBytes);
    uint64_t at = 0;
    const double dLoadsPerSecond = _BestRate([&] {
        at = qvx::ChaseCycle(p, at, kChaseSteps);
        return static_cast<double>(kChaseSteps);
    });
    m_uSink += at;
    return dLoadsPerSecond > 0.0 ? static_cast<float>(1e9 / dLoadsPerSecond) : 0.0f;
}
