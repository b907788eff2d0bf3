// The program's cost while the user leaves it alone, beside a common desktop
// program's: processor time and wakeups a second of each, all started at once
// under one X display and measured over the same spans, each from a fresh home.
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
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "FreshStart.h"
#include "LoadAverage.h"
#include "OpeningPage.h"
#include "Option.h"
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
    std::unique_ptr<bench::FreshStart> pStart;   // null when it could not be started
    // One per span; null when the program was not running at its start.
    std::array<std::unique_ptr<bench::CProcessWatch>, kSpans> watches;
};

// Starts one program afresh on this display; our program from a folder of its own
// copy, with the page table that opens it on page when one is named.
std::unique_ptr<bench::FreshStart> StartFresh(const QString& program, const QStringList& arguments, bool bOwnFolder,
                                              const QByteArray& pageTable)
{
    auto pStart = std::make_unique<bench::FreshStart>(qEnvironmentVariable("DISPLAY"));
    if (!pStart->IsValid())
        return nullptr;
    pStart->KeepOutput();
    QString path = program;
    if (bOwnFolder) {
        path = pStart->OwnFolderCopy(program);
        if (path.isEmpty())
            return nullptr;
        if (!pageTable.isEmpty()) {
            QFile file(QFileInfo(path).absolutePath() + QStringLiteral("/PageSettings.xml"));
            if (!file.open(QIODevice::WriteOnly) || file.write(pageTable) != pageTable.size())
                return nullptr;
        }
    }
    int64_t startNs = 0;
    return pStart->Start(path, arguments, &startNs) ? std::move(pStart) : nullptr;
}

// What a program that ended early said first.
QString FirstLine(const RUN& run)
{
    QFile file(run.pStart ? run.pStart->OutputPath() : QString());
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readLine()).trimmed() : QString();
}

void Wait(int seconds) { std::this_thread::sleep_for(std::chrono::seconds(std::max(0, seconds))); }

// Watches every running program for the span, sampling once a second.
void Measure(std::vector<RUN>& runs, int span, int seconds)
{
    for (RUN& run : runs)
        if (run.pStart && run.pStart->Pid() != 0) {
            run.watches[span] = std::make_unique<bench::CProcessWatch>(run.pStart->Pid());
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
    const QString program = bench::Option(args, QStringLiteral("--program"),
                                   QCoreApplication::applicationDirPath() + QStringLiteral("/VykVelocrest"));
    const int seconds = std::max(1, bench::Option(args, QStringLiteral("--idle-seconds"), QStringLiteral("60")).toInt());
    const int settle = std::max(1, bench::Option(args, QStringLiteral("--settle"), QStringLiteral("10")).toInt());
    const QString peerName = bench::Option(args, QStringLiteral("--peer"), QStringLiteral("keepassxc"));
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "IdleCost needs an X display (bench/run starts one with xvfb-run).\n");
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
        const QByteArray table = c.page.isEmpty() ? QByteArray() : bench::PageTableOpeningOn(pageTable, c.page);
        if ((!c.page.isEmpty() && table.isEmpty()) || !(run.pStart = StartFresh(program, c.arguments, true, table)))
            std::printf("%s: could not start.\n", qPrintable(run.label));
    }
    const QString peer = peerName == QLatin1String("none") ? QString() : QStandardPaths::findExecutable(peerName);
    if (!peer.isEmpty()) {
        RUN& run = runs.emplace_back();
        run.label = QFileInfo(peer).fileName() + QStringLiteral(" (peer, its start window)");
        if (!(run.pStart = StartFresh(peer, {}, false, {})))
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
        if (run.pStart)
            run.pStart->End();

    std::printf("Idle cost, every program at once under display %s (program: %s;\n"
                "load average before %s, after %s). Each span is %d s: the first from %d s after the start,\n"
                "while the usage graphs fill; the second from %d s, when they are full (the goals are for it).\n",
                qPrintable(qEnvironmentVariable("DISPLAY")),
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
