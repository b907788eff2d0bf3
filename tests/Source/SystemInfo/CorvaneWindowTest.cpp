// The flash-cache pages as the user would see them: placed in the real main
// window's page area under its style, in each skin, and pictured.
#include <QStackedWidget>

#include "Source/MainWindow/MainWindowFixture.h"
#include "Source/SystemInfo/CorvaneFixture.h"
#include "SystemInfo/Corvane.h"
#include "SystemInfo/CorvaneSettings.h"

namespace {

class CorvaneWindowTest : public test::MainWindowTest {
protected:
    void SetUp() override
    {
        test::MainWindowTest::SetUp();
        test::InstallStorageDriver(test::DriverDefaults());
    }
};

} // namespace

TEST_F(CorvaneWindowTest, ScreenshotsOfTheFlashCachePagesInEachSkin)
{
    const QString group = QObject::tr("System\nInformation");
    ForEachSkin([&](const QString&) {
        ASSERT_TRUE(Open());
        // The main window never creates these pages; they join its page area as its own pages do.
        auto* corvane = new QCorvane;
        auto* settings = new QCorvaneSettings;
        ASSERT_TRUE(settings->Discard());
        ASSERT_TRUE(window->AddWidget(corvane, group, QStringLiteral("Corvane"), -1));
        ASSERT_TRUE(window->AddWidget(settings, group, QStringLiteral("CorvaneSettings"), -1));
        SavePageScreenshot(group, QStringLiteral("Corvane"), QStringLiteral("corvane"));
        EXPECT_EQ(window->Form().stackedWidget->currentWidget(), corvane);
        EXPECT_TRUE(corvane->isVisible());
        SavePageScreenshot(group, QStringLiteral("CorvaneSettings"), QStringLiteral("corvane-settings"));
        EXPECT_EQ(window->Form().stackedWidget->currentWidget(), settings);
        window->hide();
    });
}
