// The dialog manager behind the Diagram page: which button opens which dialog,
// the USB bus line, the drives and USB devices read from the controllers (a
// device that cannot be shown is passed over), the limits of the page's buttons,
// and a manager left clean whatever happened before.
#include <QMessageBox>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "Diagram/ChipsetDialogs.h"
#include "Diagram/DialogSupport.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::DiagramTest;

namespace {

const char* const kBoundsCheck = "LOG_PROCESS_ERROR(eDialogName > dnInvalid && eDialogName < dnTotal)";

QJsonObject Drive(const char* controller, int channel, const char* name)
{
    return {{"controller", controller}, {"channel", channel}, {"name", name}};
}

QJsonObject UsbDevice(const char* name, const char* kind, int controller)
{
    return {{"name", name}, {"kind", kind}, {"controller", controller}};
}

QJsonArray Controllers(int n)
{
    QJsonArray controllers;
    for (int k = 0; k < n; ++k)
        controllers.append(QJsonObject{{"name", QStringLiteral("Vyk USB Controller %1").arg(k)}});
    return controllers;
}

// The devices' dialogs, slot by slot from first to last ("" where a slot is empty).
QStringList Titles(int first, int last)
{
    QStringList titles;
    for (int n = first; n <= last; ++n) {
        QBaseDialog* frame = g_DialogManager.Frame(n);
        titles << (frame ? frame->Form().PageNameLabel->text().mid(2) : QString());
    }
    return titles;
}

} // namespace

TEST_F(DiagramTest, EveryButtonCarriesItsSlotAndOpensThatSlotsDialog)
{
    Open();
    // The default board: every fixed component has its dialog.
    const struct {
        const char* button;
        const char* title;
    } kSlots[] = {
        {"CPUButton", "CPU"}, {"PCIEButton0", "GPU 0"}, {"PCIEButton1", ""}, {"PCIEButton2", ""}, {"PCIEButton3", ""},
        {"Slot0Button", "Slot 0"}, {"Slot1Button", ""}, {"Slot2Button", "Slot 2"}, {"Slot3Button", ""},
        {"DDR2Button", "DDR2 Memory Controller"}, {"ChannelAButton", "Channel A"}, {"ChannelBButton", "Channel B"}, {"HTLinkButton", "HyperTransport(TM) Link"},
        {"NBButton", "Northbridge"}, {"SBButton", "Southbridge"}, {"SATAButton", "SATA Controller"},
        {"SATADevice0", "Hard Drive Disk"}, {"SATADevice1", ""}, {"SATADevice2", ""}, {"SATADevice3", ""},
        {"IDEButton", "IDE Controller"},
        {"IDEDevice0", "CD/DVD Drive"}, {"IDEDevice1", ""}, {"IDEDevice2", ""}, {"IDEDevice3", ""},
        {"USBController0", "USB Controller"}, {"USBController1", "USB Controller"},
        {"USBController2", "USB Controller"}, {"USBController3", "USB Controller"},
        {"USBController4", ""}, {"USBController5", ""}, {"USBController6", ""},
        {"USBDevice0", "Mouse"}, {"USBDevice1", "Keyboard"}, {"USBDevice2", ""}, {"USBDevice3", ""},
        {"USBDevice4", ""}, {"USBDevice5", ""}, {"USBDevice6", ""},
    };
    static_assert(std::size(kSlots) == dnTotal - 1);
    for (int slot = 0; slot < dnTotal - 1; ++slot) {
        SCOPED_TRACE(kSlots[slot].button);
        auto* button = page->findChild<QToolButton*>(QLatin1String(kSlots[slot].button));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button, Button(slot));
        EXPECT_EQ(button->property("ButtonID").toInt(), slot);
        EXPECT_EQ(Title(slot), QLatin1String(kSlots[slot].title));
        QBaseDialog* frame = g_DialogManager.Frame(slot);
        if (!frame) {
            // Enabled or not, a button without a dialog shows nothing.
            button->click();
            EXPECT_EQ(FrameCount(), std::count_if(std::begin(kSlots), std::end(kSlots),
                                                  [](const auto& s) { return *s.title != 0; }));
            for (int other = 0; other < dnTotal; ++other)
                EXPECT_FALSE(g_DialogManager.Frame(other) && g_DialogManager.Frame(other)->isVisible());
            if (button->isChecked())
                button->click();
            continue;
        }
        EXPECT_TRUE(button->isEnabled());
        EXPECT_TRUE(button->isVisibleTo(page.get()));
        button->click();
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(frame->Button(), button);
        button->click();
        EXPECT_FALSE(frame->isVisible());
    }
    EXPECT_EQ(g_DialogManager.Frame(dnUnused39), nullptr);

    // The chipset's frames show the simulated devices' names and PCI identities.
    const struct {
        int slot;
        QVX_DEVICE_TYPE type;
        unsigned long index;
    } kChipset[] = {{dnNorthBridge, dtNorthBridge, 0}, {dnSouthBridge, dtSouthBridge, 0},
                    {dnSATAController, dtSATAController, 0}, {dnIDEController, dtIDEController, 0},
                    {dnUSBController0, dtUSBController, 0}, {dnUSBController3, dtUSBController, 3}};
    for (const auto& c : kChipset) {
        SCOPED_TRACE(c.slot);
        auto* dialog = dynamic_cast<QChipsetDialog*>(g_DialogManager.Frame(c.slot)->Dialog());
        auto* device = QvxGetDevice<IPciDevice>(c.type, c.index);
        ASSERT_TRUE(dialog && device);
        const Ui::ChipsetDialogClass& form = dialog->Form();
        EXPECT_EQ(form.Name->text(), DeviceText(device->GetName()));
        EXPECT_FALSE(form.Name->text().isEmpty());
        EXPECT_EQ(form.VendorID->text(), QChipsetDialog::Hex(device->GetVendorID()));
        EXPECT_EQ(form.DeviceID->text(), QChipsetDialog::Hex(device->GetDeviceID()));
        EXPECT_EQ(form.Revision->text(), QChipsetDialog::Hex(device->GetRevision()));
        EXPECT_EQ(form.BusNum->text(), QChipsetDialog::Hex(device->GetBusNumber()));
        EXPECT_EQ(form.DevNum->text(), QChipsetDialog::Hex(device->GetDeviceNumber()));
    }
}

TEST_F(DiagramTest, AComponentsWindowIsBuiltWhenItIsFirstOpened)
{
    Open();
    // The page is ready, every present component's button usable, and no window built.
    EXPECT_EQ(BuiltFrames(), 0);
    for (int slot : {dnCPU, dnNorthBridge, dnUSBController0, dnSATADevice0, dnUSBDevice0}) {
        EXPECT_TRUE(Button(slot)->isEnabled()) << slot;
        EXPECT_TRUE(Button(slot)->isVisibleTo(page.get())) << slot;
    }
    EXPECT_FALSE(Button(dnUSBController4)->isVisibleTo(page.get()));

    // Opening one builds that one; closing and opening it again builds nothing more.
    Button(dnCPU)->click();
    ASSERT_EQ(BuiltFrames(), 1);
    QBaseDialog* frame = g_DialogManager.Frame(dnCPU);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->Button(), Button(dnCPU));
    EXPECT_EQ(frame->Form().PageNameLabel->text(), "  CPU");
    Button(dnCPU)->click();
    Button(dnCPU)->click();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(BuiltFrames(), 1);

    // Devices read again after a USB change are not built either until opened.
    RefreshDevices();
    EXPECT_EQ(BuiltFrames(), 1);
    EXPECT_TRUE(Button(dnUSBDevice1)->isEnabled());
    Button(dnUSBDevice1)->click();
    EXPECT_EQ(BuiltFrames(), 2);
    EXPECT_EQ(Title(dnUSBDevice1), "Keyboard");
}

TEST_F(DiagramTest, ShowAndHideTakeOnlyTheTablesSlots)
{
    Open();
    EXPECT_TRUE(g_DialogManager.Show(dnUnused39));
    EXPECT_TRUE(g_DialogManager.Hide(dnUnused39));
    EXPECT_FALSE(test::LogContains(kBoundsCheck));
    for (int slot : {40, -1, 1000}) {
        EXPECT_FALSE(g_DialogManager.Show(slot)) << slot;
        EXPECT_FALSE(g_DialogManager.Hide(slot)) << slot;
    }
    EXPECT_EQ(test::LogCount(kBoundsCheck), 6u);
    EXPECT_EQ(test::LogCheckCount(kBoundsCheck, "CDialogManager::Show"), 3u);
    EXPECT_EQ(test::LogCheckCount(kBoundsCheck, "CDialogManager::Hide"), 3u);

    // Hide leaves the button to the page; after UnInit nothing shows until the next Init.
    Button(dnNorthBridge)->click();
    ASSERT_TRUE(g_DialogManager.Hide(dnNorthBridge));
    EXPECT_FALSE(g_DialogManager.Frame(dnNorthBridge)->isVisible());
    EXPECT_TRUE(Button(dnNorthBridge)->isChecked());
    ASSERT_TRUE(g_DialogManager.UnInit());
    EXPECT_FALSE(g_DialogManager.IsInit());
    EXPECT_EQ(FrameCount(), 0);
    EXPECT_TRUE(g_DialogManager.Show(dnNorthBridge));
    EXPECT_EQ(FrameCount(), 0);
}

TEST_F(DiagramTest, TheUsbBusLineEndsAtTheLastController)
{
    // The form's bus line: top 200, 181 high, 25 pixels per controller.
    for (int n = 0; n <= 8; ++n) {
        SCOPED_TRACE(n);
        UseBoard([n](QJsonObject& devices) { devices.insert("usbControllers", Controllers(n)); });
        Open();
        const int shown = std::min(n, kMaxUsbControllers);
        EXPECT_EQ(page->UsbBusLine()->geometry(), shown ? QRect(310, 200, 2, 25 * shown) : QRect(310, 200, 2, 181));
        for (int k = 0; k < kMaxUsbControllers; ++k) {
            EXPECT_EQ(page->UsbStub(k)->isVisibleTo(page.get()), k < n) << k;
            EXPECT_EQ(Button(dnUSBController0 + k)->isVisibleTo(page.get()), k < n) << k;
            EXPECT_EQ(Title(dnUSBController0 + k), k < n ? "USB Controller" : "") << k;
        }
        // An eighth controller has no slot: the USB devices' slots are the devices'.
        EXPECT_EQ(Titles(dnUSBDevice0, dnUSBDevice1), n ? QStringList({"Mouse", "Keyboard"}) : QStringList({"", ""}));
        TearDown();
        SetUp();
    }
}

TEST_F(DiagramTest, DrivesTakeTheControllersSlotsInChannelOrder)
{
    UseBoard([](QJsonObject& devices) {
        devices.insert("sataController", QJsonObject{{"name", "Vyk SATA"}, {"channels", 2}});
        devices.insert("disks", QJsonArray());
        devices.insert("opticalDrives", QJsonArray{Drive("sata", 1, "Second DVD"), Drive("sata", 0, "First DVD")});
    });
    Open();
    EXPECT_EQ(Titles(dnSATADevice0, dnSATADevice3), QStringList({"CD/DVD Drive", "CD/DVD Drive", "", ""}));
    auto name = [](int slot) {
        return g_DialogManager.Frame(slot)->Dialog()->findChild<QLabel*>(QStringLiteral("Name"))->text();
    };
    EXPECT_EQ(name(dnSATADevice0), "First DVD");
    EXPECT_EQ(name(dnSATADevice1), "Second DVD");
    for (int slot : {dnSATADevice2, dnSATADevice3}) {
        EXPECT_FALSE(Button(slot)->isEnabled());
        EXPECT_TRUE(Button(slot)->icon().isNull());
    }
    EXPECT_FALSE(Button(dnSATADevice0)->icon().isNull());
    EXPECT_EQ(Titles(dnIDEDevice0, dnIDEDevice3), QStringList({"", "", "", ""}));
}

TEST_F(DiagramTest, ADriveThatCannotBeShownKeepsItsPlaceAndTheOthersAreShown)
{
    // A disk that gives no identification: its button shows its picture, disabled.
    UseBoard([](QJsonObject& devices) {
        QJsonObject disk = devices.value("disks").toArray().at(0).toObject();
        disk.insert("identify", false);
        devices.insert("disks", QJsonArray{disk});
        devices.insert("opticalDrives", QJsonArray{Drive("sata", 1, "Vyk DVD"), Drive("ide", 1, "Vyk CD")});
    });
    Open();
    EXPECT_EQ(Title(dnSATADevice0), "");
    EXPECT_FALSE(Button(dnSATADevice0)->isEnabled());
    EXPECT_FALSE(Button(dnSATADevice0)->icon().isNull());
    EXPECT_EQ(Titles(dnSATADevice1, dnSATADevice2), QStringList({"CD/DVD Drive", ""}));
    EXPECT_EQ(Title(dnIDEDevice0), "CD/DVD Drive");
    EXPECT_EQ(Titles(dnUSBDevice0, dnUSBDevice1), QStringList({"Mouse", "Keyboard"}));
    EXPECT_TRUE(g_DialogManager.IsInit());
}

TEST_F(DiagramTest, UsbDevicesAreNumberedOverTheControllersAndLinkedToTheirOwn)
{
    const QJsonArray usb{UsbDevice("USB Mouse", "mouse", 0), UsbDevice("USB Keyboard", "keyboard", 0),
                         UsbDevice("USB Flash Disk", "storage", 1)};
    UseBoard([](QJsonObject& devices) { devices.insert("usbControllers", Controllers(2)); }, &usb);
    Open();
    EXPECT_EQ(Titles(dnUSBDevice0, dnUSBDevice3), QStringList({"Mouse", "Keyboard", "USB Storage", ""}));
    EXPECT_EQ(page->Links(), QList<QLine>({QLine(182, 206, 230, 201), QLine(182, 236, 230, 201),
                                           QLine(182, 266, 230, 231)}));
    // The lines are drawn in green on the page, between the buttons.
    const QImage picture = page->grab().toImage();
    int green = 0;
    for (int x = 190; x < 222; ++x)
        for (int y = 200; y <= 207; ++y)
            green += QColor(picture.pixel(x, y)) == QColor(Qt::green);
    EXPECT_GE(green, 30);

    // A device button the user left on stays on when the devices are read again.
    Button(dnUSBDevice2)->click();
    ASSERT_TRUE(Button(dnUSBDevice2)->isChecked());
    for (const char* name : {"USB Mouse", "USB Keyboard", "USB Flash Disk"})
        ASSERT_TRUE(Usb().Unplug(QLatin1String(name)));
    RefreshDevices();
    EXPECT_EQ(Titles(dnUSBDevice0, dnUSBDevice6), QStringList({"", "", "", "", "", "", ""}));
    for (int slot = dnUSBDevice0; slot <= dnUSBDevice6; ++slot) {
        EXPECT_FALSE(Button(slot)->isEnabled()) << slot;
        EXPECT_TRUE(Button(slot)->icon().isNull()) << slot;
    }
    EXPECT_TRUE(page->Links().isEmpty());
    EXPECT_TRUE(Button(dnUSBDevice2)->isChecked());
    // Controllers and chipset keep their dialogs.
    EXPECT_EQ(Titles(dnUSBController0, dnUSBController1), QStringList({"USB Controller", "USB Controller"}));
}

TEST_F(DiagramTest, DevicesPastTheButtonsAreLeftOut)
{
    QJsonArray usb;
    for (int i = 0; i < 9; ++i)
        usb.append(UsbDevice(qPrintable(QStringLiteral("USB Mouse %1").arg(i)), "mouse", i % 2));
    UseBoard([](QJsonObject& devices) {
        devices.insert("sataController", QJsonObject{{"name", "Vyk SATA"}, {"channels", 4}});
        devices.insert("disks", QJsonArray());
        devices.insert("opticalDrives", QJsonArray{Drive("sata", 0, "A"), Drive("sata", 0, "B"), Drive("sata", 1, "C"),
                                                   Drive("sata", 2, "D"), Drive("sata", 3, "E")});
    }, &usb);
    Open();
    EXPECT_EQ(Titles(dnSATADevice0, dnIDEController), QStringList({"CD/DVD Drive", "CD/DVD Drive", "CD/DVD Drive",
                                                                    "CD/DVD Drive", "IDE Controller"}));
    EXPECT_EQ(Titles(dnUSBDevice0, dnUSBDevice6), QStringList(7, "Mouse"));
    EXPECT_EQ(g_DialogManager.Frame(dnUnused39), nullptr);
    EXPECT_EQ(page->Links().size(), 7);
    // Numbered over the controllers: controller 0's five devices first.
    EXPECT_EQ(page->Links().at(4).p2(), QPoint(230, 201));
    EXPECT_EQ(page->Links().at(5).p2(), QPoint(230, 231));
}

TEST_F(DiagramTest, AControllerThatFailsToAnswerIsPassedOver)
{
    Open();
    vb::Machine::Instance().GetFaults().Set("qvx:USB.GetChildDevice");
    vb::Machine::Instance().GetFaults().Set("qvx:SATA.GetChannelDevices");
    EXPECT_TRUE(g_DialogManager.Refresh());
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(bRetCode) at line"));
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(pChannel) at line"));
    // Lines of the refresh name it, not the steps it is made of: one per device and channel.
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(bRetCode)", "CDialogManager::Refresh"), 2u);
    EXPECT_GE(test::LogCheckCount("LOG_CHECK_ERROR(pChannel)", "CDialogManager::Refresh"), 1u);
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(pChannel)", "CDialogManager::Refresh"),
              test::LogCount("LOG_CHECK_ERROR(pChannel)"));
    EXPECT_EQ(Titles(dnUSBDevice0, dnUSBDevice1), QStringList({"", ""}));
    EXPECT_TRUE(page->Links().isEmpty());
    EXPECT_EQ(Title(dnIDEDevice0), "CD/DVD Drive");
    EXPECT_EQ(Title(dnSATAController), "SATA Controller");

    vb::Machine::Instance().GetFaults().Clear();
    EXPECT_TRUE(g_DialogManager.Refresh());
    EXPECT_EQ(Titles(dnUSBDevice0, dnUSBDevice1), QStringList({"Mouse", "Keyboard"}));
}

TEST_F(DiagramTest, ABoardWithoutDevicesShowsTheFormAndNothingOpens)
{
    const QJsonArray none;
    UseBoard([](QJsonObject& devices) { devices = QJsonObject(); }, &none);
    Open();
    EXPECT_EQ(FrameCount(), 0);
    EXPECT_EQ(page->UsbBusLine()->geometry(), QRect(310, 200, 2, 181));
    // Not even the buttons the form draws enabled can be pressed: they would open nothing.
    for (int slot : {dnCPU, dnDCT, dnChannelA, dnChannelB, dnHTLink, dnNorthBridge, dnSouthBridge,
                     dnSATAController, dnIDEController, dnUSBDevice0})
        EXPECT_FALSE(Button(slot)->isEnabled()) << slot;
    // Absent devices are no failure: no message and no error line.
    EXPECT_EQ(test::LogCapture::Instance().ErrorLines(), std::vector<std::string>{});
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QMessageBox*>(window), nullptr);
    Button(dnSATAController)->click();
    EXPECT_FALSE(Button(dnSATAController)->isChecked());
    EXPECT_EQ(FrameCount(), 0);
}

TEST_F(DiagramTest, ShowingAgainDoesNotRebuildAndASecondInitLeavesNoOrphans)
{
    Open();
    const int frames = FrameCount();
    QBaseDialog* northBridge = g_DialogManager.Frame(dnNorthBridge);
    page->hide();
    page->show();
    EXPECT_EQ(g_DialogManager.Frame(dnNorthBridge), northBridge);
    EXPECT_FALSE(page->DialogsPending());

    // Init once more on the same page: the frames made before are released first.
    ASSERT_TRUE(g_DialogManager.Init(page.get()));
    EXPECT_EQ(FrameCount(), frames);
    EXPECT_EQ(page->UsbBusLine()->geometry(), QRect(310, 200, 2, 100));
    EXPECT_EQ(Title(dnNorthBridge), "Northbridge");
    Button(dnNorthBridge)->click();
    EXPECT_TRUE(g_DialogManager.Frame(dnNorthBridge)->isVisible());
}

TEST_F(DiagramTest, APageTornDownTakesItsDialogsWithIt)
{
    // UnInit without any dialog built.
    QSysDiagram idle;
    ASSERT_TRUE(idle.Init());
    EXPECT_TRUE(idle.UnInit());
    EXPECT_EQ(idle.GetName(), std::string("Diagram"));

    // A page deleted while its dialogs exist releases them (their buttons go with it).
    Open();
    ASSERT_GT(FrameCount(), 0);
    page.reset();
    EXPECT_FALSE(g_DialogManager.IsInit());
    EXPECT_EQ(g_DialogManager.Page(), nullptr);
    EXPECT_EQ(FrameCount(), 0);
}
