// The built-in skins: every style sheet and picture of the skin layout is present
// in both skins, at its size, and the style sheets only point at pictures that exist.
#include <QBitmap>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QtMath>

#include <gtest/gtest.h>

#include "SkinLayout.h"

using namespace skintest;

namespace {

void ExpectPicture(const QString& path, QSize size)
{
    const QImage image(path);
    EXPECT_FALSE(image.isNull()) << qPrintable(path);
    EXPECT_EQ(image.size(), size) << qPrintable(path);
}

QString ReadStyleSheet(const QString& skin, const QString& name)
{
    QFile file(QStringLiteral(":/") + skin + QStringLiteral("/qss/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

}  // namespace

TEST(SkinResources, EveryPictureOfTheLayoutIsInBothSkinsAtItsSize)
{
    ASSERT_EQ(Pictures().size(), 57u);
    ASSERT_EQ(Components().size(), 13u);
    for (const QString& skin : Skins()) {
        for (const Picture& picture : Pictures())
            ExpectPicture(BuiltIn(skin, picture.path), picture.size);
        for (const Picture& picture : Components())
            ExpectPicture(BuiltIn(skin, picture.path), picture.size);
    }
}

TEST(SkinResources, TheRedSkinHasItsFivePromotionalPictures)
{
    ASSERT_EQ(RedPromotion().size(), 5u);
    for (const Picture& picture : RedPromotion())
        ExpectPicture(BuiltIn(QStringLiteral("skin-red"), picture.path), picture.size);
}

TEST(SkinResources, PicturesOutsideTheSkinsAreBuiltIn)
{
    for (const Picture& picture : Skinless())
        ExpectPicture(QString::fromLatin1(picture.path), picture.size);
}

TEST(SkinResources, StyleSheetsExistAndPointOnlyAtPicturesOfTheirOwnSkin)
{
    static const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    for (const QString& skin : Skins()) {
        for (const QString& name : StyleSheets()) {
            QFile file(QStringLiteral(":/") + skin + QStringLiteral("/qss/") + name);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(skin + "/" + name);
            const QByteArray bytes = file.readAll();
            EXPECT_GT(bytes.size(), 0) << qPrintable(name);
            // Read as Latin-1 by the skin manager: plain ASCII reads the same everywhere.
            EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0; }))
                << qPrintable(skin + "/" + name);
            const QString text = QString::fromLatin1(bytes);
            EXPECT_FALSE(text.contains(QLatin1String("{{"))) << "unfilled template key in " << qPrintable(name);
            auto it = url.globalMatch(text);
            while (it.hasNext()) {
                const QString ref = it.next().captured(1);
                EXPECT_TRUE(ref.startsWith(QStringLiteral(":/") + skin + QLatin1Char('/')))
                    << qPrintable(skin + "/" + name + " -> " + ref);
                EXPECT_FALSE(QImage(ref).isNull()) << qPrintable(skin + "/" + name + " -> " + ref);
            }
        }
    }
}

TEST(SkinResources, StyleSheetsAddressTheObjectsOfTheWindowAndTheDialogFrame)
{
    const QStringList mainObjects = {
        "QMainWindow#ZARClass",        "QFrame#main_widget_frame",   "QFrame#titlebar_left_side",
        "QFrame#titlebar_frame",       "QFrame#titlebar_right_side", "QFrame#left_frame",
        "QFrame#right_frame",          "QFrame#menu_frame",          "QFrame#menu_left_side",
        "QFrame#menu_right_side",      "QFrame#submenu_frame",       "QFrame#submenu_left_side",
        "QFrame#submenu_right_side",   "QFrame#widget_frame",        "QFrame#bottom_frame",
        "QLCDNumber"};
    const QStringList dialogObjects = {"QWidget#base_dialog", "QFrame#widget_frame",
                                       "QFrame#titlebar_frame", "QFrame#dialog_frame"};
    for (const QString& skin : Skins()) {
        const QString mainStyle = ReadStyleSheet(skin, QStringLiteral("main_style.qss"));
        for (const QString& object : mainObjects)
            EXPECT_TRUE(mainStyle.contains(object + QLatin1Char(' '))) << qPrintable(skin + ": " + object);
        const QString dialogStyle = ReadStyleSheet(skin, QStringLiteral("dialog_style.qss"));
        for (const QString& object : dialogObjects)
            EXPECT_TRUE(dialogStyle.contains(object + QLatin1Char(' '))) << qPrintable(skin + ": " + object);
    }
    // Only the red skin dresses the benchmark banner and the GPU banner.
    const QString red = ReadStyleSheet(QStringLiteral("skin-red"), QStringLiteral("main_style.qss"));
    EXPECT_TRUE(red.contains(QLatin1String(":/skin-red/images/Tazli/braxen.png")));
    EXPECT_TRUE(red.contains(QLatin1String("QLabel#BenchmarkLabel")));
    EXPECT_TRUE(red.contains(QLatin1String("QLabel#GPULabel")));
    const QString black = ReadStyleSheet(QStringLiteral("skin-black"), QStringLiteral("main_style.qss"));
    EXPECT_FALSE(black.contains(QLatin1String("BenchmarkLabel")));
    EXPECT_FALSE(black.contains(QLatin1String("GPULabel")));
}

TEST(SkinResources, CornerMasksRoundTheWindowsTopCornersLikeTheTitleBarEdges)
{
    // Built the way the main window builds its mask: all opaque, then the two
    // corner pictures drawn into the top corners.
    for (const QString& skin : Skins()) {
        const QPixmap left(BuiltIn(skin, "images/titlebar_edge_left_mask.png"));
        const QPixmap right(BuiltIn(skin, "images/titlebar_edge_right_mask.png"));
        QBitmap mask(200, 100);
        mask.fill(Qt::color1);
        {
            QPainter painter(&mask);
            painter.drawPixmap(0, 0, left);
            painter.drawPixmap(mask.width() - right.width(), 0, right);
        }
        const QImage bits = mask.toImage().convertToFormat(QImage::Format_RGB32);
        auto kept = [&](int x, int y) { return qGray(bits.pixel(x, y)) < 128; };  // color1 is black
        EXPECT_FALSE(kept(0, 0)) << qPrintable(skin);
        EXPECT_FALSE(kept(199, 0)) << qPrintable(skin);
        EXPECT_FALSE(kept(1, 1)) << qPrintable(skin);
        EXPECT_TRUE(kept(7, 0)) << qPrintable(skin);  // beyond the radius
        EXPECT_TRUE(kept(0, 7)) << qPrintable(skin);
        EXPECT_TRUE(kept(3, 3)) << qPrintable(skin);
        EXPECT_TRUE(kept(100, 0)) << qPrintable(skin);
        EXPECT_TRUE(kept(199, 7)) << qPrintable(skin);
        EXPECT_TRUE(kept(5, 50)) << qPrintable(skin);

        // Wherever the mask keeps the window, the title-bar edge is painted, so the
        // rounded corner shows no hole.
        const QImage edge = QImage(BuiltIn(skin, "images/titlebar_edge_left.png"));
        const QImage cut = QImage(BuiltIn(skin, "images/titlebar_edge_left_mask.png"))
                               .convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < cut.height(); ++y) {
            for (int x = 0; x < cut.width(); ++x) {
                const bool keep = qGray(cut.pixel(x, y)) < 128;
                if (keep) {
                    EXPECT_GT(qAlpha(edge.pixel(x, y)), 0) << qPrintable(skin) << " " << x << "," << y;
                }
            }
        }
    }
}

TEST(SkinResources, GaugePartsAreIdenticalInBothSkinsAndTheNeedleRestsOnZero)
{
    for (const char* part : {"images/gauge_background.png", "images/gauge_needle.png", "images/gauge_top.png"}) {
        EXPECT_EQ(QImage(BuiltIn("skin-black", part)), QImage(BuiltIn("skin-red", part))) << part;
    }
    // The needle's pivot is (60, 55); unturned it points 116 degrees left of up,
    // at the face's 0 mark, and nothing of it lies on the other side.
    const QImage needle(BuiltIn("skin-black", "images/gauge_needle.png"));
    const double a = qDegreesToRadians(116.0);
    for (int r : {12, 20, 35}) {
        const int x = qRound(60 - r * std::sin(a)), y = qRound(55 + r * -std::cos(a));
        EXPECT_GT(qAlpha(needle.pixel(x, y)), 100) << "along the needle at " << r;
        EXPECT_EQ(qAlpha(needle.pixel(qRound(60 + r * std::sin(a)), qRound(55 + r * std::cos(a)))), 0)
            << "opposite the needle at " << r;
    }
    // The cover leaves the face visible: transparent corners, a hub at (60, 60).
    const QImage cover(BuiltIn("skin-black", "images/gauge_top.png"));
    EXPECT_EQ(qAlpha(cover.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(cover.pixel(60, 100)), 0);
    EXPECT_EQ(qAlpha(cover.pixel(60, 60)), 255);
}

TEST(SkinResources, UtilizationPictureHasTheBarAndTheGridWhereTheUsageLabelDraws)
{
    for (const QString& skin : Skins()) {
        const QImage image(BuiltIn(skin, "images/utilization.png"));
        // The bar fills x 14-48, y 24-98 in green.
        for (const QPoint p : {QPoint(14, 24), QPoint(30, 60), QPoint(48, 98)}) {
            const QRgb c = image.pixel(p);
            EXPECT_GT(qGreen(c), 2 * qRed(c)) << qPrintable(skin) << " " << p.x() << "," << p.y();
            EXPECT_GT(qGreen(c), 2 * qBlue(c)) << qPrintable(skin);
        }
        // The graph area behind the history line is dark, so the green line reads.
        EXPECT_LT(qGray(image.pixel(80, 50)), 40) << qPrintable(skin);
        EXPECT_EQ(qAlpha(image.pixel(91, 50)), 255) << qPrintable(skin);
    }
}
