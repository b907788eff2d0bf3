#pragma once
// A widget that paints itself as one solid blue rectangle. It starts one pixel
// square, off its parent's area; its owner gives it a place and a size.
#include <QWidget>

class OwnerDrawWidget : public QWidget {
    Q_OBJECT
public:
    explicit OwnerDrawWidget(QWidget* parent);
    ~OwnerDrawWidget() override = default;

protected:
    void paintEvent(QPaintEvent* event) override;
};
