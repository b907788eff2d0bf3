#include "Testing/StatusLabel.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

QStatusLabel::QStatusLabel() : QLabel(nullptr, Qt::WindowFlags()) {}

QColor QStatusLabel::BarColor()
{
    // A green of middle lightness: light text (the dark skins) and dark text (no
    // skin) both read on it at 4:1 or better, and it stands out from a dark ground.
    return QColor(0x22, 0x8B, 0x22);
}

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
        painter.fillRect(bar, QBrush(BarColor(), Qt::SolidPattern));
    }
    QLabel::paintEvent(event);
}
