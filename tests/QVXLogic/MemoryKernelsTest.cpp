// The read sweep's result is all that keeps its loads from being dropped, and the
// speed it gives is the bytes it counts: the result must depend on each of those
// bytes in every sweep, and on nothing past them.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "Testers/Kernels.h"

namespace {

constexpr size_t kCounted = 2 * qvx::kSweepBlock;

// Each vector width this processor can run.
std::vector<int> RunnableWidths()
{
    std::vector<int> widths;
    for (int width : {64, 32, 16})
        if (width <= qvx::VectorBytes())
            widths.push_back(width);
    return widths;
}

TEST(MemoryKernels, AReadSweepReadsEveryByteItCountsInEverySweep)
{
    // Two sweep blocks counted, one more behind them that must not be read.
    alignas(64) unsigned char buffer[kCounted + qvx::kSweepBlock];
    uint64_t state = 0x2545F4914F6CDD1Dull;   // no pattern that repeats within the buffer
    for (unsigned char& byte : buffer) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        byte = static_cast<unsigned char>(state >> 24);
    }
    for (int width : RunnableWidths()) {
        std::vector<uint64_t> bySweeps;
        for (size_t sweeps : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << width << "-byte vectors, " << sweeps << " sweeps");
            auto read = [&] { return qvx::ReadSweepsWith(width, buffer, kCounted, sweeps); };
            const uint64_t before = read();
            bySweeps.push_back(before);
            // One more in any counted byte must show in the result.
            std::vector<size_t> unseen;
            for (size_t at = 0; at < kCounted; ++at) {
                ++buffer[at];
                if (read() == before)
                    unseen.push_back(at);
                --buffer[at];
            }
            EXPECT_TRUE(unseen.empty()) << unseen.size() << " of " << kCounted
                                        << " bytes left the result as it was, the first at " << unseen.front();
            for (size_t at = kCounted; at < sizeof(buffer); at += 61) {
                ++buffer[at];
                EXPECT_EQ(read(), before) << "byte " << at << " lies past the counted ones";
                --buffer[at];
            }
        }
        // A sweep more is a sweep more read: no two counts give the same result.
        EXPECT_NE(bySweeps[0], bySweeps[1]) << width;
        EXPECT_NE(bySweeps[0], bySweeps[2]) << width;
        EXPECT_NE(bySweeps[1], bySweeps[2]) << width;
    }
}

} // namespace
