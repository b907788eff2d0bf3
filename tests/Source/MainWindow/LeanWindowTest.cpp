// What the main window does before it is first seen: only what the user sees is
// dressed and laid out. The skin's main style sheet is carried (and so parsed) by
// the window alone, its parts inherit it; a page joins the page area when it is
// first shown, and until then it is in the menu but not in the window.
#include <QPushButton>
#include <QStackedWidget>

#include <memory>

#include "Source/MainWindow/MainWindowFixture.h"
#include "support/LogCapture.h"
#include "support/PlainPage.h"

using test::MainWindowTest;

namespace {
const QString kSystem = QStringLiteral("System\nInformation");
const QString kPerformance = QStringLiteral("Performance\nControl");
} // namespace

TEST_F(MainWindowTest, TheMainStyleSheetIsCarriedByTheWindowAlone)
{
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open());
        const QString mainStyle = g_SkinManager.GetQssFile(QStringLiteral("main_style.qss"));
        ASSERT_FALSE(mainStyle.isEmpty());
        EXPECT_EQ(window->styleSheet(), mainStyle);
        QStringList others;
        for (QWidget* part : window->findChildren<QWidget*>())
            if (part->styleSheet() == mainStyle)
                others << part->objectName();
        EXPECT_EQ(others.join(QStringLiteral(", ")).toStdString(), "");
    });
}

TEST_F(MainWindowTest, APageJoinsThePageAreaWhenItIsFirstShown)
{
    ASSERT_TRUE(Open({}, {QStringLiteral("VykVelocrest"), QStringLiteral("AutoTune")}));
    QStackedWidget* area = window->Form().stackedWidget;
    auto* autoClock = window->GetWidget(kPerformance, QStringLiteral("Auto Clock"));
    auto* diagram = window->GetWidget(kSystem, QStringLiteral("Diagram"));
    auto* benchmark = window->GetWidget(kPerformance, QStringLiteral("Benchmark"));
    auto* basic = window->GetWidget(kSystem, QStringLiteral("Basic"));
    ASSERT_TRUE(autoClock && diagram && benchmark && basic);
    EXPECT_EQ(area->currentWidget(), autoClock);
    // Pages not shown yet are the menu's, not the window's; opened on Auto Clock, the
    // window has not laid out the first group's page either.
    EXPECT_FALSE(window->isAncestorOf(basic));
    EXPECT_FALSE(window->isAncestorOf(diagram));
    EXPECT_FALSE(window->isAncestorOf(benchmark));
    EXPECT_FALSE(diagram->isWindow());

    window->findChild<QPushButton*>(QStringLiteral("Benchmark"))->click();
    EXPECT_EQ(area->currentWidget(), benchmark);
    EXPECT_TRUE(window->isAncestorOf(benchmark));
    EXPECT_FALSE(window->isAncestorOf(diagram));
    const int placed = area->count();
    window->findChild<QPushButton*>(QStringLiteral("Auto Clock"))->click();
    window->findChild<QPushButton*>(QStringLiteral("Benchmark"))->click();
    EXPECT_EQ(area->count(), placed);
}

TEST_F(MainWindowTest, APageThePageTableRefusesIsNotBuilt)
{
    int built = 0;
    const auto counted = [&built](const char* name) {
        return [&built, name] {
            ++built;
            return static_cast<IQVXWidget*>(new test::PlainPage(name));
        };
    };
    UsePages({{"Listed", counted("Listed"), "Listed"}, {"Unlisted", counted("Unlisted"), "Unlisted"},
              {"Disabled", counted("Disabled"), "Disabled"}});
    ASSERT_TRUE(Open("<PageList><Group Name=\"G\"><Page Name=\"Listed\"/>"
                     "<Page Name=\"Disabled\"><Enabled>0</Enabled></Page></Group></PageList>"));
    EXPECT_EQ(built, 1);
    EXPECT_NE(window->GetWidget(QStringLiteral("G"), QStringLiteral("Listed")), nullptr);
    // Refused as before, and told so.
    EXPECT_TRUE(test::LogContains("Cannot find page Unlisted in PageSettings.xml file."));
    EXPECT_TRUE(test::LogContains("Page Disabled is disabled."));
}

TEST_F(MainWindowTest, EachBuiltInPageIsNamedInTheTableAsItNamesItself)
{
    ASSERT_TRUE(g_DeviceManager.Init(""));
    for (const BuiltInPage& entry : BuiltInPages()) {
        std::unique_ptr<IQVXWidget> page(entry.Create());
        EXPECT_STREQ(entry.pszPageName, page->GetName()) << entry.pszClassName;
    }
}
