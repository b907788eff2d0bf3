// Every question box of the program, shown for real in the running program and
// closed by an end signal before anyone answered it: the box gives its escape
// answer, so nothing the box asked about happens. The board and the stores stay as
// they were when the box opened, and the program ends with its usual code.
#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <csignal>
#include <map>
#include <string>

#include "Pages/DeviceLookup.h"
#include "Platform/RuntimeDir.h"
#include "Preferences/SettingsPage.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "Shell/GlobalFlags.h"
#include "Shell/MessageBox.h"
#include "Source/Files.h"
#include "Source/Startup/StartupFixture.h"
#include "Source/SystemInfo/CorvaneFixture.h"
#include "SystemInfo/Corvane.h"
#include "SystemInfo/CorvaneSettings.h"
#include "VirtualBoard/Machine.h"

namespace {

// Every file the program keeps below folder, with its content: its settings, the
// registry, the board's state. Not the runtime folder, whose lock and tables come and
// go with every run.
std::map<QString, QByteArray> Files(const QString& folder)
{
    const QString runtime = plat::RuntimeDir() + QLatin1Char('/');
    std::map<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        if (!path.startsWith(runtime))
            files[path] = test::ReadFile(path);
    }
    return files;
}

// Before each case: none of the files the program keeps (the runtime folder stays,
// whose driver semaphore the Engine holds for the whole process).
void RemoveKeptFiles()
{
    for (const auto& [path, content] : Files(test::TestDir()))
        QFile::remove(path);
}

// What the board was asked to change since the journal was last cleared: writes of
// the device library, restarts, commands run on its disks, programs launched.
std::vector<std::string> BoardChanges()
{
    std::vector<std::string> changes;
    for (const std::string& line : vb::Machine::Instance().GetJournal().Entries())
        for (const char* write : {"qvx: ", "system: ", "command", "volume: ", "launch: "})
            if (line.rfind(write, 0) == 0)
                changes.push_back(line);
    return changes;
}

// A user at the screen: answers the boxes before the one under test as told; while
// that one is open, the end signal arrives instead of an answer.
class User : public QObject {
public:
    User(std::vector<QMessageBox::StandardButton> answers, int signal, std::function<void()> atQuestion)
        : m_answers(std::move(answers)), m_signal(signal), m_atQuestion(std::move(atQuestion))
    {
        connect(&m_timer, &QTimer::timeout, this, &User::Look);
        m_timer.start(0);
    }

    QStringList seen;
    bool asked = false;

private:
    void Look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_last)
            return;
        m_last = box;
        seen << box->text();
        if (static_cast<size_t>(seen.size()) <= m_answers.size()) {
            box->button(m_answers[seen.size() - 1])->click();
            return;
        }
        if (asked)
            return;
        asked = true;
        m_atQuestion();
        ::raise(m_signal);
    }

    std::vector<QMessageBox::StandardButton> m_answers;
    int m_signal;
    std::function<void()> m_atQuestion;
    QPointer<QMessageBox> m_last;
    QTimer m_timer;
};

class UnansweredQuestionTest : public test::StartupTest {
protected:
    void SetUp() override
    {
        StartupTest::SetUp();
        // Real boxes, answered (or not) by the user above.
        msgbox::SetHook({});
        ::sigaction(SIGHUP, nullptr, &m_hangUp);
        // As in a login session, whatever this test runs under (nohup ignores SIGHUP).
        ::signal(SIGHUP, SIG_DFL);
    }

    void TearDown() override
    {
        ::sigaction(SIGHUP, &m_hangUp, nullptr);
        g_bModified = false;
        g_bRebootRequired = false;
        StartupTest::TearDown();
    }

    struct sigaction m_hangUp {};
};

template <class T>
T* Find(ZAR& window, const char* group, const char* page, const char* name)
{
    EXPECT_TRUE(window.ShowWidget(QLatin1String(group), QLatin1String(page))) << page;
    IQVXWidget* pWidget = window.GetWidget(QLatin1String(group), QLatin1String(page));
    T* child = pWidget ? pWidget->findChild<T*>(QLatin1String(name)) : nullptr;
    EXPECT_TRUE(child) << page << " " << name;
    return child;
}

void Click(ZAR& window, const char* group, const char* page, const char* button)
{
    if (auto* b = Find<QAbstractButton>(window, group, page, button))
        b->click();
}

const char kPerformance[] = "Performance\nControl";
const char kPreference[] = "Preference";
const char kSystem[] = "System\nInformation";
const QLatin1String kSystemGroup(kSystem);

} // namespace

TEST_F(UnansweredQuestionTest, AnEndSignalWhileAQuestionIsOpenChangesNothingAndTheProgramEndsAsUsual)
{
    struct Case {
        const char* box;
        QStringList arguments;
        std::function<void()> beforeStart;      // may be null
        std::function<void(ZAR&)> arrange;      // may be null
        std::function<void(ZAR&)> ask;          // null: a box of the start itself
        std::vector<QMessageBox::StandardButton> before;   // the answers to the boxes before it
        const char* text;
        int code;
    };
    const std::vector<QMessageBox::StandardButton> warningAccepted{QMessageBox::Ok};
    const Case cases[] = {
        {"debug pause", {"debug"}, nullptr, nullptr, nullptr, {}, "Debug", 16},
        {"overclocking warning at start", {}, nullptr, nullptr, nullptr, {}, test::kWarningStart, 16},
        {"overclocking warning before Apply",
         {},
         [] { SetValue(plat::RegistryHive::CurrentUser, u"EnableWarningMsg", 1); },
         [](ZAR& window) {
             if (auto* slider = Find<QSlider>(window, kPerformance, "Novice Mode", "ModeSlider"))
                 slider->setValue(8);
         },
         [](ZAR& window) { window.Form().applyButton->click(); },
         warningAccepted, test::kWarningStart, 0},
        {"restart offer after Apply", {}, nullptr, [](ZAR&) { g_bRebootRequired = true; },
         [](ZAR& window) { window.Form().applyButton->click(); }, warningAccepted,
         "System restart is required to apply some settings.", 0},
        {"Advanced mode warning", {}, nullptr, nullptr,
         [](ZAR& window) { Click(window, kPreference, "Settings", "radioButtonAdvanced"); }, warningAccepted,
         "Modifying parameters in Advanced mode", 0},
        {"restore default settings", {}, nullptr, nullptr,
         [](ZAR& window) { Click(window, kPreference, "Settings", "btnDefault"); }, warningAccepted,
         "Are you sure to restore default settings?", 0},
        {"Auto Clock start", {}, nullptr, nullptr,
         [](ZAR& window) { Click(window, kPerformance, "Auto Clock", "btnAutoTune"); }, warningAccepted,
         test::kWarningStart, 0},
        {"Auto Clock roll back", {}, nullptr,
         [](ZAR&) {
             // Clocks the search left behind, and their record in the store.
             ASSERT_TRUE(dev::ClockGen()->SetHTRefClock(212));
             ASSERT_TRUE(dev::Cpu(0)->SetMultiplier(12));
         },
         [](ZAR& window) { Click(window, kPerformance, "Auto Clock", "btnReset"); }, warningAccepted,
         "Are you sure to roll back original settings?", 0},
        {"Stability Test notice", {}, nullptr,
         [](ZAR& window) { Click(window, kPerformance, "Stability Test", "SelectAllBtn"); },
         [](ZAR& window) { Click(window, kPerformance, "Stability Test", "btnRun"); }, warningAccepted,
         "This function may cause system hang", 0},
        {"enable ReadyBoost", {}, [] { test::InstallStorageDriver(test::DriverDefaults()); },
         [](ZAR& window) { ASSERT_TRUE(window.AddWidget(new QCorvane, kSystemGroup, QStringLiteral("Corvane"), -1)); },
         [](ZAR& window) { Click(window, kSystem, "Corvane", "btnEnableReadyBoost"); }, warningAccepted,
         "To enable ready boost function", 0},
        {"flash-cache settings to their defaults", {}, [] { test::InstallStorageDriver(test::DriverDefaults()); },
         [](ZAR& window) {
             auto* page = new QCorvaneSettings;
             ASSERT_TRUE(page->Discard());
             ASSERT_TRUE(window.AddWidget(page, kSystemGroup, QStringLiteral("CorvaneSettings"), -1));
         },
         [](ZAR& window) {
             ASSERT_TRUE(window.ShowWidget(kSystemGroup, QStringLiteral("CorvaneSettings")));
             QMetaObject::invokeMethod(window.GetWidget(kSystemGroup, QStringLiteral("CorvaneSettings")),
                                       "on_btnDefault_clicked");
         },
         warningAccepted, "Are you sure to reset these settings to default vaules?", 0},
    };
    const int endSignals[] = {SIGTERM, SIGINT, SIGHUP};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        const int signal = endSignals[n++ % std::size(endSignals)];
        SCOPED_TRACE(strsignal(signal));
        RemoveKeptFiles();
        vb::Machine::Instance().LoadDefault();
        if (c.beforeStart)
            c.beforeStart();

        std::map<QString, QByteArray> atQuestion;
        User user(c.before, signal, [&] {
            atQuestion = Files(test::TestDir());
            vb::Machine::Instance().GetJournal().Clear();
        });
        options.onWindowShown = [&](ZAR& window) {
            ++passes;
            // The user goes to the page and asks, once the window runs.
            QTimer::singleShot(0, &window, [&] {
                if (c.arrange)
                    c.arrange(window);
                if (c.ask)
                    c.ask(window);
                EXPECT_FALSE(g_bTestRunning) << "nothing started";
                // A box that never came: the window is closed, so the test does not hang.
                if (!user.asked)
                    window.close();
            });
        };
        EXPECT_EQ(Run(c.arguments), c.code);
        // The signal ended every event loop, and Qt ends each new one at once until its
        // main loop runs again: in a process of its own the program is over by now.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();

        ASSERT_TRUE(user.asked) << "the box under test never opened: " << user.seen.join(" | ").toStdString();
        EXPECT_EQ(user.seen.size(), static_cast<qsizetype>(c.before.size() + 1))
            << "no box after the signal: " << user.seen.join(" | ").toStdString();
        EXPECT_TRUE(user.seen.last().startsWith(QLatin1String(c.text))) << user.seen.last().toStdString();
        EXPECT_EQ(passes, c.ask ? 1 : 0);
        EXPECT_EQ(BoardChanges(), std::vector<std::string>());
        QStringList changed;
        const std::map<QString, QByteArray> after = Files(test::TestDir());
        for (const auto& [path, content] : after)
            if (!atQuestion.count(path) || atQuestion.at(path) != content)
                changed << path;
        for (const auto& [path, content] : atQuestion)
            if (!after.count(path))
                changed << path;
        EXPECT_EQ(changed.join(' ').toStdString(), "") << "files written or removed";
        EXPECT_FALSE(g_bTestRunning);
        passes = 0;
        Reset();
    }
}
