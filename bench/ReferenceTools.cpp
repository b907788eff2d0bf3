#include "ReferenceTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace bench {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
QString g_problem;

// Runs program with arguments; its standard output, or an empty text on failure.
QString Run(const QString& program, const QStringList& arguments, int timeoutSeconds = 120)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        g_problem = program + QStringLiteral(": not installed (scripts/bootstrap --bench)");
        return {};
    }
    if (!process.waitForFinished(timeoutSeconds * 1000)) {
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

} // namespace

double SysbenchMemory(size_t blockBytes, bool write, int seconds)
{
    const QString out = Run(QStringLiteral("sysbench"),
                            {QStringLiteral("memory"), QStringLiteral("--threads=1"),
                             QStringLiteral("--memory-block-size=") + Bytes(blockBytes),
                             QStringLiteral("--memory-total-size=100T"), QStringLiteral("--memory-scope=local"),
                             QStringLiteral("--memory-oper=") + (write ? QStringLiteral("write") : QStringLiteral("read")),
                             QStringLiteral("--memory-access-mode=seq"), QStringLiteral("--time=%1").arg(seconds),
                             QStringLiteral("run")});
    // "102400.00 MiB transferred (10234.56 MiB/sec)"
    return Number(out, R"(\(([0-9.]+) MiB/sec\))", kMiB / 1e6);
}

double SysbenchCpu(int seconds)
{
    const QString out = Run(QStringLiteral("sysbench"), {QStringLiteral("cpu"), QStringLiteral("--threads=1"),
                                                         QStringLiteral("--time=%1").arg(seconds), QStringLiteral("run")});
    return Number(out, R"(events per second:\s*([0-9.]+))");
}

double MbwMemcpy(size_t bytes)
{
    const QString out = Run(QStringLiteral("mbw"), {QStringLiteral("-q"), QStringLiteral("-n"), QStringLiteral("5"),
                                                    QStringLiteral("-t0"), QString::number(bytes / (1024 * 1024))});
    // "AVG	Method: MEMCPY	Elapsed: 0.10000	MiB: 1024.00000	Copy: 10240.000 MiB/s"
    return Number(out, R"(AVG\s+Method: MEMCPY.*Copy:\s*([0-9.]+) MiB/s)", kMiB / 1e6);
}

double LikwidBench(size_t bytes, bool store, int vectorBytes)
{
    const char* suffix = vectorBytes >= 64 ? "_avx512" : vectorBytes >= 32 ? "_avx" : "_sse";
    const QString test = QLatin1String(store ? "store" : "load") + QLatin1String(suffix);
    const QString out = Run(QStringLiteral("likwid-bench"),
                            {QStringLiteral("-t"), test, QStringLiteral("-w"),
                             QStringLiteral("S0:%1B:1").arg(bytes)});
    // likwid counts 10^6 bytes to the MByte.
    return Number(out, R"(MByte/s:\s*([0-9.]+))");
}

QString LastProblem() { return g_problem; }

} // namespace bench
