// Pictures of the Clock/Voltage page inside the main window in each skin, saved
// under the build folder ("screenshots/") for review.
#include <QDir>
#include <QFrame>

#include "AdvancedModeFixture.h"
#include "Settings/SkinManager.h"

using test::AdvancedModeTest;

TEST_F(AdvancedModeTest, ScreenshotsOfThePageInEachSkin)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    for (const char* skin : {"skin-black", "skin-red"}) {
        SCOPED_TRACE(skin);
        g_SkinManager.SetSkin(QLatin1String(skin));
        ASSERT_TRUE(Open());
        // In the main window's page area, under the window's style sheet.
        QFrame frame;
        frame.setObjectName(QStringLiteral("widget_frame"));
        frame.setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("main_style.qss")));
        page->setParent(&frame);
        frame.resize(992, 552);
        page->setGeometry(0, 0, 992, 552);
        frame.show();
        QCoreApplication::processEvents();
        Tick();
        const QImage image = frame.grab().toImage();
        EXPECT_EQ(image.size(), QSize(992, 552));
        EXPECT_TRUE(image.save(dir + QStringLiteral("/clock-voltage-%1.png").arg(QLatin1String(skin))));
        page->setParent(nullptr);
        TearDown();
        SetUp();
    }
}
