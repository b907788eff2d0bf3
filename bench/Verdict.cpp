#include "Verdict.h"

#include <cstddef>

namespace bench {

// On a machine that is not quiet one side may be slowed in one turn and not in the
// next; the two bests then come from different conditions. Only turns that all fall
// on one side of the target say which side the pair is on.
VERDICT Judge(const std::vector<double>& ours, const std::vector<double>& reference, double target)
{
    bool bAtOrAbove = false, bUnder = false;
    for (std::size_t i = 0; i < ours.size() && i < reference.size(); ++i) {
        if (reference[i] <= 0)
            return VERDICT::Inconclusive;   // a turn without a figure of the tool shows nothing
        (ours[i] / reference[i] >= target ? bAtOrAbove : bUnder) = true;
    }
    if (bAtOrAbove == bUnder)
        return VERDICT::Inconclusive;
    return bAtOrAbove ? VERDICT::Met : VERDICT::Below;
}

const char* VerdictText(VERDICT verdict)
{
    return verdict == VERDICT::Met ? "met" : verdict == VERDICT::Below ? "BELOW TARGET" : "inconclusive";
}

} // namespace bench
