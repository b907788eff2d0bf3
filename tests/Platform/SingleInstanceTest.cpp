#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <algorithm>
#include <sys/stat.h>

#include "Platform/SingleInstance.h"
#include "Platform/RuntimeDir.h"
#include "support/TestEnvironment.h"

using plat::SingleInstance;

namespace {

// The runtime folder the program is told to use while the scope lasts.
class RuntimeFolderScope {
public:
    explicit RuntimeFolderScope(const QString& folder) { qputenv("VELOCREST_RUNTIME_DIR", QFile::encodeName(folder)); }
    ~RuntimeFolderScope() { qunsetenv("VELOCREST_RUNTIME_DIR"); }
    RuntimeFolderScope(const RuntimeFolderScope&) = delete;
    RuntimeFolderScope& operator=(const RuntimeFolderScope&) = delete;
};

} // namespace

TEST(SingleInstanceTest, OnlyOneHolderOfTheLockAtATime)
{
    EXPECT_TRUE(SingleInstance::RuntimeFolder().startsWith(test::TestDir())) << "tests never touch the user's own folder";
    SingleInstance first, second;
    ASSERT_TRUE(first.TryLock());
    EXPECT_TRUE(first.TryLock());      // already ours
    EXPECT_FALSE(second.TryLock());
    first.Release();
    EXPECT_TRUE(second.TryLock());
}

TEST(SingleInstanceTest, ARaiseRequestReachesTheListeningProgram)
{
    EXPECT_FALSE(SingleInstance::RaiseRunning(100));   // nobody listens
    SingleInstance running;
    int raised = 0;
    EXPECT_FALSE(running.Listen([&raised] { ++raised; }));   // only the lock holder listens
    ASSERT_TRUE(running.TryLock());
    ASSERT_TRUE(running.Listen([&raised] { ++raised; }));
    ASSERT_TRUE(SingleInstance::RaiseRunning());
    for (int i = 0; i < 100 && raised == 0; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(raised, 1);
    running.Release();
    EXPECT_FALSE(SingleInstance::RaiseRunning(100));
}

TEST(SingleInstanceTest, ARunningProgramIsRaisedWhateverTheDepthOfItsRuntimeFolder)
{
    // A socket's address holds at most 107 bytes of path; a runtime folder in a deep
    // temp folder or checkout lies far deeper.
    const QString base = test::TestDir() + "/";
    for (const QString& folder : {base + "run", base + QString(std::max<qsizetype>(1, 240 - base.size()), 'd') + "/run"}) {
        SCOPED_TRACE(folder.size());
        ASSERT_TRUE(QDir().mkpath(folder));
        const RuntimeFolderScope scope(folder);
        ASSERT_EQ(SingleInstance::RuntimeFolder(), folder);
        const QString socket = folder + "/VykVelocrest.window";
        SingleInstance running;
        int raised = 0;
        ASSERT_TRUE(running.TryLock());
        EXPECT_TRUE(running.Listen([&raised] { ++raised; })) << running.ErrorString().toStdString();
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(socket).constData(), &st), 0);
        EXPECT_TRUE(S_ISSOCK(st.st_mode));
        EXPECT_EQ(st.st_mode & 077, 0u) << "open to this user alone";
        EXPECT_TRUE(SingleInstance::RaiseRunning());
        for (int i = 0; i < 100 && raised == 0; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(raised, 1);
        running.Release();
        EXPECT_FALSE(QFile::exists(socket));
        EXPECT_FALSE(SingleInstance::RaiseRunning(100));
    }
}

TEST(SingleInstanceTest, ASocketThatCannotBeMadeIsToldWhy)
{
    // The name taken by a folder, which no start removes.
    const QString socket = SingleInstance::RuntimeFolder() + "/VykVelocrest.window";
    ASSERT_TRUE(QDir().mkpath(socket));
    SingleInstance running;
    ASSERT_TRUE(running.TryLock());
    EXPECT_FALSE(running.Listen([] {}));
    EXPECT_EQ(running.ErrorString(), "cannot listen at " + socket + ": Address already in use");
    EXPECT_FALSE(SingleInstance::RaiseRunning(100));
    // The lock is still held: a second start still ends.
    EXPECT_TRUE(running.IsLocked());
}

TEST(SingleInstanceTest, ASocketLeftByAProgramThatDiedDoesNotStopTheNextOne)
{
    QFile stale(SingleInstance::RuntimeFolder() + "/VykVelocrest.window");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance next;
    ASSERT_TRUE(next.TryLock());
    EXPECT_TRUE(next.Listen([] {}));
}

TEST(SingleInstanceTest, ALockFileWhoseHolderIsNotRunningNeverStopsAStart)
{
    // What a program killed at any moment leaves behind, whatever the file holds: only
    // a running holder keeps the lock.
    const QByteArray leftovers[] = {"", "garbage", "999999\nVykVelocrest\nsomehost\n",
                                    QByteArray::number(QCoreApplication::applicationPid()) + "\nVykVelocrest\n"};
    const QString path = SingleInstance::RuntimeFolder() + "/VykVelocrestMutex.lock";
    for (const QByteArray& content : leftovers) {
        SCOPED_TRACE(content.constData());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        SingleInstance next;
        EXPECT_TRUE(next.TryLock()) << next.ErrorString().toStdString();
    }
}

TEST(SingleInstanceTest, ALockThatCannotBeTakenSaysWhyButARunningHolderNeedsNoReason)
{
    SingleInstance running, second;
    ASSERT_TRUE(running.TryLock());
    EXPECT_FALSE(second.TryLock());
    EXPECT_TRUE(second.ErrorString().isEmpty());
    running.Release();

    const QString path = SingleInstance::RuntimeFolder() + "/VykVelocrestMutex.lock";
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    SingleInstance blocked;
    EXPECT_FALSE(blocked.TryLock());
    EXPECT_EQ(blocked.ErrorString(), "cannot open " + path + ": Is a directory");
}
