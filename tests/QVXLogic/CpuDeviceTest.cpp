// Processor cores: identity from the simulated processor, multipliers, VIDs,
// P-states, boost pair, readings that follow writes, refused writes.
#include <cmath>

#include "QvxTestSupport.h"

#include "VirtualBoard/Processor.h"

namespace {

using test::QvxJournal;
using test::QvxTest;
using test::Str;

TEST_F(QvxTest, CpuIdentityAgreesWithTheProcessor)
{
    vb::Processor& p = vb::Machine::Instance().Get<vb::Processor>();
    ICPUDevice* cpu = Cpu(0);
    ASSERT_NE(cpu, nullptr);
    for (unsigned long i = 0; i < 4; ++i)
        EXPECT_EQ(Str(Cpu(i)->GetName()), QString::fromStdString(p.Brand()));   // one sub-group for all cores
    EXPECT_EQ(Str(cpu->GetVendor()), QStringLiteral("AuthenticVyk"));
    EXPECT_EQ(Str(cpu->GetClassName()), QStringLiteral("Vyk Family 10h Processor"));
    EXPECT_EQ(cpu->GetExtFamily() + cpu->GetBaseFamily(), 0x10);
    EXPECT_EQ(cpu->GetSignature(), p.Signature());
    EXPECT_EQ(cpu->GetStepping(), p.Signature() & 0xF);
    EXPECT_EQ(Str(cpu->GetInfoString2()), QStringLiteral("TR-C2"));
    EXPECT_EQ(Str(cpu->GetInfoString()), QStringLiteral("Socket VAM3"));
    EXPECT_DOUBLE_EQ(cpu->GetCurrentFrequency(), p.CoreClockMHz());
    ASSERT_NE(cpu->GetInstructionSet(), nullptr);
    EXPECT_NE(cpu->GetInstructionSet()->bSSE4A, 0);
    EXPECT_GT(cpu->GetL3CacheInfo()->dSize, 0);
    EXPECT_TRUE(cpu->IsPerCoreControlSupported());
    EXPECT_EQ(cpu->IsPerCoreClockSupported(), cpu->IsPerCoreControlSupported());
    const double* t = cpu->GetTemperature();
    ASSERT_NE(t, nullptr);
    EXPECT_GT(t[0], 0);
}

TEST_F(QvxTest, MultiplierWritesMoveTheCoreClockAndTheCounter)
{
    vb::Processor& p = vb::Machine::Instance().Get<vb::Processor>();
    EXPECT_TRUE(Cpu(0)->SetMultiplier(12.5));
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentMultiplier(), 12.5);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentFrequency(), 2500);
    EXPECT_DOUBLE_EQ(p.CoreClockMHz(), 2500);
    EXPECT_DOUBLE_EQ(Cpu(1)->GetCurrentMultiplier(), 16);   // per-core control

    EXPECT_TRUE(Cpu(2)->SetMultiplier(8));
    EXPECT_DOUBLE_EQ(Cpu(2)->GetCurrentFrequency(), 1600);
    EXPECT_DOUBLE_EQ(p.CoreClockMHz(), 2500);               // the counter follows core 0

    // Refused: outside [start, max], off the half grid, not a number.
    for (double bad : {3.5, 16.5, 12.25, 0.0, -1.0, std::nan("")})
        EXPECT_FALSE(Cpu(0)->SetMultiplier(bad)) << bad;
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentMultiplier(), 12.5);

    const std::vector<std::string> expected = {"CPU0.SetMultiplier(12.5)", "CPU2.SetMultiplier(8)"};
    EXPECT_EQ(QvxJournal(), expected);
}

TEST_F(QvxTest, StatusRegisterFollowsCoreZero)
{
    // The Engine reads the current FID/DID/VID from the COFVID status register.
    vb::Processor& p = vb::Machine::Instance().Get<vb::Processor>();
    ASSERT_TRUE(Cpu(0)->SetMultiplier(12.5));
    ASSERT_TRUE(Cpu(0)->SetCPUVid(1.4));
    uint64_t reg = 0;
    ASSERT_TRUE(p.ReadMsr(0xC0010071, &reg));
    EXPECT_EQ(reg & 0x3F, 9u);                     // 2 x 12.5 - 16
    EXPECT_EQ((reg >> 6) & 7, 0u);
    EXPECT_EQ((reg >> 9) & 0x7F, 12u);             // (1.55 - 1.4) / 0.0125
    ASSERT_TRUE(Cpu(0)->SetMultiplier(4));
    ASSERT_TRUE(p.ReadMsr(0xC0010071, &reg));
    EXPECT_EQ(reg & 0x3F, 0u);
    EXPECT_EQ((reg >> 6) & 7, 1u);                 // 100 x 16 / 2 = 800 MHz
}

TEST_F(QvxTest, VidWritesInsideTheirRange)
{
    ICPUDevice* cpu = Cpu(1);
    const double before = cpu->GetTemperature()[0];
    EXPECT_TRUE(cpu->SetCPUVid(1.4));
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCPUVid(), 1.4);   // one plane
    EXPECT_GT(cpu->GetTemperature()[0], before);  // more voltage, more heat
    EXPECT_DOUBLE_EQ(Sensors()->GetVoltage(0), 1.4);
    EXPECT_TRUE(cpu->SetNBVid(1.2));
    EXPECT_DOUBLE_EQ(cpu->GetNBVid(), 1.2);
    EXPECT_FALSE(cpu->SetCPUVid(1.6));
    EXPECT_FALSE(cpu->SetNBVid(0.5));
    EXPECT_DOUBLE_EQ(cpu->GetCPUVid(), 1.4);
    EXPECT_DOUBLE_EQ(cpu->GetNBVid(), 1.2);
}

TEST_F(QvxTest, PstatesSwitchAndRecompute)
{
    ICPUDevice* cpu = Cpu(1);
    EXPECT_EQ(cpu->GetMaxPstateIndex(), 4);
    EXPECT_EQ(cpu->GetCurrentPstate(), 0);
    PSTATE_INFO info{};
    ASSERT_TRUE(cpu->GetPstateInfo(0, &info));
    EXPECT_DOUBLE_EQ(info.dFrequency, 3200);
    EXPECT_DOUBLE_EQ(info.dVoltage, 1.325);
    ASSERT_TRUE(cpu->GetPstateInfo(3, &info));
    EXPECT_FALSE(info.bEnabled);

    ASSERT_TRUE(cpu->SetPstate(4));
    EXPECT_EQ(cpu->GetCurrentPstate(), 4);
    EXPECT_DOUBLE_EQ(cpu->GetCurrentFrequency(), 800);
    EXPECT_DOUBLE_EQ(cpu->GetCPUVid(), 1.55 - 0.0125 * 44);
    EXPECT_EQ(Cpu(0)->GetCurrentPstate(), 0);

    ASSERT_TRUE(cpu->GetPstateInfo(2, &info));
    info.CpuFid = 7;
    info.bEnabled = false;
    ASSERT_TRUE(cpu->SetPstateInfo(2, &info));
    PSTATE_INFO back{};
    ASSERT_TRUE(cpu->GetPstateInfo(2, &back));
    EXPECT_DOUBLE_EQ(back.dFrequency, 2300);
    EXPECT_FALSE(back.bEnabled);

    info.CpuFid = 64;           // does not fit the register field
    EXPECT_FALSE(cpu->SetPstateInfo(2, &info));
    info.CpuFid = 7.5;
    EXPECT_FALSE(cpu->SetPstateInfo(2, &info));
    EXPECT_FALSE(cpu->SetPstate(5));
    EXPECT_FALSE(cpu->GetPstateInfo(-1, &info));
}

TEST_F(QvxTest, BoostPairIsShared)
{
    bool boost = true, second = false;
    ASSERT_TRUE(Cpu(0)->GetBoostMode(&boost, &second));
    EXPECT_FALSE(boost);
    EXPECT_TRUE(second);
    ASSERT_TRUE(Cpu(3)->SetBoostMode(true, false));
    ASSERT_TRUE(Cpu(0)->GetBoostMode(&boost, &second));
    EXPECT_TRUE(boost);
    EXPECT_FALSE(second);
}

TEST_F(QvxTest, FaultSwitchRefusesAndChangesNothing)
{
    vb::Machine::Instance().GetFaults().Set("qvx:CPU.SetMultiplier");
    vb::Machine::Instance().GetFaults().Set("qvx:CPU.GetTemperature");
    EXPECT_FALSE(Cpu(0)->SetMultiplier(10));
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentMultiplier(), 16);
    EXPECT_EQ(Cpu(0)->GetTemperature(), nullptr);
    EXPECT_TRUE(QvxJournal().empty());
}

} // namespace
