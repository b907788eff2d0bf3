#pragma once
// The status cell of a stability case: a label with a green bar behind its text,
// as long as the share m_dRatio of the label's inner width.
#include <QColor>
#include <QLabel>

class QStatusLabel : public QLabel {
    Q_OBJECT
public:
    QStatusLabel();

    // Set by the page, then update(). Values outside 0..1 (or not a number) are
    // allowed: the bar is clamped to the label.
    double m_dRatio = 0.0;

    // The bar of a label this size: from (1, 2), trunc((W - 2) x ratio) wide and
    // H - 4 high; NaN counts as 0, the ratio is held to 0..1.
    static QRect BarRect(const QSize& size, double dRatio);
    // The bar's colour, on which the label's text stays readable in every skin.
    static QColor BarColor();

protected slots:
    void paintEvent(QPaintEvent* event) override;
};
