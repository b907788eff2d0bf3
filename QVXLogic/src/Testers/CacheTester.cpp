// Cache speeds: the memory kernels on a working set of half a cache, swept over
// and over, so every access after the first sweep hits that cache.
#include "Testers/CacheSizes.h"
#include "Testers/TesterSupport.h"

namespace {

constexpr uint64_t kPattern = 0x0F1E2D3C4B5A6978ull;

} // namespace

CCacheTester::CCacheTester() = default;
CCacheTester::~CCacheTester() = default;

size_t CCacheTester::GetL1WorkingSet() const { return qvx::SweepBytes(qvx::HostCacheSizes().uL1Data / 2); }
size_t CCacheTester::GetL2WorkingSet() const { return qvx::SweepBytes(qvx::HostCacheSizes().uL2 / 2); }

float CCacheTester::GetL1CacheReadSpeed() { return _SweepSpeed(tqL1Read, GetL1WorkingSet(), false); }
float CCacheTester::GetL1CacheWriteSpeed() { return _SweepSpeed(tqL1Write, GetL1WorkingSet(), true); }
float CCacheTester::GetL2CacheReadSpeed() { return _SweepSpeed(tqL2Read, GetL2WorkingSet(), false); }
float CCacheTester::GetL2CacheWriteSpeed() { return _SweepSpeed(tqL2Write, GetL2WorkingSet(), true); }

// One buffer serves both working sets; the first sweep of a pass brings it into the cache.
// In small pages scattered over physical memory, half a cache can meet more lines in some
// cache sets than they hold, and L2 reads then differed by a fifth from one process to the
// next: the buffer is one block of large pages instead.
float CCacheTester::_SweepSpeed(TESTER_QUANTITY eQuantity, size_t uBytes, bool bWrite)
{
    if (IQvxTesterOverride* pOverride = qvx::TesterOverride())
        return static_cast<float>(pOverride->Measure(eQuantity, m_pStop));
    void* p = _Buffer(std::max(GetL1WorkingSet(), GetL2WorkingSet()), true);
    if (!p)
        return 0.0f;
    const size_t sweeps = std::max<size_t>(1, qvx::kChunkBytes / uBytes);
    return qvx::MegabytesPerSecond(_BestRate([&] {
        if (bWrite)
            qvx::WriteSweeps(p, uBytes, sweeps, kPattern);
        else
            m_uSink += qvx::ReadSweeps(p, uBytes, sweeps);
        return static_cast<double>(uBytes) * static_cast<double>(sweeps);
    }));
}
