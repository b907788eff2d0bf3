#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "Engine/Engine.h"
#include "support/LogCapture.h"

#include "VirtualBoard/Machine.h"

namespace {

// Loads a board whose processor section is the default one with the given changes.
void LoadProcessor(const QJsonObject& changes)
{
    QJsonObject cpu = vb::Machine::Instance().Section(QStringLiteral("processor"));
    for (auto it = changes.begin(); it != changes.end(); ++it)
        cpu.insert(it.key(), it.value());
    QJsonObject board = vb::Machine::Instance().Board();
    board.insert(QStringLiteral("processor"), cpu);
    ASSERT_TRUE(vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson()));
}

QJsonObject Features(bool msr, bool fid, bool vid, bool pstates)
{
    return QJsonObject{{"msr", msr}, {"fidControl", fid}, {"vidControl", vid}, {"hardwarePstates", pstates}};
}

TEST(Vid, ZeroWithoutTheMeansToReadIt)
{
    struct Case {
        const char* name;
        QJsonObject changes;
    };
    const Case cases[] = {
        {"no CPUID", {{"cpuidSupported", false}}},
        {"other vendor", {{"vendor", "GenuineOther"}}},
        {"no leaf 1", {{"maxStandardLeaf", 0}}},
        {"no MSRs", {{"features", Features(false, true, true, true)}}},
        {"family 0Fh without VID control", {{"signature", "0x00040FB2"}, {"features", Features(true, true, false, true)}}},
        {"family 0Fh without FID control", {{"signature", "0x00040FB2"}, {"features", Features(true, false, true, true)}}},
        {"family 10h without hardware P-states", {{"features", Features(true, true, true, false)}}},
        {"family 12h", {{"signature", "0x00300F10"}}},
    };
    for (const Case& c : cases) {
        LoadProcessor(c.changes);
        test::LogCapture::Instance().Clear();
        EXPECT_EQ(g_GetVID(), 0u) << c.name;
        EXPECT_TRUE(test::LogCapture::Instance().Lines().empty()) << c.name;
    }
}

TEST(Vid, FailedRegisterReadIsLoggedAndGivesZero)
{
    vb::Machine::Instance().GetFaults().Set("driver-refuse-all");
    EXPECT_EQ(g_GetVID(), 0u);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
    EXPECT_TRUE(test::LogContains("in g_GetVID"));
}

} // namespace
