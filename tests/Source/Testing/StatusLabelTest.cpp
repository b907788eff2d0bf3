// The status cell: where its bar goes for a ratio, and that nothing is drawn
// outside the label whatever the ratio.
#include <QImage>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "Testing/StatusLabel.h"

namespace {

TEST(StatusLabel, BarGeometry)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { int w, h; double ratio; QRect bar; } cases[] = {
        {102, 24, 0.5, QRect(1, 2, 50, 20)},
        {102, 24, 0.999, QRect(1, 2, 99, 20)},   // truncated, not rounded
        {102, 24, 1.0, QRect(1, 2, 100, 20)},
        {102, 24, 0.0, QRect(1, 2, 0, 20)},
        {102, 24, -1.0, QRect(1, 2, 0, 20)},
        {102, 24, 2.0, QRect(1, 2, 100, 20)},
        {102, 24, nan, QRect(1, 2, 0, 20)},
        {102, 24, std::numeric_limits<double>::infinity(), QRect(1, 2, 100, 20)},
        {1, 3, 1.0, QRect(1, 2, 0, 0)},          // too small for any bar
    };
    for (const auto& c : cases)
        EXPECT_EQ(QStatusLabel::BarRect(QSize(c.w, c.h), c.ratio), c.bar) << c.w << "x" << c.h << " " << c.ratio;
}

// The bar's pixels of the label as painted at 102 x 24, with its sunken frame.
QRect GreenArea(double ratio)
{
    QStatusLabel label;
    label.setFrameShape(QFrame::Panel);
    label.setFrameShadow(QFrame::Sunken);
    label.resize(102, 24);
    label.m_dRatio = ratio;
    const QImage image = label.grab().toImage();
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QStatusLabel::BarColor())
                area |= QRect(x, y, 1, 1);
    return area;
}

TEST(StatusLabel, PaintsTheBarInsideTheLabelOnly)
{
    EXPECT_TRUE(GreenArea(0).isEmpty());
    EXPECT_TRUE(GreenArea(-1).isEmpty());
    EXPECT_TRUE(GreenArea(std::nan("")).isEmpty());
    // The frame is painted over the bar's edge, so the green lies within the bar.
    const QRect half = GreenArea(0.5);
    EXPECT_TRUE(QRect(1, 2, 50, 20).contains(half));
    EXPECT_GE(half.width(), 48);
    const QRect over = GreenArea(2);
    EXPECT_TRUE(QRect(1, 2, 100, 20).contains(over));
    EXPECT_GE(over.width(), 98);
}

} // namespace
