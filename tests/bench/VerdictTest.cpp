// A pair is judged by every turn, not by its two bests: one lucky run of ours, or
// one unlucky run of the tool, must not decide it.
#include <gtest/gtest.h>

#include "Verdict.h"

namespace {

TEST(BenchVerdict, APairIsMetOrBelowOnlyWhenEveryTurnIs)
{
    struct CASE {
        const char* pszWhat;
        std::vector<double> ours, reference;
        bench::VERDICT expected;
    } cases[] = {
        {"every turn above", {96, 98, 97}, {100, 101, 99}, bench::VERDICT::Met},
        {"a turn exactly at the target", {95, 99, 98}, {100, 100, 100}, bench::VERDICT::Met},
        {"every turn under", {80, 94, 90}, {100, 100, 99}, bench::VERDICT::Below},
        // The bests give 1.119, but one turn is at 0.741.
        {"best over best above, a turn far under", {111.9, 74.1, 100}, {100, 100, 98}, bench::VERDICT::Inconclusive},
        {"best over best under, a turn above", {90, 93, 70}, {100, 100, 60}, bench::VERDICT::Inconclusive},
        {"the tool failed in one turn", {96, 97, 98}, {100, 0, 100}, bench::VERDICT::Inconclusive},
        {"the tool failed in every turn", {96, 97, 98}, {0, 0, 0}, bench::VERDICT::Inconclusive},
    };
    for (const CASE& c : cases)
        EXPECT_STREQ(bench::VerdictText(bench::Judge(c.ours, c.reference, 0.95)), bench::VerdictText(c.expected))
            << c.pszWhat;
}

} // namespace
