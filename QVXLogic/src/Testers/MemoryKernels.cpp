// Sweeps over a buffer with vectors of the widest unit the processor has. The
// "memory" barrier after each sweep keeps the compiler from folding sweeps into one.
#include "Testers/Kernels.h"

namespace qvx {

namespace {

typedef uint64_t U512 __attribute__((vector_size(64)));
typedef uint64_t U256 __attribute__((vector_size(32)));
typedef uint64_t U128 __attribute__((vector_size(16)));

// Four loads a step, in address order, each added into an accumulator of its own: the
// loop has the shape of the common load kernels (four vector loads, one add and one
// compare a step), and one cheap operation on each of four independent chains keeps up
// with any cache, so the loads alone set the pace. The sums keep every sweep in the
// result (exclusive or cancelled an even number of them).
template <class V>
[[gnu::always_inline]] inline uint64_t ReadImpl(const void* p, size_t bytes, size_t sweeps)
{
    const V* v = static_cast<const V*>(__builtin_assume_aligned(p, 64));
    const size_t n = bytes / sizeof(V);
    V s0 = {}, s1 = {}, s2 = {}, s3 = {};
    for (size_t s = 0; s < sweeps; ++s) {
        for (size_t i = 0; i < n; i += 4) {
            s0 += v[i];
            s1 += v[i + 1];
            s2 += v[i + 2];
            s3 += v[i + 3];
        }
        asm volatile("" ::: "memory");
    }
    const V t = (s0 + s1) + (s2 + s3);
    uint64_t sum = 0;
    for (size_t k = 0; k < sizeof(V) / sizeof(uint64_t); ++k)
        sum += t[k];
    return sum;
}

template <class V>
[[gnu::always_inline]] inline void WriteImpl(void* p, size_t bytes, size_t sweeps, uint64_t pattern)
{
    V* v = static_cast<V*>(__builtin_assume_aligned(p, 64));
    const size_t n = bytes / sizeof(V);
    V x;
    for (size_t k = 0; k < sizeof(V) / sizeof(uint64_t); ++k)
        x[k] = pattern + static_cast<uint64_t>(k);   // lanes differ: no byte fill to turn into memset
    for (size_t s = 0; s < sweeps; ++s) {
        for (size_t i = 0; i < n; i += 8) {
            v[i] = x;
            v[i + 1] = x;
            v[i + 2] = x;
            v[i + 3] = x;
            v[i + 4] = x;
            v[i + 5] = x;
            v[i + 6] = x;
            v[i + 7] = x;
        }
        asm volatile("" ::: "memory");
    }
}

QVX_VECTOR_TARGET("avx512f") uint64_t Read512(const void* p, size_t b, size_t s) { return ReadImpl<U512>(p, b, s); }
QVX_VECTOR_TARGET("avx2") uint64_t Read256(const void* p, size_t b, size_t s) { return ReadImpl<U256>(p, b, s); }
QVX_VECTOR_TARGET("avx512f") void Write512(void* p, size_t b, size_t s, uint64_t x) { WriteImpl<U512>(p, b, s, x); }
QVX_VECTOR_TARGET("avx2") void Write256(void* p, size_t b, size_t s, uint64_t x) { WriteImpl<U256>(p, b, s, x); }
uint64_t Read128(const void* p, size_t b, size_t s) { return ReadImpl<U128>(p, b, s); }
void Write128(void* p, size_t b, size_t s, uint64_t x) { WriteImpl<U128>(p, b, s, x); }

int DetectVectorBytes()
{
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return 64;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return 32;
#endif
    return 16;
}

// Next state of a fixed-seed generator (xorshift64*), for the random cycle.
uint64_t NextRandom(uint64_t& state)
{
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
}

} // namespace

int VectorBytes()
{
    static const int bytes = DetectVectorBytes();
    return bytes;
}

uint64_t ReadSweeps(const void* p, size_t bytes, size_t sweeps)
{
    return ForVectorUnit(Read512, Read256, Read128)(p, bytes, sweeps);
}

uint64_t ReadSweepsWith(int vectorBytes, const void* p, size_t bytes, size_t sweeps)
{
    return vectorBytes == 64 ? Read512(p, bytes, sweeps) : vectorBytes == 32 ? Read256(p, bytes, sweeps)
                                                                               : Read128(p, bytes, sweeps);
}

void WriteSweeps(void* p, size_t bytes, size_t sweeps, uint64_t pattern)
{
    ForVectorUnit(Write512, Write256, Write128)(p, bytes, sweeps, pattern);
}

// Sattolo's shuffle: every line's first word names the next line, and all lines
// form a single cycle, so the chase visits each once in an order no prefetcher guesses.
void LinkRandomCycle(void* p, size_t bytes)
{
    constexpr size_t kStride = 64 / sizeof(uint64_t);
    uint64_t* line = static_cast<uint64_t*>(p);
    const size_t count = bytes / 64;
    for (size_t i = 0; i < count; ++i)
        line[i * kStride] = i;
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (size_t i = count - 1; i > 0; --i) {
        const size_t j = static_cast<size_t>(NextRandom(state) % i);
        const uint64_t t = line[i * kStride];
        line[i * kStride] = line[j * kStride];
        line[j * kStride] = t;
    }
}

uint64_t ChaseCycle(const void* p, uint64_t start, size_t steps)
{
    const uint64_t* line = static_cast<const uint64_t*>(p);
    uint64_t at = start;
    for (size_t i = 0; i < steps; ++i)
        at = line[at * (64 / sizeof(uint64_t))];
    return at;
}

} // namespace qvx
