#include "Startup/RunApplication.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QScreen>
#include <QThread>

#include <cstdio>
#include <memory>
#include <utility>

#include "Engine/Engine.h"
#include "Engine/LogCheck.h"
#include "MainWindow/ZAR.h"
#include "Platform/EndSignals.h"
#include "Platform/FileAside.h"
#include "Platform/LastError.h"
#include "Platform/RuntimeDir.h"
#include "Platform/SimulatedBoard.h"
#include "Platform/SingleInstance.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/PerformanceControl.h"
#include "Settings/MiscSettings.h"
#include "Settings/PageSettings.h"
#include "Settings/SkinManager.h"
#include "Settings/TuneResultSink.h"
#include "Shell/GlobalFlags.h"
#include "Shell/MessageBox.h"
#include "Shell/OverclockWarning.h"
#include "Shell/WidgetManager.h"
#include "Startup/DisplayLoss.h"
#include "Startup/Firmware.h"
#include "Startup/InitWindow.h"
#include "Startup/Leftovers.h"
#include "Startup/PreferencesNotice.h"
#include "Startup/StartupChecks.h"
#include "Testing/StartPoint.h"

// A failed start-up step: one log line naming the expression and "main", then the
// step's exit code.
#define MAIN_PROCESS_ERROR_AS(cond, text, code)                                                         \
    do {                                                                                                \
        if (!(cond)) {                                                                                  \
            g_Log.Write(ltError, "LOG_PROCESS_ERROR_RET_CODE(%s) at line %d in %s\n", text, __LINE__, "main"); \
            m_nCode = (code);                                                                           \
            return false;                                                                               \
        }                                                                                               \
    } while (0)
#define MAIN_PROCESS_ERROR(cond, code) MAIN_PROCESS_ERROR_AS(cond, #cond, code)

namespace {

QString FailedToStart(const QString& reason) { return QObject::tr("Vyk Velocrest failed to start: %1.").arg(reason); }

QString TooLongPath()
{
    return QObject::tr("the path of its folder is too long; please install it in a folder with a shorter path");
}

} // namespace

QString ExitMessage(int nCode)
{
    switch (nCode) {
    case 0: case 2: case 16: return QString();
    case 3: return QObject::tr("Cannot load setting files.");
    case 4: return QObject::tr("Log module initialization failed.");
    case 5: return QObject::tr("Vyk Velocrest driver failed to start.");
    case 6: return QObject::tr("Vyk Velocrest failed to initialize device manager.");
    case 7: {
        const unsigned error = g_GetLastError();
        // Rights are not the problem when the driver's path does not fit its buffer.
        if (error == plat::kErrorFilenameExcedRange)
            return FailedToStart(TooLongPath());
        if (g_IsAdministratorAccount() && error == 5)
            return QObject::tr("You have not enough permission to run this program! \nPlease try to run it as administrator.");
        return QObject::tr("Vyk Velocrest failed to start. Please make sure to run it as administrator.");
    }
    case 8: return QObject::tr("Vyk Velocrest failed to initialize test center.");
    case 9: return QObject::tr("Vyk Velocrest failed to initialize widget manager.");
    case 10: return QObject::tr("Vyk Velocrest failed to initialize main window.");
    case 11: return QObject::tr("Vyk Velocrest cannot detect Vyk CPU on this computer.");
    case 12: return QObject::tr("Vyk Velocrest failed to initialize performance control.");
    case 13: return QObject::tr("Vyk Velocrest Assist is running. Please try again later.");
    case 14: return QObject::tr("Vyk Velocrest cannot detect Vyk MX-series chipset on this computer.");
    case 15: return QObject::tr("Vyk Velocrest is disabled on this computer. Please contact your PC vendor.");
    default: return QObject::tr("Vyk Velocrest failed to start.");
    }
}

namespace {

class ApplicationRun {
public:
    ApplicationRun(QApplication& app, const QStringList& arguments, const StartupOptions& options,
                   plat::EndSignals& endSignals)
        : m_app(app), m_arguments(arguments), m_options(options), m_Signals(endSignals) {}

    int Run()
    {
        // A request to end (a signal, a logout) ends the run the way closing the main
        // window does; the loss of the screen ends it in order before Qt ends the process.
        m_Signals.Listen([this] { RequestEnd(); });
        DisplayLossWatch display([this] { EndAfterDisplayLoss(); });
        if (Start() && WindowLoop())
            m_nCode = 0;
        End();
        m_Signals.Listen(nullptr);
        msgbox::ResumeAsking();
        return m_nCode;
    }

private:
    bool Start();
    bool WindowLoop();
    void End();
    void TearDown();
    void ShowSplash();
    void RequestEnd();
    // Passes on a signal that no event loop has yet; true once the end was asked for.
    bool EndRequested();
    void EndAfterDisplayLoss();

    QApplication& m_app;
    QStringList m_arguments;
    const StartupOptions& m_options;
    const QDateTime m_StartedAt = QDateTime::currentDateTime();
    int m_nCode = 1;
    // Why a step failed, when the step's own message would not say it.
    QString m_strReason;
    StartupFirmware m_Firmware;
    plat::SingleInstance m_Instance;
    std::unique_ptr<InitWindow> m_pInitWindow;
    plat::EndSignals& m_Signals;
    // Damaged preferences found at this start, told once the main window is up.
    QString m_strPreferencesNotice;
    // Whether a main window's event loop runs or has yet to be taken down.
    bool m_bInPass = false;
    bool m_bEndRequested = false;
    bool m_bTornDown = false;
};

void ApplicationRun::RequestEnd()
{
    m_bEndRequested = true;
    // Nobody answers the box open now, nor any box still to come: each gives its
    // escape answer, so nothing runs that the user did not confirm.
    msgbox::StopAsking();
    // Every event loop ends, a message box's included: a window may refuse to close,
    // a loop cannot refuse to end. The pass then ends as after a closed window. With
    // no loop running there is nothing to end (and Qt would end the next one at once).
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

bool ApplicationRun::EndRequested()
{
    m_Signals.Deliver();
    return m_bEndRequested;
}

void ApplicationRun::EndAfterDisplayLoss()
{
    m_bEndRequested = true;
    // Nobody can answer a message box now, and showing one would run an event loop
    // on the broken connection: every box from here on is closed unanswered.
    msgbox::StopAsking();
    if (m_bInPass) {
        m_bInPass = false;
        ZAR* pZAR = ZAR::GetInstance();
        pZAR->hide();
        pZAR->UnInit();
        g_WidgetManager.UnInit();
    }
    TearDown();
}

void ApplicationRun::ShowSplash()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    m_pInitWindow->ShowCentredOn(QPoint((area.left() + area.right()) / 2, (area.top() + area.bottom()) / 2));
}

bool ApplicationRun::Start()
{
    // Asked to end before anything was read: nothing is, and the warning was never accepted.
    MAIN_PROCESS_ERROR_AS(!EndRequested(), "false", 16);
    MAIN_PROCESS_ERROR(IsQVXEnabled(), 15);

    // Another instance: its window comes to the front, this start ends quietly.
    const bool bRaised = plat::SingleInstance::RaiseRunning();
    MAIN_PROCESS_ERROR_AS(!bRaised, "FALSE", 2);
    // The lock is taken atomically, so two starts close together cannot both pass. A
    // lock that cannot be taken for another reason than a running program says why.
    const bool hMutex = m_Instance.TryLock();
    m_strReason = m_Instance.ErrorString();
    MAIN_PROCESS_ERROR_AS(hMutex, "!hMutex", 2);

    if (m_arguments.size() == 2 && m_arguments.at(1) == QLatin1String("debug"))
        msgbox::Show(nullptr, QMessageBox::NoIcon, QString(), QStringLiteral("Debug"));
    // Asked to end during the pause: nothing is read or written, and the warning
    // was never accepted.
    MAIN_PROCESS_ERROR_AS(!EndRequested(), "false", 16);

    // The settings files are read and written in the program's folder, never in the
    // caller's: a folder that cannot be entered ends the start.
    const QString folder = m_options.programFolder.isEmpty() ? QString::fromStdU16String(g_GetApplicationPath())
                                                             : m_options.programFolder;
    if (folder.isEmpty())
        m_strReason = g_GetLastError() == plat::kErrorFilenameExcedRange
                          ? TooLongPath()
                          : QObject::tr("the folder of its program file cannot be read");
    else if (!QDir::setCurrent(folder))
        m_strReason = QObject::tr("it cannot enter its folder %1").arg(folder);
    MAIN_PROCESS_ERROR_AS(m_strReason.isEmpty(), "QDir::setCurrent(folder)", 3);
    // Only now, as the one program of this user, in the folder whose files are ours.
    RemoveLeftoverTemporaries(m_StartedAt);

    // A settings file set aside here is told once the log is open.
    plat::DeferredLog setAside;
    bool bRetCode = g_MiscSettings.Load();
    MAIN_PROCESS_ERROR(bRetCode, 3);
    // Told at once on standard error, whatever follows; by a message once a window is up.
    m_strPreferencesNotice = NoteDamagedPreferences();
    bRetCode = g_MiscSettings.LoadLanguage();
    MAIN_PROCESS_ERROR(bRetCode, 3);

    // Asked to end before the warning was answered (or skipped): it was never accepted.
    MAIN_PROCESS_ERROR_AS(!EndRequested(), "false", 16);
    const bool bAutoTune = m_arguments.size() > 1 && m_arguments.at(1).compare(QLatin1String("AutoTune"), Qt::CaseInsensitive) == 0;
    if (!bAutoTune)
        MAIN_PROCESS_ERROR_AS(AskOverclockWarning(), "false", 16);

    bRetCode = g_Log.Init("QVX", 0xFFFF, g_MiscSettings.LogFileEnabled ? CLog::LOG_OUTPUT_FILE : 0, 10000);
    MAIN_PROCESS_ERROR(bRetCode, 4);
    LogVersion();
    setAside.Write();

    m_pInitWindow = std::make_unique<InitWindow>(nullptr);
    ShowSplash();

    // A runtime or state folder that cannot be used is named, rather than blamed on rights.
    plat::ClearPrivateFolderError();
    bRetCode = m_options.initEngine ? m_options.initEngine() : g_InitEngine();
    if (!bRetCode)
        m_strReason = plat::PrivateFolderError();
    MAIN_PROCESS_ERROR(bRetCode, 7);

    bRetCode = m_Firmware.InitSmbios();
    if (!bRetCode)
        g_Log.Write(ltError, "LOG_CHECK_ERROR(%s) at line %d in %s\n", "bRetCode", __LINE__, "main");

    const QByteArray boardId = g_MiscSettings.BoardVendor[0]
        ? QByteArray(g_MiscSettings.BoardVendor, static_cast<int>(strnlen(g_MiscSettings.BoardVendor, 256)))
        : m_Firmware.BiosVendor();
    bRetCode = g_DeviceManager.Init(boardId.constData());
    MAIN_PROCESS_ERROR(bRetCode, 6);
    IDevice* pDevice = g_DeviceManager.GetDevice(dtCPU, 0);
    MAIN_PROCESS_ERROR(pDevice, 11);
    pDevice = g_DeviceManager.GetDevice(dtNorthBridge, 0);
    MAIN_PROCESS_ERROR(pDevice, 14);
    bRetCode = g_PerformanceControl.Initialize();
    MAIN_PROCESS_ERROR(bRetCode, 12);
    InstallTuneResultSink();
    // What Auto Clock's Reset gives back: the cores as found, before any page runs.
    CStartPoint::Take();

    IDevice* pSouthBridge = g_DeviceManager.GetDevice(dtSouthBridge, 0);
    const bool bMx350 = pSouthBridge && std::u16string(pSouthBridge->GetName()) == u"Vyk MX350 Chipset";
    const bool bCalibration = StartupFirmware::HasCmosItem("Tidewell Clock Calibration");
    g_SkinManager.SetSkin(ChooseSkin(g_MiscSettings.SkinScheme, bMx350, bCalibration));
    return true;
}

bool ApplicationRun::WindowLoop()
{
    ZAR* pZAR = ZAR::GetInstance();
    for (;;) {
        bool bRetCode = g_MiscSettings.Load();
        MAIN_PROCESS_ERROR(bRetCode, 3);
        bRetCode = g_PageSettings.Load();
        MAIN_PROCESS_ERROR(bRetCode, 3);
        // Asked to end on the way here: no window is built only to be taken down.
        if (EndRequested())
            return true;
        bRetCode = g_WidgetManager.Init();
        MAIN_PROCESS_ERROR(bRetCode, 9);
        bRetCode = pZAR->Init(&m_app);
        MAIN_PROCESS_ERROR(bRetCode, 10);

        pZAR->show();
        // quit is static in Qt 6, which only the string form can connect uniquely.
        QObject::connect(&m_app, SIGNAL(lastWindowClosed()), &m_app, SLOT(quit()), Qt::UniqueConnection);
        // A second start asks this one to come to the front.
        if (!m_Instance.Listen([pZAR]() {
                pZAR->showNormal();
                pZAR->raise();
                pZAR->activateWindow();
            })) {
            g_Log.Write(ltError, "LOG_CHECK_ERROR(%s) at line %d in %s\n", "m_Instance.Listen", __LINE__, "main");
            // The program runs on; what a second start will do instead is told where it is seen.
            const QString told = QStringLiteral("%1; a second start will end without bringing this window to the front")
                                     .arg(m_Instance.ErrorString());
            std::fprintf(stderr, "VykVelocrest: %s\n", qPrintable(told));
            g_Log.Write(ltWarning, "%s\n", qPrintable(told));
        }
        g_nRestartRequest = 0;
        m_pInitWindow->hide();
        m_bInPass = true;
        if (m_options.onWindowShown)
            m_options.onWindowShown(*pZAR);
        // The first window up tells of damaged preferences, of this start or an earlier one.
        if (!EndRequested())
            TellDamagedPreferences(pZAR, std::exchange(m_strPreferencesNotice, QString()));
        // A request that came while no event loop ran ends the pass before it starts.
        if (!EndRequested())
            m_app.exec();
        // One that came as the loop ended still ends the program rather than rebuild it.
        m_Signals.Deliver();
        if (m_bEndRequested)
            pZAR->hide();
        m_bInPass = false;

        bRetCode = pZAR->UnInit();
        MAIN_PROCESS_ERROR(bRetCode, 10);
        bRetCode = g_WidgetManager.UnInit();
        MAIN_PROCESS_ERROR(bRetCode, 9);
        if (g_nRestartRequest != 1 || m_bEndRequested)
            return true;
        bRetCode = g_MiscSettings.LoadLanguage();
        MAIN_PROCESS_ERROR(bRetCode, 3);
        m_pInitWindow->show();
    }
}

void ApplicationRun::End()
{
    if (m_pInitWindow)
        m_pInitWindow->close();
    m_pInitWindow.reset();
    // Whoever asked the program to end is not there to read why it ended.
    const QString message = m_nCode != 0 && !m_strReason.isEmpty() ? FailedToStart(m_strReason) : ExitMessage(m_nCode);
    if (!message.isEmpty() && !m_bEndRequested)
        msgbox::Show(nullptr, QMessageBox::Information, ProductTitle(), message, QMessageBox::Ok);
    TearDown();
}

void ApplicationRun::TearDown()
{
    if (m_bTornDown)
        return;
    m_bTornDown = true;
    RemoveTuneResultSink();
    g_PerformanceControl.UnInitialize();
    g_DeviceManager.UnInit();
    g_UnInitEngine();
    g_Log.UnInit();
    m_Instance.Release();
    // Last: nothing of this run uses its private folders any more.
    plat::RemoveFreshFolders();
}

} // namespace

int RunApplication(int argc, char** argv, const StartupOptions& options)
{
    // First of all: from here on an end signal ends the start in order, with its code,
    // whenever it comes; before this there is nothing to put in order.
    plat::EndSignals endSignals;
    // The board asked for, from the folder the user started in; never another one.
    if (QString error; !plat::SelectSimulatedBoard(&error)) {
        std::fprintf(stderr, "VykVelocrest: %s\n", qPrintable(error));
        return 1;
    }
    // Asked to end while the board was read: nothing is made, the warning never accepted.
    if (endSignals.Deliver())
        return 16;
    // The program makes its application here; a test brings its own.
    std::unique_ptr<QApplication> ownApp;
    if (!QApplication::instance()) {
        // Slots whose name matches no object by design (the Clock/Voltage page's two
        // shared slots, the menu slots connected by hand): Qt's warning about them
        // would greet every start, so a start prints nothing.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qmetaobject.connectslotsbyname.warning=false"));
        plat::GiveQtARuntimeFolder();
        ownApp = std::make_unique<QApplication>(argc, argv);
    }
    auto* app = qobject_cast<QApplication*>(QApplication::instance());
    if (!app)
        return 1;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    ZAR::GetInstance()->SetArguments(arguments);
    int nCode = ApplicationRun(*app, arguments, options, endSignals).Run();
    // Codes above 16 do not exist: they read as a failed start.
    if (nCode < 0 || nCode > 16)
        nCode = 1;
    return nCode;
}
