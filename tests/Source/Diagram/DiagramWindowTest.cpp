// The Diagram page in the main window: built at its first show, rebuilt when a
// device is plugged into or unplugged from the simulated machine, and pictured
// with an open dialog beside the window in each skin.
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimerEvent>

#include <functional>
#include <utility>
#include <vector>

#include "Diagram/ChipsetDialogs.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/ReservedCodes.h"

using test::MainWindowTest;

namespace {

const QString kGroup = QStringLiteral("System\nInformation");
const QString kPage = QStringLiteral("Diagram");

void Tick(ZAR* window)
{
    QTimerEvent tick(window->TimerId());
    QCoreApplication::sendEvent(window, &tick);
}

QSysDiagram* Diagram(ZAR* window) { return dynamic_cast<QSysDiagram*>(window->GetWidget(kGroup, kPage)); }

// The titles of the USB device buttons' frames, "" where a button has none.
QStringList UsbDeviceTitles()
{
    QStringList titles;
    for (int n = dnUSBDevice0; n <= dnUSBDevice6; ++n) {
        QBaseDialog* frame = g_DialogManager.Frame(n);
        titles << (frame ? frame->Form().PageNameLabel->text().trimmed() : QString());
    }
    return titles;
}

} // namespace

TEST_F(MainWindowTest, TheDiagramIsBuiltAtItsFirstShowAndFollowsTheUsbBus)
{
    ASSERT_TRUE(Open());
    QSysDiagram* diagram = Diagram(window);
    ASSERT_NE(diagram, nullptr);
    EXPECT_FALSE(g_DialogManager.IsInit());
    window->show();
    ASSERT_TRUE(window->ShowWidget(kGroup, kPage));
    ASSERT_TRUE(g_DialogManager.IsInit());
    EXPECT_EQ(UsbDeviceTitles(), QStringList({"Mouse", "Keyboard", "", "", "", "", ""}));
    EXPECT_EQ(diagram->Links().size(), 2);

    // Every change of the bus rebuilds the device buttons and their lines at the next tick.
    auto& usb = vb::Machine::Instance().Get<vb::UsbBus>();
    usb.Plug(QStringLiteral("USB DVD Drive"));
    Tick(window);
    EXPECT_EQ(UsbDeviceTitles(), QStringList({"Mouse", "Keyboard", "CD/DVD Drive", "", "", "", ""}));
    EXPECT_EQ(diagram->Links().size(), 3);
    ASSERT_TRUE(usb.Unplug(QStringLiteral("USB Optical Mouse")));
    Tick(window);
    EXPECT_EQ(UsbDeviceTitles(), QStringList({"Keyboard", "CD/DVD Drive", "", "", "", "", ""}));
    EXPECT_FALSE(diagram->Button(dnUSBDevice2)->isEnabled());
    ASSERT_TRUE(usb.Unplug(QStringLiteral("USB Keyboard")));
    ASSERT_TRUE(usb.Unplug(QStringLiteral("USB DVD Drive")));
    usb.Plug(QStringLiteral("USB Mouse"));
    Tick(window);
    EXPECT_EQ(UsbDeviceTitles(), QStringList({"Mouse", "", "", "", "", "", ""}));
    EXPECT_EQ(diagram->Links(), QList<QLine>({QLine(182, 206, 230, 201)}));
    window->hide();

    // The window's teardown leaves the manager without dialogs and without the page.
    ASSERT_TRUE(window->UnInit());
    EXPECT_FALSE(g_DialogManager.IsInit());
    EXPECT_EQ(g_DialogManager.Page(), nullptr);
}

TEST_F(MainWindowTest, ScreenshotsOfTheDiagramAndAnOpenDialogInEachSkin)
{
    ForEachSkin([this](const QString& skin) {
        ASSERT_TRUE(Open());
        const QImage page = SavePageScreenshot(kGroup, kPage, QStringLiteral("diagram"));
        EXPECT_FALSE(page.isNull());
        QSysDiagram* diagram = Diagram(window);
        ASSERT_NE(diagram, nullptr);

        // The north bridge's dialog, opened from its button, beside the window.
        window->move(0, 0);
        diagram->Button(dnNorthBridge)->click();
        QBaseDialog* frame = g_DialogManager.Frame(dnNorthBridge);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(frame->isVisible());
        frame->move(window->frameGeometry().right() + 1, 100);
        QCoreApplication::processEvents();
        const QImage dialog = frame->grab().toImage();
        EXPECT_TRUE(dialog.save(QStringLiteral("%1/diagram-northbridge-dialog-%2.png").arg(test::ScreenshotDir(), skin)));

        // The window and the dialog together, as on the desktop.
        QImage desktop(frame->frameGeometry().right() + 1, window->height(), QImage::Format_ARGB32);
        desktop.fill(Qt::black);
        QPainter painter(&desktop);
        painter.drawImage(0, 0, window->grab().toImage());
        painter.drawImage(frame->pos(), dialog);
        painter.end();
        EXPECT_TRUE(desktop.save(QStringLiteral("%1/diagram-with-dialog-%2.png").arg(test::ScreenshotDir(), skin)));

        // A keyboard's dialog as well: the family of the device dialogs.
        diagram->Button(dnUSBDevice1)->click();
        QBaseDialog* keyboard = g_DialogManager.Frame(dnUSBDevice1);
        ASSERT_NE(keyboard, nullptr);
        EXPECT_TRUE(keyboard->grab().toImage().save(
            QStringLiteral("%1/diagram-keyboard-dialog-%2.png").arg(test::ScreenshotDir(), skin)));
        frame->Form().OKButton->click();
        keyboard->Form().closeButton->click();
        window->hide();
    });
}

TEST_F(MainWindowTest, ScreenshotsOfEachDevicesDialogWithItsTextsWholeInEachSkin)
{
    // An optical drive whose name is longer than its cell is at first.
    test::LoadBoardWith([](QJsonObject& devices) {
        QJsonArray drives = devices.value("opticalDrives").toArray();
        QJsonObject drive = drives.at(0).toObject();
        drive.insert("name", "Vyk DVD-RW DR212 Dual Layer Recorder 24x");
        drives.replace(0, drive);
        devices.insert("opticalDrives", drives);
    });
    // Each dialog, and the cells that show texts of the device, which must show whole.
    const struct {
        int slot;
        const char* stem;
        std::vector<const char*> cells;
    } kDialogs[] = {
        {dnCPU, "cpu", {}},
        {dnGPU0, "gpu", {"Model", "BIOSVersion", "BIOSDate", "MemType", "PartNumber"}},
        {dnMemorySlot0, "memory-slot0", {}},
        {dnDCT, "memory-controller", {}},
        {dnChannelA, "channel-a", {}},
        {dnHTLink, "htlink", {}},
        {dnSATADevice0, "harddisk", {}},
        {dnIDEDevice0, "cdrom", {"Name", "Description", "Vendor"}},
    };
    ForEachSkin([&](const QString& skin) {
        ASSERT_TRUE(Open());
        window->show();
        ASSERT_TRUE(window->ShowWidget(kGroup, kPage));
        QSysDiagram* diagram = Diagram(window);
        ASSERT_NE(diagram, nullptr);
        for (const auto& d : kDialogs) {
            SCOPED_TRACE(d.stem);
            diagram->Button(d.slot)->click();
            QBaseDialog* frame = g_DialogManager.Frame(d.slot);
            ASSERT_NE(frame, nullptr);
            ASSERT_TRUE(frame->isVisible());
            // Live dialogs fill their values at their first tick.
            test::SendTick(frame->Dialog());
            QCoreApplication::processEvents();
            for (const char* name : d.cells) {
                auto* cell = frame->Dialog()->findChild<QLabel*>(QLatin1String(name));
                ASSERT_TRUE(cell) << name;
                ASSERT_FALSE(cell->text().isEmpty()) << name;
                // The whole text with room to spare on each side, inside the cell's border.
                EXPECT_LE(cell->fontMetrics().horizontalAdvance(cell->text()) + 2 * 3, cell->contentsRect().width())
                    << name << " cannot show \"" << qPrintable(cell->text()) << "\"";
            }
            EXPECT_TRUE(frame->grab().toImage().save(
                QStringLiteral("%1/diagram-%2-dialog-%3.png").arg(test::ScreenshotDir(), QLatin1String(d.stem), skin)));
            frame->Form().OKButton->click();
            EXPECT_FALSE(frame->isVisible());
        }
        window->hide();
    });
}

TEST_F(MainWindowTest, ScreenshotsOfAModuleOfReservedCodesInEachSkin)
{
    // Its chip density, banks, ranks and bus width are codes the standard reserves:
    // the dialog shows no sizes, and the rest of the module.
    ForEachSkin([&](const QString& skin) {
        ASSERT_TRUE(test::LoadDdr3Board(test::Ddr3SpdOfReservedCodes()));
        ASSERT_TRUE(Open());
        window->show();
        ASSERT_TRUE(window->ShowWidget(kGroup, kPage));
        QSysDiagram* diagram = Diagram(window);
        ASSERT_NE(diagram, nullptr);
        diagram->Button(dnMemorySlot0)->click();
        QBaseDialog* frame = g_DialogManager.Frame(dnMemorySlot0);
        ASSERT_NE(frame, nullptr);
        QCoreApplication::processEvents();
        const auto field = [frame](const char* name) {
            return frame->Dialog()->findChild<QLineEdit*>(QLatin1String(name))->text();
        };
        EXPECT_EQ(field("MemCapacity"), "");
        EXPECT_EQ(field("MaxBandwidth"), "");
        EXPECT_EQ(field("MemType"), "DDR3 SDRAM");
        EXPECT_EQ(field("PartNumber"), "VK2G1333U9-2G");
        EXPECT_TRUE(frame->grab().toImage().save(
            QStringLiteral("%1/diagram-memory-reserved-codes-dialog-%2.png").arg(test::ScreenshotDir(), skin)));
        frame->Form().OKButton->click();
        window->hide();
    });
    vb::Machine::Instance().LoadDefault();
}

namespace {

// The link captions' pixels: how many are blue (of the given test) and how many the
// skin's white, in the band of the caption's text rows.
std::pair<int, int> LinkPixels(ZAR* window, QToolButton* button, const std::function<bool(QRgb)>& isBlue)
{
    const QImage shot = window->grab().toImage();
    // The form's lines run under the channel buttons, outside their caption.
    const int nTextHeight = button->fontMetrics().height();
    const QRect area(button->mapTo(window, QPoint(0, (button->height() - nTextHeight) / 2)),
                     QSize(button->width(), nTextHeight));
    int blue = 0, white = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = shot.pixel(x, y);
            blue += isBlue(c);
            white += qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
        }
    return {blue, white};
}

} // namespace

TEST_F(MainWindowTest, TheLinkButtonsStayBlueAndTheFormItsMinimumSize)
{
    // Without a skin the ground is light and the links keep the page's pure blue.
    const auto pureBlue = [](QRgb c) { return qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 255; };
    // On a skin's dark ground they are a lighter blue (their contrast is measured in
    // ReadableTextTest); never the skin's white.
    const auto lightBlue = [](QRgb c) { return qBlue(c) > 200 && qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 40; };
    const auto check = [this](const std::function<bool(QRgb)>& isBlue, bool bSkin) {
        ASSERT_TRUE(Open());
        window->resize(1000, 700);
        window->show();
        ASSERT_TRUE(window->ShowWidget(kGroup, kPage));
        QCoreApplication::processEvents();
        QSysDiagram* diagram = Diagram(window);
        ASSERT_NE(diagram, nullptr);
        EXPECT_EQ(diagram->minimumSize(), QSize(1000, 0));
        for (int slot : {dnDCT, dnChannelA, dnChannelB, dnHTLink}) {
            QToolButton* button = diagram->Button(slot);
            SCOPED_TRACE(qPrintable(button->text()));
            const auto [blue, white] = LinkPixels(window, button, isBlue);
            EXPECT_GT(blue, 20);
            if (bSkin) {
                EXPECT_EQ(white, 0);
            }
        }
        window->hide();
    };
    ForEachSkin([&](const QString&) { check(lightBlue, true); });

    SCOPED_TRACE("no skin");
    g_SkinManager.SetSkin(QStringLiteral("no-such-skin"));
    check(pureBlue, false);
}
