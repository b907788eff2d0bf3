#pragma once
// Self-checking stress work of the stability test cases. A batch does a fixed amount
// of work whose answers are known by another route (closed forms, the maths
// library, an independent product) and checks every answer. A fault handed to a
// batch spoils one answer first, as an unstable processor would, so that the
// batch's own checks have something real to find.
#include <cstdint>
#include <memory>

#include "QVXLogic/Types.h"

namespace qvx {

constexpr int kNoFault = -1;

class IStressKernel {
public:
    virtual ~IStressKernel() = default;
    // 0 when every answer checked out, else the error code of the first failed check.
    // fault: kNoFault, or 0 .. FaultKinds() - 1 (which answer to spoil).
    virtual int32_t RunBatch(int fault) = 0;
    virtual int FaultKinds() const = 0;
    virtual uint64_t IterationsPerBatch() const = 0;
};

// Light work uses small buffers and short batches: for tests and CI machines.
// iterations: rounds in a batch; 0 for the size's own (about 100 ms of full work).
// Integer, unsigned and recursive sums (codes 11, 12, 13; faults 0, 1, 2).
std::unique_ptr<IStressKernel> MakeCpuKernel(bool light, uint64_t iterations = 0);
// Taylor series against the maths library (codes 14 to 21; faults 0 to 7).
std::unique_ptr<IStressKernel> MakeFpuKernel(bool light, uint64_t iterations = 0);
// Big-number products and a memory pattern (codes 6, 5, 2, 1, 22; faults 0 to 4;
// 24 when its buffer cannot be had).
std::unique_ptr<IStressKernel> MakeCalculationKernel(bool light, uint64_t iterations = 0);

} // namespace qvx
