#pragma once
// Counts the paint events a widget receives, so a test can tell a drawing from none.
#include <QEvent>
#include <QObject>
#include <QWidget>

namespace test {

class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        n += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int n = 0;
};

} // namespace test
