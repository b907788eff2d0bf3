// The command runner's stand-in: it records every line and script, runs no
// program, and simulates the partitioning tool and attrib on the simulated volumes.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "Platform/CommandRunner.h"
#include "Platform/Drives.h"
#include "VirtualBoard/Machine.h"
#include "support/TestEnvironment.h"

using namespace plat;

namespace {

bool WriteScript(const QString& text)
{
    QFile file(test::TestDir() + QStringLiteral("/script.txt"));
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// Exit code of "diskpart /s script.txt" with that script.
uint32_t Diskpart(const QString& script)
{
    EXPECT_TRUE(WriteScript(script));
    uint32_t code = 0xFFFF;
    EXPECT_TRUE(CommandRunner().Run(QStringLiteral("diskpart /s script.txt"), test::TestDir(), &code));
    return code;
}

bool HasDrive(char letter) { return GetLogicalDrives() & (1u << (letter - 'A')); }

} // namespace

TEST(CommandRunnerTest, APartitioningScriptMakesAndDeletesAVolume)
{
    EXPECT_EQ(GetLogicalDrives(), 0xCu) << "C and D on the default board";
    const QString make = QStringLiteral("automount enable noerr\nselect disk 1\nconvert dynamic noerr\n"
                                        "create volume simple\nformat quick FS=FAT noerr\nassign letter=Y\nExit\n");
    EXPECT_EQ(Diskpart(make), 0u);
    EXPECT_TRUE(HasDrive('Y'));
    const auto entries = vb::Machine::Instance().GetJournal().Entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "command: diskpart /s script.txt"), entries.end());
    EXPECT_NE(std::find(entries.begin(), entries.end(), "command script: " + make.toStdString()), entries.end());
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("volume: Y created on disk 1"));

    // Files on the volume live in its folder inside the state folder.
    const QString local = LocalPathOfDrivePath(QStringLiteral("Y:\\EMD.dat"));
    ASSERT_FALSE(local.isEmpty());
    EXPECT_TRUE(local.startsWith(vb::Machine::StateDir())) << local.toStdString();
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    uint32_t code = 0xFFFF;
    EXPECT_TRUE(CommandRunner().Run(QStringLiteral("attrib +A +S +H +R Y:\\EMD.dat"), test::TestDir(), &code));
    EXPECT_EQ(code, 0u);

    EXPECT_EQ(Diskpart(QStringLiteral("select volume=Y\ndelete volume override noerr\nExit\n")), 0u);
    EXPECT_FALSE(HasDrive('Y'));
    EXPECT_FALSE(QFile::exists(local)) << "the volume's files went with it";
    EXPECT_TRUE(LocalPathOfDrivePath(QStringLiteral("Y:\\EMD.dat")).isEmpty());
    EXPECT_TRUE(CommandRunner().Run(QStringLiteral("attrib +R Y:\\EMD.dat"), test::TestDir(), &code));
    EXPECT_EQ(code, 1u);
}

TEST(CommandRunnerTest, FailingScriptsAndOtherPrograms)
{
    const struct { const char* script; uint32_t code; } cases[] = {
        {"select disk 7\ncreate volume simple\nassign letter=X\nExit\n", 2},    // no such disk
        {"select disk 1\ncreate volume simple\nassign letter=C\nExit\n", 2},    // letter in use
        {"select volume=Q\ndelete volume override\nExit\n", 2},                 // no such volume
        {"select volume=Q noerr\ndelete volume override noerr\nExit\n", 0},     // noerr goes on
        {"format everything\n", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(Diskpart(QLatin1String(c.script)), c.code);
        EXPECT_EQ(GetLogicalDrives(), 0xCu);
    }
    uint32_t code = 0;
    EXPECT_TRUE(CommandRunner().Run(QStringLiteral("diskpart /s missing.txt"), test::TestDir(), &code));
    EXPECT_EQ(code, 3u);
    EXPECT_TRUE(CommandRunner().Run(QStringLiteral("format C: /q"), test::TestDir(), &code));
    EXPECT_EQ(code, 9009u) << "no other program is known, let alone run";
    vb::Machine::Instance().GetFaults().Set("command-start-fails");
    EXPECT_FALSE(CommandRunner().Run(QStringLiteral("diskpart /s script.txt"), test::TestDir(), &code));
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("command: format C: /q"));
}

TEST(CommandRunnerTest, DrivePathsStayOnTheirDrive)
{
    EXPECT_FALSE(LocalPathOfDrivePath(QStringLiteral("C:\\")).isEmpty());
    for (const char* path : {"Y:\\EMD.dat", "C:\\..\\..\\etc\\passwd", "C:EMD.dat", "EMD.dat", "", "1:\\x"})
        EXPECT_TRUE(LocalPathOfDrivePath(QLatin1String(path)).isEmpty()) << path;
    EXPECT_EQ(LocalPathOfDrivePath(QStringLiteral("c:/dir\\file")),
              LocalPathOfDrivePath(QStringLiteral("C:\\")) + QStringLiteral("/dir/file"));
}
