// The time from a start to the first usable window: our program (started with
// AutoTune, so no warning waits) to its main window, beside KeePassXC (a common
// Qt desktop program) to its first window. Both are whole processes started
// fresh (a new home, no settings), alternately, on a private Xvfb screen; a
// window is usable once its program has drawn it (the first picture comes from
// the program's event loop), as an X client of the bench sees it.
//   StartupTime [--program PATH] [--peer PATH] [--runs N]
// --program: the program to measure (default: VykVelocrest beside this tool), so
// an older build can be measured the same way. Exit code 0 when the target is
// met, 1 when it is missed, 2 when a program or the screen could not be started.
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "FreshStart.h"
#include "LoadAverage.h"
#include "Option.h"
#include "WindowWatch.h"

namespace {

constexpr double kTarget = 0.5;          // our usable main window / the peer's first window
constexpr int kWindowTimeoutMs = 60000;
const char* const kMainWindowTitle = " Vyk Velocrest ";

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A screen of our own, without a window manager: ":N", or empty when Xvfb failed.
QString StartScreen(QProcess& xvfb)
{
    xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                        QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                                        QStringLiteral("tcp")});
    if (!xvfb.waitForStarted())
        return QString();
    QByteArray number;
    while (!number.contains('\n') && xvfb.waitForReadyRead(10000))
        number += xvfb.readAllStandardOutput();
    number = number.trimmed();
    return number.isEmpty() ? QString() : QStringLiteral(":") + QString::fromLatin1(number);
}

struct RUN {
    bench::WINDOW_TIMES times;
    bool bStarted = false;
};

RUN Measure(bench::WindowWatch& watch, const QString& display, const QString& program, bool bOurs)
{
    RUN run;
    bench::FreshStart start(display);
    if (!start.IsValid())
        return run;
    const QString path = bOurs ? start.OwnFolderCopy(program) : program;
    if (path.isEmpty())
        return run;
    watch.Drain();
    int64_t startNs = 0;
    run.bStarted = start.Start(path, bOurs ? QStringList{QStringLiteral("AutoTune")} : QStringList{}, &startNs);
    if (run.bStarted)
        run.times = watch.Wait(start.Pid(), bOurs ? QLatin1String(kMainWindowTitle) : QString(), startNs,
                               kWindowTimeoutMs);
    start.End();
    return run;
}

QString Seconds(const RUN& run, bool bDrawn)
{
    if (!run.bStarted)
        return QStringLiteral("no start");
    const bool bSeen = bDrawn ? run.times.bDrawn : run.times.bMapped;
    return bSeen ? QString::asprintf("%.3f", bDrawn ? run.times.dDrawn : run.times.dMapped)
                 : QStringLiteral("none");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString program = QFileInfo(bench::Option(args, QStringLiteral("--program"), QCoreApplication::applicationDirPath() +
                                                                    QStringLiteral("/VykVelocrest"))).absoluteFilePath();
    const QString peer = bench::Option(args, QStringLiteral("--peer"), QStandardPaths::findExecutable(QStringLiteral("keepassxc")));
    const int runs = std::max(1, bench::Option(args, QStringLiteral("--runs"), QStringLiteral("15")).toInt());
    if (!QFileInfo(program).isExecutable() || peer.isEmpty()) {
        std::fprintf(stderr, "StartupTime: no program at %s or no keepassxc (bootstrap --bench installs it)\n",
                     qPrintable(program));
        return 2;
    }

    QProcess xvfb;
    const QString display = StartScreen(xvfb);
    bench::WindowWatch watch(display);
    if (display.isEmpty() || !watch.IsConnected()) {
        std::fprintf(stderr, "StartupTime: the Xvfb screen could not be started\n");
        return 2;
    }

    std::printf("Start to the first usable window, %d runs each, alternately, each with a fresh home\n"
                "(ours: %s AutoTune, to its main window; peer: %s, to its first window)\n"
                "load average before: %s\n",
                runs, qPrintable(program), qPrintable(peer), qPrintable(bench::LoadAverage()));
    std::printf("%-5s %14s %14s %14s %14s\n", "run", "ours mapped", "ours drawn", "peer mapped", "peer drawn");
    std::vector<double> ours, theirs;
    bool bAllSeen = true;
    for (int i = 0; i < runs; ++i) {
        // Who goes first changes every run, so neither always finds the other's leftovers in the caches.
        RUN our, their;
        if (i % 2 == 0) {
            our = Measure(watch, display, program, true);
            their = Measure(watch, display, peer, false);
        } else {
            their = Measure(watch, display, peer, false);
            our = Measure(watch, display, program, true);
        }
        std::printf("%-5d %14s %14s %14s %14s\n", i + 1, qPrintable(Seconds(our, false)),
                    qPrintable(Seconds(our, true)), qPrintable(Seconds(their, false)), qPrintable(Seconds(their, true)));
        std::fflush(stdout);
        bAllSeen = bAllSeen && our.times.bDrawn && their.times.bDrawn;
        if (our.times.bDrawn)
            ours.push_back(our.times.dDrawn);
        if (their.times.bDrawn)
            theirs.push_back(their.times.dDrawn);
    }
    xvfb.terminate();
    xvfb.waitForFinished();

    const double ourMedian = Median(ours), theirMedian = Median(theirs);
    const double ratio = theirMedian > 0 ? ourMedian / theirMedian : 0;
    const bool bMet = bAllSeen && theirMedian > 0 && ratio <= kTarget;
    std::printf("median until drawn: ours %.3f s, peer %.3f s, ratio %.2f (target: at most %.2f)   %s\n"
                "load average after: %s\n\n",
                ourMedian, theirMedian, ratio, kTarget,
                !bAllSeen ? "(A WINDOW WAS NOT SEEN)" : bMet ? "(target met)" : "(ABOVE TARGET)",
                qPrintable(bench::LoadAverage()));
    return bMet ? 0 : 1;
}
