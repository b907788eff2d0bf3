#include "MainWindow/MainEventFilter.h"

#include <QMouseEvent>

bool MainEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        emit mousePressEvent(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        emit mouseReleaseEvent(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
        emit mouseMoveEvent(static_cast<QMouseEvent*>(event));
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
