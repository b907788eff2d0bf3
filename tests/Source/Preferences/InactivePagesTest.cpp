// "Debugger" and "Partners": refused with the built-in page table, shown when a
// page table on disk lists them.
#include <QTest>

#include "Preferences/InactivePages.h"
#include "Source/Preferences/PreferencesFixture.h"
#include "support/LogCapture.h"

using test::MainWindowTest;
using test::LogCount;

TEST_F(MainWindowTest, InactivePagesStayOutWithTheBuiltInPageTable)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(LogCount("Cannot find page Debugger in PageSettings.xml file."), 1u);
    EXPECT_EQ(LogCount("Cannot find page Partners in PageSettings.xml file."), 1u);
    EXPECT_FALSE(g_WidgetManager.GetWidget("Debugger"));
    EXPECT_FALSE(g_WidgetManager.GetWidget("Partners"));
}

TEST_F(MainWindowTest, APageTableThatListsThemShowsTheInactivePages)
{
    const char table[] = "<PageList><Group Name=\"Extras\"><Page Name=\"Debugger\"/><Page Name=\"Partners\"/></Group>"
                         "</PageList>";
    ASSERT_TRUE(Open(table));
    auto* debugger = dynamic_cast<QDebugger*>(window->GetWidget(QStringLiteral("Extras"), QStringLiteral("Debugger")));
    ASSERT_TRUE(debugger);
    ASSERT_TRUE(dynamic_cast<QPartners*>(window->GetWidget(QStringLiteral("Extras"), QStringLiteral("Partners"))));
    EXPECT_EQ(debugger->Form().ScriptText->tabStopDistance(), 24.0);

    window->show();
    ASSERT_TRUE(window->ShowWidget(QStringLiteral("Extras"), QStringLiteral("Debugger")));
    QTest::keyClicks(debugger->Form().ScriptText, QStringLiteral("print 1"));
    for (QPushButton* button : {debugger->Form().RunButton, debugger->Form().LoadButton, debugger->Form().SaveButton})
        button->click();
    EXPECT_EQ(debugger->Form().ScriptText->toPlainText(), QStringLiteral("print 1"));
    EXPECT_TRUE(debugger->Form().OutputText->toPlainText().isEmpty());
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_TRUE(window->GetWidget(QStringLiteral("Extras"), QStringLiteral("Partners"))
                    ->findChild<QLabel*>(QStringLiteral("label")));
    window->hide();
    TearDown();
    SetUp();

    ForEachSkin([this, table](const QString&) {
        ASSERT_TRUE(Open(table));
        SavePageScreenshot(QStringLiteral("Extras"), QStringLiteral("Debugger"), QStringLiteral("debugger"));
        SavePageScreenshot(QStringLiteral("Extras"), QStringLiteral("Partners"), QStringLiteral("partners"));
        window->hide();
    });
}
