// The integer stress work: three sums whose answers are known in closed form. Each
// round starts from a different value, so no two rounds compute the same thing.
#include <vector>

#include "TestCenter/StressKernel.h"

namespace qvx {

namespace {

constexpr int32_t kIntegerError = 11, kUnsignedError = 12, kRecursiveError = 13;

// Sum of 3i^3 - 5i^2 + 7i - 11 for i = 1..m.
int64_t PolynomialSum(int64_t m)
{
    const int64_t s1 = m * (m + 1) / 2;
    const int64_t s2 = m * (m + 1) * (2 * m + 1) / 6;
    return 3 * s1 * s1 - 5 * s2 + 7 * s1 - 11 * m;
}

// One step of a 64-bit linear congruential generator, and n steps at once by
// composing the step with itself (square and multiply).
constexpr uint64_t kLcgMul = 6364136223846793005ull, kLcgAdd = 1442695040888963407ull;

uint64_t LcgJump(uint64_t x, uint64_t n)
{
    uint64_t mul = 1, add = 0, stepMul = kLcgMul, stepAdd = kLcgAdd;
    while (n) {
        if (n & 1) {
            mul *= stepMul;
            add = add * stepMul + stepAdd;
        }
        stepAdd = stepAdd * (stepMul + 1);
        stepMul *= stepMul;
        n >>= 1;
    }
    return mul * x + add;
}

// G(0) = p, G(1) = q, G(d) = G(d - 1) + G(d - 2), the slow way on purpose.
uint64_t Recursive(int depth, uint64_t p, uint64_t q)
{
    if (depth == 0)
        return p;
    if (depth == 1)
        return q;
    return Recursive(depth - 1, p, q) + Recursive(depth - 2, p, q);
}

uint64_t Iterative(int depth, uint64_t p, uint64_t q)
{
    for (int i = 0; i < depth; ++i) {
        const uint64_t next = p + q;
        p = q;
        q = next;
    }
    return p;
}

class CCpuKernel final : public IStressKernel {
public:
    CCpuKernel(bool light, uint64_t iterations)
        : m_nCount(light ? 64 : 4096), m_uLcgSteps(light ? 500 : 60000), m_nDepth(light ? 10 : 20),
          m_uIterations(iterations ? iterations : light ? 4 : 800)
    {
        m_Stack.reserve(static_cast<size_t>(m_nCount));
    }

    int32_t RunBatch(int fault) override
    {
        for (uint64_t i = 0; i < m_uIterations; ++i, ++m_uRound) {
            const int f = i == 0 ? fault : kNoFault;
            if (!_Integer(f == 0))
                return kIntegerError;
            if (!_Unsigned(f == 1))
                return kUnsignedError;
            if (!_Recursive(f == 2))
                return kRecursiveError;
        }
        return 0;
    }
    int FaultKinds() const override { return 3; }
    uint64_t IterationsPerBatch() const override { return m_uIterations; }

private:
    // Pushes the terms' bases and pops them into the sum: stack traffic and integer
    // multiplies.
    bool _Integer(bool spoil)
    {
        const int64_t offset = static_cast<int64_t>(m_uRound % 1000);
        for (int64_t i = 1; i <= m_nCount; ++i)
            m_Stack.push_back(i + offset);
        int64_t sum = 0;
        while (!m_Stack.empty()) {
            const int64_t a = m_Stack.back();
            m_Stack.pop_back();
            sum += 3 * a * a * a - 5 * a * a + 7 * a - 11;
        }
        if (spoil)
            sum ^= int64_t{1} << 20;
        return sum == PolynomialSum(m_nCount + offset) - PolynomialSum(offset);
    }

    bool _Unsigned(bool spoil)
    {
        const uint64_t seed = m_uRound * 0x9E3779B97F4A7C15ull + 1;
        uint64_t x = seed;
        for (uint64_t i = 0; i < m_uLcgSteps; ++i)
            x = x * kLcgMul + kLcgAdd;
        if (spoil)
            x ^= uint64_t{1} << 7;
        return x == LcgJump(seed, m_uLcgSteps);
    }

    bool _Recursive(bool spoil)
    {
        const uint64_t p = m_uRound % 97, q = p + 1;
        uint64_t value = Recursive(m_nDepth, p, q);
        if (spoil)
            value ^= uint64_t{1} << 3;
        return value == Iterative(m_nDepth, p, q);
    }

    const int64_t m_nCount;
    const uint64_t m_uLcgSteps;
    const int m_nDepth;
    const uint64_t m_uIterations;
    uint64_t m_uRound = 0;
    std::vector<int64_t> m_Stack;
};

} // namespace

std::unique_ptr<IStressKernel> MakeCpuKernel(bool light, uint64_t iterations)
{
    return std::make_unique<CCpuKernel>(light, iterations);
}

} // namespace qvx
