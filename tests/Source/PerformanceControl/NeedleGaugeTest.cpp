// The gauge's needle: its angle follows the reading, its pivot always lands on
// the dial's centre, and it is not drawn without a reading or when disabled.
#include <QImage>
#include <QTransform>

#include "PerformanceControl/NeedleGauge.h"
#include "Source/PerformanceControl/PageFixture.h"

using test::PerformancePageTest;

namespace {

QImage Render(QNeedleLabel& label)
{
    label.resize(120, 120);
    QImage image(120, 120, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int Painted(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) != 0;
    return n;
}

} // namespace

TEST(NeedleGauge, AngleFollowsTheReadingUpTo232Degrees)
{
    const struct { int celsius; double degrees; } cases[] = {
        {0, 0}, {45, 45}, {90, 90}, {232, 232}, {233, 232}, {300, 232}, {-1, -1}, {-5, -1}, {-9999, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(needle::Angle(c.celsius), c.degrees) << c.celsius;
}

TEST(NeedleGauge, PivotLandsOnTheCentreAtEveryAngle)
{
    for (double degrees : {0.0, 1.0, 45.0, 90.0, 135.0, 180.0, 200.0, 232.0}) {
        QTransform r;
        r.rotate(degrees);
        // Where the pivot ends up inside the turned image Qt builds, then on the label.
        const QPointF inTurned = QImage::trueMatrix(r, 120, 120).map(needle::kPivot);
        const QPointF onLabel = inTurned + needle::Offset(degrees);
        EXPECT_NEAR(onLabel.x(), 60.0, 0.5) << degrees;
        EXPECT_NEAR(onLabel.y(), 60.0, 0.5) << degrees;
    }
}

TEST_F(PerformancePageTest, NeedleIsDrawnOnlyWithAReadingAndWhenEnabled)
{
    UseBoardWith([](QJsonObject& devices) {
        Edit(devices, "sensorChip", [](QJsonObject& o) { o.insert("temperatures", QJsonArray{38, 0, 90}); });
    });
    QNeedleLabel atZero, atNinety;
    atZero.m_nIndex = 1;
    atNinety.m_nIndex = 2;
    const QImage zero = Render(atZero);
    const QImage ninety = Render(atNinety);
    EXPECT_GT(Painted(zero), 0);
    EXPECT_NE(zero, ninety);

    // A quarter turn clockwise: the 0-degree picture turned about the dial's centre
    // would not match exactly (the pivot is not the image's centre), so compare the
    // needle's painted mass instead: the same needle, just turned.
    EXPECT_NEAR(Painted(zero), Painted(ninety), Painted(zero) / 10);

    atNinety.setEnabled(false);
    EXPECT_EQ(Painted(Render(atNinety)), 0);

    Fault("qvx:SC.GetTemperature");   // every reading is -9999
    EXPECT_EQ(Painted(Render(atZero)), 0);
}

TEST_F(PerformancePageTest, NeedleRestsAtZeroWithoutASensorChip)
{
    UseBoardWith([](QJsonObject& devices) {
        Edit(devices, "sensorChip", [](QJsonObject& o) { o.insert("temperatures", QJsonArray{38, 0, 90}); });
    });
    QNeedleLabel label;
    label.m_nIndex = 1;
    const QImage atZero = Render(label);
    UseBoardWith([](QJsonObject& devices) { devices.remove("sensorChip"); });
    ASSERT_EQ(g_DeviceManager.GetDevice(dtSensorChip, 0), nullptr);
    label.m_nIndex = 2;
    EXPECT_EQ(Render(label), atZero);
}
