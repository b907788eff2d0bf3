// A reference tool is run to its end and its output kept, whether it ends before its
// pages are looked at or after.
#include <string>

#include <gtest/gtest.h>

#include "Pinning.h"
#include "ReferenceTools.h"

namespace {

// Texts compared as std::string print readably when they differ.
std::string RunSh(const QString& script, int lookAtPagesMs = -1)
{
    return bench::RunTool(bench::ChooseCpu(-1), QStringLiteral("sh"), {QStringLiteral("-c"), script}, lookAtPagesMs)
        .toStdString();
}

TEST(BenchRunTool, AToolIsRunToItsEndWhetherItsPagesAreLookedAtOrNot)
{
    ASSERT_GE(bench::ChooseCpu(-1), 0);
    // Ends long before the look.
    EXPECT_EQ(RunSh(QStringLiteral("echo quick"), 5000), "quick\n") << qPrintable(bench::LastProblem());
    EXPECT_EQ(bench::LastPageBacking().nBytes, -1) << "nothing left to look at";
    // Still at work when looked at.
    EXPECT_EQ(RunSh(QStringLiteral("sleep 0.5; echo slow"), 50), "slow\n") << qPrintable(bench::LastProblem());
    EXPECT_GT(bench::LastPageBacking().nBytes, 0);
    // Not looked at.
    EXPECT_EQ(RunSh(QStringLiteral("echo plain")), "plain\n");
    // A tool that fails gives nothing, and says why.
    EXPECT_EQ(RunSh(QStringLiteral("echo broken; exit 3"), 5000), "");
    EXPECT_EQ(bench::LastProblem().toStdString(), "sh: broken");
}

} // namespace
