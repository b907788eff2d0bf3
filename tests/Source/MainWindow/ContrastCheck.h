#pragma once
// How readable a widget's text is as the screen shows it: the contrast ratio of its
// text against what lies behind it, measured in the picture of its window, so that
// backgrounds and colours coming from any style sheet up the tree all count.
#include <QImage>
#include <QWidget>
#include <QtMath>

#include <algorithm>
#include <map>

namespace test {

// Relative luminance and contrast ratio as the web's accessibility guidelines define
// them: black on white is 21, a colour on itself 1; 3 is the least for text that must
// be read.
inline double Luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : qPow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

inline double ContrastRatio(QRgb a, QRgb b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The area (in the widget's coordinates) as drawn inside the widget's window.
inline QImage DrawnArea(QWidget* widget, const QRect& area)
{
    QWidget* window = widget->window();
    return window->grab(area.translated(widget->mapTo(window, QPoint(0, 0)))).toImage().convertToFormat(QImage::Format_RGB32);
}

// The colour most pixels of one row have: the ground there.
inline QRgb RowGround(const QImage& image, int y)
{
    std::map<QRgb, int> counts;
    for (int x = 0; x < image.width(); ++x)
        ++counts[image.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

// Per row of the drawn area, the most common colour is the background and the pixel
// that stands out most from it is the text; the result is the best such pair, 1 for
// an area that shows no text.
inline double DrawnTextContrast(QWidget* widget, const QRect& area)
{
    const QImage image = DrawnArea(widget, area);
    double best = 1.0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb background = RowGround(image, y);
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, ContrastRatio(image.pixel(x, y), background));
    }
    return best;
}

// The whole widget, inset pixels left out on each side (a button's border).
inline double DrawnTextContrast(QWidget* widget, int inset = 0)
{
    return DrawnTextContrast(widget, widget->rect().adjusted(inset, inset, -inset, -inset));
}

} // namespace test
