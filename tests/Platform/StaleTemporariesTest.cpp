// What a save cut short leaves beside a file ("<file>.XXXXXX") is removed at the next
// start; nothing else is: not the file, not other names, not a save still running.
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "Platform/NamedObjects.h"
#include "Platform/RuntimeDir.h"
#include "Platform/StaleTemporaries.h"
#include "support/Leftovers.h"
#include "support/OtherUsersTemp.h"
#include "support/TestEnvironment.h"

namespace {

enum Kind { File, Folder, Link, OthersFile };
enum Age { WrittenBefore, WrittenSince };

void Plant(const QString& folder, const QString& name, Kind kind = File, Age age = WrittenBefore)
{
    const QString path = folder + QLatin1Char('/') + name;
    if (kind == Folder) {
        ASSERT_TRUE(QDir().mkpath(path));
    } else if (kind == Link) {
        test::PlantLeftover(folder + QStringLiteral("/target"));
        ASSERT_TRUE(QFile::link(folder + QStringLiteral("/target"), path));
    } else {
        test::PlantLeftover(path, age == WrittenSince);
        if (kind == OthersFile) {
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4242, 4242), 0);
        }
    }
}

} // namespace

TEST(StaleTemporaries, OnlyTheTemporariesOfTheNamedFilesWrittenBeforeTheStartGo)
{
    struct Case { const char* name; Kind kind; Age age; bool removed; };
    const Case cases[] = {
        {"PageSettings.xml.Ab12Cd", File, WrittenBefore, true},
        {"cmos.json.zZ09aa", File, WrittenBefore, true},
        {"PageSettings.xml.Qx7Lm2", File, WrittenSince, false},   // a save still running elsewhere
        {"PageSettings.xml", File, WrittenBefore, false},
        {"PageSettings.xml.bad", File, WrittenBefore, false},
        {"PageSettings.xml.Ab12C", File, WrittenBefore, false},
        {"PageSettings.xml.Ab12Cde", File, WrittenBefore, false},
        {"PageSettings.xml.Ab-2Cd", File, WrittenBefore, false},
        {"PageSettings.xmlXAb12Cd", File, WrittenBefore, false},
        {"Notes.xml.Ab12Cd", File, WrittenBefore, false},
        {"PageSettings.xml.D1rect", Folder, WrittenBefore, false},
        {"PageSettings.xml.L1nk00", Link, WrittenBefore, false},
        {"PageSettings.xml.Th31rs", OthersFile, WrittenBefore, false},
    };
    const QString folder = test::TestDir() + "/saved";
    ASSERT_TRUE(QDir().mkpath(folder));
    int expected = 0;
    for (const Case& c : cases) {
        if (c.kind == OthersFile && !test::OtherUsersTemp::CanPlayAnotherUser())
            continue;
        Plant(folder, c.name, c.kind, c.age);
        expected += c.removed;
    }
    EXPECT_EQ(plat::RemoveStaleTemporaries({folder + "/PageSettings.xml", folder + "/cmos.json"},
                                           QDateTime::currentDateTime()),
              expected);
    for (const Case& c : cases) {
        if (c.kind == OthersFile && !test::OtherUsersTemp::CanPlayAnotherUser())
            continue;
        EXPECT_NE(QFileInfo::exists(folder + "/" + c.name), c.removed) << c.name;
    }
    EXPECT_TRUE(QFile::exists(folder + "/target")) << "a link's target is never touched";
}

TEST(StaleTemporaries, SharedStateTemporariesGoOnlyWhileNobodyHoldsTheirLock)
{
    const QString run = plat::RuntimeDir();
    const plat::NamedHandle semaphore = plat::CreateSemaphore(u"Global\\QVXDriverSemaphore", 1, 1, u"D:");
    ASSERT_NE(semaphore, nullptr);
    const QString state = "semaphore-Global_QVXDriverSemaphore.json";
    // However young: every writer holds the lock while it saves, so a free lock means a dead writer.
    Plant(run, state + ".Ab12Cd", File, WrittenSince);
    // A writer that holds its lock right now.
    Plant(run, "services.json.Xy12Zw");
    QFile held(run + "/services.json.lock");
    ASSERT_TRUE(held.open(QIODevice::ReadWrite));
    ASSERT_EQ(::flock(held.handle(), LOCK_EX), 0);
    // No lock file: not written by one of ours.
    Plant(run, "orphan.json.Ab12Cd");

    EXPECT_EQ(plat::RemoveStandInTemporaries(QDateTime::currentDateTime()), 1);
    EXPECT_FALSE(QFile::exists(run + "/" + state + ".Ab12Cd"));
    EXPECT_TRUE(QFile::exists(run + "/services.json.Xy12Zw"));
    EXPECT_TRUE(QFile::exists(run + "/orphan.json.Ab12Cd"));
    EXPECT_TRUE(QFile::exists(run + "/" + state)) << "the state itself stays";

    ::flock(held.handle(), LOCK_UN);
    EXPECT_EQ(plat::RemoveStandInTemporaries(QDateTime::currentDateTime()), 1);
    EXPECT_FALSE(QFile::exists(run + "/services.json.Xy12Zw"));
    plat::CloseHandle(semaphore);
}
