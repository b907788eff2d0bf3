#include "ProgramDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "MainWindow/ZAR.h"
#include "Shell/MessageBox.h"
#include "Startup/RunApplication.h"

namespace bench {

namespace {

constexpr int kSliceMs = 20;

// The folders the program reads beside its executable, linked into its own folder.
void LinkProgramFolders(const QString& programDir, const QString& folder)
{
    for (const char* name : {"Device", "Widget", "language", "resource"}) {
        const QString source = programDir + QLatin1Char('/') + QLatin1String(name);
        if (QFileInfo(source).isDir())
            QFile::link(source, folder + QLatin1Char('/') + QLatin1String(name));
    }
}

} // namespace

bool RunProgramWith(int argc, char** argv, const std::function<bool(ZAR&)>& scenario)
{
    // Settings, registry and state of this run only: a user's program and its
    // settings are neither met nor changed.
    QTemporaryDir home;
    if (!home.isValid())
        return false;
    const QString folder = home.path() + QStringLiteral("/program");
    QDir().mkpath(folder);
    LinkProgramFolders(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(), folder);
    qputenv("VELOCREST_STATE_DIR", QFile::encodeName(home.path() + QStringLiteral("/state")));
    qputenv("VELOCREST_REGISTRY_DIR", QFile::encodeName(home.path() + QStringLiteral("/registry")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    msgbox::SetHook([](QMessageBox::Icon, const QString&, const QString&, QMessageBox::StandardButtons) {
        return QMessageBox::Ok;
    });

    bool bResult = false;
    bool bRan = false;
    StartupOptions options;
    options.programFolder = folder;
    options.onWindowShown = [&](ZAR& window) {
        // Before the program's event loop: every wait of the scenario is an event loop
        // one level deep, as the program's own is, so what a click leaves for later
        // (deferred deletes among it) is done as it would be between two clicks.
        bResult = scenario(window);
        bRan = true;
        QTimer::singleShot(0, &window, [] { QCoreApplication::exit(0); });
    };
    const int nCode = RunApplication(argc, argv, options);
    if (nCode != 0)
        std::printf("The program ended with code %d.\n", nCode);
    msgbox::SetHook({});
    return bRan && bResult && nCode == 0;
}

void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs, const std::function<void()>& eachSlice)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.hasExpired(timeoutMs))
            return false;
        Pump(kSliceMs);
        if (eachSlice)
            eachSlice();
    }
    return true;
}

} // namespace bench
