#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "Platform/SingleInstance.h"
#include "Platform/RuntimeDir.h"
#include "support/TestEnvironment.h"

using plat::SingleInstance;

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
