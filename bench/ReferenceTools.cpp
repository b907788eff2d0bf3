#include "ReferenceTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "Pinning.h"

namespace bench {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
QString g_problem;
PAGE_BACKING g_backing;

// The number captured by pattern in text, times scale; 0 when absent.
double Number(const QString& text, const char* pattern, double scale = 1.0)
{
    const QRegularExpressionMatch match = QRegularExpression(QLatin1String(pattern)).match(text);
    if (!match.hasMatch()) {
        if (!text.isEmpty())
            g_problem = QStringLiteral("unexpected output: ") + text.section(QLatin1Char('\n'), 0, 0).trimmed();
        return 0.0;
    }
    return match.captured(1).toDouble() * scale;
}

QString Bytes(size_t bytes) { return QString::number(bytes / 1024) + QStringLiteral("K"); }

// How many units of work (sweeps, copies) fill the given seconds, for tools that count
// units instead of watching the time. What one unit takes is measured once per kind of
// work (0: that failed), so every run of it then lasts as long as ours.
int UnitsFor(const QString& work, int seconds, const std::function<double()>& secondsPerUnit)
{
    static std::map<QString, double> measured;
    auto it = measured.find(work);
    if (it == measured.end())
        it = measured.emplace(work, secondsPerUnit()).first;
    return it->second > 0 ? static_cast<int>(std::clamp(std::ceil(seconds / it->second), 1.0, 1e9)) : 0;
}

} // namespace

QString RunTool(int cpu, const QString& program, const QStringList& arguments, int lookAtPagesMs, int timeoutSeconds)
{
    const QStringList command = OnCpu(cpu, program, arguments);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    g_backing = {};
    process.start(command.first(), command.mid(1));
    if (!process.waitForStarted(10000)) {
        g_problem = program + QStringLiteral(": not installed (scripts/bootstrap --bench)");
        return {};
    }
    // A process that has ended is no longer waited for: waiting again would fail.
    bool bEnded = false;
    if (lookAtPagesMs >= 0) {
        bEnded = process.waitForFinished(lookAtPagesMs);
        if (!bEnded)
            g_backing = BackingOfProcess(process.processId());
    }
    if (!bEnded && !process.waitForFinished(timeoutSeconds * 1000)) {
        process.kill();
        process.waitForFinished();
        g_problem = program + QStringLiteral(": did not finish");
        return {};
    }
    const QString output = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        g_problem = program + QStringLiteral(": ") + output.section(QLatin1Char('\n'), 0, 0).trimmed();
        return {};
    }
    return output;
}

double SysbenchMemory(int cpu, size_t blockBytes, bool write, int seconds)
{
    const QString out = RunTool(cpu, QStringLiteral("sysbench"),
                                {QStringLiteral("memory"), QStringLiteral("--threads=1"),
                                 QStringLiteral("--memory-block-size=") + Bytes(blockBytes),
                                 QStringLiteral("--memory-total-size=100T"), QStringLiteral("--memory-scope=local"),
                                 QStringLiteral("--memory-oper=") + (write ? QStringLiteral("write") : QStringLiteral("read")),
                                 QStringLiteral("--memory-access-mode=seq"), QStringLiteral("--time=%1").arg(seconds),
                                 QStringLiteral("run")},
                                seconds * 500);
    // "102400.00 MiB transferred (10234.56 MiB/sec)"
    return Number(out, R"(\(([0-9.]+) MiB/sec\))", kMiB / 1e6);
}

double SysbenchCpu(int cpu, int seconds)
{
    const QString out = RunTool(cpu, QStringLiteral("sysbench"), {QStringLiteral("cpu"), QStringLiteral("--threads=1"),
                                                                  QStringLiteral("--time=%1").arg(seconds), QStringLiteral("run")});
    return Number(out, R"(events per second:\s*([0-9.]+))");
}

double MbwMemcpy(int cpu, size_t bytes, int seconds)
{
    auto copies = [&](int count) {
        return RunTool(cpu, QStringLiteral("mbw"), {QStringLiteral("-q"), QStringLiteral("-n"), QString::number(count),
                                                    QStringLiteral("-t0"), QString::number(bytes / (1024 * 1024))},
                       seconds * 500);
    };
    // "AVG	Method: MEMCPY	Elapsed: 0.10000	MiB: 1024.00000	Copy: 10240.000 MiB/s"
    const int count = UnitsFor(QStringLiteral("mbw %1").arg(bytes), seconds, [&] {
        return Number(copies(3), R"(AVG\s+Method: MEMCPY\s+Elapsed:\s*([0-9.]+))");
    });
    return count > 0 ? Number(copies(count), R"(AVG\s+Method: MEMCPY.*Copy:\s*([0-9.]+) MiB/s)", kMiB / 1e6) : 0.0;
}

double LikwidBench(int cpu, size_t bytes, bool store, int vectorBytes, int seconds)
{
    const char* suffix = vectorBytes >= 64 ? "_avx512" : vectorBytes >= 32 ? "_avx" : "_sse";
    const QString test = QLatin1String(store ? "store" : "load") + QLatin1String(suffix);
    // Its one thread goes to the first CPU of the domain, which the command leaves at cpu alone.
    auto run = [&](const QString& option, int value) {
        return RunTool(cpu, QStringLiteral("likwid-bench"), {QStringLiteral("-t"), test, option, QString::number(value),
                                                             QStringLiteral("-w"), QStringLiteral("S0:%1B:1").arg(bytes)},
                       seconds * 500);
    };
    // Its own "-s" only promises at least that long (up to twice here), after a calibration
    // of its own: one such run gives the time of a sweep, "-i" then the length asked for.
    const int sweeps = UnitsFor(test + QString::number(bytes), seconds, [&] {
        const QString out = run(QStringLiteral("-s"), 1);
        const double iterations = Number(out, R"(Iterations:\s*([0-9]+))");
        return iterations > 0 ? Number(out, R"(Time:\s*([0-9.e+-]+) sec)") / iterations : 0.0;
    });
    // likwid counts 10^6 bytes to the MByte.
    return sweeps > 0 ? Number(run(QStringLiteral("-i"), sweeps), R"(MByte/s:\s*([0-9.]+))") : 0.0;
}

QString LastProblem() { return g_problem; }

PAGE_BACKING LastPageBacking() { return g_backing; }

} // namespace bench
