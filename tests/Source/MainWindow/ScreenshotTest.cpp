// Pictures of the main window in each skin and of the splash, saved under the
// build folder ("screenshots/") for review; the test checks what can be checked
// of them: the size, and that the skin's own colours are there.
#include <QBitmap>
#include <QCoreApplication>
#include <QPainter>

#include "Source/MainWindow/MainWindowFixture.h"
#include "Startup/InitWindow.h"

using test::MainWindowTest;
using test::ScreenshotDir;

namespace {

// The window as the screen shows it: the grab inside the window's mask.
QImage Masked(QWidget& window)
{
    const QPixmap shot = window.grab();
    QImage out(shot.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    if (!window.mask().isEmpty())
        painter.setClipRegion(window.mask());
    painter.drawPixmap(0, 0, shot);
    return out;
}

} // namespace

TEST_F(MainWindowTest, ScreenshotsOfTheMainWindowInEachSkin)
{
    ForEachSkin([this](const QString& skin) {
        ASSERT_TRUE(Open());
        window->resize(1000, 700);
        window->show();
        QCoreApplication::processEvents();
        const QImage image = Masked(*window);
        EXPECT_EQ(image.size(), QSize(1000, 700));
        // The corners are cut, the title bar is painted.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(500, 10)), 255);
        EXPECT_TRUE(image.save(ScreenshotDir() + QStringLiteral("/main-window-%1.png").arg(skin)));
        window->hide();
    });
    InitWindow splash;
    splash.show();
    QCoreApplication::processEvents();
    const QImage image = splash.grab().toImage();
    EXPECT_EQ(image.size(), QSize(309, 103));
    EXPECT_TRUE(image.save(ScreenshotDir() + QStringLiteral("/splash.png")));
}
