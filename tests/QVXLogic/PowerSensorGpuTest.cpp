// Regulators, sensor chip, graphics chip and the memory controller's clock.
#include <cmath>

#include "QvxTestSupport.h"

namespace {

using test::QvxJournal;
using test::QvxTest;
using test::Str;

TEST_F(QvxTest, FixedRailsAndVttFollowsVddq)
{
    IPWMControllerDevice* pwm = Pwm();
    ASSERT_NE(pwm, nullptr);
    EXPECT_TRUE(pwm->IsAvailable());
    EXPECT_DOUBLE_EQ(pwm->GetMemVDDQ(), 180000);
    EXPECT_DOUBLE_EQ(pwm->GetMemVTT(), 90000);
    EXPECT_DOUBLE_EQ(pwm->GetRailTable()[prMemVDDQ].dMax, 210000);
    ASSERT_TRUE(pwm->SetMemVDDQ(190000));
    EXPECT_DOUBLE_EQ(pwm->GetMemVTT(), 95000);
    EXPECT_TRUE(pwm->SetMemVTT(pwm->GetMemVTT()));   // the page writes the re-read VTT back
    EXPECT_FALSE(pwm->SetCPUVDDC(150000));
    EXPECT_FALSE(pwm->SetNBCoreVoltage(105500));     // off the step grid
    EXPECT_DOUBLE_EQ(pwm->GetNBCoreVoltage(), 110000);
    const std::vector<std::string> expected = {"PWM.SetMemVDDQ(190000)", "PWM.SetMemVTT(95000)"};
    EXPECT_EQ(QvxJournal(), expected);
}

TEST_F(QvxTest, NamedChannels)
{
    IPWMController2Device* pwm2 = Pwm2();
    ASSERT_EQ(pwm2->GetChannelCount(), 6);
    EXPECT_EQ(Str(pwm2->GetChannelName(0)), QStringLiteral("Mem VDDQ"));
    EXPECT_EQ(Str(pwm2->GetChannelName(6)), QString());   // never null
    ASSERT_TRUE(pwm2->SetChannelVoltage(0, 200000));
    EXPECT_DOUBLE_EQ(pwm2->GetChannelVoltage(0), 200000);
    EXPECT_DOUBLE_EQ(pwm2->GetChannelVoltage(1), 100000);   // Mem VTT follows
    EXPECT_FALSE(pwm2->SetChannelVoltage(2, 90000));
    EXPECT_FALSE(pwm2->SetChannelVoltage(7, 120000));
    EXPECT_DOUBLE_EQ(pwm2->GetChannelVoltage(2), 120000);
}

TEST_F(QvxTest, SensorChipFansFollowDutyOrTemperature)
{
    ISensorChipDevice* sc = Sensors();
    int mode = 0, percent = 0;
    ASSERT_TRUE(sc->GetFanMode(0, &mode));
    EXPECT_EQ(mode, fmAutomatic);
    ASSERT_TRUE(sc->GetFanSpeedPercent(1, &percent));
    EXPECT_EQ(percent, 60);
    EXPECT_EQ(sc->GetFanSpeed(1), 1800);
    EXPECT_EQ(sc->GetFanSpeed(2), 2400);
    ASSERT_TRUE(sc->SetFanSpeedPercent(1, 40));
    EXPECT_EQ(sc->GetFanSpeed(1), 1200);

    // An automatic fan speeds up when its sensor warms: raise the processor's clock and voltage.
    const int before = sc->GetFanSpeed(0);
    const int t0 = sc->GetTemperature(0);
    ASSERT_TRUE(Cpu(0)->SetCPUVid(1.5));
    EXPECT_GT(sc->GetTemperature(0), t0);
    EXPECT_GT(sc->GetFanSpeed(0), before);

    ASSERT_TRUE(sc->SetFanMode(0, fmManual));
    ASSERT_TRUE(sc->GetFanSpeedPercent(0, &percent));
    EXPECT_EQ(sc->GetFanSpeed(0), 3000 * percent / 100);
    EXPECT_FALSE(sc->SetFanMode(0, 1));
    EXPECT_FALSE(sc->SetFanSpeedPercent(0, 101));
    EXPECT_FALSE(sc->GetFanMode(3, &mode));

    // Missing readings: -9999 for the integer readings, exactly 0.0 for voltages.
    EXPECT_EQ(sc->GetFanSpeed(3), -9999);
    EXPECT_EQ(sc->GetTemperature(3), -9999);
    EXPECT_EQ(sc->GetVoltage(5), 0.0);
    EXPECT_DOUBLE_EQ(sc->GetVoltage(3), 12.0);
}

TEST_F(QvxTest, IntegratedGraphics)
{
    IGPUDevice* gpu = Gpu(0);
    ASSERT_NE(gpu, nullptr);
    EXPECT_TRUE(gpu->IsIntegrated());
    EXPECT_DOUBLE_EQ(gpu->GetEngineClock(0), 500);
    EXPECT_EQ(gpu->GetEngineClockInt(1), 500);
    const double t = gpu->GetTemperature(0);
    EXPECT_GT(t, 0);
    ASSERT_TRUE(gpu->SetEngineClock(700));
    EXPECT_DOUBLE_EQ(gpu->GetEngineClock(0), 700);
    EXPECT_EQ(gpu->GetEngineClockInt(1), 700);
    EXPECT_GT(gpu->GetTemperature(0), t);
    EXPECT_FALSE(gpu->SetEngineClock(1400));
    EXPECT_FALSE(gpu->SetEngineClock(702));
    ASSERT_TRUE(gpu->SetSidePortClock(600));
    EXPECT_DOUBLE_EQ(gpu->GetSidePortClock(), 600);
    EXPECT_FALSE(gpu->SetSidePortClock(900));

    ASSERT_EQ(gpu->GetLevelCount(), 3u);
    EXPECT_EQ(gpu->GetCurrentLevel(), 2u);
    GPU_LEVEL_INFO levels[4];
    std::fill(std::begin(levels), std::end(levels), GPU_LEVEL_INFO{-1, -1, -1});
    ASSERT_TRUE(gpu->GetLevelInfo(levels));
    EXPECT_DOUBLE_EQ(levels[2].dEngineClock, 700);
    EXPECT_DOUBLE_EQ(levels[3].dEngineClock, -1);   // only GetLevelCount() records written
    ASSERT_NE(gpu->GetVideoBIOSInfo(), nullptr);
    EXPECT_STREQ(gpu->GetVideoBIOSInfo()->szVersion, "011.012.000.003");
    EXPECT_DOUBLE_EQ(gpu->GetUsage(), 2);
    EXPECT_DOUBLE_EQ(gpu->GetFanSpeed(0, 1), 0);
    EXPECT_DOUBLE_EQ(gpu->GetTemperature(1), 0);    // no second sensor
    EXPECT_EQ(gpu->GetPowerState(), 3);
}

TEST_F(QvxTest, MemoryControllerTypeClockAndWholeRecordWrites)
{
    IMemoryControllerDevice* mc = MC();
    EXPECT_EQ(mc->GetMemoryType(), mtDDR2_SDRAM);
    MEMORY_CONFIG config{};
    ASSERT_TRUE(mc->GetConfig(&config));
    EXPECT_DOUBLE_EQ(config.MemClk, 400);
    EXPECT_EQ(config.DualChannel, 1);

    config.MemClk = 533.333;
    config.DualChannel = 0;     // read only: ignored, not refused
    ASSERT_TRUE(mc->SetConfig(&config));
    ASSERT_TRUE(mc->GetConfig(&config));
    EXPECT_NEAR(config.MemClk, 533.333, 1e-9);
    EXPECT_EQ(config.DualChannel, 1);

    // A field outside its list refuses the whole record.
    MEMORY_TIMING timing{};
    ASSERT_TRUE(mc->GetTimings(&timing));
    EXPECT_DOUBLE_EQ(timing.Tcl, 5);
    timing.Tcl = 6;
    timing.Tras = 0.0;
    EXPECT_FALSE(mc->SetTimings(&timing));
    ASSERT_TRUE(mc->GetTimings(&timing));
    EXPECT_DOUBLE_EQ(timing.Tcl, 5);
    timing.Tcl = 6;
    ASSERT_TRUE(mc->SetTimings(&timing));
    MEMORY_TIMING back{};
    ASSERT_TRUE(mc->GetTimings(&back));
    EXPECT_DOUBLE_EQ(back.Tcl, 6);
    EXPECT_DOUBLE_EQ(back.Tras, 18);

    double list[256];
    unsigned count = 3;
    ASSERT_TRUE(mc->GetMemClkList(list, &count));
    EXPECT_EQ(count, 3u);
    count = 256;
    ASSERT_TRUE(mc->GetMemClkList(list, &count));
    EXPECT_EQ(count, 5u);
    count = 256;
    ASSERT_TRUE(mc->GetProcOdtList(list, &count));
    EXPECT_EQ(count, 3u);
}

} // namespace
