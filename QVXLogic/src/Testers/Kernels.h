#pragma once
// The testers' inner loops. Each runs without locks, calls or allocation and uses
// the widest vector unit this processor has (chosen once, at the first call).
#include <cstddef>
#include <cstdint>

namespace qvx {

// Bytes of the widest vector unit this processor has that the kernels use (64, 32 or 16).
int VectorBytes();

// Compiles one variant of a kernel for a wider vector unit; elsewhere the variants
// are plain code that is never chosen.
#if defined(__x86_64__)
#define QVX_VECTOR_TARGET(units) __attribute__((target(units)))
#else
#define QVX_VECTOR_TARGET(units)
#endif

// The variant of a kernel for this processor's vector unit.
template <class F>
F ForVectorUnit(F f512, F f256, F f128)
{
    return VectorBytes() == 64 ? f512 : VectorBytes() == 32 ? f256 : f128;
}

// Buffers passed to the sweeps are 64-byte aligned and a multiple of kSweepBlock long.
constexpr size_t kSweepBlock = 512;

// Adds up the 64-bit words of [p, p + bytes), sweeps times over, in four independent
// accumulators, one load to each, so the loads and not the arithmetic set the pace.
// The result depends on every word of every sweep, so the loads cannot be dropped.
uint64_t ReadSweeps(const void* p, size_t bytes, size_t sweeps);
// The same sweep with vectors of the given width (64, 32 or 16 bytes, at most VectorBytes()).
uint64_t ReadSweepsWith(int vectorBytes, const void* p, size_t bytes, size_t sweeps);
// Stores the 64-bit pattern over [p, p + bytes), sweeps times over. Ordinary
// stores: the figure includes the read-for-ownership traffic every program's
// stores cause, as the write loops of common memory tools do.
void WriteSweeps(void* p, size_t bytes, size_t sweeps, uint64_t pattern);

// Links the 64-byte lines of [p, p + bytes) into one random cycle (fixed seed)
// and follows it for steps loads; returns the line it ended on.
void LinkRandomCycle(void* p, size_t bytes);
uint64_t ChaseCycle(const void* p, uint64_t start, size_t steps);

// Rabinowitz-Wagon spigot for pi, run as four independent lanes side by side
// (four separate division chains) over lanes[4][length] 32-bit words. Writes the
// digits of each lane, "3141...", digits bytes each, and returns the inner steps done.
constexpr int kSpigotDigits = 600;
size_t SpigotLength(int digits);
uint64_t SpigotPi(uint32_t* lanes, int digits, char (*out)[kSpigotDigits]);

// C = A x B for n x n row-major matrices (n a multiple of 64); returns the
// floating-point operations, 2 n^3.
double MatrixProduct(const double* a, const double* b, double* c, size_t n);

} // namespace qvx
