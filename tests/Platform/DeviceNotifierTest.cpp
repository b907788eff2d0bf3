#include <gtest/gtest.h>

#include "Platform/DeviceNotifier.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/UsbBus.h"

TEST(DeviceNotifierTest, ArrivalsAndRemovalsReachARegisteredWindowOnly)
{
    auto notifier = plat::CreateDeviceChangeNotifier();
    int changes = 0;
    ASSERT_TRUE(notifier->Register([&changes] { ++changes; }));
    auto& usb = vb::Machine::Instance().Get<vb::UsbBus>();
    usb.Plug("USB Flash Disk");
    EXPECT_TRUE(usb.Devices().contains("USB Flash Disk"));
    EXPECT_TRUE(usb.Unplug("USB Flash Disk"));
    EXPECT_FALSE(usb.Unplug("USB Flash Disk"));     // nothing left to remove: no message
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("usb: arrival USB Flash Disk"));

    // The watch outlives a reload of the board.
    vb::Machine::Instance().LoadDefault();
    vb::Machine::Instance().Get<vb::UsbBus>().Plug("USB Mouse");
    EXPECT_EQ(changes, 3);

    notifier->Unregister();
    notifier->Unregister();
    vb::Machine::Instance().Get<vb::UsbBus>().Plug("USB Keyboard");
    EXPECT_EQ(changes, 3);
}

TEST(DeviceNotifierTest, ARefusedRegistrationReportsFalse)
{
    vb::Machine::Instance().GetFaults().Set("platform:DeviceNotification.Register");
    auto notifier = plat::CreateDeviceChangeNotifier();
    int changes = 0;
    EXPECT_FALSE(notifier->Register([&changes] { ++changes; }));
    vb::Machine::Instance().Get<vb::UsbBus>().Plug("USB Mouse");
    EXPECT_EQ(changes, 0);
}
