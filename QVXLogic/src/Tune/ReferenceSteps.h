#pragma once
// The reference clocks a run may try, lowest first: the default clock, then every
// clock above it that the clock generator takes (its step grid up to its maximum,
// or the entries of its list), thinned out evenly when there are very many.
#include <vector>

class IClockGeneratorDevice;

namespace qvx {

std::vector<double> ReferenceSteps(IClockGeneratorDevice* pClockGen);

} // namespace qvx
