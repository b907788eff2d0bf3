#include "FirmwareFixture.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>

#include <thread>

#include "Engine/VykBIOS.h"
#include "VirtualBoard/Clock.h"

namespace {

class CrossProcessTest : public test::FirmwareTest {};

// Every "begin" must be followed by the "end" of the same process and method.
void ExpectNoOverlap(const QString& logPath, int expectedCalls)
{
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    int calls = 0;
    QByteArray open;
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        const QByteArray who = line.mid(line.indexOf(' ') + 1);
        if (line.startsWith("begin ")) {
            ASSERT_TRUE(open.isEmpty()) << "calls overlap: " << open.constData() << " and " << who.constData();
            open = who;
        } else {
            ASSERT_EQ(open, who);
            open.clear();
            ++calls;
        }
    }
    EXPECT_EQ(calls, expectedCalls);
}

TEST_F(CrossProcessTest, TwoProcessesCallingTheFirmwareAreSerialised)
{
    const QString logPath = test::TestDir() + QStringLiteral("/calls.log");
    LoadFirmware({{"callLog", logPath}});
    const QString boardPath = test::TestDir() + QStringLiteral("/board.json");
    QFile board(boardPath);
    ASSERT_TRUE(board.open(QIODevice::WriteOnly));
    board.write(QJsonDocument(vb::Machine::Instance().Board()).toJson());
    board.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELOCREST_BOARD"), boardPath);
    env.insert(QStringLiteral("VELOCREST_STATE_DIR"), vb::Machine::StateDir());
    const int calls = 150;
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(VELOCREST_WMI_CALLER), {QString::number(calls)});
    }
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().constData();
    }
    ExpectNoOverlap(logPath, 2 * calls);
}

TEST_F(CrossProcessTest, ThreadsOfOneProcessShareTheChannel)
{
    const QString logPath = test::TestDir() + QStringLiteral("/calls.log");
    LoadFirmware({{"callLog", logPath}});
    Connect();
    vb::SetClock(nullptr);                       // real waits: the holder is another thread
    const int calls = 100;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < calls; ++i) {
                uint8_t command[8] = {0x03, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00};
                uint8_t result[8] = {};
                if (g_VykBIOS.RunCommand(command, sizeof command, result, sizeof result) != briSuccess)
                    ++failures;
            }
        });
    for (std::thread& t : threads)
        t.join();
    vb::SetClock(&test::Clock());
    EXPECT_EQ(failures.load(), 0);
    ExpectNoOverlap(logPath, 3 * calls);
}

} // namespace
