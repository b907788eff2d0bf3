#include "Tune/ReferenceSteps.h"

#include <algorithm>
#include <cmath>

#include "QVXLogic/ClockGeneratorDevice.h"

namespace qvx {

namespace {

// More steps than this would keep a user's run going for hours.
constexpr size_t kMaxSteps = 400;

std::vector<double> GridSteps(IClockGeneratorDevice* pClockGen, double dDefault)
{
    const double dMin = pClockGen->GetHTRefClockMin(), dMax = pClockGen->GetHTRefClockMax();
    double dStep = pClockGen->GetHTRefClockStep();
    if (!std::isfinite(dStep) || dStep <= 0)
        dStep = 1;
    std::vector<double> steps{dDefault};
    if (!std::isfinite(dMin) || !std::isfinite(dMax) || dMax <= dDefault)
        return steps;
    // Counted from the minimum, where the clock generator's grid starts.
    const double first = std::floor((dDefault - dMin) / dStep + 1e-9) + 1;
    const double last = std::floor((dMax - dMin) / dStep + 1e-9);
    const double count = last - first + 1;
    if (!(count > 0))
        return steps;
    const double stride = std::max(1.0, std::ceil(count / static_cast<double>(kMaxSteps)));
    for (double k = first; k <= last; k += stride)
        steps.push_back(dMin + k * dStep);
    return steps;
}

std::vector<double> ListSteps(IClockGeneratorDevice* pClockGen, double dDefault)
{
    int count = 0;
    std::vector<double> steps{dDefault};
    if (!pClockGen->GetHTRefClockList(nullptr, &count) || count <= 0)
        return steps;
    std::vector<double> list(static_cast<size_t>(count));
    if (!pClockGen->GetHTRefClockList(list.data(), &count))
        return steps;
    list.resize(static_cast<size_t>(std::max(count, 0)));
    std::sort(list.begin(), list.end());
    for (double v : list)
        if (std::isfinite(v) && v > dDefault + 1e-6 && steps.size() < kMaxSteps)
            steps.push_back(v);
    return steps;
}

} // namespace

std::vector<double> ReferenceSteps(IClockGeneratorDevice* pClockGen)
{
    if (!pClockGen)
        return {};
    const double dDefault = pClockGen->GetDefaultHTRefClock();
    if (!std::isfinite(dDefault) || dDefault <= 0)
        return {};
    return pClockGen->HasClockRanges() ? GridSteps(pClockGen, dDefault) : ListSteps(pClockGen, dDefault);
}

} // namespace qvx
