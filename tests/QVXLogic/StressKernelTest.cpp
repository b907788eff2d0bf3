// The stability cases' stress work checks itself: sound batches pass, and a batch
// with one answer spoiled is caught by the check that answer belongs to.
#include <gtest/gtest.h>

#include "TestCenter/StressKernel.h"

namespace {

using Maker = std::unique_ptr<qvx::IStressKernel> (*)(bool, uint64_t);

struct KernelCase {
    const char* name;
    Maker make;
    std::vector<int32_t> codes;   // the error code of each fault, in fault order
};

const KernelCase kKernels[] = {
    {"CPU", qvx::MakeCpuKernel, {11, 12, 13}},
    {"FPU", qvx::MakeFpuKernel, {14, 15, 16, 17, 18, 19, 20, 21}},
    {"Calculation", qvx::MakeCalculationKernel, {6, 5, 2, 1, 22}},
};

TEST(StressKernel, ASpoiledAnswerIsCaughtByItsOwnCheck)
{
    for (const KernelCase& k : kKernels) {
        SCOPED_TRACE(k.name);
        std::unique_ptr<qvx::IStressKernel> kernel = k.make(true, 0);
        ASSERT_EQ(kernel->FaultKinds(), static_cast<int>(k.codes.size()));
        EXPECT_GT(kernel->IterationsPerBatch(), 0u);
        EXPECT_EQ(kernel->RunBatch(qvx::kNoFault), 0);
        for (int fault = 0; fault < kernel->FaultKinds(); ++fault) {
            EXPECT_EQ(kernel->RunBatch(fault), k.codes[static_cast<size_t>(fault)]) << "fault " << fault;
            // The damage was in one batch only.
            EXPECT_EQ(kernel->RunBatch(qvx::kNoFault), 0) << "after fault " << fault;
        }
    }
}

TEST(StressKernel, FullSizedWorkChecksOut)
{
    for (const KernelCase& k : kKernels) {
        // A full batch is long; its rounds are all alike, so two of them show the sizes hold.
        EXPECT_GT(k.make(false, 0)->IterationsPerBatch(), k.make(true, 0)->IterationsPerBatch()) << k.name;
        std::unique_ptr<qvx::IStressKernel> full = k.make(false, 2);
        EXPECT_EQ(full->RunBatch(qvx::kNoFault), 0) << k.name;
        EXPECT_EQ(full->RunBatch(0), k.codes[0]) << k.name;
    }
}

} // namespace
