// "Detailed" in the real main window: pictured in each skin, rebuilt by the
// window's device refresh when a USB device arrives, and saved from its button.
#include <QPushButton>
#include <QTimerEvent>
#include <QTreeWidget>

#include "Source/MainWindow/MainWindowFixture.h"
#include "SystemInfo/SystemInfo.h"
#include "VirtualBoard/UsbBus.h"
#include "support/FileDialogAnswers.h"

using test::MainWindowTest;

namespace {

const QString kGroup = QStringLiteral("System\nInformation");
const QString kPage = QStringLiteral("Detailed");

QTreeWidget* TreeOf(ZAR* window)
{
    IQVXWidget* page = window->GetWidget(kGroup, kPage);
    return page ? page->findChild<QTreeWidget*>(QStringLiteral("SysInfoTree")) : nullptr;
}

QTreeWidgetItem* TopItem(QTreeWidget* tree, const QString& caption)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == caption)
            return tree->topLevelItem(i);
    return nullptr;
}

} // namespace

TEST_F(MainWindowTest, ScreenshotsOfTheDetailedPageInEachSkin)
{
    ForEachSkin([&](const QString&) {
        ASSERT_TRUE(Open());
        ASSERT_TRUE(dynamic_cast<QSystemInfo*>(window->GetWidget(kGroup, kPage)));
        QTreeWidget* tree = TreeOf(window);
        ASSERT_TRUE(tree);
        SavePageScreenshot(kGroup, kPage, QStringLiteral("systeminfo-detailed"));
        // Opened the way a user reads it: a processor and the disk.
        tree->topLevelItem(0)->setExpanded(true);
        TopItem(tree, QStringLiteral("Harddisk 0"))->setExpanded(true);
        SavePageScreenshot(kGroup, kPage, QStringLiteral("systeminfo-detailed-open"));
        window->hide();
    });
}

TEST_F(MainWindowTest, AMousePluggedInAppearsUnderItsControllerAtTheNextTick)
{
    ASSERT_TRUE(Open());
    QTreeWidget* tree = TreeOf(window);
    ASSERT_TRUE(tree);
    QTreeWidgetItem* controller = TopItem(tree, QStringLiteral("USB Controller 2"));
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->childCount(), 3);

    vb::Machine::Instance().Get<vb::UsbBus>().Plug(
        vb::UsbDevice{QStringLiteral("USB Travel Mouse"), QStringLiteral("Vyk"), QString(), vb::UsbKind::Mouse, 2});
    ASSERT_TRUE(window->DeviceChanged());
    QTimerEvent tick(window->TimerId());
    QCoreApplication::sendEvent(window, &tick);

    controller = TopItem(tree, QStringLiteral("USB Controller 2"));
    ASSERT_TRUE(controller);
    ASSERT_EQ(controller->childCount(), 4);
    EXPECT_EQ(controller->child(3)->text(1), "USB Travel Mouse");
    EXPECT_EQ(controller->child(3)->text(2), "Vyk");

    // And the saved report has it too.
    test::FileDialogAnswers dialogs;
    dialogs.Queue(QDir::current().absoluteFilePath(QStringLiteral("after-plug.txt")));
    window->GetWidget(kGroup, kPage)->findChild<QPushButton*>(QStringLiteral("pushButton_2"))->click();
    EXPECT_TRUE(test::ReadFile(QStringLiteral("after-plug.txt")).contains("\tUSB Travel Mouse"));
}
