#include "support/TestEnvironment.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <new>

#include "Engine/DriverHandler.h"
#include "Engine/Log.h"
#include "QVXLogic/SystemTune.h"
#include "QVXLogic/TestCenter.h"
#include "Testing/StartPoint.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Devices/HostLoad.h"
#include "VirtualBoard/Machine.h"

namespace test {

namespace {
std::unique_ptr<QTemporaryDir> g_dir;

// Puts a process-wide object back to its state at process start, as the end of a
// program would (its destructor lets go of what it holds, its constructor starts anew).
template <class T>
void Renew(T& object)
{
    object.~T();
    new (&object) T();
}

std::unique_ptr<vb::ManualClock> g_clock;
QString g_previousDir;
}

QString TestDir() { return g_dir ? g_dir->path() : QString(); }

void UseHome(const QString& folder)
{
    const QByteArray home = QFile::encodeName(folder);
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    // Qt takes the settings folder from the environment once; it is told again here.
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder + QStringLiteral("/.config"));
}

vb::ManualClock& Clock() { return *g_clock; }

void TestEnvironment::OnTestStart(const testing::TestInfo&)
{
    g_previousDir = QDir::currentPath();
    g_dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(g_dir->path());
    qputenv("VELOCREST_STATE_DIR", (g_dir->path() + QStringLiteral("/state")).toLocal8Bit());
    qputenv("VELOCREST_REGISTRY_DIR", (g_dir->path() + QStringLiteral("/registry")).toLocal8Bit());
    UseHome(g_dir->path() + QStringLiteral("/home"));
    g_clock = std::make_unique<vb::ManualClock>(1'000'000'000ull, 1000);
    vb::SetClock(g_clock.get());
    vb::HostLoad::SetCounterFile({});
    vb::Machine::Instance().LoadDefault();
    // Stress work in its light form, so a 2-core CI machine is not swamped.
    g_TestCenter.SetLightMode(true);
    g_TestCenter.SetScripted(false);
    // Tuner steps probe one round of stress work, with no time to settle.
    CSystemTune::SetStepTimes(0, 0);
    CSystemTune::SetGated(false);
    LogCapture::Instance().Clear();
    CLog::SetObserver(&LogCapture::Instance());
    g_Log.Init("QVX", 0xFFFF, 0, 10000);
}

void TestEnvironment::OnTestEnd(const testing::TestInfo&)
{
    // No stress worker may outlive the clock and the board it reads; and the next
    // test gets the centre of a fresh process, its cases' random draws from the start.
    g_TestCenter.Stop();
    Renew(g_TestCenter);
    // A driver client whose UnInit never ran still holds its semaphore (in this
    // test's runtime folder); for the next test this one's process has ended.
    Renew(g_DriverHandler);
    // The record of the machine the program started on goes with its process too.
    CStartPoint::ForgetForTests();
    g_Log.UnInit();
    g_Log.Init("QVX", 0, 0, 10000);
    CLog::SetObserver(nullptr);
    vb::SetClock(nullptr);
    g_clock.reset();
    QDir::setCurrent(g_previousDir);
    g_dir.reset();
}

} // namespace test
