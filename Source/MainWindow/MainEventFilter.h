#pragma once
// Passes the mouse presses, releases and moves of the title label and the bottom
// bar on to the main window (which drags itself with them); the watched widget
// never sees them.
#include <QObject>

class QMouseEvent;

class MainEventFilter : public QObject {
    Q_OBJECT
public:
    explicit MainEventFilter(QObject* parent) : QObject(parent) {}

signals:
    void mouseMoveEvent(QMouseEvent* event);
    void mousePressEvent(QMouseEvent* event);
    void mouseReleaseEvent(QMouseEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
