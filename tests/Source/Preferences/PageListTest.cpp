// The Page List page: the tree of the page table, the tri-state group rules, and
// Apply that saves the table and has the window rebuilt.
#include <QTreeWidget>

#include "Preferences/Plugins.h"
#include "Source/Preferences/PreferencesFixture.h"
#include "support/LogCapture.h"

using test::MainWindowTest;
using test::kPreferenceGroup;

namespace {

// Two editable pages of one group, the first enabled, the second not.
const char kTable[] =
    "<PageList>"
    "<Group Name=\"Status\\nMonitor\">"
    "<Page Name=\"CPU Status\"><Enabled>1</Enabled><Editable>1</Editable></Page>"
    "<Page Name=\"GPU Status\"><Enabled>0</Enabled><Editable>1</Editable></Page>"
    "</Group>"
    "<Group Name=\"Preference\">"
    "<Page Name=\"Settings\"><Editable>0</Editable></Page>"
    "<Page Name=\"Page List\"><Editable>0</Editable></Page>"
    "</Group></PageList>";

class PageListTest : public test::PreferencesTest {
protected:
    QPlugins* OpenPageList(const QByteArray& table = QByteArray())
    {
        if (!Open(table))
            return nullptr;
        QPlugins* page = Page<QPlugins>("Page List");
        if (page)
            tree = page->Form().WidgetTree;
        return page;
    }

    QTreeWidgetItem* Group(const char* text) const
    {
        const QList<QTreeWidgetItem*> found = tree->findItems(QLatin1String(text), Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }

    QTreeWidgetItem* Item(const char* group, int index) const
    {
        QTreeWidgetItem* pGroup = Group(group);
        return pGroup ? pGroup->child(index) : nullptr;
    }

    // A click as the user makes it: the box changes first, then the signal.
    void Click(QTreeWidgetItem* item, int column)
    {
        item->setCheckState(column, item->checkState(column) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        emit tree->itemClicked(item, column);
    }

    void DoubleClick(QTreeWidgetItem* item) { emit tree->itemDoubleClicked(item, 1); }

    QTreeWidget* tree = nullptr;
};

} // namespace

TEST_F(PageListTest, TheTreeShowsEveryRecordByGroup)
{
    QPlugins* page = OpenPageList();
    ASSERT_TRUE(page);
    EXPECT_EQ(tree->columnCount(), 4);
    EXPECT_EQ(tree->headerItem()->text(0), QStringLiteral("Group Name"));
    EXPECT_EQ(tree->columnWidth(0), 200);
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    QTreeWidgetItem* performance = Group("Performance Control");
    ASSERT_TRUE(performance);
    ASSERT_EQ(performance->childCount(), 6);
    EXPECT_EQ(performance->child(1)->text(1), QStringLiteral("Clock/Voltage"));
    EXPECT_EQ(performance->child(1)->text(2), QStringLiteral("false"));
    EXPECT_EQ(performance->child(1)->text(3), QStringLiteral("false"));
    EXPECT_EQ(performance->child(1)->checkState(1), Qt::Checked);
    // The page name has no colours of its own: it takes the skin's (measured on the
    // drawn window in ReadableTextTest).
    EXPECT_EQ(performance->child(1)->background(1).style(), Qt::NoBrush);
    EXPECT_EQ(performance->child(1)->foreground(1).style(), Qt::NoBrush);
    EXPECT_EQ(performance->checkState(0), Qt::Checked);
}

TEST_F(PageListTest, ClickingAGroupOfNonEditablePagesChangesNothing)
{
    QPlugins* page = OpenPageList();
    ASSERT_TRUE(page);
    QTreeWidgetItem* preference = Group("Preference");
    ASSERT_TRUE(preference);
    Click(preference, 0);
    EXPECT_EQ(preference->checkState(0), Qt::Checked);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(preference->child(i)->checkState(1), Qt::Checked);
        EXPECT_TRUE(g_PageSettings.FindPage(preference->child(i)->text(1))->Enabled);
    }

    // A non-editable page's box flips back, yet the page counts as changed.
    Click(preference->child(0), 1);
    EXPECT_EQ(preference->child(0)->checkState(1), Qt::Checked);
    EXPECT_TRUE(g_PageSettings.FindPage(QStringLiteral("Settings"))->Enabled);
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(g_nRestartRequest, 1);
}

TEST_F(PageListTest, AGroupOfMixedPagesIsPartlyCheckedAfterFillAndClicks)
{
    QPlugins* page = OpenPageList(kTable);
    ASSERT_TRUE(page);
    QTreeWidgetItem* status = Group("Status Monitor");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->checkState(0), Qt::PartiallyChecked);

    // The second page enabled: all enabled, the group checked.
    Click(status->child(1), 1);
    EXPECT_TRUE(g_PageSettings.FindPage(QStringLiteral("GPU Status"))->Enabled);
    EXPECT_EQ(status->checkState(0), Qt::Checked);
    // The first disabled: partly again.
    Click(status->child(0), 1);
    EXPECT_FALSE(g_PageSettings.FindPage(QStringLiteral("CPU Status"))->Enabled);
    EXPECT_EQ(status->checkState(0), Qt::PartiallyChecked);
    // The group's box: from partly to checked enables both pages.
    Click(status, 0);
    EXPECT_EQ(status->checkState(0), Qt::Checked);
    EXPECT_TRUE(g_PageSettings.FindPage(QStringLiteral("CPU Status"))->Enabled);
    EXPECT_EQ(status->child(0)->checkState(1), Qt::Checked);
    Click(status, 0);
    EXPECT_EQ(status->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(g_PageSettings.FindPage(QStringLiteral("GPU Status"))->Enabled);

    // A new show fills the tree from memory, with the same rules.
    page->hide();
    page->show();
    ASSERT_TRUE(Group("Status Monitor"));
    EXPECT_EQ(Group("Status Monitor")->checkState(0), Qt::Unchecked);
}

TEST_F(PageListTest, ApplySavesOnlyAfterAChange)
{
    QPlugins* page = OpenPageList(kTable);
    ASSERT_TRUE(page);
    const QByteArray before = test::ReadFile(QStringLiteral("PageSettings.xml"));
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(g_nRestartRequest, 0);
    EXPECT_EQ(test::ReadFile(QStringLiteral("PageSettings.xml")), before);

    // Two double clicks restore Visible, yet the page counts as changed.
    QTreeWidgetItem* cpu = Item("Status Monitor", 0);
    DoubleClick(cpu);
    EXPECT_EQ(cpu->text(2), QStringLiteral("false"));
    EXPECT_FALSE(g_PageSettings.FindPage(QStringLiteral("CPU Status"))->Visible);
    DoubleClick(cpu);
    EXPECT_EQ(cpu->text(2), QStringLiteral("true"));
    // Not on a page that is not editable, nor on a group.
    DoubleClick(Item("Preference", 0));
    DoubleClick(Group("Preference"));
    EXPECT_TRUE(g_PageSettings.FindPage(QStringLiteral("Settings"))->Visible);
    ASSERT_TRUE(page->Apply());
    EXPECT_EQ(g_nRestartRequest, 1);
}

TEST_F(PageListTest, AHiddenPageIsHiddenAfterApplyAndRebuild)
{
    QPlugins* page = OpenPageList(kTable);
    ASSERT_TRUE(page);
    ASSERT_TRUE(MenuEntry(QStringLiteral("Status\nMonitor"), "CPU Status"));
    EXPECT_TRUE(MenuEntry(QStringLiteral("Status\nMonitor"), "CPU Status")->m_bVisible);
    DoubleClick(Item("Status Monitor", 0));
    ASSERT_TRUE(page->Apply());
    ASSERT_EQ(g_nRestartRequest, 1);
    ASSERT_TRUE(StoredRecord("CPU Status"));
    EXPECT_FALSE(StoredRecord("CPU Status")->Visible);

    ASSERT_TRUE(Rebuild());
    ASSERT_TRUE(MenuEntry(QStringLiteral("Status\nMonitor"), "CPU Status"));
    EXPECT_FALSE(MenuEntry(QStringLiteral("Status\nMonitor"), "CPU Status")->m_bVisible);

    // Disabled: the page is not built at all.
    page = Page<QPlugins>("Page List");
    ASSERT_TRUE(page);
    tree = page->Form().WidgetTree;
    Click(Item("Status Monitor", 0), 1);
    ASSERT_TRUE(page->Apply());
    ASSERT_TRUE(Rebuild());
    EXPECT_FALSE(MenuEntry(QStringLiteral("Status\nMonitor"), "CPU Status"));
}

TEST_F(PageListTest, AFailedSaveShowsWhatIsOnDisk)
{
    QPlugins* page = OpenPageList(kTable);
    ASSERT_TRUE(page);
    DoubleClick(Item("Status Monitor", 0));
    {
        // Nothing can be written in this folder; no page table lies there either.
        test::CurrentFolder readOnly(test::ReadOnlyFolder());
        test::LogCapture::Instance().Clear();
        EXPECT_FALSE(page->Apply());
    }
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode) at line"));
    EXPECT_TRUE(test::LogContains("QPlugins::Apply"));
    EXPECT_EQ(g_nRestartRequest, 0);
    // The tree and the table in memory hold the built-in table, what that folder offers.
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_TRUE(g_PageSettings.FindPage(QStringLiteral("CPU Status"))->Visible);
    EXPECT_EQ(Item("Status Monitor", 0)->text(2), QStringLiteral("true"));
}

TEST_F(MainWindowTest, ScreenshotsOfThePageListInEachSkin)
{
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open());
        SavePageScreenshot(QStringLiteral("Preference"), QStringLiteral("Page List"), QStringLiteral("page-list"));
        window->hide();
    });
}
