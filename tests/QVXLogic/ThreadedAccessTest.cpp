// Device calls from the GUI, tuning and keep-alive threads at once, while the
// GUI thread refreshes the manager. Run under ThreadSanitizer too.
#include <atomic>
#include <thread>

#include "QvxTestSupport.h"

namespace {

using test::QvxTest;

TEST_F(QvxTest, ThreadedAccess)
{
    std::atomic<bool> stop{false};
    std::atomic<int> pulses{0}, tunes{0};

    ASSERT_TRUE(SB()->SetKeepAliveMode(true));
    std::thread keepAlive([&] {
        ISouthBridgeDevice* sb = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0);   // once, at its start
        while (!stop.load()) {
            sb->SendKeepAlive(true);
            ++pulses;
        }
        sb->SendKeepAlive(false);
    });
    std::thread tuning([&] {
        IClockGeneratorDevice* cg = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
        for (int i = 0; !stop.load() || i < 50; ++i) {
            cg->SetHTRefClock(200 + i % 20);
            ICPUDevice* cpu = QvxGetDevice<ICPUDevice>(dtCPU, static_cast<unsigned long>(i % 4));
            if (cpu && cpu->GetCurrentFrequency() > 0)
                ++tunes;
        }
    });

    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(g_DeviceManager.Refresh());
        ICPUDevice* cpu = Cpu(static_cast<unsigned long>(i % 4));
        ASSERT_NE(cpu, nullptr);
        EXPECT_GT(cpu->GetCurrentFrequency(), 0);
        EXPECT_NE(cpu->GetTemperature(), nullptr);
        Sensors()->GetFanSpeed(i % 3);
        Cpu(0)->SetMultiplier(10 + i % 6);
    }
    EXPECT_TRUE(SB()->SetKeepAliveMode(false));   // while pulses may still come
    stop = true;
    keepAlive.join();
    tuning.join();
    EXPECT_GT(tunes.load(), 0);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentFrequency(), Clock()->GetHTRefClock() * Cpu(0)->GetCurrentMultiplier());
}

} // namespace
