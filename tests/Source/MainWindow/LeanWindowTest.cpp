// What the main window does before it is first seen: only what the user sees is
// dressed and laid out. The skin's main style sheet is carried (and so parsed) by
// the window alone, its parts inherit it; a page joins the page area when it is
// first shown, and until then it is in the menu but not in the window.
#include <QPushButton>
#include <QStackedWidget>

#include "Source/MainWindow/MainWindowFixture.h"

using test::MainWindowTest;

namespace {
const QString kSystem = QStringLiteral("System\nInformation");
const QString kPerformance = QStringLiteral("Performance\nControl");
} // namespace

TEST_F(MainWindowTest, TheMainStyleSheetIsCarriedByTheWindowAlone)
{
    for (const char* skin : {"skin-black", "skin-red"}) {
        SCOPED_TRACE(skin);
        g_SkinManager.SetSkin(QLatin1String(skin));
        ASSERT_TRUE(Open());
        const QString mainStyle = g_SkinManager.GetQssFile(QStringLiteral("main_style.qss"));
        ASSERT_FALSE(mainStyle.isEmpty());
        EXPECT_EQ(window->styleSheet(), mainStyle);
        QStringList others;
        for (QWidget* part : window->findChildren<QWidget*>())
            if (part->styleSheet() == mainStyle)
                others << part->objectName();
        EXPECT_EQ(others.join(QStringLiteral(", ")).toStdString(), "");
        TearDown();
        SetUp();
    }
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
