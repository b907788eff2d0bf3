// The integer and floating-point workloads. Built with floating-point contraction,
// so the matrix product's multiply-adds become fused instructions where there are any.
#include "Testers/Kernels.h"

namespace qvx {

namespace {

// One lane's digit output: the spigot yields a digit only once the following
// ones show that no carry can still reach it (runs of nines are held back).
struct DIGIT_OUT {
    char* pOut;
    int nCount, nRoom, nPredigit, nNines;
    bool bStarted;

    void Push(int digit)
    {
        if (nCount < nRoom)
            pOut[nCount++] = static_cast<char>('0' + digit);
    }
    void Take(uint32_t q)
    {
        if (q == 9) {
            ++nNines;
            return;
        }
        if (q == 10) {
            Push(nPredigit + 1);
            for (; nNines > 0; --nNines)
                Push(0);
            nPredigit = 0;
            return;
        }
        if (bStarted)
            Push(nPredigit);
        bStarted = true;
        nPredigit = static_cast<int>(q);
        for (; nNines > 0; --nNines)
            Push(9);
    }
    void Finish()
    {
        Push(nPredigit);
        for (; nNines > 0; --nNines)
            Push(9);
    }
};

// Four rows of B at a time against one row of C: five loads and one store per four
// multiply-adds, with the block of B kept in the second-level cache.
typedef double D512 __attribute__((vector_size(64)));
typedef double D256 __attribute__((vector_size(32)));
typedef double D128 __attribute__((vector_size(16)));

template <class V>
[[gnu::always_inline]] inline double MatrixImpl(const double* a, const double* b, double* c, size_t n)
{
    constexpr size_t kLanes = sizeof(V) / sizeof(double);
    constexpr size_t kBlock = 64;
    const size_t columns = n / kLanes;
    for (size_t i = 0; i < n * n; ++i)
        c[i] = 0.0;
    for (size_t kk = 0; kk < n; kk += kBlock) {
        for (size_t i = 0; i < n; ++i) {
            V* ci = reinterpret_cast<V*>(c + i * n);
            const double* ai = a + i * n;
            for (size_t k = kk; k < kk + kBlock; k += 4) {
                const double a0 = ai[k], a1 = ai[k + 1], a2 = ai[k + 2], a3 = ai[k + 3];
                const V* b0 = reinterpret_cast<const V*>(b + k * n);
                const V* b1 = reinterpret_cast<const V*>(b + (k + 1) * n);
                const V* b2 = reinterpret_cast<const V*>(b + (k + 2) * n);
                const V* b3 = reinterpret_cast<const V*>(b + (k + 3) * n);
                for (size_t j = 0; j < columns; ++j)
                    ci[j] += a0 * b0[j] + a1 * b1[j] + a2 * b2[j] + a3 * b3[j];
            }
        }
    }
    asm volatile("" ::: "memory");
    return 2.0 * static_cast<double>(n) * static_cast<double>(n) * static_cast<double>(n);
}

QVX_VECTOR_TARGET("avx512f,fma") double Matrix512(const double* a, const double* b, double* c, size_t n)
{
    return MatrixImpl<D512>(a, b, c, n);
}
QVX_VECTOR_TARGET("avx2,fma") double Matrix256(const double* a, const double* b, double* c, size_t n)
{
    return MatrixImpl<D256>(a, b, c, n);
}
double Matrix128(const double* a, const double* b, double* c, size_t n) { return MatrixImpl<D128>(a, b, c, n); }

} // namespace

size_t SpigotLength(int digits) { return static_cast<size_t>(digits) * 10 / 3 + 1; }

// The quotients stay below 2^32 for this many digits: q < 22 i and x < 22 i^2 with
// i at most SpigotLength(kSpigotDigits).
uint64_t SpigotPi(uint32_t* lanes, int digits, char (*out)[kSpigotDigits])
{
    const uint32_t length = static_cast<uint32_t>(SpigotLength(digits));
    uint32_t* a0 = lanes;
    uint32_t* a1 = lanes + length;
    uint32_t* a2 = lanes + 2 * length;
    uint32_t* a3 = lanes + 3 * length;
    for (uint32_t i = 0; i < 4 * length; ++i)
        lanes[i] = 2;
    DIGIT_OUT lane[4];
    for (int k = 0; k < 4; ++k)
        lane[k] = DIGIT_OUT{out[k], 0, digits, 0, 0, false};
    for (int j = 0; j < digits; ++j) {
        uint32_t q0 = 0, q1 = 0, q2 = 0, q3 = 0;
        for (uint32_t i = length; i > 0; --i) {
            const uint32_t den = 2 * i - 1;
            const uint32_t x0 = 10 * a0[i - 1] + q0 * i;
            const uint32_t x1 = 10 * a1[i - 1] + q1 * i;
            const uint32_t x2 = 10 * a2[i - 1] + q2 * i;
            const uint32_t x3 = 10 * a3[i - 1] + q3 * i;
            a0[i - 1] = x0 % den;
            a1[i - 1] = x1 % den;
            a2[i - 1] = x2 % den;
            a3[i - 1] = x3 % den;
            q0 = x0 / den;
            q1 = x1 / den;
            q2 = x2 / den;
            q3 = x3 / den;
        }
        const uint32_t q[4] = {q0, q1, q2, q3};
        uint32_t* a[4] = {a0, a1, a2, a3};
        for (int k = 0; k < 4; ++k) {
            a[k][0] = q[k] % 10;
            lane[k].Take(q[k] / 10);
        }
    }
    for (DIGIT_OUT& l : lane)
        l.Finish();
    return 4ull * static_cast<uint64_t>(digits) * length;
}

double MatrixProduct(const double* a, const double* b, double* c, size_t n)
{
    return ForVectorUnit(Matrix512, Matrix256, Matrix128)(a, b, c, n);
}

} // namespace qvx
