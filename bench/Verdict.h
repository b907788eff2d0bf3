#pragma once
// How a pair with a target is judged from its turns (one run of each side).
#include <vector>

namespace bench {

enum class VERDICT { Met, Below, Inconclusive };

// ours[i] and reference[i] are turn i of each side; a reference of 0 failed. Met when
// every turn's ratio (ours / reference) is at or above target, below when every one
// is under it, inconclusive otherwise.
VERDICT Judge(const std::vector<double>& ours, const std::vector<double>& reference, double target);
const char* VerdictText(VERDICT verdict);

} // namespace bench
