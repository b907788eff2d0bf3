#pragma once
// The Diagram page on the simulated board, outside the main window: the device
// library up, the page made and shown (which builds the dialogs), and everything
// taken down again, so the process-wide dialog manager is left uninitialised for
// the next test.
#include <QApplication>
#include <QJsonArray>
#include <QMouseEvent>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Diagram/BaseDialog.h"
#include "Diagram/DialogManager.h"
#include "Diagram/SysDiagram.h"
#include "QVXLogic/DeviceManager.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/UsbBus.h"
#include "support/BoardEdits.h"

namespace test {

class DiagramTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_SkinManager.SetSkin(QStringLiteral("skin-black"));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }

    void TearDown() override
    {
        if (page) {
            EXPECT_TRUE(page->UnInit());
        }
        page.reset();
        EXPECT_FALSE(g_DialogManager.IsInit());
        EXPECT_EQ(FrameCount(), 0);
        g_DeviceManager.UnInit();
    }

    // The page made, initialised and shown, as the main window would.
    void Open()
    {
        page = std::make_unique<QSysDiagram>();
        ASSERT_TRUE(page->Init());
        page->resize(1000, 419);
        page->show();
        ASSERT_TRUE(g_DialogManager.IsInit());
    }

    // The default board with its "devices" (and "usb" when given) changed.
    static void UseBoard(const std::function<void(QJsonObject& devices)>& change, const QJsonArray* usb = nullptr)
    {
        g_DeviceManager.UnInit();
        QJsonObject devices = DefaultBoard().value(QStringLiteral("devices")).toObject();
        change(devices);
        QJsonObject sections{{QStringLiteral("devices"), devices}};
        if (usb)
            sections.insert(QStringLiteral("usb"), QJsonObject{{QStringLiteral("devices"), *usb}});
        ASSERT_TRUE(LoadDefaultBoardWith(sections));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }

    // A device-library variant from tests/fixtures/boards laid over the default board.
    static void UseVariant(const char* name)
    {
        g_DeviceManager.UnInit();
        LoadBoardOver(QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(name)));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }

    static vb::UsbBus& Usb() { return vb::Machine::Instance().Get<vb::UsbBus>(); }

    // The device library looks again, then the dialogs are rebuilt (the main
    // window's path after a device change).
    static void RefreshDevices()
    {
        ASSERT_TRUE(g_DeviceManager.Refresh());
        ASSERT_TRUE(g_DialogManager.Refresh());
    }

    // The component windows, built or waiting for their first opening: a dialog read
    // but not opened yet is a window of its own until its frame takes it in.
    static int FrameCount()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<QBaseDialog*>(w) || (dynamic_cast<IQVXWidget*>(w) && !qobject_cast<QSysDiagram*>(w));
        return n;
    }

    // The component windows built so far (each is built when it is first opened).
    static int BuiltFrames()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<QBaseDialog*>(w) != nullptr;
        return n;
    }

    // The title a slot's frame shows, without the two leading blanks; "" for an empty slot.
    static QString Title(int nSlot)
    {
        QBaseDialog* frame = g_DialogManager.Frame(nSlot);
        return frame ? frame->Form().PageNameLabel->text().mid(2) : QString();
    }

    QToolButton* Button(int nSlot) const { return page->Button(nSlot); }

    std::unique_ptr<QSysDiagram> page;
};

// The simulated board's devices, whose state tests change and whose reads they count.
inline vb::DeviceBoard& Board() { return vb::Machine::Instance().Get<vb::DeviceBoard>(); }

// The board's devices changed, then made again by the device library, for what it
// takes only when it makes them (a processor's signature, a chip's level count).
inline void RemakeDevicesAfter(const std::function<void(vb::DeviceBoard&)>& change)
{
    g_DeviceManager.UnInit();
    {
        auto lock = Board().Lock();
        change(Board());
    }
    ASSERT_TRUE(g_DeviceManager.Init("test"));
}

// The texts of some cells (labels or line edits), in order.
template <class Cell>
QStringList Texts(std::initializer_list<Cell*> cells)
{
    QStringList texts;
    for (Cell* cell : cells)
        texts << cell->text();
    return texts;
}

// One tick of a dialog's one-second timer.
inline void Tick(QWidget& dialog) { SendTick(&dialog); }

// A mouse event for a frame, at a position in its own coordinates.
inline void SendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace test
