// Reset cut short at any moment (the program killed, the power gone): the value
// store is then wholly as it was before the Reset or wholly as after it, never the
// reference clock rolled back with the multipliers still tuned. A second process of
// this test program runs the Reset; this one kills it at random moments of it.
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <chrono>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "Source/Files.h"
#include "Source/Testing/AutoTuneFixture.h"
#include "support/ChildOutput.h"

namespace {

using AutoTuneResetChild = test::AutoTunePageTest;

constexpr int kBoundMs = 30000;   // a safety net only
constexpr int kEnds = 12;

// Runs only when started by the test below: a tuned machine and its store, then a
// Reset when the parent says so.
TEST_F(AutoTuneResetChild, ResetsWhenTold)
{
    if (qEnvironmentVariable("VELOCREST_RESET_CHILD") != QLatin1String("1"))
        GTEST_SKIP() << "runs as the second process of AutoClockResetEnd.AtAnyMomentLeavesTheStoreBeforeOrAfter";
    Create();   // the start point: 200 MHz, every core at 16 x in P0
    ZAR::GetInstance();   // made now, so the Reset's time is its own
    ASSERT_TRUE(Core(0)->SetPstate(1));
    ASSERT_TRUE(ClockGen()->SetHTRefClock(212));
    CConfigParser* store = CConfigParser::GetInstance();
    const QString cpu = QString::fromUtf16(Core(0)->GetName());
    ASSERT_TRUE(store->SetValue(u"ClockGen", u"Vyk Clock Generator", u"HTRefClock", u"212", true));
    ASSERT_TRUE(store->SetValue(u"ClockGen", u"Vyk Clock Generator", u"CPUTune", u"212", true));
    for (const char16_t* item : {u"Multiplier", u"Multiplier2", u"Multiplier3", u"Multiplier4", u"MultiplierTune"})
        ASSERT_TRUE(store->SetValue(u"CPU", cpu, item, u"15", true));
    ASSERT_TRUE(store->SetValue(u"CPU", cpu, u"CPUVID", u"125000", true));
    answers.Queue(QMessageBox::Yes);

    std::cout << "ready " << QFileInfo(store->GetFullPath()).absoluteFilePath().toStdString() << std::endl;
    std::string line;
    std::getline(std::cin, line);
    const auto start = std::chrono::steady_clock::now();
    W<QPushButton>("btnReset")->click();
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "done " << us.count() << std::endl;
    // The test's folder, and the store in it, stay until the parent has read it.
    std::getline(std::cin, line);
}

TEST(AutoClockResetEnd, AtAnyMomentLeavesTheStoreBeforeOrAfter)
{
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    int nChild = 0;
    // Starts a child in a temp folder of its own inside this test's folder, so that
    // what a killed one leaves goes with this test; returns its store's path.
    const auto start = [&nChild](QProcess& child, QByteArray& seen, QString* pPath) {
        const QString temp = test::TestDir() + QStringLiteral("/child%1").arg(nChild++);
        ASSERT_TRUE(QDir().mkpath(temp));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VELOCREST_RESET_CHILD", "1");
        env.insert("TMPDIR", temp);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=AutoTuneResetChild.ResetsWhenTold"});
        ASSERT_TRUE(child.waitForStarted(kBoundMs));
        QByteArray path;
        ASSERT_TRUE(test::WaitForLine(child, seen, "ready ", &path, kBoundMs)) << seen.constData();
        *pPath = QString::fromLocal8Bit(path);
    };

    // One Reset to its end: the store before and after it, and its length.
    QProcess first;
    QByteArray seen;
    QString path;
    start(first, seen, &path);
    ASSERT_FALSE(path.isEmpty());
    const QByteArray before = test::ReadFile(path);
    first.write("go\n");
    QByteArray duration;
    ASSERT_TRUE(test::WaitForLine(first, seen, "done ", &duration, kBoundMs)) << seen.constData();
    const QByteArray after = test::ReadFile(path);
    first.closeWriteChannel();
    ASSERT_TRUE(first.waitForFinished(kBoundMs));
    ASSERT_EQ(first.exitCode(), 0) << seen.constData();
    ASSERT_NE(before, after);
    const long long us = duration.trimmed().toLongLong();
    ASSERT_GT(us, 0) << duration.constData();

    // The same Reset ended at random moments over its length (and a little past it).
    std::uniform_int_distribution<long long> moment(0, us + us / 2);
    int nBefore = 0, nAfter = 0;
    for (int i = 0; i < kEnds; ++i) {
        QProcess child;
        QByteArray childSeen;
        QString childPath;
        start(child, childSeen, &childPath);
        ASSERT_EQ(test::ReadFile(childPath), before) << "each child starts from the same store";
        const long long wait = moment(random);
        child.write("go\n");
        ASSERT_TRUE(child.waitForBytesWritten(kBoundMs));
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(kBoundMs));
        const QByteArray found = test::ReadFile(childPath);
        EXPECT_TRUE(found == before || found == after)
            << "ended " << wait << " us into a Reset of " << us << " us:\n" << found.constData();
        nBefore += found == before;
        nAfter += found == after;
    }
    std::cout << "Reset of " << us << " us ended " << kEnds << " times: " << nBefore << " before, " << nAfter
              << " after" << std::endl;
}

} // namespace
