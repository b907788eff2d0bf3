// The floating-point stress work: eight Taylor series summed term by term and held
// against the maths library. The series are long enough that a sound processor
// agrees to far better than the tolerance.
#include <cmath>
#include <cstring>
#include <vector>

#include "TestCenter/StressKernel.h"

namespace qvx {

namespace {

constexpr int32_t kFirstError = 14;   // 14 1/(1-x) ... 21 sin^2 + cos^2
constexpr int kFunctions = 8;
constexpr double kTolerance = 1e-11;

double Geometric(double x)
{
    double sum = 0, term = 1;
    for (int k = 0; k <= 60; ++k, term *= x)
        sum += term;
    return sum;
}

double Exp(double x)
{
    double sum = 0, term = 1;
    for (int k = 1; k <= 26; ++k) {
        sum += term;
        term *= x / k;
    }
    return sum;
}

// sin when odd, cos when not: alternating terms x^n / n! from n = first.
double SinCos(double x, int first)
{
    double term = first == 1 ? x : 1.0, sum = 0;
    for (int n = first; n <= first + 40; n += 2) {
        sum += term;
        term *= -x * x / ((n + 1) * (n + 2));
    }
    return sum;
}

double Arctan(double x)
{
    double sum = 0, power = x;
    for (int k = 0; k <= 45; ++k, power *= -x * x)
        sum += power / (2 * k + 1);
    return sum;
}

struct Function {
    double lo, hi;                 // where the points lie
    double (*series)(double);
    double (*reference)(double);
};

const Function kFunctionTable[kFunctions] = {
    {-0.5, 0.5, Geometric, [](double x) { return 1 / (1 - x); }},
    {-1.0, 1.0, Exp, [](double x) { return std::exp(x); }},
    {-1.5, 1.5, [](double x) { return SinCos(x, 1); }, [](double x) { return std::sin(x); }},
    {-1.5, 1.5, [](double x) { return SinCos(x, 0); }, [](double x) { return std::cos(x); }},
    {-0.5, 0.5, Arctan, [](double x) { return std::atan(x); }},
    {-1.2, 1.2, [](double x) { return SinCos(x * x, 1); }, [](double x) { return std::sin(x * x); }},
    {-1.5, 1.5, [](double x) { double s = SinCos(x, 1); return s * s; },
     [](double x) { double s = std::sin(x); return s * s; }},
    {-1.5, 1.5, [](double x) { double s = SinCos(x, 1), c = SinCos(x, 0); return s * s + c * c; },
     [](double) { return 1.0; }},
};

// Flips the top exponent bit: whatever the value, the result is far off.
double Spoil(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    bits ^= uint64_t{1} << 62;
    std::memcpy(&value, &bits, sizeof bits);
    return value;
}

class CFpuKernel final : public IStressKernel {
public:
    CFpuKernel(bool light, uint64_t iterations)
        : m_Values(light ? 4 : 200), m_uIterations(iterations ? iterations : light ? 2 : 1000)
    {
    }

    int32_t RunBatch(int fault) override
    {
        for (uint64_t i = 0; i < m_uIterations; ++i, ++m_uRound) {
            for (int f = 0; f < kFunctions; ++f) {
                if (!_Check(kFunctionTable[f], i == 0 && fault == f))
                    return kFirstError + f;
            }
        }
        return 0;
    }
    int FaultKinds() const override { return kFunctions; }
    uint64_t IterationsPerBatch() const override { return m_uIterations; }

private:
    // Evaluates the series at points spread over the range (moved a little every
    // round), then compares each with the library's value.
    bool _Check(const Function& fn, bool spoil)
    {
        const size_t n = m_Values.size();
        const double shift = static_cast<double>(m_uRound % 64) / 64.0;
        for (size_t j = 0; j < n; ++j) {
            const double t = (static_cast<double>(j) + shift) / static_cast<double>(n);
            m_Values[j] = fn.series(fn.lo + (fn.hi - fn.lo) * t);
        }
        if (spoil)
            m_Values[0] = Spoil(m_Values[0]);
        for (size_t j = 0; j < n; ++j) {
            const double t = (static_cast<double>(j) + shift) / static_cast<double>(n);
            const double expected = fn.reference(fn.lo + (fn.hi - fn.lo) * t);
            if (!(std::fabs(m_Values[j] - expected) <= kTolerance * std::fmax(1.0, std::fabs(expected))))
                return false;
        }
        return true;
    }

    std::vector<double> m_Values;
    const uint64_t m_uIterations;
    uint64_t m_uRound = 0;
};

} // namespace

std::unique_ptr<IStressKernel> MakeFpuKernel(bool light, uint64_t iterations)
{
    return std::make_unique<CFpuKernel>(light, iterations);
}

} // namespace qvx
