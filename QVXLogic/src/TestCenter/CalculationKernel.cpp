// The calculation stress work: products of big numbers (16-bit digits) formed as a
// floating-point convolution, checked the ways a big-number program checks itself,
// then a pattern written across a memory buffer and read back.
#include <cmath>
#include <new>
#include <vector>

#include "TestCenter/StressKernel.h"

namespace qvx {

namespace {

constexpr int32_t kUnexpectedResult = 1, kUnexpectedSum = 2, kIllegalSumout = 5, kRoundingError = 6,
                  kCalculationError = 22, kAllocationError = 24;
constexpr uint64_t kDigit = 0x10000, kResidueModulus = 0xFFFF;   // base - 1: digits sum to the residue

uint64_t Next(uint64_t& state)
{
    // xorshift64*: cheap digits that differ every round.
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
}

class CCalculationKernel final : public IStressKernel {
public:
    CCalculationKernel(bool light, uint64_t iterations)
        : m_nDigits(light ? 16 : 512), m_uIterations(iterations ? iterations : light ? 2 : 300),
          m_uWords(light ? 512 : (8u << 20) / 8),
          m_A(m_nDigits), m_B(m_nDigits), m_Convolution(2 * m_nDigits), m_Product(2 * m_nDigits),
          m_Reference(2 * m_nDigits), m_pBuffer(new (std::nothrow) uint64_t[m_uWords])
    {
    }

    int32_t RunBatch(int fault) override
    {
        if (!m_pBuffer)
            return kAllocationError;
        for (uint64_t i = 0; i < m_uIterations; ++i, ++m_uRound) {
            if (const int32_t error = _Product(i == 0 ? fault : kNoFault))
                return error;
        }
        return _Memory(fault == 4) ? 0 : kCalculationError;
    }
    int FaultKinds() const override { return 5; }
    uint64_t IterationsPerBatch() const override { return m_uIterations; }

private:
    int32_t _Product(int fault)
    {
        const size_t n = m_A.size(), mid = n - 1;
        uint64_t state = m_uRound * 0x9E3779B97F4A7C15ull + 0x1234567;
        uint64_t sumA = 0, sumB = 0;
        for (size_t i = 0; i < n; ++i) {
            m_A[i] = static_cast<uint32_t>(Next(state) % kDigit);
            m_B[i] = static_cast<uint32_t>(Next(state) % kDigit);
            sumA += m_A[i];
            sumB += m_B[i];
        }
        // Every sum of digit products stays below 2^53, so the doubles are exact.
        std::fill(m_Convolution.begin(), m_Convolution.end(), 0.0);
        for (size_t i = 0; i < n; ++i) {
            const double a = m_A[i];
            for (size_t j = 0; j < n; ++j)
                m_Convolution[i + j] += a * m_B[j];
        }
        if (fault == 0)
            m_Convolution[mid] += 0.25;
        if (fault == 1)
            m_Convolution[mid] += 1024;

        double sumOut = 0;
        for (const double c : m_Convolution) {
            if (c != std::nearbyint(c))
                return kRoundingError;
            sumOut += c;
        }
        if (sumOut != static_cast<double>(sumA) * static_cast<double>(sumB))
            return kIllegalSumout;

        _Carry(m_Convolution, m_Product);
        if (fault == 2)
            m_Product[mid] ^= 1u << 5;
        uint64_t residue = 0;
        for (const uint32_t digit : m_Product)
            residue += digit;
        if (residue % kResidueModulus != (sumA % kResidueModulus) * (sumB % kResidueModulus) % kResidueModulus)
            return kUnexpectedSum;

        // The same product once more, in integers, digit column by digit column.
        std::vector<double>& columns = m_Convolution;
        for (size_t k = 0; k < columns.size(); ++k) {
            uint64_t column = 0;
            for (size_t i = k < n ? 0 : k - n + 1; i <= k && i < n; ++i)
                column += static_cast<uint64_t>(m_A[i]) * m_B[k - i];
            columns[k] = static_cast<double>(column);
        }
        _Carry(columns, m_Reference);
        if (fault == 3)
            m_Reference[mid] ^= 1u;
        return m_Reference == m_Product ? 0 : kUnexpectedResult;
    }

    static void _Carry(const std::vector<double>& columns, std::vector<uint32_t>& digits)
    {
        uint64_t carry = 0;
        for (size_t k = 0; k < columns.size(); ++k) {
            carry += static_cast<uint64_t>(columns[k]);
            digits[k] = static_cast<uint32_t>(carry % kDigit);
            carry /= kDigit;
        }
    }

    bool _Memory(bool spoil)
    {
        const uint64_t salt = m_uRound * 0xD6E8FEB86659FD93ull;
        for (size_t i = 0; i < m_uWords; ++i)
            m_pBuffer[i] = (i * 0x9E3779B97F4A7C15ull) ^ salt;
        if (spoil)
            m_pBuffer[m_uWords / 2] ^= uint64_t{1} << 33;
        for (size_t i = 0; i < m_uWords; ++i) {
            if (m_pBuffer[i] != ((i * 0x9E3779B97F4A7C15ull) ^ salt))
                return false;
        }
        return true;
    }

    const size_t m_nDigits;
    const uint64_t m_uIterations;
    const size_t m_uWords;
    std::vector<uint32_t> m_A, m_B;
    std::vector<double> m_Convolution;
    std::vector<uint32_t> m_Product, m_Reference;
    std::unique_ptr<uint64_t[]> m_pBuffer;
    uint64_t m_uRound = 0;
};

} // namespace

std::unique_ptr<IStressKernel> MakeCalculationKernel(bool light, uint64_t iterations)
{
    return std::make_unique<CCalculationKernel>(light, iterations);
}

} // namespace qvx
