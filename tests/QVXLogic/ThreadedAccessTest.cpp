// Device calls from the GUI, tuning and keep-alive threads at once, while the
// GUI thread refreshes the manager. Run under ThreadSanitizer too.
#include <atomic>
#include <thread>

#include "QvxTestSupport.h"
#include "VirtualBoard/UsbBus.h"

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

    // Pages and dialogs read the inventory while USB devices come and go.
    std::thread inventory([&] {
        IUSBControllerDevice* usb = QvxGetDevice<IUSBControllerDevice>(dtUSBController, 0);
        IMemoryModuleDevice* module = QvxGetDevice<IMemoryModuleDevice>(dtMemory, 0);
        while (!stop.load()) {
            QVX_DEVICE_TYPE type;
            unsigned long index;
            for (unsigned k = 0; k < usb->GetChannelCount(); ++k)
                usb->GetChildDevice(k, &type, &index);
            module->GetBusFrequency();
            module->GetSPDInfo();
        }
    });

    auto& bus = vb::Machine::Instance().Get<vb::UsbBus>();
    for (int i = 0; i < 200; ++i) {
        if (i % 10 == 0)
            bus.Plug(QStringLiteral("USB Flash Disk"));
        if (i % 10 == 5)
            bus.Unplug(QStringLiteral("USB Flash Disk"));
        // No ASSERT here: the threads must be stopped and joined whatever happens.
        EXPECT_TRUE(g_DeviceManager.Refresh());
        ICPUDevice* cpu = Cpu(static_cast<unsigned long>(i % 4));
        if (!cpu) {
            ADD_FAILURE() << "no core " << i % 4;
            break;
        }
        EXPECT_GT(cpu->GetCurrentFrequency(), 0);
        EXPECT_NE(cpu->GetTemperature(), nullptr);
        Sensors()->GetFanSpeed(i % 3);
        Cpu(0)->SetMultiplier(10 + i % 6);
    }
    EXPECT_TRUE(SB()->SetKeepAliveMode(false));   // while pulses may still come
    stop = true;
    keepAlive.join();
    tuning.join();
    inventory.join();
    EXPECT_GT(tunes.load(), 0);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentFrequency(), Clock()->GetHTRefClock() * Cpu(0)->GetCurrentMultiplier());
}

} // namespace
