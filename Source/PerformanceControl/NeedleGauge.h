#pragma once
// The moving part of the fan page's dial: a label over the gauge's background
// that paints a needle turned by one temperature sensor, then the cover over it.
#include <QLabel>
#include <QPointF>

namespace needle {

constexpr double kMaxAngle = 232.0;
constexpr int kImageSize = 120;
// The needle's pivot inside its image, and the label point the pivot sits on.
constexpr QPointF kPivot(60, 55);
constexpr QPointF kCentre(60, 60);

// Degrees clockwise for a reading in Celsius: the reading itself, at most 232;
// negative (no reading is -9999) means no needle at all.
double Angle(int celsius);
// Where the needle image turned by `degrees` is drawn so its pivot lands on kCentre.
QPointF Offset(double degrees);

} // namespace needle

class QNeedleLabel : public QLabel {
public:
    explicit QNeedleLabel(QWidget* parent = nullptr);

    int m_nIndex = 0;   // the sensor chip's temperature sensor that turns the needle

protected:
    void paintEvent(QPaintEvent* event) override;
};
