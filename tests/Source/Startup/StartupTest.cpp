// Start-up and shutdown in this process: every exit code a test can reach, the
// argument rules, the disable switch, the skin rule and the window loop.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>

#include "Engine/Engine.h"
#include "MainWindow/ZAR.h"
#include "Platform/Module.h"
#include "Platform/NamedObjects.h"
#include "Platform/Registry.h"
#include "Platform/RuntimeDir.h"
#include "Platform/SingleInstance.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/PerformanceControl.h"
#include "QVXLogic/SystemTune.h"
#include "Settings/ConfigParser.h"
#include "Settings/MiscSettings.h"
#include "Settings/SkinManager.h"
#include "Shell/GlobalFlags.h"
#include "Shell/MessageBox.h"
#include "Shell/WidgetManager.h"
#include "Source/Files.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "Source/Startup/StartupFixture.h"
#include "Startup/Firmware.h"
#include "Startup/RunApplication.h"
#include "Startup/StartupChecks.h"
#include "Testing/AutoTune.h"
#include "VirtualBoard/Machine.h"
#include "support/Leftovers.h"
#include "support/LogCapture.h"
#include "support/MessageBoxAnswers.h"
#include "support/PlatformDoubles.h"
#include "support/TestEnvironment.h"

using test::kWarningStart;
using test::StartupTest;

TEST_F(StartupTest, ANormalRunShowsTheWarningThenTheWindowAndEndsWithZero)
{
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(passes, 1);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].title, "Vyk Velocrest");
    EXPECT_TRUE(answers.Messages()[0].text.startsWith(kWarningStart));
    EXPECT_TRUE(answers.Messages()[0].text.contains("other problems.  Please make sure"));
    EXPECT_TRUE(answers.Messages()[0].text.contains("WARRANTY.   See End User"));
    EXPECT_TRUE(test::LogContains("Version: 2.0  Build Date: Feb 23 2009"));
    EXPECT_TRUE(test::LogContains("Operating system version : "));
    // Teardown: the device library and the performance layer are down again.
    EXPECT_FALSE(g_PerformanceControl.IsInitialized());
    EXPECT_EQ(g_DeviceManager.GetDevice(dtCPU, 0), nullptr);
    EXPECT_TRUE(QFile::exists("Preference.xml"));
    EXPECT_TRUE(QFile::exists("DefaultConfig.xml"));
}

TEST_F(StartupTest, EveryFailingStepEndsWithItsCodeAndMessage)
{
    struct Case {
        const char* what;
        std::function<void(StartupOptions&)> arrange;
        int code;
        const char* message;   // empty: no message
        const char* logged;
    };
    const Case cases[] = {
        {"disabled", [](StartupOptions&) { SetValue(plat::RegistryHive::LocalMachine, u"DisableQVX", 1); }, 15,
         "Vyk Velocrest is disabled on this computer. Please contact your PC vendor.", "IsQVXEnabled()"},
        {"translations missing", [](StartupOptions&) {
             test::WriteFile("Preference.xml", "<Preference><LanguageType>2</LanguageType></Preference>");
             CMiscSettings::SetQtTranslationFolder(test::TestDir() + "/none");
         }, 3, "Cannot load setting files.", "bRetCode"},
        {"device manager", [](StartupOptions&) { test::LoadBoardOver(VELOCREST_FIXTURES "/boards/qvx-init-fails.json"); },
         6, "Vyk Velocrest failed to initialize device manager.", "bRetCode"},
        {"no processor", [](StartupOptions&) { test::LoadBoardOver(VELOCREST_FIXTURES "/boards/qvx-no-cpu.json"); },
         11, "Vyk Velocrest cannot detect Vyk CPU on this computer.", "pDevice"},
        {"performance control", [](StartupOptions&) { test::LoadBoardOver(VELOCREST_FIXTURES "/boards/qvx-perf-control-fails.json"); },
         12, "Vyk Velocrest failed to initialize performance control.", "bRetCode"},
        {"no north bridge", [](StartupOptions&) { test::LoadBoardOver(VELOCREST_FIXTURES "/boards/qvx-no-northbridge.json"); },
         14, "Vyk Velocrest cannot detect Vyk MX-series chipset on this computer.", "pDevice"},
        {"main window", [](StartupOptions&) { vb::Machine::Instance().GetFaults().Set("platform:DeviceNotification.Register"); },
         10, "Vyk Velocrest failed to initialize main window.", "bRetCode"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vb::Machine::Instance().LoadDefault();
        QDir(test::TestDir() + "/registry").removeRecursively();
        QFile::remove(test::TestDir() + "/Preference.xml");
        test::LogCapture::Instance().Clear();
        test::MessageBoxAnswers local;
        EXPECT_EQ(RunWith(c.arrange), c.code);
        ASSERT_FALSE(local.Messages().empty());
        EXPECT_EQ(local.Messages().back().text, c.message);
        EXPECT_EQ(local.Messages().back().title, "Vyk Velocrest");
        EXPECT_TRUE(test::LogContains(std::string("LOG_PROCESS_ERROR_RET_CODE(") + c.logged + ") at line"));
        EXPECT_FALSE(g_PerformanceControl.IsInitialized());
        Reset();
    }
}

TEST_F(StartupTest, TheDisableSwitchEndsBeforeAnythingElseRuns)
{
    SetValue(plat::RegistryHive::LocalMachine, u"DisableQVX", 1);
    // The lock file stays after a run: one left by an earlier start of this process goes first.
    const QString lockFile = plat::SingleInstance::RuntimeFolder() + "/VykVelocrestMutex.lock";
    QFile::remove(lockFile);
    EXPECT_EQ(Run(), 15);
    // No warning, no settings read, no lock taken.
    EXPECT_EQ(answers.Messages().size(), 1u);
    EXPECT_FALSE(QFile::exists("Preference.xml"));
    EXPECT_FALSE(QFile::exists(lockFile));
}

TEST_F(StartupTest, OnlyTheLowestByteOfDisableQVXDisables)
{
    EXPECT_TRUE(IsQVXEnabled());                      // no key
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, plat::kProductKey), plat::ERROR_SUCCESS);
    EXPECT_TRUE(IsQVXEnabled());                      // no value
    struct Case { uint32_t value; bool enabled; };
    for (const Case c : {Case{0, true}, Case{1, false}, Case{0x100, true}, Case{0x1FF, false}}) {
        ASSERT_EQ(key.SetDword(u"DisableQVX", c.value), plat::ERROR_SUCCESS);
        EXPECT_EQ(IsQVXEnabled(), c.enabled) << c.value;
    }
    ASSERT_EQ(key.SetString(u"DisableQVX", "not a number"), plat::ERROR_SUCCESS);
    EXPECT_TRUE(IsQVXEnabled());
}

TEST_F(StartupTest, CancelAtTheWarningEndsWithSixteenAndNoMessage)
{
    test::MessageBoxAnswers local(QMessageBox::Cancel);
    EXPECT_EQ(Run(), 16);
    ASSERT_EQ(local.Messages().size(), 1u);
    EXPECT_TRUE(local.Messages()[0].text.startsWith(kWarningStart));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR_RET_CODE(false) at line"));
    EXPECT_EQ(passes, 0);
}

TEST_F(StartupTest, ARunningInstanceIsAskedToComeForwardAndTheSecondStartEndsWithTwo)
{
    plat::SingleInstance first;
    ASSERT_TRUE(first.TryLock());
    EXPECT_EQ(Run(), 2);
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_TRUE(test::LogContains("(!hMutex) at line"));

    int raised = 0;
    ASSERT_TRUE(first.Listen([&raised] { ++raised; }));
    EXPECT_EQ(Run(), 2);
    EXPECT_TRUE(test::LogContains("(FALSE) at line"));
    for (int i = 0; i < 50 && raised == 0; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(raised, 1);
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_EQ(passes, 0);
}

TEST_F(StartupTest, AProgramThatCannotListenForASecondStartSaysSoAndRunsOn)
{
    // The socket's name is taken by a folder, which no start removes.
    const QString socket = plat::SingleInstance::RuntimeFolder() + "/VykVelocrest.window";
    ASSERT_TRUE(QDir().mkpath(socket));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), 0);
    const QString errors = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_EQ(passes, 1);
    const QString told = "cannot listen at " + socket
                         + ": Address already in use; a second start will end without bringing this window to the front";
    EXPECT_EQ(errors.count("VykVelocrest: " + told + "\n"), 1) << errors.toStdString();
    EXPECT_EQ(test::LogCount(told.toStdString()), 1u);
    // Nothing waits for an answer: the warning was the only box.
    EXPECT_EQ(answers.Messages().size(), 1u);
}

TEST_F(StartupTest, TheEngineFailureMessageDependsOnTheAccountAndItsError)
{
    struct Case { bool administrator; unsigned error; const char* message; };
    const Case cases[] = {
        {true, 5, "You have not enough permission to run this program! \nPlease try to run it as administrator."},
        {true, 2, "Vyk Velocrest failed to start. Please make sure to run it as administrator."},
        {false, 5, "Vyk Velocrest failed to start. Please make sure to run it as administrator."},
    };
    for (const Case& c : cases) {
        test::FakeAccounts accounts;
        if (!c.administrator)
            accounts.groups = {u"Users"};
        options.initEngine = [&c] { g_SetLastError(c.error); return false; };
        test::MessageBoxAnswers local;
        EXPECT_EQ(Run(), 7);
        ASSERT_EQ(local.Messages().size(), 2u);
        EXPECT_EQ(local.Messages()[1].text, c.message);
        Reset();
    }
}

TEST_F(StartupTest, AnEngineThatCannotReachTheFirmwareEndsWithSeven)
{
    test::FakeAccounts accounts;
    accounts.groups = {u"Users"};
    vb::Machine::Instance().GetFaults().Set("wmi-connect");
    EXPECT_EQ(Run(), 7);
    ASSERT_EQ(answers.Messages().size(), 2u);
    EXPECT_EQ(answers.Messages()[1].text, "Vyk Velocrest failed to start. Please make sure to run it as administrator.");
    EXPECT_TRUE(test::LogContains("in g_InitEngine"));
    EXPECT_EQ(passes, 0);
}

TEST_F(StartupTest, TheArgumentsDecideTheWarningAndTheDebugPause)
{
    struct Case { QStringList arguments; bool warned; bool paused; };
    const Case cases[] = {
        {{"AutoTune"}, false, false}, {{"autotune"}, false, false}, {{"AUTOTUNE", "x"}, false, false},
        {{"debug"}, true, true},       {{"Debug"}, true, false},     {{"debug", "x"}, true, false},
        {{}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        test::MessageBoxAnswers local;
        EXPECT_EQ(Run(c.arguments), 0);
        bool warned = false, paused = false;
        for (const auto& shown : local.Messages()) {
            warned |= shown.text.startsWith(kWarningStart);
            paused |= shown.text == "Debug" && shown.title.isEmpty();
        }
        EXPECT_EQ(warned, c.warned);
        EXPECT_EQ(paused, c.paused);
        Reset();
    }
}

TEST_F(StartupTest, TwoRebuildsInARowLeaveNothingBehindAndOkEndsTheProgram)
{
    // Pass 1 changes the language, pass 2 the page list; pass 3 ends with OK.
    std::vector<int> buttons, pages;
    onPass = [&](ZAR& window, int pass) {
        buttons.push_back(window.findChildren<QPushButton*>().size());
        pages.push_back(window.Form().stackedWidget->count());
        if (pass == 1) {
            g_MiscSettings.LanguageType = 1;
            ASSERT_TRUE(g_MiscSettings.Save());
        }
        g_nRestartRequest = pass < 3 ? 1 : 2;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(buttons, std::vector<int>(3, buttons.front()));
    EXPECT_EQ(pages, std::vector<int>(3, pages.front()));
    EXPECT_EQ(g_MiscSettings.LanguageType, 1);
    EXPECT_EQ(g_WidgetManager.GetWidgetCount(), 0u);
    EXPECT_EQ(ZAR::GetInstance()->TimerId(), 0);
}

TEST_F(StartupTest, ASignalEndsTheRunAsAClosedWindowWouldWithoutARebuild)
{
    // As in a login session, whatever this test runs under (nohup ignores SIGHUP).
    struct sigaction hangUp {};
    ::sigaction(SIGHUP, nullptr, &hangUp);
    ::signal(SIGHUP, SIG_DFL);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        struct sigaction before {};
        ::sigaction(signal, nullptr, &before);
        bool wasRunning = false;
        onPass = [&](ZAR& window, int) {
            // A search held in its middle, and a rebuild asked for: neither outlives the signal.
            auto* page = dynamic_cast<QAutoTune*>(window.GetWidget(QStringLiteral("Performance\nControl"), QStringLiteral("Auto Clock")));
            ASSERT_TRUE(page);
            CSystemTune::SetGated(true);
            page->findChild<QPushButton*>(QStringLiteral("btnAutoTune"))->click();
            wasRunning = page->IsRunning() && g_bTestRunning;
            g_nRestartRequest = 1;
            ::raise(signal);
        };
        EXPECT_EQ(Run(), 0);
        CSystemTune::SetGated(false);
        EXPECT_EQ(passes, 1);
        EXPECT_TRUE(wasRunning);
        EXPECT_FALSE(g_bTestRunning) << "the Auto Clock page stopped its search";
        EXPECT_EQ(g_WidgetManager.GetWidgetCount(), 0u);
        EXPECT_FALSE(g_PerformanceControl.IsInitialized());
        // The signal is handled as before the run again.
        struct sigaction after {};
        ::sigaction(signal, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler);
        passes = 0;
        Reset();
    }
    ::sigaction(SIGHUP, &hangUp, nullptr);
}

TEST_F(StartupTest, TheSkinRule)
{
    struct Case { const char* scheme; bool mx350; bool item; const char* skin; };
    const Case cases[] = {
        {"", true, true, "skin-black"},   {"", false, true, "skin-red"},  {"", true, false, "skin-red"},
        {"", false, false, "skin-red"},   {"skin-x", false, false, "skin-x"},
        {"../../etc", true, true, "skin-black"}, {"a/b", false, true, "skin-red"}, {"..", true, true, "skin-black"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseSkin(c.scheme, c.mx350, c.item), c.skin) << c.scheme << c.mx350 << c.item;
}

TEST_F(StartupTest, TheDefaultBoardWithItsCalibrationItemGetsTheBlackSkin)
{
    onPass = [](ZAR&, int) {
        EXPECT_TRUE(StartupFirmware::HasCmosItem("Tidewell Clock Calibration"));
        IDevice* sb = g_DeviceManager.GetDevice(dtSouthBridge, 0);
        ASSERT_NE(sb, nullptr);
        EXPECT_EQ(QString::fromStdU16String(sb->GetName()), "Vyk MX350 Chipset");
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(g_SkinManager.GetFilePath("qss/main_style.qss"), ":/skin-black/qss/main_style.qss");
}

TEST_F(StartupTest, AFailedStartNamesWhatIsWrongInsteadOfBlamingRights)
{
    const QString run = plat::RuntimeDir();
    // A program path that fits its 260 characters, but whose driver path does not fit 256;
    // and one that does not fit 260.
    auto programIn = [](int folderLength) {
        const QString folder = test::TestDir() + "/" + QString(folderLength - test::TestDir().size() - 1, 'p');
        return (folder + "/VykVelocrest").toStdU16String();
    };
    const std::u16string longProgram = programIn(237), longerProgram = programIn(250);
    const QString tooLong = "Vyk Velocrest failed to start: the path of its folder is too long; please install it "
                            "in a folder with a shorter path.";
    struct Case {
        const char* what;
        std::function<void(StartupOptions&)> arrange;
        std::function<void()> undo;
        int code;
        QString message;
    };
    const Case cases[] = {
        {"lock file unusable", [&](StartupOptions&) {
             QFile::remove(run + "/VykVelocrestMutex.lock");
             QDir().mkdir(run + "/VykVelocrestMutex.lock");
         },
         [&] { QDir().rmdir(run + "/VykVelocrestMutex.lock"); }, 2,
         "Vyk Velocrest failed to start: cannot open " + run + "/VykVelocrestMutex.lock: Is a directory."},
        // Only the state folder: the runtime folder (inside it by default) stays usable.
        {"state folder read-only", [&](StartupOptions&) {
             qputenv("VELOCREST_RUNTIME_DIR", QFile::encodeName(run));
             qputenv("VELOCREST_STATE_DIR", QFile::encodeName(test::ReadOnlyFolder() + "/velocrest-state"));
         }, [] {
             qputenv("VELOCREST_STATE_DIR", QFile::encodeName(test::TestDir() + "/state"));
             qunsetenv("VELOCREST_RUNTIME_DIR");
         }, 7,
         "Vyk Velocrest failed to start: cannot make the folder " + test::ReadOnlyFolder()
             + "/velocrest-state: No such file or directory."},
        {"service table damaged", [&](StartupOptions&) {
             QFile::remove(run + "/services.json");
             QDir().mkdir(run + "/services.json");
         },
         [&] { QDir().rmdir(run + "/services.json"); }, 7,
         "Vyk Velocrest failed to start: cannot write " + run + "/services.json: Is a directory."},
        {"driver path too long", [&](StartupOptions&) { plat::SetExecutablePathForTesting(longProgram.c_str()); },
         [] { plat::SetExecutablePathForTesting(nullptr); }, 7, tooLong},
        {"program path too long", [&](StartupOptions& o) {
             o.programFolder.clear();
             plat::SetExecutablePathForTesting(longerProgram.c_str());
         }, [] { plat::SetExecutablePathForTesting(nullptr); }, 3, tooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(test::TestDir() + "/Preference.xml");
        test::MessageBoxAnswers local;
        EXPECT_EQ(RunWith(c.arrange), c.code);
        c.undo();
        ASSERT_FALSE(local.Messages().empty());
        EXPECT_EQ(local.Messages().back().text, c.message);
        EXPECT_EQ(local.Messages().size(), c.code == 7 ? 2u : 1u) << "the warning comes only before the Engine";
        Reset();
    }
    // The caller's folder was never taken for the program's.
    EXPECT_FALSE(QFile::exists(test::TestDir() + "/Preference.xml"));
}

TEST_F(StartupTest, ADamagedPreferenceFileSetAsideBeforeTheLogOpensIsLoggedOnceItIs)
{
    ASSERT_TRUE(test::WriteFile("Preference.xml", "<Preference><LanguageType>"));
    g_Log.Init("QVX", 0, 0, 10000);   // as in a fresh process: nothing is logged before the program opens its log
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(test::ReadFile("Preference.xml.bad"), "<Preference><LanguageType>");
    EXPECT_TRUE(test::LogContains("Preference.xml could not be read; it was kept as Preference.xml.bad."));
}

namespace {

// Every Preference.xml, its copies and the note of a copy not yet told go.
void RemovePreferences()
{
    for (const QFileInfo& entry : QDir(test::TestDir()).entryInfoList({"Preference.xml*"}, QDir::AllEntries | QDir::NoDotAndDotDot))
        entry.isDir() ? QDir().rmdir(entry.filePath()) : QFile::remove(entry.filePath());
    QDir(test::TestDir() + "/registry").removeRecursively();
}

QString KeptAs(const QString& copy, const QString& inPlaceOf = {})
{
    const QString folder = test::TestDir() + "/";
    return "The preferences in " + folder + "Preference.xml could not be read; the file was kept as " + folder + copy
           + (inPlaceOf.isEmpty() ? QString() : ", in place of the oldest copy kept before (last changed " + inPlaceOf + ")")
           + ", and the preferences are back at their defaults.";
}

} // namespace

TEST_F(StartupTest, DamagedPreferencesAreToldAtOnceAndOnceTheWindowIsUpWhateverTheLogSwitch)
{
    const QDateTime oldest(QDate(2020, 5, 6), QTime(7, 8, 9));
    struct Case {
        const char* what;
        QByteArray content;         // empty: no file
        int takenCopies;            // ".bad" ... names already taken
        bool takenByCopies;         // by copies kept before, else by folders (which never give way)
        QString told;               // empty: nothing is told
    };
    const Case cases[] = {
        {"damaged, the log switched on", "<Preference><LogFileEnabled>1</LogFileEnabled><LanguageType>", 0, false,
         KeptAs("Preference.xml.bad")},
        {"damaged, a copy kept before", "<Preference", 1, true, KeptAs("Preference.xml.bad2")},
        {"damaged, nine copies kept before", "<Preference", 9, true, KeptAs("Preference.xml.bad4", "2020-05-06 07:08:09")},
        {"damaged, no name left to keep it", "<Preference", 9, false,
         "The preferences in " + test::TestDir() + "/Preference.xml could not be read, and the file could not be set "
             "aside: it is left as it is, nothing is saved over it, and the preferences are at their defaults until it "
             "is mended or removed."},
        {"whole", "<Preference><LogFileEnabled>0</LogFileEnabled></Preference>", 0, false, {}},
        {"missing", {}, 0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemovePreferences();
        for (int n = 1; n <= c.takenCopies; ++n) {
            const QString name = n == 1 ? QString("Preference.xml.bad") : QString("Preference.xml.bad%1").arg(n);
            if (!c.takenByCopies) {
                ASSERT_TRUE(QDir().mkdir(name));
                continue;
            }
            ASSERT_TRUE(test::WriteFile(name, "kept before"));
            // The fourth is the oldest.
            const QDateTime changed = n == 4 ? oldest : oldest.addDays(n);
            const timespec times[2] = {{changed.toSecsSinceEpoch(), 0}, {changed.toSecsSinceEpoch(), 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(name).constData(), times, 0), 0);
        }
        if (!c.content.isEmpty()) {
            ASSERT_TRUE(test::WriteFile("Preference.xml", c.content));
        }
        test::MessageBoxAnswers local;
        // A rebuilt window reads the preferences again: told once all the same.
        std::vector<size_t> shownWhenUp;
        onPass = [&](ZAR&, int pass) {
            shownWhenUp.push_back(local.Messages().size());
            g_nRestartRequest = pass == 1 ? 1 : 0;
        };
        testing::internal::CaptureStderr();
        EXPECT_EQ(Run(), 0);
        const QString errors = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(passes, 2);
        QStringList shown = local.Texts();
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_TRUE(shown.takeFirst().startsWith(test::kWarningStart));
        EXPECT_EQ(shown.join('|').toStdString(), c.told.toStdString());
        // The message comes once the first window is up, not before.
        EXPECT_EQ(shownWhenUp, (std::vector<size_t>{1, c.told.isEmpty() ? 1u : 2u}));
        EXPECT_EQ(errors.count(c.told.isEmpty() ? "Preference.xml" : "VykVelocrest: " + c.told + "\n"), c.told.isEmpty() ? 0 : 1)
            << errors.toStdString();
        passes = 0;
        Reset();
    }
}

TEST_F(StartupTest, DamagedPreferencesNotToldBeforeTheStartEndedAreToldAtTheNextStartsWindow)
{
    const QString told = KeptAs("Preference.xml.bad");
    enum class Ending { CancelAtTheWarning, SignalAtTheWarning, SignalAtTheMessage };
    struct Case { const char* what; Ending ending; int code; };
    const Case cases[] = {
        {"Cancel at the warning", Ending::CancelAtTheWarning, 16},
        {"an end signal at the warning", Ending::SignalAtTheWarning, 16},
        {"an end signal at the message", Ending::SignalAtTheMessage, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemovePreferences();
        ASSERT_TRUE(test::WriteFile("Preference.xml", "<Preference"));
        // The box open when the signal comes is closed unanswered, as its event loop ends.
        msgbox::SetHook([&](QMessageBox::Icon, const QString&, const QString& text, QMessageBox::StandardButtons) {
            const bool warning = text.startsWith(test::kWarningStart);
            if (warning && c.ending == Ending::CancelAtTheWarning)
                return QMessageBox::Cancel;
            if ((warning && c.ending == Ending::SignalAtTheWarning) || (text == told && c.ending == Ending::SignalAtTheMessage)) {
                ::raise(SIGTERM);
                return QMessageBox::NoButton;
            }
            return QMessageBox::Ok;
        });
        testing::internal::CaptureStderr();
        EXPECT_EQ(Run(), c.code);
        const QString errors = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(errors.count("VykVelocrest: " + told + "\n"), 1) << "told at once: " << errors.toStdString();
        EXPECT_TRUE(QFile::exists("Preference.xml.bad"));
        Reset();

        // The next start, on the defaults saved then, tells it once its window is up; the one after, no more.
        for (const int start : {2, 3}) {
            SCOPED_TRACE(start);
            test::MessageBoxAnswers next;
            std::vector<size_t> shownWhenUp;
            onPass = [&](ZAR&, int) { shownWhenUp.push_back(next.Messages().size()); };
            testing::internal::CaptureStderr();
            EXPECT_EQ(Run(), 0);
            EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStderr()).count("Preference.xml"), 0);
            QStringList shown = next.Texts();
            ASSERT_FALSE(shown.isEmpty());
            EXPECT_TRUE(shown.takeFirst().startsWith(test::kWarningStart));
            EXPECT_EQ(shown.join('|').toStdString(), start == 2 ? told.toStdString() : "");
            EXPECT_EQ(shownWhenUp, std::vector<size_t>{1});
            onPass = nullptr;
            Reset();
        }
    }
}

TEST_F(StartupTest, TemporariesOfSavesCutShortAreRemovedAtTheNextStart)
{
    const QString state = test::TestDir() + "/state";
    const QString run = state + "/run";
    const QString registry = test::TestDir() + "/registry";
    for (const QString& folder : {run, registry})
        ASSERT_TRUE(QDir().mkpath(folder));
    // The driver's semaphore state, as a writer that died mid-save leaves it: its lock is free.
    const QString semaphore = run + "/semaphore-Global_QVXDriverSemaphore.json";
    const QStringList leftovers = {"Preference.xml.Ab12Cd", "PageSettings.xml.x9Y8z7", "DefaultConfig.xml.QQ11ww",
                                   state + "/cmos.json.Zz00Zz", state + "/diskpart.tmp.abcDEF",
                                   state + "/Corvane.ini.J4k5L6", registry + "/HKEY_CURRENT_USER.ini.M7n8O9",
                                   semaphore + ".P0q1R2"};
    for (const QString& path : leftovers)
        test::PlantLeftover(path);
    ASSERT_TRUE(test::WriteFile(semaphore + ".lock", ""));
    test::PlantLeftover("PageSettings.xml.St4rtd", true);   // another process's save, begun since the start

    EXPECT_EQ(Run(), 0);
    for (const QString& path : leftovers)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    EXPECT_TRUE(QFile::exists("PageSettings.xml.St4rtd"));
    EXPECT_TRUE(QFile::exists("Preference.xml"));
}
