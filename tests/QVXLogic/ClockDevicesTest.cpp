// Clock generator, HT link and bridges: the reference clock drives every
// derived clock; the HT multiplier takes its three steps.
#include "QvxTestSupport.h"

namespace {

using test::QvxJournal;
using test::QvxTest;

TEST_F(QvxTest, ReferenceClockDrivesDerivedClocks)
{
    IClockGeneratorDevice* cg = Clock();
    ASSERT_NE(cg, nullptr);
    EXPECT_TRUE(cg->HasClockRanges());
    EXPECT_DOUBLE_EQ(cg->GetHTRefClock(), 200);
    EXPECT_DOUBLE_EQ(cg->GetDefaultHTRefClock(), 200);
    EXPECT_DOUBLE_EQ(cg->GetHTRefClockMin(), 150);
    EXPECT_DOUBLE_EQ(cg->GetHTRefClockMax(), 300);
    EXPECT_GT(cg->GetSBClock(), 0);
    const double memory = MC()->GetMemoryFrequency(Cpu(0)->GetNBFrequency(), Cpu(0)->GetNBMultiplier());
    EXPECT_DOUBLE_EQ(memory, 400);

    ASSERT_TRUE(cg->SetHTRefClock(220));
    EXPECT_DOUBLE_EQ(cg->GetHTRefClock(), 220);
    EXPECT_DOUBLE_EQ(Cpu(3)->GetCurrentFrequency(), 220 * 16);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetNBFrequency(), 2200);
    EXPECT_DOUBLE_EQ(MC()->GetMemoryFrequency(Cpu(0)->GetNBFrequency(), Cpu(0)->GetNBMultiplier()), 440);
    EXPECT_DOUBLE_EQ(MC()->GetMemoryFrequency(0, 0), 440);   // no division by zero
    HTLINK_INFO link{};
    ASSERT_TRUE(Link()->GetLinkInfo(0, &link));
    EXPECT_DOUBLE_EQ(link.dFreqIn, 2200);

    for (double bad : {149.0, 301.0, 220.5})
        EXPECT_FALSE(cg->SetHTRefClock(bad)) << bad;
    EXPECT_TRUE(cg->SetPCIeClock(110));
    EXPECT_FALSE(cg->SetPCIeClock(151));
    EXPECT_DOUBLE_EQ(cg->GetPCIeClock(), 110);
    const std::vector<std::string> expected = {"CG.SetHTRefClock(220)", "CG.SetPCIeClock(110)"};
    EXPECT_EQ(QvxJournal(), expected);
}

TEST_F(QvxTest, ClockListsCountThenFill)
{
    int count = 0;
    ASSERT_TRUE(Clock()->GetHTRefClockList(nullptr, &count));
    ASSERT_EQ(count, 7);
    double list[3] = {};
    count = 3;
    ASSERT_TRUE(Clock()->GetHTRefClockList(list, &count));
    EXPECT_EQ(count, 3);
    EXPECT_DOUBLE_EQ(list[2], 210);
}

TEST_F(QvxTest, LinkRecordsEndAfterTheLastLink)
{
    HTLINK_INFO info{};
    ASSERT_TRUE(Link()->GetLinkInfo(0, &info));
    EXPECT_DOUBLE_EQ(info.dWidthIn, 16);
    EXPECT_DOUBLE_EQ(info.dLinkMultiplier, 10);
    EXPECT_EQ(info.uRevisionMajor, 3u);
    EXPECT_EQ(info.bLDTStopTristate, 1);
    for (int k = 1; k <= 3; ++k) {
        ASSERT_TRUE(Link()->GetLinkInfo(k, &info));
        EXPECT_DOUBLE_EQ(info.dWidthIn, -1);
    }
    EXPECT_FALSE(Link()->GetLinkInfo(4, &info));

    // Exactly 104 bytes are written.
    unsigned char buffer[sizeof(HTLINK_INFO) + 8];
    std::fill(std::begin(buffer), std::end(buffer), 0xA5);
    ASSERT_TRUE(Link()->GetLinkInfo(0, reinterpret_cast<HTLINK_INFO*>(buffer)));
    for (size_t i = sizeof(HTLINK_INFO); i < sizeof(buffer); ++i)
        EXPECT_EQ(buffer[i], 0xA5);
}

TEST_F(QvxTest, HtMultiplierThreeSteps)
{
    HTLINK_INFO info{};
    ASSERT_TRUE(Link()->GetLinkInfo(0, &info));
    info.dLinkMultiplier = 9;
    ASSERT_TRUE(Link()->SetLinkInfo(0, &info));
    ASSERT_TRUE(NB()->SetHTLinkMultiplier(9));
    ASSERT_TRUE(SB()->ApplyHTLinkChange());
    ASSERT_TRUE(Link()->GetLinkInfo(0, &info));
    EXPECT_DOUBLE_EQ(info.dLinkMultiplier, 9);
    const std::vector<std::string> expected = {"HT.SetLinkInfo(0, m=9)", "NB.SetHTLinkMultiplier(9)", "SB.ApplyHTLinkChange()"};
    EXPECT_EQ(QvxJournal(), expected);

    info.dLinkMultiplier = 11;   // above the link's maximum
    EXPECT_FALSE(Link()->SetLinkInfo(0, &info));
    EXPECT_FALSE(NB()->SetHTLinkMultiplier(11));
    EXPECT_FALSE(Link()->SetLinkInfo(1, &info));   // not in use
    ASSERT_TRUE(Link()->GetLinkInfo(0, &info));
    EXPECT_DOUBLE_EQ(info.dLinkMultiplier, 9);
}

TEST_F(QvxTest, SouthBridgeMonitorAndKeepAlive)
{
    ISouthBridgeDevice* sb = SB();
    EXPECT_DOUBLE_EQ(sb->GetTemperature(0), 45);
    EXPECT_DOUBLE_EQ(sb->GetFanSpeed(0), 2000);
    EXPECT_DOUBLE_EQ(sb->GetFanSpeed(1), -9999.0);     // missing reading
    EXPECT_DOUBLE_EQ(sb->GetTemperature(3), -9999.0);
    EXPECT_DOUBLE_EQ(sb->GetVoltage(4), 1.8);
    EXPECT_TRUE(sb->SetKeepAliveMode(true));
    EXPECT_TRUE(sb->SendKeepAlive(true));
    EXPECT_TRUE(sb->SetKeepAliveMode(false));
    EXPECT_TRUE(sb->SendKeepAlive(false));              // the last pulse after the mode ended
    EXPECT_EQ(NB()->GetDeviceID(), 0x5956u);           // the host bridge of the PCI list
    EXPECT_DOUBLE_EQ(NB()->GetMaxHTMultiplier(), 10);
}

} // namespace
