// The dialog frame: where a dragged frame snaps (the docking rule as a table, and
// through the manager), how the frame follows the mouse, its title, its close
// paths and its help.
#include <QGuiApplication>
#include <QScreen>
#include <QWhatsThis>

#include "Diagram/DeviceDialogs.h"
#include "Diagram/DialogSupport.h"
#include "Diagram/Docking.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::DiagramTest;
using test::SendMouse;

namespace {

QRect At(int x, int y, int w = 200, int h = 100) { return QRect(x, y, w, h); }

} // namespace

TEST(DockRuleTest, SnapsToTheScreenEdgesAndToOtherFrames)
{
    const QRect screen(0, 0, 800, 600);   // right 799, bottom 599
    const struct {
        const char* what;
        QRect frame;
        QRect screen;
        std::vector<QRect> others;
        QPoint pos;
        bool docked;
    } kCases[] = {
        {"left 5 inside: onto the left edge", At(5, 200), screen, {}, {0, 200}, true},
        {"left and top 5 inside: the top rule fires last", At(5, 5), screen, {}, {5, 0}, true},
        {"already on the left edge: not moved, not docked", At(0, 200), screen, {}, {0, 200}, false},
        {"left 10 inside: too far", At(10, 200), screen, {}, {10, 200}, false},
        {"left of the screen: pulled only from inside", At(-5, 200), screen, {}, {-5, 200}, false},
        {"right edge 6 inside", At(594, 200), screen, {}, {600, 200}, true},   // right 793 -> 799
        {"bottom edge 9 inside", At(300, 491), screen, {}, {300, 500}, true},  // bottom 590 -> 599
        {"bottom edge 10 inside: too far", At(300, 490), screen, {}, {300, 490}, false},
        {"5 right of another's right edge", At(306, 300), screen, {At(100, 100)}, {300, 300}, true},
        {"touching another: moved onto the same place, docked", At(300, 300), screen, {At(100, 100)}, {300, 300}, true},
        {"8 left of another's right edge", At(291, 300), screen, {At(100, 100)}, {300, 300}, true},
        {"11 right of another's right edge: free", At(311, 300), screen, {At(100, 100)}, {311, 300}, false},
        {"far below another still attracts sideways", At(305, 480), screen, {At(100, 20)}, {300, 480}, true},
        {"just below another's bottom", At(400, 205), screen, {At(400, 100)}, {400, 200}, true},
        {"just left of another's left edge", At(395, 300), screen, {At(600, 250)}, {400, 300}, true},
        {"just above another's top", At(300, 300, 200, 100), screen, {At(100, 404)}, {300, 304}, true},
        {"a frame of 10 pixels or more never matches itself", At(300, 300), screen, {At(300, 300)}, {300, 300}, false},
        // Its four rules all fire; the last puts its bottom just above its own top.
        {"a frame under 10 pixels matches itself", At(300, 300, 8, 8), screen, {At(300, 300, 8, 8)}, {300, 292}, true},
        {"a screen away from the origin uses its own edges", At(1925, 200), QRect(1920, 0, 1280, 1024), {}, {1920, 200}, true},
        {"no screen: only frames attract", At(5, 5), QRect(), {}, {5, 5}, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const DockResult result = DockRule(c.frame, c.screen, c.others);
        EXPECT_EQ(result.ptPos, c.pos);
        EXPECT_EQ(result.bDocked, c.docked);
    }
}

TEST_F(DiagramTest, AFrameDraggedNearAnotherSnapsToItsEdge)
{
    Open();
    QBaseDialog* north = g_DialogManager.Frame(dnNorthBridge);
    QBaseDialog* south = g_DialogManager.Frame(dnSouthBridge);
    ASSERT_TRUE(north && south);
    Button(dnNorthBridge)->click();
    Button(dnSouthBridge)->click();
    north->move(100, 100);
    const int right = north->frameGeometry().right();
    south->move(right + 1 + 5, 300);
    EXPECT_TRUE(g_DialogManager.Dock(south));
    EXPECT_EQ(south->pos(), QPoint(right + 1, 300));
    EXPECT_TRUE(g_DialogManager.Dock(south));
    EXPECT_EQ(south->pos(), QPoint(right + 1, 300));

    // A frame never shown has no place yet and attracts nothing.
    QBaseDialog* sata = g_DialogManager.Frame(dnSATAController);
    ASSERT_FALSE(sata->WasShown());
    south->move(sata->frameGeometry().right() + 4, 400);
    EXPECT_FALSE(g_DialogManager.Dock(south));
    EXPECT_FALSE(g_DialogManager.Dock(nullptr));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pDialog)"));
}

TEST_F(DiagramTest, ADockedFrameStaysUntilTheCursorIsFivePixelsAway)
{
    Open();
    Button(dnNorthBridge)->click();
    QBaseDialog* frame = g_DialogManager.Frame(dnNorthBridge);
    frame->move(300, 300);
    const auto press = [frame](QPoint at, Qt::MouseButton button) {
        SendMouse(frame, QEvent::MouseButtonPress, at, button, button);
    };
    const auto drag = [frame](QPoint at, Qt::MouseButtons buttons = Qt::LeftButton) {
        SendMouse(frame, QEvent::MouseMove, at, Qt::NoButton, buttons);
    };

    // Dragged to 5 pixels below the screen's top: snapped onto it, docked.
    press({10, 10}, Qt::LeftButton);
    drag({10, 10 - 295});
    EXPECT_EQ(frame->pos(), QPoint(300, 0));
    EXPECT_TRUE(frame->IsDocked());
    drag({200, 200});   // the echo of the frame's own move: ignored wherever it is
    EXPECT_EQ(frame->pos(), QPoint(300, 0));

    drag({14, 14});     // 4 and 4 pixels: stays
    EXPECT_EQ(frame->pos(), QPoint(300, 0));
    drag({15, 10});     // 5 pixels: moves by the whole offset and is docked no more
    EXPECT_EQ(frame->pos(), QPoint(305, 0));
    EXPECT_FALSE(frame->IsDocked());
    drag({10, 10});     // echo
    drag({11, 10});     // undocked, it follows a single pixel
    EXPECT_EQ(frame->pos(), QPoint(306, 0));

    // A right-button release does not end the left drag; a left release does.
    SendMouse(frame, QEvent::MouseButtonRelease, {11, 10}, Qt::RightButton, Qt::LeftButton);
    drag({10, 10});     // echo of the last move
    drag({10, 30});
    EXPECT_EQ(frame->pos(), QPoint(306, 20));
    SendMouse(frame, QEvent::MouseButtonRelease, {10, 30}, Qt::LeftButton, Qt::NoButton);
    drag({100, 100}, Qt::NoButton);
    EXPECT_EQ(frame->pos(), QPoint(306, 20));

    // The right button does not drag.
    press({10, 10}, Qt::RightButton);
    drag({50, 50}, Qt::RightButton);
    EXPECT_EQ(frame->pos(), QPoint(306, 20));

    // A full-screen frame is not dragged.
    frame->showFullScreen();
    const QPoint full = frame->pos();
    press({10, 10}, Qt::LeftButton);
    drag({60, 60});
    EXPECT_EQ(frame->pos(), full);
    SendMouse(frame, QEvent::MouseButtonRelease, {60, 60}, Qt::LeftButton, Qt::NoButton);
}

TEST_F(DiagramTest, CloseAndOkUncheckTheButtonAndTheFrameReopensWhereItWasLeft)
{
    Open();
    QToolButton* button = Button(dnUSBDevice1);
    QBaseDialog* frame = g_DialogManager.Frame(dnUSBDevice1);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Form().PageNameLabel->text(), "  Keyboard");
    EXPECT_EQ(frame->windowFlags() & Qt::WindowType_Mask, Qt::SplashScreen);
    EXPECT_EQ(frame->Form().OKButton->text(), "Close");
    for (QAbstractButton* closer : {static_cast<QAbstractButton*>(frame->Form().closeButton),
                                    static_cast<QAbstractButton*>(frame->Form().OKButton)}) {
        SCOPED_TRACE(closer->objectName().toStdString());
        button->click();
        ASSERT_TRUE(frame->isVisible());
        frame->move(120, 140);
        closer->click();
        EXPECT_FALSE(frame->isVisible());
        EXPECT_FALSE(button->isChecked());
        button->click();
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(frame->pos(), QPoint(120, 140));
        button->click();
    }

    // The help button: the next click on a widget shows its help.
    frame->Form().helpButton->click();
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
}

TEST_F(DiagramTest, AFrameWithoutItsDialogOrButtonIsLeftAsItWas)
{
    QBaseDialog frame;
    QToolButton button;
    KeyboardDialog dialog;
    EXPECT_FALSE(frame.Init(nullptr, &button));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pDialog) at line"));
    EXPECT_FALSE(frame.Init(&dialog, nullptr));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pButton) at line"));
    EXPECT_EQ(frame.Form().PageNameLabel->text(), "Page Name");
    EXPECT_EQ(frame.Dialog(), nullptr);
    EXPECT_EQ(dialog.parent(), nullptr);

    // Unbound, the close paths log and leave the frame as it is.
    frame.show();
    frame.Form().OKButton->click();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_pButton) at line"));
    EXPECT_TRUE(test::LogContains("in QBaseDialog::HideWindow"));
}

TEST_F(DiagramTest, EveryValueCellOfEveryDialogExplainsItself)
{
    Usb().Plug(QStringLiteral("USB Flash Disk"));
    Usb().Plug(QStringLiteral("USB DVD Drive"));
    ASSERT_TRUE(g_DeviceManager.Refresh());
    Open();
    QStringList titles;
    int cells = 0;
    for (int slot = 0; slot < dnTotal; ++slot) {
        QBaseDialog* frame = g_DialogManager.Frame(slot);
        if (!frame)
            continue;
        titles << QString::fromLatin1(frame->Dialog()->GetName());
        for (QLabel* label : frame->Dialog()->findChildren<QLabel*>()) {
            if (label->styleSheet() != QLatin1String(kValueLabelStyle))
                continue;
            ++cells;
            EXPECT_TRUE(label->whatsThis().endsWith(' ')) << slot << " " << label->objectName().toStdString();
            EXPECT_GT(label->whatsThis().size(), 1) << slot << " " << label->objectName().toStdString();
        }
    }
    titles.removeDuplicates();
    EXPECT_EQ(titles, QStringList({"CPU", "GPU 0", "Slot 0", "Slot 2", "DDR2 Memory Controller", "Channel A", "Channel B", "HyperTransport(TM) Link", "Northbridge", "Southbridge", "SATA Controller", "Hard Drive Disk", "IDE Controller",
                                   "CD/DVD Drive", "USB Controller", "Mouse", "Keyboard", "USB Storage"}));
    EXPECT_EQ(cells, 6 * 8 + 3 * 4 + 16 + 38 + 2 * 30 + 30 + 2 * 11 + 40);
}
