// The program as a real process: a copy of it in the test's folder (so the files it
// writes beside itself land there), with its own registry, state and runtime
// folders. It is the test build of the program, whose message boxes answer from the
// environment (the shipped one has no such switch). Every wait is bounded, so a
// program that hangs fails the test instead of stopping the suite.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "Platform/Registry.h"
#include "Source/Files.h"
#include "support/OtherUsersTemp.h"
#include "support/TestEnvironment.h"

namespace {

constexpr int kBoundMs = 30000;

class ProcessTest : public testing::Test {
protected:
    void SetUp() override
    {
        const QFileInfo program(QStringLiteral(VELOCREST_PROGRAM));
        m_folder = test::TestDir() + QStringLiteral("/program");
        ASSERT_TRUE(QDir().mkpath(m_folder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELOCREST_ANSWERING_PROGRAM), m_folder + "/VykVelocrest"));
        // The libraries and driver files are found beside the program.
        for (const QFileInfo& entry : QDir(program.absolutePath()).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
            if (entry.fileName().endsWith(".so") || entry.isDir()) {
                ASSERT_TRUE(QFile::link(entry.absoluteFilePath(), m_folder + "/" + entry.fileName()));
            }
        }
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.remove("VELOCREST_BOARD");
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
        m_env.insert("VELOCREST_REGISTRY_DIR", test::TestDir() + "/registry");
        m_env.insert("VELOCREST_STATE_DIR", test::TestDir() + "/state");
        m_env.insert("VELOCREST_RUNTIME_DIR", RuntimeFolder());
        // A login session's private runtime folder (without one, Qt itself warns at start).
        const QString session = test::TestDir() + "/session";
        ASSERT_TRUE(QDir().mkpath(session));
        ASSERT_TRUE(QFile::setPermissions(session, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_env.insert("XDG_RUNTIME_DIR", session);
    }

    QString RuntimeFolder() const { return test::TestDir() + "/runtime"; }

    // The program listens for a second start once its main window is up.
    bool WaitForWindow(const QProcess& process) const
    {
        return QTest::qWaitFor([&] {
            return QFile::exists(RuntimeFolder() + "/VykVelocrest.window") || process.state() != QProcess::Running;
        }, kBoundMs) && process.state() == QProcess::Running;
    }

    // The folder of the temp folder named like pattern in which a program with no
    // runtime folder named listens, once its window is up. Empty when it ended or did
    // not listen in time.
    static QString WaitForListeningIn(const QString& temp, const QString& pattern, const QProcess& process)
    {
        QString listening;
        // What was found, not whether in time, is the answer.
        (void)QTest::qWaitFor([&] {
            for (const QFileInfo& f : QDir(temp).entryInfoList({pattern}, QDir::Dirs))
                if (QFile::exists(f.filePath() + "/VykVelocrest.window"))
                    listening = f.filePath();
            return !listening.isEmpty() || process.state() != QProcess::Running;
        }, kBoundMs);
        return process.state() == QProcess::Running ? listening : QString();
    }

    static bool WaitForEnd(QProcess& process)
    {
        // One that ended while the test waited for something else has nothing more to wait for.
        if (process.state() == QProcess::NotRunning || process.waitForFinished(kBoundMs))
            return true;
        process.kill();
        process.waitForFinished(kBoundMs);
        return false;
    }

    // What an orderly end leaves in the runtime folder: the driver service removed (this
    // was its only user), the semaphore without holder, nobody listening for a second start.
    void ExpectCleanEnd() const
    {
        const QJsonObject services = QJsonDocument::fromJson(test::ReadFile(RuntimeFolder() + "/services.json")).object();
        EXPECT_FALSE(services.contains("QVXDriver")) << QJsonDocument(services).toJson().constData();
        EXPECT_FALSE(QFile::exists(RuntimeFolder() + "/semaphore-Global_QVXDriverSemaphore.json"));
        EXPECT_FALSE(QFile::exists(RuntimeFolder() + "/VykVelocrest.window"));
    }

    void Start(QProcess& process, const char* answers, const QStringList& arguments = {})
    {
        QProcessEnvironment env = m_env;
        env.insert("VELOCREST_TEST_ANSWERS", answers);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_workingFolder);
        process.start(m_folder + "/VykVelocrest", arguments);
        ASSERT_TRUE(process.waitForStarted(kBoundMs));
    }

    int RunToEnd(const char* answers, const QStringList& arguments = {})
    {
        QProcess process;
        Start(process, answers, arguments);
        if (!process.waitForFinished(kBoundMs)) {
            process.kill();
            process.waitForFinished(kBoundMs);
            ADD_FAILURE() << "the program did not end";
            return -1;
        }
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return process.exitCode();
    }

    // The program waits at its first reading of the file, a named pipe, at a known
    // moment of its start, for as long as nothing writes to it. atFirst runs while it
    // waits; then the program gets the content, and every later reading gets the content
    // from a plain file in the pipe's place. False when a bound ran out.
    static bool Serve(QProcess& program, const QString& file, const QByteArray& content,
                      const std::function<void()>& atFirst)
    {
        int fd = -1;
        // Opening to write without waiting succeeds only once a reader has it open.
        if (!QTest::qWaitFor([&] {
                fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                return fd >= 0 || program.state() != QProcess::Running;
            }, kBoundMs) || fd < 0)
            return false;
        atFirst();
        // A program that died meanwhile must fail the test, not end it.
        struct sigaction ignore {}, pipeWas {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, &pipeWas);
        const auto restore = qScopeGuard([&] { ::sigaction(SIGPIPE, &pipeWas, nullptr); });
        // The plain file takes the pipe's place before the first reading ends, so no later
        // one can meet the pipe.
        const bool served = ::write(fd, content.constData(), size_t(content.size())) == content.size()
                            && test::WriteFile(file + ".plain", content)
                            && ::rename(QFile::encodeName(file + ".plain").constData(), QFile::encodeName(file).constData()) == 0;
        ::close(fd);
        return served;
    }

    QString m_folder;
    QString m_workingFolder = test::TestDir();
    QProcessEnvironment m_env;
};

} // namespace

TEST_F(ProcessTest, ADisabledComputerEndsWithFifteenBeforeReadingAnyFile)
{
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, plat::kProductKey), plat::ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(u"DisableQVX", 1), plat::ERROR_SUCCESS);
    EXPECT_EQ(RunToEnd("Ok"), 15);
    EXPECT_FALSE(QFile::exists(m_folder + "/Preference.xml"));
}

TEST_F(ProcessTest, CancelAtTheWarningEndsWithSixteen)
{
    EXPECT_EQ(RunToEnd("Cancel"), 16);
    // The settings were read (and written as defaults), nothing beyond.
    EXPECT_TRUE(QFile::exists(m_folder + "/Preference.xml"));
    EXPECT_FALSE(QFile::exists(m_folder + "/DefaultConfig.xml"));
}

TEST_F(ProcessTest, AStartUpToItsWindowPrintsNothing)
{
    QProcess process;
    Start(process, "Ok");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(RuntimeFolder() + "/VykVelocrest.window"); }, kBoundMs));
    QCoreApplication::processEvents();
    // The offscreen platform of the tests names what it cannot do; a real screen does not.
    QStringList lines = QString::fromLocal8Bit(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.startsWith("This plugin does not support"); });
    EXPECT_EQ(lines.join('\n').toStdString(), "");
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), "");
    process.kill();
    EXPECT_TRUE(process.waitForFinished(kBoundMs));
}

TEST_F(ProcessTest, TheBoardFileIsNamedFromTheFolderTheUserStartedIn)
{
    // A board without a processor: the start ends with its code only if that board was used.
    m_env.insert("VELOCREST_BOARD", "boards/qvx-no-cpu.json");
    m_workingFolder = VELOCREST_FIXTURES;
    EXPECT_EQ(RunToEnd("Ok"), 11);
}

TEST_F(ProcessTest, ABoardFileThatCannotLoadStopsTheShippedProgramWithAClearError)
{
    struct Case {
        const char* file;
        QByteArray content;     // empty: no such file
        const char* reason;
    };
    const Case cases[] = {
        {"no-such-board.json", {}, "No such file"},
        // Past a bound a real machine reaches, which would have the board build itself for ever.
        {"huge-board.json", R"({"processor": {"cores": 100000000}})",
         ": processor.cores is 100000000, outside its bounds of 0 to 32"},
        // A number of another kind than its field's, which its reader would take for
        // its default or cut to fit.
        {"negative-board.json", R"({"processor": {"maxStandardLeaf": -1}})",
         ": processor.maxStandardLeaf is -1, not a whole number from 0 to 4294967295"},
        {"text-board.json", R"({"processor": {"cores": "abc"}})",
         ": processor.cores is \"abc\", not a whole number from 0 to 32"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (!c.content.isEmpty()) {
            ASSERT_TRUE(test::WriteFile(test::TestDir() + "/" + c.file, c.content));
        }
        m_env.insert("VELOCREST_BOARD", c.file);
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.setWorkingDirectory(test::TestDir());
        process.start(QStringLiteral(VELOCREST_PROGRAM), QStringList());
        if (!WaitForEnd(process)) {
            ADD_FAILURE() << "the program did not stop";
            continue;
        }
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_NE(process.exitCode(), 0);
        const QString error = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_TRUE(error.contains("cannot load the board file " + test::TestDir() + "/" + c.file)) << qPrintable(error);
        EXPECT_TRUE(error.contains(c.reason)) << qPrintable(error);
    }
}

TEST_F(ProcessTest, ASecondStartEndsWithTwoWhileTheFirstRuns)
{
    QProcess first;
    Start(first, "Ok");
    // The first program listens once its window is up.
    const bool up = QTest::qWaitFor([&] { return QFile::exists(RuntimeFolder() + "/VykVelocrest.window"); }, kBoundMs);
    EXPECT_TRUE(up) << first.readAllStandardError().constData();
    if (up) {
        EXPECT_EQ(RunToEnd("Ok"), 2);
    }
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    EXPECT_TRUE(first.waitForFinished(kBoundMs));
}

TEST_F(ProcessTest, AnotherUsersPreparedTempFolderNeitherStopsTheStartNorIsWrittenThrough)
{
    for (const auto trap : {test::OtherUsersTemp::LinkToHisFolder, test::OtherUsersTemp::HisFolder}) {
        SCOPED_TRACE(trap);
        // The other user's folder waits where the program looks without XDG_RUNTIME_DIR.
        test::OtherUsersTemp temp(trap);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("VELOCREST_BOARD");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        auto freshFolders = [&] {
            return QDir(temp.TempFolder()).entryList({QFileInfo(temp.TakenName()).fileName() + "-*"}, QDir::Dirs);
        };

        // A start that ends by itself (a board without a processor) ends with its own code,
        // and the folder it made for itself goes with it.
        QProcess ending;
        QProcessEnvironment noCpu = env;
        noCpu.insert("VELOCREST_BOARD", VELOCREST_FIXTURES "/boards/qvx-no-cpu.json");
        ending.setProcessEnvironment(noCpu);
        ending.setWorkingDirectory(test::TestDir());
        ending.start(m_folder + "/VykVelocrest", {"AutoTune"});
        ASSERT_TRUE(WaitForEnd(ending)) << "the program did not end";
        EXPECT_EQ(ending.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(ending.exitCode(), 11) << ending.readAllStandardError().constData();
        EXPECT_TRUE(freshFolders().isEmpty()) << freshFolders().join(' ').toStdString();

        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(test::TestDir());
        // AutoTune: no warning to answer, so a program that runs simply stays up.
        program.start(m_folder + "/VykVelocrest", {"AutoTune"});
        ASSERT_TRUE(program.waitForStarted(kBoundMs));
        const QString listening = WaitForListeningIn(temp.TempFolder(), QFileInfo(temp.TakenName()).fileName() + "-*", program);
        EXPECT_FALSE(listening.isEmpty()) << "exit code " << program.exitCode();
        EXPECT_EQ(program.state(), QProcess::Running);
        EXPECT_TRUE(QFile::exists(listening + "/services.json"));
        program.kill();
        EXPECT_TRUE(program.waitForFinished(kBoundMs));
        EXPECT_EQ(test::ReadFile(temp.VictimFile()), test::OtherUsersTemp::VictimContent());
        EXPECT_TRUE(temp.HisFolderUntouched());
    }
}

TEST_F(ProcessTest, ASignalEndsTheProgramAsClosingItsWindowDoes)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        QProcess program;
        // As in a login session, whatever this test runs under (nohup ignores SIGHUP).
        program.setChildProcessModifier([] { ::signal(SIGHUP, SIG_DFL); });
        // On the Auto Clock page, whose teardown stops its run.
        Start(program, "Ok", {"AutoTune"});
        ASSERT_TRUE(WaitForWindow(program)) << program.readAllStandardError().constData();
        ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), signal), 0);
        ASSERT_TRUE(WaitForEnd(program)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().constData();
        ExpectCleanEnd();
    }
}

TEST_F(ProcessTest, LosingTheDisplayEndsTheProgramInOrder)
{
    const QString server = QStandardPaths::findExecutable("Xvfb");
    if (server.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed: no X server to take away from the program";
    // A screen of the test's own; it tells its display number on its standard output.
    // It listens on an abstract socket only, which clients try first: a socket file
    // would need /tmp/.X11-unix, which it would make where there is none (a container)
    // and leave behind.
    QProcess screen;
    screen.start(server, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-nolisten", "unix"});
    ASSERT_TRUE(screen.waitForStarted(kBoundMs));
    QByteArray number;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        number += screen.readAllStandardOutput();
        return number.endsWith('\n') || screen.state() != QProcess::Running;
    }, kBoundMs));
    bool isNumber = false;
    number.trimmed().toInt(&isNumber);
    ASSERT_TRUE(isNumber) << screen.readAllStandardError().constData();

    m_env.insert("QT_QPA_PLATFORM", "xcb");
    m_env.insert("DISPLAY", ":" + QString::fromLatin1(number.trimmed()));
    QProcess program;
    Start(program, "Ok", {"AutoTune"});
    const bool up = WaitForWindow(program);
    screen.terminate();
    EXPECT_TRUE(screen.waitForFinished(kBoundMs));
    ASSERT_TRUE(up) << program.readAllStandardError().constData();
    ASSERT_TRUE(WaitForEnd(program)) << "the program did not end";
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << qPrintable(errors);
    // Qt's own code for a lost X server.
    EXPECT_EQ(program.exitCode(), 1) << qPrintable(errors);
    EXPECT_TRUE(errors.contains("The X11 connection broke")) << qPrintable(errors);
    ExpectCleanEnd();
}

TEST_F(ProcessTest, ASignalAtTheWarningEndsWithSixteenAndAStartWithoutARuntimeFolderLeavesNoneBehind)
{
    // A shell outside a login session: no runtime folder; and a temp folder of the test's own.
    const QString temp = test::TestDir() + "/temp";
    ASSERT_TRUE(QDir().mkpath(temp));
    m_env.remove("XDG_RUNTIME_DIR");
    m_env.insert("TMPDIR", temp);
    // The shipped program, whose warning waits for an answer.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELOCREST_PROGRAM), m_folder + "/VykVelocrestShipped"));
    QProcess program;
    program.setChildProcessModifier([] { ::signal(SIGHUP, SIG_DFL); });
    program.setProcessEnvironment(m_env);
    program.setWorkingDirectory(test::TestDir());
    program.start(m_folder + "/VykVelocrestShipped", QStringList());
    ASSERT_TRUE(program.waitForStarted(kBoundMs));
    // The preferences are written (as defaults) right before the warning opens.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return QFile::exists(m_folder + "/Preference.xml") || program.state() != QProcess::Running;
    }, kBoundMs));
    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(WaitForEnd(program)) << "the program did not end";
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << qPrintable(errors);
    EXPECT_EQ(program.exitCode(), 16) << "the warning was never accepted: " << qPrintable(errors);
    EXPECT_FALSE(errors.contains("XDG_RUNTIME_DIR")) << qPrintable(errors);
    EXPECT_EQ(QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ').toStdString(), "");
}

TEST_F(ProcessTest, ARunWithoutARuntimeFolderLetsGoOfItBeforeItEnds)
{
    for (const bool planted : {false, true}) {
        SCOPED_TRACE(planted ? "another user's folder in the way" : "the temp folder free");
        // A shell outside a login session, with a temp folder of the test's own; the
        // program makes its runtime folder there.
        std::unique_ptr<test::OtherUsersTemp> his;
        QString temp = test::TestDir() + "/free/tmp";
        if (planted) {
            his = std::make_unique<test::OtherUsersTemp>(test::OtherUsersTemp::HisFolder);
            temp = his->TempFolder();
        }
        ASSERT_TRUE(QDir().mkpath(temp));
        QProcessEnvironment env = m_env;
        for (const char* name : {"VELOCREST_RUNTIME_DIR", "VELOCREST_STATE_DIR", "XDG_RUNTIME_DIR"})
            env.remove(name);
        env.insert("TMPDIR", temp);
        env.insert("HOME", QFileInfo(temp).path() + "/home");
        // Memory freed before the end is filled with junk: whatever the end still read of
        // it would show in what it leaves behind.
        env.insert("MALLOC_PERTURB_", "165");
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(test::TestDir());
        program.start(m_folder + "/VykVelocrest", {"AutoTune"});
        ASSERT_TRUE(program.waitForStarted(kBoundMs));
        // Its own folder: the per-user one, or one beside the other user's.
        const QString userFolder = QStringLiteral("VykVelocrest-%1").arg(::geteuid());
        const QString folder = WaitForListeningIn(temp, planted ? userFolder + "-*" : userFolder, program);
        ASSERT_FALSE(folder.isEmpty()) << program.readAllStandardError().constData();
        ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
        ASSERT_TRUE(WaitForEnd(program)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().constData();

        // The per-user folder stays for the next start, and so does the other user's
        // name; nothing else does, and nothing of the run is left in Qt's folder.
        EXPECT_EQ(QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{userFolder});
        if (planted) {
            EXPECT_TRUE(his->HisFolderUntouched());
        } else {
            EXPECT_EQ(folder, temp + "/" + userFolder);
            EXPECT_FALSE(QFile::exists(folder + "/VykVelocrest.window"));
            EXPECT_EQ(QDir(folder + "/qt").entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                      QStringList());
        }
    }
}

TEST_F(ProcessTest, ASignalAtAnyMomentOfTheStartEndsItInOrderWithItsCode)
{
    // A shell outside a login session, and a temp folder of the test's own.
    const QString temp = test::TestDir() + "/temp";
    ASSERT_TRUE(QDir().mkpath(temp));
    m_env.remove("XDG_RUNTIME_DIR");
    m_env.insert("TMPDIR", temp);
    const QByteArray board = test::ReadFile(VELOCREST_FIXTURES "/boards/qvx-mx310.json");
    const QByteArray preferences = "<Preference><LanguageType>1</LanguageType></Preference>";
    const QByteArray pages = test::ReadFile(":/Resources/PageSettings.xml");
    ASSERT_FALSE(board.isEmpty());
    ASSERT_FALSE(pages.isEmpty());
    struct Case {
        const char* moment;
        QString file;           // the file the program waits at
        QByteArray content;
        int code;
    };
    const Case cases[] = {
        // Its first reading, before the application object or the window exists.
        {"reading the board file", test::TestDir() + "/board.json", board, 16},
        // Before the warning: it is never shown, let alone accepted.
        {"reading the preferences", m_folder + "/Preference.xml", preferences, 16},
        // The warning accepted, the Engine up, the main window not yet built.
        {"reading the page table", m_folder + "/PageSettings.xml", pages, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        QFile::remove(m_folder + "/DefaultConfig.xml");
        ASSERT_EQ(::mkfifo(QFile::encodeName(c.file).constData(), 0600), 0);
        QProcessEnvironment env = m_env;
        env.insert("VELOCREST_BOARD", c.file.endsWith(".json") ? c.file : QStringLiteral(VELOCREST_FIXTURES "/boards/qvx-mx310.json"));
        env.insert("VELOCREST_TEST_ANSWERS", "Ok");
        QProcess program;
        program.setChildProcessModifier([] { ::signal(SIGHUP, SIG_DFL); });
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(test::TestDir());
        program.start(m_folder + "/VykVelocrest", QStringList());
        ASSERT_TRUE(program.waitForStarted(kBoundMs));
        bool sent = false;
        EXPECT_TRUE(Serve(program, c.file, c.content, [&] {
            sent = ::kill(static_cast<pid_t>(program.processId()), SIGTERM) == 0;
        }));
        EXPECT_TRUE(sent);
        ASSERT_TRUE(WaitForEnd(program)) << "the program did not end";
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "killed by the signal: " << qPrintable(errors);
        EXPECT_EQ(program.exitCode(), c.code) << qPrintable(errors);
        ExpectCleanEnd();
        EXPECT_EQ(QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ').toStdString(), "");
        // Nothing was built that the end did not take down: no window, no page files.
        EXPECT_FALSE(QFile::exists(m_folder + "/DefaultConfig.xml"));
        QFile::remove(c.file);
    }
}
