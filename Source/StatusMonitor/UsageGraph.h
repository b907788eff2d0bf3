#pragma once
// What a usage label draws over the skin's "images/utilization.png" (183 x 131),
// worked out from its samples alone so it can be checked without painting: the
// history line over the grid, the black box that hides the bar above the newest
// value, and the value text.
#include <QLine>
#include <QRect>
#include <QString>

#include <vector>

struct UsageGraphPicture {
    bool bDrawn = false;          // false: no sample, nothing at all is drawn
    std::vector<QLine> lines;     // the history, oldest first, one pixel apart from x = 74
    QRect mask;                   // over the bar; empty at 100 %
    QString value;                // "57%"

    bool operator==(const UsageGraphPicture&) const = default;
};

// Where the two texts go: the value's tab and the caption's tab.
inline const QRect kUsageValueRect(QPoint(17, 102), QPoint(44, 121));
inline const QRect kUsageCaptionRect(QPoint(108, 102), QPoint(135, 121));

// A usage reading as it enters the ring and the bar: a value that is not a number
// counts as 0, any other is held to 0-100 so no coordinate leaves the picture.
double UsageSample(double percent);

// The picture of samples given oldest first.
UsageGraphPicture UsageGraphOf(const std::vector<double>& samples);
