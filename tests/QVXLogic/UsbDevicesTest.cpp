// USB controllers and the devices behind them: they follow the simulated USB bus
// when the manager looks again (Refresh), and objects callers hold stay valid.
#include "QvxTestSupport.h"
#include "VirtualBoard/UsbBus.h"
#include "support/LogCapture.h"

namespace {

using test::QvxTest;
using test::Str;

struct Child {
    QVX_DEVICE_TYPE type;
    unsigned long index;
    bool operator==(const Child& o) const { return type == o.type && index == o.index; }
};

std::vector<Child> ChildrenOf(IUSBControllerDevice* usb)
{
    std::vector<Child> out;
    for (unsigned i = 0; i < usb->GetChannelCount(); ++i) {
        Child c{dtCPU, 99};
        EXPECT_TRUE(usb->GetChildDevice(i, &c.type, &c.index)) << i;
        out.push_back(c);
    }
    return out;
}

vb::UsbBus& Bus() { return vb::Machine::Instance().Get<vb::UsbBus>(); }

TEST_F(QvxTest, UsbControllersListTheDevicesBehindThem)
{
    ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtUSBController), 4u);
    EXPECT_EQ(ChildrenOf(Usb(0)), (std::vector<Child>{{dtMouse, 0}, {dtKeyboard, 0}}));
    for (unsigned long k = 1; k < 4; ++k)
        EXPECT_TRUE(ChildrenOf(Usb(k)).empty()) << k;
    IDevice* mouse = g_DeviceManager.GetDevice(dtMouse, 0);
    ASSERT_NE(mouse, nullptr);
    EXPECT_EQ(Str(mouse->GetName()), QStringLiteral("USB Optical Mouse"));
    EXPECT_EQ(Str(mouse->GetVendor()), QStringLiteral("Vyk"));
    EXPECT_EQ(Str(mouse->GetDescription()), QStringLiteral("HID-compliant mouse"));
    EXPECT_EQ(Str(g_DeviceManager.GetDevice(dtKeyboard, 0)->GetName()), QStringLiteral("USB Keyboard"));

    QVX_DEVICE_TYPE type = dtCPU;
    unsigned long index = 0;
    EXPECT_FALSE(Usb(0)->GetChildDevice(2, &type, &index));   // past the last device
    vb::Machine::Instance().GetFaults().Set("qvx:USB.GetChildDevice");
    EXPECT_FALSE(Usb(0)->GetChildDevice(0, &type, &index));
    EXPECT_TRUE(test::LogContains("USB.GetChildDevice failed"));
}

TEST_F(QvxTest, PluggingAndUnpluggingShowsAfterRefreshAndHeldObjectsStayValid)
{
    IUSBControllerDevice* first = Usb(0);
    IDevice* mouse = g_DeviceManager.GetDevice(dtMouse, 0);
    IDevice* keyboard = g_DeviceManager.GetDevice(dtKeyboard, 0);
    ASSERT_NE(mouse, nullptr);

    vb::UsbDevice stick = vb::UsbBus::FromName(QStringLiteral("USB Flash Disk"));
    stick.controller = 1;
    Bus().Plug(stick);
    ASSERT_TRUE(Bus().Unplug(QStringLiteral("USB Optical Mouse")));
    // Nothing changes until the manager looks again.
    EXPECT_EQ(ChildrenOf(first), (std::vector<Child>{{dtMouse, 0}, {dtKeyboard, 0}}));
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtUSBStorage), 0u);

    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(Usb(0), first);                                  // the controller object is kept
    EXPECT_EQ(ChildrenOf(first), (std::vector<Child>{{dtKeyboard, 0}}));
    EXPECT_EQ(ChildrenOf(Usb(1)), (std::vector<Child>{{dtUSBStorage, 0}}));
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtMouse), 0u);
    EXPECT_EQ(g_DeviceManager.GetDevice(dtKeyboard, 0), keyboard);
    IDevice* storage = g_DeviceManager.GetDevice(dtUSBStorage, 0);
    ASSERT_NE(storage, nullptr);
    EXPECT_EQ(Str(storage->GetName()), QStringLiteral("USB Flash Disk"));
    EXPECT_EQ(Str(storage->GetDescription()), QStringLiteral("USB Mass Storage Device"));
    // The mouse's object is retired, not freed: whoever held it still reads it.
    EXPECT_EQ(Str(mouse->GetName()), QStringLiteral("USB Optical Mouse"));
    EXPECT_EQ(mouse->GetType(), dtMouse);

    // Back in: a mouse again, and a device on a controller the board does not have
    // is not seen.
    Bus().Plug(QStringLiteral("USB Mouse"));
    vb::UsbDevice nowhere = vb::UsbBus::FromName(QStringLiteral("USB Keyboard 2"));
    nowhere.controller = 7;
    Bus().Plug(nowhere);
    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(ChildrenOf(first), (std::vector<Child>{{dtKeyboard, 0}, {dtMouse, 0}}));
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtKeyboard), 1u);
    EXPECT_EQ(Str(g_DeviceManager.GetDevice(dtMouse, 0)->GetName()), QStringLiteral("USB Mouse"));
}

TEST_F(QvxTest, AnOpticalDriveOnUsbIsACdRomNumberedAfterTheBoardsOwn)
{
    ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtCDROM), 1u);   // the default board's IDE drive
    EXPECT_EQ(vb::UsbBus::FromName(QStringLiteral("USB DVD Drive")).kind, vb::UsbKind::Optical);
    EXPECT_EQ(vb::UsbBus::FromName(QStringLiteral("USB Optical Mouse")).kind, vb::UsbKind::Mouse);
    Bus().Plug(QStringLiteral("USB DVD Drive"));
    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(ChildrenOf(Usb(0)), (std::vector<Child>{{dtMouse, 0}, {dtKeyboard, 0}, {dtCDROM, 1}}));
    IDevice* drive = g_DeviceManager.GetDevice(dtCDROM, 1);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(Str(drive->GetName()), QStringLiteral("USB DVD Drive"));
    EXPECT_EQ(Str(drive->GetDescription()), QStringLiteral("CD-ROM drive"));

    ASSERT_TRUE(Bus().Unplug(QStringLiteral("USB DVD Drive")));
    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtCDROM), 1u);
    EXPECT_EQ(ChildrenOf(Usb(0)).size(), 2u);
}

TEST_F(QvxTest, UsbBusEntriesOfTheBoardFile)
{
    const std::vector<vb::UsbDevice> attached = Bus().Attached();
    ASSERT_EQ(attached.size(), 2u);
    EXPECT_EQ(attached[0].kind, vb::UsbKind::Mouse);
    EXPECT_EQ(attached[1].kind, vb::UsbKind::Keyboard);
    EXPECT_EQ(Bus().Devices(), QStringList({"USB Optical Mouse", "USB Keyboard"}));
    // A bare name says what it is, or is storage.
    EXPECT_EQ(vb::UsbBus::FromName(QStringLiteral("Wireless Keyboard")).kind, vb::UsbKind::Keyboard);
    EXPECT_EQ(vb::UsbBus::FromName(QStringLiteral("Card Reader")).kind, vb::UsbKind::Storage);

    UseBoard("qvx-bare");
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtUSBController), 0u);
    Bus().Plug(QStringLiteral("USB Mouse"));
    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(dtMouse), 0u);   // no controller to find it
}

} // namespace
