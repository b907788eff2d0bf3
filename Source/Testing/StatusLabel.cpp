#include "Testing/StatusLabel.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

QStatusLabel::QStatusLabel() : QLabel(nullptr, Qt::WindowFlags()) {}

QRect QStatusLabel::BarRect(const QSize& size, double dRatio)
{
    const double ratio = std::isnan(dRatio) ? 0.0 : std::clamp(dRatio, 0.0, 1.0);
    const int width = static_cast<int>(std::trunc(std::max(size.width() - 2, 0) * ratio));
    return QRect(1, 2, width, std::max(size.height() - 4, 0));
}

void QStatusLabel::paintEvent(QPaintEvent* event)
{
    // The bar first, so the frame and the text stay readable on top of it.
    const QRect bar = BarRect(size(), m_dRatio);
    if (!bar.isEmpty()) {
        QPainter painter(this);
        painter.fillRect(bar, QBrush(Qt::green, Qt::SolidPattern));
    }
    QLabel::paintEvent(event);
}
