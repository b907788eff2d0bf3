// The integer and floating-point testers. Both check their own results, so a
// broken or optimised-away kernel shows as 0 instead of as a fast machine.
#include <cstring>

#include "Engine/LogCheck.h"
#include "Testers/TesterSupport.h"

namespace {

// Pi to 100 decimals, for the spigot's check.
constexpr char kPiDigits[] = "3141592653589793238462643383279502884197169399375105820974944592307816406286208998628034825342117067";
constexpr double kStepsPerPoint = 2e5;
constexpr size_t kMatrixSize = 256;
constexpr double kFlopsPerPoint = 1e7;   // one point per 10 MFLOPS

bool DigitsAreRight(const char (*digits)[qvx::kSpigotDigits])
{
    for (int lane = 1; lane < 4; ++lane)
        if (std::memcmp(digits[0], digits[lane], qvx::kSpigotDigits) != 0)
            return false;
    return std::memcmp(digits[0], kPiDigits, sizeof(kPiDigits) - 1) == 0;
}

// Inputs whose product's row sums are known from the inputs alone.
void FillMatrices(double* a, double* b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        for (size_t k = 0; k < n; ++k) {
            a[i * n + k] = 1.0 / static_cast<double>(1 + (i + 2 * k) % 17);
            b[i * n + k] = static_cast<double>((3 * i + k) % 13) * 0.125 - 0.75;
        }
}

// Row i of A x B sums to sum_k a[i][k] * (row sum k of B).
bool ProductIsRight(const double* a, const double* b, const double* c)
{
    constexpr size_t n = kMatrixSize;
    double rowB[n];
    for (size_t k = 0; k < n; ++k) {
        rowB[k] = 0.0;
        for (size_t j = 0; j < n; ++j)
            rowB[k] += b[k * n + j];
    }
    for (size_t i = 0; i < n; ++i) {
        double expected = 0.0, actual = 0.0, scale = 0.0;
        for (size_t k = 0; k < n; ++k) {
            expected += a[i * n + k] * rowB[k];
            scale += std::fabs(a[i * n + k] * rowB[k]);
            actual += c[i * n + k];
        }
        if (!(std::fabs(actual - expected) <= 1e-9 * (scale + 1.0)))
            return false;
    }
    return true;
}

} // namespace

CCPUTesterIC::CCPUTesterIC() = default;
CCPUTesterIC::~CCPUTesterIC() = default;

double CCPUTesterIC::GetBenchmarkValue()
{
    if (IQvxTesterOverride* pOverride = qvx::TesterOverride())
        return pOverride->Measure(tqInteger, m_pStop);
    const size_t words = 4 * qvx::SpigotLength(qvx::kSpigotDigits);
    auto* pLanes = static_cast<uint32_t*>(_Buffer(words * sizeof(uint32_t) + 4 * qvx::kSpigotDigits));
    if (!pLanes)
        return 0.0;
    auto* pDigits = reinterpret_cast<char (*)[qvx::kSpigotDigits]>(pLanes + words);
    const double dRate = _BestRate([&] { return static_cast<double>(qvx::SpigotPi(pLanes, qvx::kSpigotDigits, pDigits)); });
    if (dRate == 0.0)
        return 0.0;
    LOG_PROCESS_ERROR_RET(DigitsAreRight(pDigits), 0.0);
    return dRate / kStepsPerPoint;
}

CCPUTesterFPC::CCPUTesterFPC() = default;
CCPUTesterFPC::~CCPUTesterFPC() = default;

double CCPUTesterFPC::GetBenchmarkValue()
{
    if (IQvxTesterOverride* pOverride = qvx::TesterOverride())
        return pOverride->Measure(tqFloatingPoint, m_pStop);
    constexpr size_t n = kMatrixSize;
    auto* pA = static_cast<double*>(_Buffer(3 * n * n * sizeof(double)));
    if (!pA)
        return 0.0;
    double* pB = pA + n * n;
    double* pC = pB + n * n;
    FillMatrices(pA, pB, n);
    const double dRate = _BestRate([&] { return qvx::MatrixProduct(pA, pB, pC, n); });
    if (dRate == 0.0)
        return 0.0;
    LOG_PROCESS_ERROR_RET(ProductIsRight(pA, pB, pC), 0.0);
    return dRate / kFlopsPerPoint;
}
