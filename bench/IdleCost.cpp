// The program's cost while the user leaves it alone, beside a common desktop
// program's: processor time and wakeups a second of each, all started at once
// under one display and measured over the same spans.
//   IdleCost [--program PATH] [--idle-seconds S] [--settle S] [--peer PATH]
// --program: the program to measure (default: the one built beside this bench),
//            so an older build can be measured the same way.
// --peer:    the desktop program to compare with (default: keepassxc); "none" skips it.
// The program is measured at its start (its overclocking warning), on its first
// page and on each monitor page, every other page built and hidden behind it.
// Two spans of S seconds (60): the first from --settle seconds (10) after the
// start, while the usage graphs fill (94 s of history, drawn anew each second);
// the second once they are full, from 100 s on: the goals are judged there.
// Exit code 0 when every goal is met, 1 when one is missed, 2 when it cannot run.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "LoadAverage.h"
#include "OpeningPage.h"
#include "ProcessCost.h"

namespace {

constexpr double kNoGoal = -1;
constexpr int kGraphsFullSeconds = 100;   // after the start, the usage graphs hold a full history
constexpr int kSpans = 2;                 // while the graphs fill, once they are full

struct CASE {
    const char* pszLabel;
    QString page;            // empty: the program's own page table
    QStringList arguments;   // "autotune" only skips the overclocking warning
    double dMaxWakeups;      // a second
    double dMaxCpuPercent;   // of one core
};

// The program's first page and its monitor pages: their own once-a-second refresh.
constexpr double kPageWakeups = 2.0;
constexpr double kPageCpuPercent = 0.5;

const std::vector<CASE> kCases = {
    {"start (overclocking warning)", {}, {}, 0.3, kNoGoal},
    {"Basic (first page)", {}, {QStringLiteral("autotune")}, kPageWakeups, kPageCpuPercent},
    {"CPU Status", QStringLiteral("CPU Status"), {QStringLiteral("autotune")}, kPageWakeups, kPageCpuPercent},
    {"GPU Status", QStringLiteral("GPU Status"), {QStringLiteral("autotune")}, kPageWakeups, kPageCpuPercent},
    {"Board Status", QStringLiteral("Board Status"), {QStringLiteral("autotune")}, kPageWakeups, kPageCpuPercent},
};

struct RUN {
    QString label;
    double dMaxWakeups = kNoGoal;
    double dMaxCpuPercent = kNoGoal;
    std::unique_ptr<QTemporaryDir> pHome;
    std::unique_ptr<QProcess> pProcess;
    // One per span; null when the program was not running at its start.
    std::array<std::unique_ptr<bench::CProcessWatch>, kSpans> watches;
};

QString Option(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

// A folder of its own for one program: a copy of the executable (it works in the
// folder it runs from and writes its settings there) beside links to all else.
bool MakeProgramFolder(const QString& program, const QString& folder)
{
    const QFileInfo exe(program);
    if (!QDir().mkpath(folder) || !QFile::copy(exe.absoluteFilePath(), folder + QLatin1Char('/') + exe.fileName()))
        return false;
    QFile::setPermissions(folder + QLatin1Char('/') + exe.fileName(), exe.permissions());
    for (const QFileInfo& entry : exe.absoluteDir().entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (entry.fileName() != exe.fileName() && entry.isReadable())
            QFile::link(entry.absoluteFilePath(), folder + QLatin1Char('/') + entry.fileName());
    return true;
}

// Settings, registry, state and runtime folder of this run only, so neither the
// user's settings nor a running program are met.
QProcessEnvironment PrivateEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        env.insert(QLatin1String(name), home + QLatin1Char('/') + QString::fromLatin1(name).toLower());
    const QString runtime = home + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("VELOCREST_STATE_DIR"), home + QStringLiteral("/state"));
    env.insert(QStringLiteral("VELOCREST_REGISTRY_DIR"), home + QStringLiteral("/registry"));
    return env;
}

bool Start(RUN& run, const QString& program, const QStringList& arguments)
{
    run.pProcess = std::make_unique<QProcess>();
    run.pProcess->setProcessEnvironment(PrivateEnvironment(run.pHome->path()));
    run.pProcess->setWorkingDirectory(run.pHome->path());
    run.pProcess->setStandardOutputFile(run.pHome->filePath(QStringLiteral("output.txt")));
    run.pProcess->setStandardErrorFile(run.pHome->filePath(QStringLiteral("output.txt")), QIODevice::Append);
    run.pProcess->start(program, arguments);
    return run.pProcess->waitForStarted(10000);
}

bool StartProgram(RUN& run, const CASE& c, const QString& program, const QByteArray& pageTable)
{
    const QString folder = run.pHome->filePath(QStringLiteral("program"));
    if (!MakeProgramFolder(program, folder))
        return false;
    if (!c.page.isEmpty()) {
        const QByteArray table = bench::PageTableOpeningOn(pageTable, c.page);
        QFile file(folder + QStringLiteral("/PageSettings.xml"));
        if (table.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(table) != table.size())
            return false;
    }
    return Start(run, folder + QLatin1Char('/') + QFileInfo(program).fileName(), c.arguments);
}

void Stop(RUN& run)
{
    if (!run.pProcess || run.pProcess->state() == QProcess::NotRunning)
        return;
    run.pProcess->terminate();
    if (!run.pProcess->waitForFinished(15000)) {
        run.pProcess->kill();
        run.pProcess->waitForFinished(5000);
    }
}

// What a program that ended early said first.
QString FirstLine(const RUN& run)
{
    QFile file(run.pHome ? run.pHome->filePath(QStringLiteral("output.txt")) : QString());
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readLine()).trimmed() : QString();
}

void Wait(int seconds) { std::this_thread::sleep_for(std::chrono::seconds(std::max(0, seconds))); }

// Watches every running program for the span, sampling once a second.
void Measure(std::vector<RUN>& runs, int span, int seconds)
{
    for (RUN& run : runs)
        if (run.pProcess && run.pProcess->state() == QProcess::Running) {
            run.watches[span] = std::make_unique<bench::CProcessWatch>(run.pProcess->processId());
            run.watches[span]->Sample();
        }
    for (int second = 0; second < seconds; ++second) {
        Wait(1);
        for (RUN& run : runs)
            if (run.watches[span])
                run.watches[span]->Sample();
    }
}

QString Goal(const RUN& run)
{
    QStringList parts;
    if (run.dMaxCpuPercent >= 0)
        parts << QStringLiteral("CPU <= %1 %").arg(run.dMaxCpuPercent);
    if (run.dMaxWakeups >= 0)
        parts << QStringLiteral("wakeups <= %1/s").arg(run.dMaxWakeups);
    return parts.join(QStringLiteral(", "));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString program = Option(args, QStringLiteral("--program"),
                                   QCoreApplication::applicationDirPath() + QStringLiteral("/VykVelocrest"));
    const int seconds = std::max(1, Option(args, QStringLiteral("--idle-seconds"), QStringLiteral("60")).toInt());
    const int settle = std::max(1, Option(args, QStringLiteral("--settle"), QStringLiteral("10")).toInt());
    const QString peerName = Option(args, QStringLiteral("--peer"), QStringLiteral("keepassxc"));
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "IdleCost needs a display (bench/run starts one with xvfb-run).\n");
        return 2;
    }
    if (!QFileInfo(program).isExecutable()) {
        std::fprintf(stderr, "No program to measure at %s.\n", qPrintable(program));
        return 2;
    }
    QFile tableFile(QStringLiteral(VELOCREST_PAGE_TABLE));
    const QByteArray pageTable = tableFile.open(QIODevice::ReadOnly) ? tableFile.readAll() : QByteArray();

    std::vector<RUN> runs;
    for (const CASE& c : kCases) {
        RUN& run = runs.emplace_back();
        run.label = QStringLiteral("Vyk Velocrest: ") + QLatin1String(c.pszLabel);
        run.dMaxWakeups = c.dMaxWakeups;
        run.dMaxCpuPercent = c.dMaxCpuPercent;
        run.pHome = std::make_unique<QTemporaryDir>();
        if (!run.pHome->isValid() || !StartProgram(run, c, program, pageTable))
            std::printf("%s: could not start.\n", qPrintable(run.label));
    }
    const QString peer = peerName == QLatin1String("none") ? QString() : QStandardPaths::findExecutable(peerName);
    if (!peer.isEmpty()) {
        RUN& run = runs.emplace_back();
        run.label = QFileInfo(peer).fileName() + QStringLiteral(" (peer, its start window)");
        run.pHome = std::make_unique<QTemporaryDir>();
        if (!run.pHome->isValid() || !Start(run, peer, {}))
            std::printf("%s: could not start.\n", qPrintable(run.label));
    } else if (peerName != QLatin1String("none")) {
        std::printf("%s is not installed: no peer figure (scripts/bootstrap --bench installs it).\n", qPrintable(peerName));
    }

    const int secondSpan = std::max(kGraphsFullSeconds, settle + seconds);
    Wait(settle);
    const QString loadBefore = bench::LoadAverage();
    Measure(runs, 0, seconds);
    Wait(secondSpan - settle - seconds);
    Measure(runs, 1, seconds);
    const QString loadAfter = bench::LoadAverage();
    for (RUN& run : runs)
        Stop(run);

    std::printf("Idle cost, every program at once under display %s (program: %s;\n"
                "load average before %s, after %s). Each span is %d s: the first from %d s after the start,\n"
                "while the usage graphs fill; the second from %d s, when they are full (the goals are for it).\n",
                qPrintable(qEnvironmentVariable("DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"))),
                qPrintable(QFileInfo(program).absoluteFilePath()), qPrintable(loadBefore), qPrintable(loadAfter),
                seconds, settle, secondSpan);
    std::printf("%-46s %21s %21s\n", "", "graphs filling", "graphs full");
    std::printf("%-46s %10s %10s %10s %10s   %s\n", "program and page", "CPU %", "wakeups/s", "CPU %", "wakeups/s",
                "goal");
    bool bMet = true;
    for (const RUN& run : runs) {
        std::printf("%-46s", qPrintable(run.label));
        double cpu = 0, wakeups = 0;
        bool bWatched = true;
        for (const auto& pWatch : run.watches) {
            bWatched = bWatched && pWatch && pWatch->Running();
            if (!bWatched) {
                std::printf(" %10s %10s", "-", "-");
                continue;
            }
            cpu = 100.0 * pWatch->CpuSeconds() / seconds;
            wakeups = static_cast<double>(pWatch->Switches()) / seconds;
            std::printf(" %10.3f %10.2f", cpu, wakeups);
        }
        if (!bWatched) {
            std::printf("   (not running: %s)\n", qPrintable(FirstLine(run)));
            bMet = false;
            continue;
        }
        const bool bRunMet = (run.dMaxCpuPercent < 0 || cpu <= run.dMaxCpuPercent)
                             && (run.dMaxWakeups < 0 || wakeups <= run.dMaxWakeups);
        bMet = bMet && bRunMet;
        const QString goal = Goal(run);
        std::printf("   %s%s\n", qPrintable(goal), goal.isEmpty() ? "" : bRunMet ? "   (met)" : "   (MISSED)");
    }
    std::printf("\n");
    return bMet ? 0 : 1;
}
