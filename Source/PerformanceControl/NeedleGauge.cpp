#include "PerformanceControl/NeedleGauge.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <algorithm>

#include "Engine/LogCheck.h"
#include "Pages/DeviceLookup.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/SensorChipDevice.h"

namespace needle {

double Angle(int celsius)
{
    if (celsius < 0)
        return -1.0;
    return std::min(static_cast<double>(celsius), kMaxAngle);
}

QPointF Offset(double degrees)
{
    QTransform r;
    r.rotate(degrees);
    // The turned image starts at its bounding box's corner as Qt rounds it (whole
    // pixels), so the pivot is mapped through the same matrix Qt turns the image with;
    // the unrounded corner would leave the needle up to a pixel off its pivot.
    return kCentre - QImage::trueMatrix(r, kImageSize, kImageSize).map(kPivot);
}

} // namespace needle

QNeedleLabel::QNeedleLabel(QWidget* parent) : QLabel(parent) {}

void QNeedleLabel::paintEvent(QPaintEvent*)
{
    if (!isEnabled())
        return;
    // Both skins carry the same gauge pictures; the gauge always takes these.
    const QImage needleImage(QStringLiteral(":/skin-red/images/gauge_needle.png"));
    const QImage cover(QStringLiteral(":/skin-red/images/gauge_top.png"));
    QPainter painter;
    if (!painter.begin(this)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        return;
    }
    double degrees = 0.0;
    if (ISensorChipDevice* pChip = dev::SensorChip())
        degrees = needle::Angle(pChip->GetTemperature(m_nIndex));
    if (degrees < 0)
        return;
    QTransform r;
    r.rotate(degrees);
    painter.translate(needle::Offset(degrees));
    painter.drawImage(0, 0, needleImage.transformed(r, Qt::SmoothTransformation));
    painter.resetTransform();
    painter.drawImage(0, 0, cover);
}
