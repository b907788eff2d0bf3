#include "StatusMonitor/UsageGraph.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFirstX = 74;
constexpr int kMaxSegments = 95;

// The grid spans 73 pixels for 100 %, from y = 99 up; the bar 75 pixels.
int GraphY(double v) { return static_cast<int>(std::trunc(99 - (v * 73) / 100)); }
int MaskHeight(double v) { return static_cast<int>(std::trunc(75 - (v * 75) / 100)); }

} // namespace

double UsageSample(double percent)
{
    return std::isnan(percent) ? 0.0 : std::clamp(percent, 0.0, 100.0);
}

UsageGraphPicture UsageGraphOf(const std::vector<double>& samples)
{
    UsageGraphPicture picture;
    if (samples.empty())
        return picture;
    picture.bDrawn = true;
    double prev = UsageSample(samples.front());
    int x = kFirstX;
    for (size_t i = 1; i < samples.size() && x - (kFirstX - 1) <= kMaxSegments; ++i, ++x) {
        const double v = UsageSample(samples[i]);
        picture.lines.emplace_back(x, GraphY(prev), x + 1, GraphY(v));
        prev = v;
    }
    if (const int height = MaskHeight(prev); height > 0)
        picture.mask = QRect(14, 24, 35, height);
    picture.value = QStringLiteral("%1%").arg(static_cast<int>(std::trunc(prev)));
    return picture;
}
