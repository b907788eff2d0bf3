#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "DriverTestSupport.h"
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

TEST(Vid, ValueFromTheStatusRegister)
{
    struct Case {
        const char* name;
        QJsonObject changes;
        uint32_t vid;
    };
    const Case cases[] = {
        // Family 0Fh: FIDVID status, high dword bits 5..0.
        {"family 0Fh", {{"signature", "0x00060FB2"}, {"msr", QJsonObject{{"0xC0010042", "0x1234567A00000000"}}}}, 0x3A},
        // Family 10h: COFVID status, low dword bits 15..9.
        {"family 10h", {{"msr", QJsonObject{{"0xC0010071", "0x00000000FFFF5E3F"}}}}, 0x2F},
        {"family 10h, default board", {}, 0x12},
    };
    drvtest::ScopedExecutable exe;
    drvtest::ScopedMCFG mcfg(drvtest::DefaultMCFG());
    for (const Case& c : cases) {
        vb::Machine::Instance().LoadDefault();
        LoadProcessor(c.changes);
        ASSERT_TRUE(g_DriverHandler.Init()) << c.name;
        test::LogCapture::Instance().Clear();
        EXPECT_EQ(g_GetVID(), c.vid) << c.name;
        EXPECT_TRUE(test::LogCapture::Instance().Lines().empty()) << c.name;
        g_DriverHandler.UnInit();
    }
}

TEST(Vid, MissingStatusRegisterGivesZero)
{
    drvtest::ScopedExecutable exe;
    drvtest::ScopedMCFG mcfg(drvtest::DefaultMCFG());
    LoadProcessor({{"signature", "0x00060FB2"}});      // family 0Fh, but no MSR 0xC0010042
    ASSERT_TRUE(g_DriverHandler.Init());
    EXPECT_EQ(g_GetVID(), 0u);
    EXPECT_TRUE(test::LogContains("in g_GetVID"));
    g_DriverHandler.UnInit();
}

} // namespace
