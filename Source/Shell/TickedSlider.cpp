#include "Shell/TickedSlider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

CTickedSlider::CTickedSlider(QWidget* parent) : QSlider(parent) {}

int CTickedSlider::_TickSpace() const
{
    int sides = 0;
    if (tickPosition() & TicksAbove)
        ++sides;
    if (tickPosition() & TicksBelow)
        ++sides;
    return sides * (kTickLength + kTickGap);
}

QSize CTickedSlider::sizeHint() const
{
    QSize size = QSlider::sizeHint();
    return orientation() == Qt::Horizontal ? size + QSize(0, _TickSpace()) : size + QSize(_TickSpace(), 0);
}

QSize CTickedSlider::minimumSizeHint() const
{
    QSize size = QSlider::minimumSizeHint();
    return orientation() == Qt::Horizontal ? size + QSize(0, _TickSpace()) : size + QSize(_TickSpace(), 0);
}

void CTickedSlider::paintEvent(QPaintEvent* event)
{
    QSlider::paintEvent(event);
    if (tickPosition() == NoTicks || maximum() <= minimum())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const bool horizontal = orientation() == Qt::Horizontal;
    // The handle's centre runs over this span; each mark sits where the centre stands at its value.
    const int handleLength = horizontal ? handle.width() : handle.height();
    const int span = (horizontal ? width() : height()) - handleLength;
    const int interval = tickInterval() > 0 ? tickInterval() : qMax(1, pageStep());

    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    for (int value = minimum(); value <= maximum(); value += interval) {
        const int at = QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, option.upsideDown)
                     + handleLength / 2;
        if (horizontal) {
            if (tickPosition() & TicksAbove)
                painter.drawLine(at, 0, at, kTickLength - 1);
            if (tickPosition() & TicksBelow)
                painter.drawLine(at, height() - kTickLength, at, height() - 1);
        } else {
            if (tickPosition() & TicksAbove)
                painter.drawLine(0, at, kTickLength - 1, at);
            if (tickPosition() & TicksBelow)
                painter.drawLine(width() - kTickLength, at, width() - 1, at);
        }
    }
}
