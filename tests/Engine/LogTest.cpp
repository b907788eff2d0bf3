#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <ostream>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Engine/Log.h"
#include "support/LogCapture.h"

namespace {

// Every log file under ./Logs, sorted by name.
QStringList LogFiles()
{
    QStringList files;
    QDirIterator it(QStringLiteral("Logs"), {QStringLiteral("*.log")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct MaskCase {
    const char* name;
    int type, typeMask, outputMask;
    bool expectFile;
};

void PrintTo(const MaskCase& c, std::ostream* out) { *out << c.name; }

class LogMasks : public testing::TestWithParam<MaskCase> {};

TEST_P(LogMasks, FilterByTypeAndOutput)
{
    const MaskCase c = GetParam();
    CLog log;
    ASSERT_TRUE(log.Init("T", c.typeMask, c.outputMask, 100));
    EXPECT_TRUE(log.Write(static_cast<LOG_TYPE>(c.type), "hello %d", 7));
    log.UnInit();
    EXPECT_EQ(LogFiles().size(), c.expectFile ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogMasks,
                         testing::Values(MaskCase{"WarningOutsideTheTypeMask", ltWarning, 5, 4, false},
                                         MaskCase{"NoFileOutput", ltInfo, 0xFFFF, 0, false},
                                         MaskCase{"InfoToTheFile", ltInfo, 0xFFFF, 4, true},
                                         MaskCase{"ErrorToTheFile", ltError, 1, 4, true}),
                         [](const testing::TestParamInfo<MaskCase>& info) { return std::string(info.param.name); });

TEST(Log, FileLineHasPrefixAndLivesInDatedFolder)
{
    CLog log;
    ASSERT_TRUE(log.Init("QVX", 0xFFFF, 4, 10000));
    log.Write(ltInfo, "Engine library initialized successfully.\n");
    log.UnInit();
    const QStringList files = LogFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^Logs/QVX/\d{4}_\d\d_\d\d/QVX_\d{4}_\d\d_\d\d_\d\d_\d\d_\d\d_000000\.log$)"))
                    .match(files[0]).hasMatch())
        << files[0].toStdString();
    const QByteArray text = ReadAll(files[0]);
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\d{4}-\d{6}<4>: Engine library initialized successfully\.\n$)"))
                    .match(QString::fromLatin1(text)).hasMatch())
        << text.toStdString();
}

TEST(Log, NobodyElseMayWriteTheLogWhateverTheUmask)
{
    const mode_t previous = ::umask(0);
    CLog log;
    ASSERT_TRUE(log.Init("QVX", 0xFFFF, 4, 10000));
    log.Write(ltInfo, "line\n");
    log.UnInit();
    ::umask(previous);
    const QStringList files = LogFiles();
    ASSERT_EQ(files.size(), 1);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(files[0]).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(Log, LineEndings)
{
    CLog log;
    ASSERT_TRUE(log.Init("T", 0xFFFF, 4, 100));
    log.Write(ltInfo, "a\n");
    log.Write(ltInfo, "b\r");
    log.Write(ltInfo, "c");
    log.Write(ltInfo, "%s", std::string(2000, 'x').c_str());
    log.UnInit();
    const QList<QByteArray> lines = ReadAll(LogFiles().value(0)).split('\n');
    // A line ending in a carriage return gets no newline: the next line follows it.
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].endsWith(": a"));
    EXPECT_TRUE(lines[1].contains(": b\r"));
    EXPECT_TRUE(lines[1].endsWith(": c"));
    EXPECT_EQ(lines[2].size(), 1022);                  // 1023 characters with the newline
    EXPECT_TRUE(lines[2].endsWith("xxx"));
    EXPECT_TRUE(lines[3].isEmpty());
}

TEST(Log, RollsOverEveryNLines)
{
    CLog log;
    ASSERT_TRUE(log.Init("R", 0xFFFF, 4, 3));
    for (int i = 0; i < 7; ++i)
        log.Write(ltError, "line %d", i);
    log.UnInit();
    const QStringList files = LogFiles();
    ASSERT_EQ(files.size(), 3);
    EXPECT_TRUE(files[0].endsWith(QStringLiteral("_000000.log")));
    EXPECT_TRUE(files[1].endsWith(QStringLiteral("_000003.log")));
    EXPECT_TRUE(files[2].endsWith(QStringLiteral("_000006.log")));
    EXPECT_EQ(ReadAll(files[1]).count('\n'), 3);
    EXPECT_TRUE(ReadAll(files[2]).contains("line 6"));
}

TEST(Log, InitRejectsBadArguments)
{
    CLog log;
    EXPECT_FALSE(log.Init(nullptr, 0xFFFF, 4, 10));
    EXPECT_FALSE(log.Init("QVX", 0xFFFF, 4, 0));
    EXPECT_FALSE(log.Init("QVX", 0xFFFF, 4, -1));
    EXPECT_FALSE(log.Init("../escape", 0xFFFF, 4, 10));
    EXPECT_FALSE(log.Init("..", 0xFFFF, 4, 10));
    EXPECT_TRUE(log.Init(std::string(300, 'n').c_str(), 0xFFFF, 0, 10));   // cut to 255, still fine
}

TEST(Log, SecondInitClosesTheOpenFile)
{
    CLog log;
    ASSERT_TRUE(log.Init("A", 0xFFFF, 4, 100));
    log.Write(ltInfo, "first");
    ASSERT_TRUE(log.Init("B", 0xFFFF, 4, 100));
    log.Write(ltInfo, "second");
    log.UnInit();
    const QStringList files = LogFiles();
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(ReadAll(files[0]).contains("first"));
    EXPECT_TRUE(ReadAll(files[1]).contains("second"));
}

TEST(Log, UnwritableFolderWarnsOnEveryNewFileAndGoesOn)
{
    // A plain file where the folder should be: nothing can be created below it.
    QFile blocker(QStringLiteral("Logs"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CLog log;
    ASSERT_TRUE(log.Init("QVX", 0xFFFF, 4, 2));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(log.Write(ltInfo, "x"));
    const std::string err = testing::internal::GetCapturedStderr();
    // Lines 0, 2 and 4 would each start a file.
    size_t warnings = 0;
    for (size_t at = 0; (at = err.find("Warning : cannot create log file!", at)) != std::string::npos; ++at)
        ++warnings;
    EXPECT_EQ(warnings, 3u);
}

TEST(Log, StandardOutputAndError)
{
    CLog log;
    ASSERT_TRUE(log.Init("S", 0xFFFF, 1, 10));
    testing::internal::CaptureStdout();
    log.Write(ltWarning, "to stdout");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("<2>: to stdout\n"), std::string::npos);
    ASSERT_TRUE(log.Init("S", 0xFFFF, 2, 10));
    testing::internal::CaptureStderr();
    log.Write(ltError, "to stderr");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("<1>: to stderr\n"), std::string::npos);
    EXPECT_TRUE(LogFiles().isEmpty());
}

TEST(Log, FourThreadsWriteWholeLines)
{
    CLog log;
    ASSERT_TRUE(log.Init("MT", 0xFFFF, 4, 1500));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&log, t] {
            for (int i = 0; i < 1000; ++i)
                log.Write(ltInfo, "thread %d line %04d %s", t, i, "payload-payload-payload");
        });
    for (auto& th : threads)
        th.join();
    log.UnInit();
    const QStringList files = LogFiles();
    EXPECT_EQ(files.size(), 3);                        // 4000 lines at 1500 a file
    int lines = 0;
    const QRegularExpression whole(QStringLiteral(R"(^\d{4}-\d{6}<4>: thread [0-3] line \d{4} payload-payload-payload$)"));
    for (const QString& f : files)
        for (const QByteArray& line : ReadAll(f).split('\n')) {
            if (line.isEmpty())
                continue;
            ++lines;
            EXPECT_TRUE(whole.match(QString::fromLatin1(line)).hasMatch()) << line.toStdString();
        }
    EXPECT_EQ(lines, 4000);
}

TEST(Log, ObserverSeesFilteredLines)
{
    CLog log;
    ASSERT_TRUE(log.Init("O", ltError, 0, 10));
    log.Write(ltInfo, "hidden");
    log.Write(ltError, "shown %s", "here");
    EXPECT_FALSE(test::LogContains("hidden"));
    EXPECT_TRUE(test::LogContains("<1>: shown here\n"));
}

} // namespace
