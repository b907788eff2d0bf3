#pragma once
// A slider that draws its own tick marks. Qt leaves them out as soon as a style
// sheet styles the groove, which both skins do; these follow the style sheet's
// text colour ("color" of QSlider) so they read in either skin.
#include <QSlider>

class CTickedSlider : public QSlider {
    Q_OBJECT
public:
    explicit CTickedSlider(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The room the marks take beside the groove, per side that carries them.
    static constexpr int kTickLength = 4;
    static constexpr int kTickGap = 2;
    int _TickSpace() const;
};
