// The sample ring: what a walk yields after any number of pushes, the free slot,
// use before Init, and Init again.
#include <gtest/gtest.h>

#include <vector>

#include "Source/StatusMonitor/StatusFixture.h"
#include "StatusMonitor/CircleList.h"
#include "support/LogCapture.h"

namespace {

using test::Samples;

// 1, 2, 3 ... pushed; the newest size-1 of them are kept, oldest first.
std::vector<double> Expected(unsigned size, int pushes)
{
    std::vector<double> out;
    for (int v = std::max(1, pushes - static_cast<int>(size) + 2); v <= pushes; ++v)
        out.push_back(v);
    return out;
}

TEST(CircleList, KeepsTheNewestSamplesInOrder)
{
    struct Case {
        unsigned size;
        int pushes;
    };
    // 95 slots hold 94 samples; 188 pushes put the oldest in the last slot, so the
    // walk crosses the end of the array; 200 wraps more than twice.
    const Case cases[] = {{95, 0},  {95, 1},   {95, 94}, {95, 95}, {95, 188}, {95, 200},
                          {2, 1},   {2, 5},    {3, 2},   {3, 3},   {3, 4},    {7, 13}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << ", pushes " << c.pushes);
        CCircleList<double> ring;
        ASSERT_TRUE(ring.Init(c.size));
        for (int v = 1; v <= c.pushes; ++v)
            ring.Push(v);
        EXPECT_EQ(Samples(ring), Expected(c.size, c.pushes));
        // A walk can be made again, and past its end stays at its end.
        EXPECT_EQ(Samples(ring), Expected(c.size, c.pushes));
        EXPECT_EQ(ring.GetNext(), nullptr);
    }
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
}

TEST(CircleList, AFullRingAlwaysWalksSizeMinusOneSamples)
{
    CCircleList<double> ring;
    ASSERT_TRUE(ring.Init(5));
    for (int v = 1; v <= 4; ++v)
        ring.Push(v);
    // The oldest sample moves through every slot, the last one included.
    for (int v = 5; v <= 14; ++v) {
        ring.Push(v);
        EXPECT_EQ(Samples(ring), (std::vector<double>{v - 3.0, v - 2.0, v - 1.0, v * 1.0})) << v;
    }
}

TEST(CircleList, UseBeforeInitLogsAndHoldsNothing)
{
    CCircleList<double> ring;
    ring.Push(5);
    EXPECT_EQ(ring.GetFirst(), nullptr);
    EXPECT_EQ(ring.GetNext(), nullptr);
    EXPECT_TRUE(ring.UnInit());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_DataSet) at line "));
    EXPECT_EQ(test::LogCount(" in CCircleList<double>::Push\n"), 1u);
    EXPECT_EQ(test::LogCount(" in CCircleList<double>::GetFirst\n"), 1u);
    EXPECT_EQ(test::LogCount(" in CCircleList<double>::GetNext\n"), 1u);
    // Initialised later, it starts empty.
    ASSERT_TRUE(ring.Init(95));
    EXPECT_EQ(ring.GetFirst(), nullptr);
}

TEST(CircleList, ASecondInitFailsAndKeepsTheSamples)
{
    CCircleList<double> ring;
    ASSERT_TRUE(ring.Init(4));
    ring.Push(1);
    ring.Push(2);
    EXPECT_FALSE(ring.Init(95));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_DataSet == NULL) at line "));
    EXPECT_TRUE(test::LogContains(" in CCircleList<double>::Init\n"));
    EXPECT_EQ(Samples(ring), (std::vector<double>{1, 2}));
}

TEST(CircleList, SizesBelowTwoAreRefused)
{
    for (unsigned size : {0u, 1u}) {
        CCircleList<double> ring;
        EXPECT_FALSE(ring.Init(size)) << size;
        ring.Push(1);   // no division by zero, nothing stored
        EXPECT_EQ(ring.GetFirst(), nullptr);
        EXPECT_TRUE(ring.Init(2));
    }
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(size >= 2) at line "), 2u);
}

TEST(CircleList, InitAfterUnInitStartsEmptyWithinTheNewSize)
{
    CCircleList<double> ring;
    ASSERT_TRUE(ring.Init(10));
    for (int v = 1; v <= 17; ++v)
        ring.Push(v);   // head 8, tail 7: both beyond a ring of 3
    ASSERT_TRUE(ring.UnInit());
    ASSERT_TRUE(ring.Init(3));
    EXPECT_EQ(ring.GetFirst(), nullptr);
    for (int v = 1; v <= 4; ++v)
        ring.Push(v);
    EXPECT_EQ(Samples(ring), (std::vector<double>{3, 4}));
}

} // namespace
