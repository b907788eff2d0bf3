// Worker threads call the driver client beside the GUI thread: requests through
// the shared PCI areas and SMBus transactions must not mix.
#include <atomic>
#include <thread>

#include "DriverTestSupport.h"

namespace {

using namespace drvtest;

TEST(DriverThreads, PciRequestsAndSmbusTransfersFromSeveralThreads)
{
    ScopedExecutable exe;
    ScopedMCFG mcfg(MakeMCFG({{0xE0000000ull, 0, 0, 0}}));     // bus 1 goes through requests
    CDriverHandler handler;
    ASSERT_TRUE(handler.Init());
    std::atomic<int> wrong{0};
    auto pci = [&] {
        for (int i = 0; i < 200; ++i) {
            uint32_t id = 0, cls = 0;
            if (!handler.GetPCIConfig(1, 5, 0, 0, reinterpret_cast<char*>(&id), 4) || id != 0x96101002u)
                ++wrong;
            if (!handler.GetPCIConfig(1, 5, 1, 8, reinterpret_cast<char*>(&cls), 4) || (cls >> 8) != 0x040300u)
                ++wrong;
        }
    };
    auto smbus = [&](uint8_t address, uint8_t expected) {
        for (int i = 0; i < 50; ++i) {
            uint8_t value = 0;
            if (!handler.AccessSMBus(static_cast<uint8_t>(address << 1 | 1), 2, value) || value != expected)
                ++wrong;
        }
    };
    std::thread t1(pci), t2(pci), t3(smbus, 0x50, 0x08), t4(smbus, 0x52, 0x08);
    t1.join();
    t2.join();
    t3.join();
    t4.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_FALSE(test::LogContains("LOG_PROCESS_ERROR"));
    handler.UnInit();
}

} // namespace
