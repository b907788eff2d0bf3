// The board variants the pages must also handle.
#include "QvxTestSupport.h"

namespace {

using test::QvxTest;
using test::Str;

TEST_F(QvxTest, ListModeClockGenerator)
{
    UseBoard("qvx-list-clocks");
    IClockGeneratorDevice* cg = Clock();
    EXPECT_FALSE(cg->HasClockRanges());
    int count = 0;
    ASSERT_TRUE(cg->GetPCIeClockList(nullptr, &count));
    EXPECT_EQ(count, 6);
    EXPECT_FALSE(cg->SetHTRefClock(212));            // inside the range, not in the list
    ASSERT_TRUE(cg->SetHTRefClock(215.0004));        // a list entry, within 0.001
    EXPECT_EQ(cg->GetHTRefClock(), 215.0);           // exactly the entry
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentFrequency(), 215 * 16);
}

TEST_F(QvxTest, SingleControlProcessor)
{
    UseBoard("qvx-single-control");
    EXPECT_FALSE(Cpu(0)->IsPerCoreControlSupported());
    EXPECT_FALSE(Cpu(0)->IsPerCoreClockSupported());
    EXPECT_FALSE(Cpu(0)->IsHalfMultiplierSupported());
    EXPECT_FALSE(Cpu(2)->SetMultiplier(12.5));
    ASSERT_TRUE(Cpu(2)->SetMultiplier(12));
    for (unsigned long i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(Cpu(i)->GetCurrentMultiplier(), 12) << i;
}

TEST_F(QvxTest, MissingDevicesVariants)
{
    UseBoard("qvx-no-clockgen");
    EXPECT_EQ(Clock(), nullptr);
    EXPECT_NE(Cpu(0), nullptr);
    EXPECT_GT(Cpu(0)->GetCurrentFrequency(), 0);

    UseBoard("qvx-no-gpu");
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtGPU), 0u);
    EXPECT_EQ(Gpu(0), nullptr);

    UseBoard("qvx-fixed-rails");
    EXPECT_EQ(Pwm2(), nullptr);
    ASSERT_NE(Pwm(), nullptr);
    EXPECT_TRUE(Pwm()->IsAvailable());

    UseBoard("qvx-mx310");
    EXPECT_EQ(Sensors(), nullptr);
    EXPECT_EQ(Str(SB()->GetClassName()), QStringLiteral("MX310 Series Chipset"));
    EXPECT_GE(SB()->GetTemperature(0), 0);
}

TEST_F(QvxTest, Family11hProcessor)
{
    UseBoard("qvx-family11h");
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtCPU), 2u);
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(u"Vyk Family 10h Processor"), 0u);
    ICPUDevice* cpu = Cpu(1);
    EXPECT_EQ(cpu->GetExtFamily() + cpu->GetBaseFamily(), 0x11);
    EXPECT_TRUE(Str(cpu->GetInfoString2()).startsWith(QStringLiteral("LN")));
    EXPECT_EQ(cpu->GetNBVid(), 0.0);
    EXPECT_FALSE(cpu->SetNBVid(1.1));
    EXPECT_EQ(cpu->GetTemperature(), nullptr);
    EXPECT_FALSE(cpu->IsPerCoreControlSupported());
    EXPECT_DOUBLE_EQ(cpu->GetCurrentFrequency(), 200 * 11);
}

TEST_F(QvxTest, TwoProcessorPackages)
{
    UseBoard("qvx-two-packages");
    ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtCPU), 8u);
    for (unsigned long i = 0; i < 8; ++i) {
        EXPECT_EQ(Cpu(i)->GetIndex(), static_cast<int>(i));
        EXPECT_EQ(Str(Cpu(i)->GetName()), Str(Cpu(0)->GetName()));
    }
    ASSERT_TRUE(Cpu(7)->SetMultiplier(9));
    EXPECT_DOUBLE_EQ(Cpu(7)->GetCurrentFrequency(), 1800);
}

TEST_F(QvxTest, AbsentRailsReadExactlyZero)
{
    UseBoard("qvx-missing-rail");
    EXPECT_EQ(Pwm()->GetCPUHTVoltage(), 0.0);
    EXPECT_FALSE(Pwm()->SetCPUHTVoltage(120000));
    EXPECT_DOUBLE_EQ(Pwm()->GetCPUVDDC(), 120000);

    UseBoard("qvx-regulator-off");
    EXPECT_FALSE(Pwm()->IsAvailable());
    EXPECT_EQ(Pwm()->GetMemVDDQ(), 0.0);
    EXPECT_FALSE(Pwm()->SetMemVDDQ(180000));
}

TEST_F(QvxTest, FourGraphicsChips)
{
    UseBoard("qvx-four-gpus");
    ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtGPU), 4u);
    EXPECT_TRUE(Gpu(0)->IsIntegrated());
    for (unsigned long i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        IGPUDevice* gpu = Gpu(i);
        EXPECT_EQ(gpu->GetIndex(), static_cast<int>(i));
        EXPECT_FALSE(gpu->IsIntegrated());
        EXPECT_GT(gpu->GetEngineClock(0), 0);
        ASSERT_EQ(gpu->GetLevelCount(), 2u);
        GPU_LEVEL_INFO levels[2];
        ASSERT_TRUE(gpu->GetLevelInfo(levels));
        EXPECT_EQ(levels[1].dEngineClock, gpu->GetEngineClock(0));
    }
    EXPECT_NE(Gpu(1)->GetVideoBIOSInfo(), nullptr);
    EXPECT_EQ(Gpu(3)->GetVideoBIOSInfo(), nullptr);     // no video BIOS record
    EXPECT_LT(Gpu(2)->GetUsage(), 0);                   // no activity reading
    EXPECT_EQ(Gpu(3)->GetSensorCount(), 0u);
    EXPECT_DOUBLE_EQ(Gpu(1)->GetTemperature(0), 55);
    EXPECT_DOUBLE_EQ(Gpu(1)->GetFanSpeed(0, 1), 35);
    EXPECT_EQ(Gpu(4), nullptr);
}

TEST_F(QvxTest, ABoardWithoutL3AndABareBoard)
{
    UseBoard("qvx-ddr");
    ASSERT_NE(Cpu(0)->GetL3CacheInfo(), nullptr);
    EXPECT_EQ(Cpu(0)->GetL3CacheInfo()->dSize, 0);      // no third-level cache
    EXPECT_GT(Cpu(0)->GetL2CacheInfo()->dSize, 0);

    UseBoard("qvx-bare");
    for (int type = dtCPU; type <= dtKeyboard; ++type)
        EXPECT_EQ(g_DeviceManager.GetDeviceCount(static_cast<QVX_DEVICE_TYPE>(type)), 0u) << type;
    EXPECT_TRUE(g_DeviceManager.Refresh());
}

} // namespace
