#include "SystemInfo/OwnerDrawWidget.h"

#include <QPainter>

OwnerDrawWidget::OwnerDrawWidget(QWidget* parent) : QWidget(parent, Qt::WindowFlags())
{
    setGeometry(QRect(QPoint(-2, -2), QPoint(-2, -2)));
}

void OwnerDrawWidget::paintEvent(QPaintEvent*)
{
    // The outline is the painter's own pen: the widget's foreground colour.
    QPainter painter(this);
    painter.setBrush(QBrush(Qt::blue, Qt::SolidPattern));
    painter.drawRect(0, 0, width(), height());
}
