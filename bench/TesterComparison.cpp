// Runs each benchmark tester and, back to back with it, a reference tool on the
// same work; repeats each pair and prints the best of each side and their ratio.
//   TesterComparison [--repeat N] [--seconds S] [--only TEXT]
// --only keeps the pairs whose name contains TEXT ("memory", "L1", ...).
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "QVXLogic/Testers.h"
#include "ReferenceTools.h"

namespace {

struct PAIR {
    const char* pszName;
    const char* pszReference;
    const char* pszUnit;
    std::function<double()> ours;
    std::function<double()> reference;   // empty: no reference here
    double dTarget;                      // least ratio asked for; 0: none
};

QString LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).section(QLatin1Char(' '), 0, 2)
                                          : QStringLiteral("unknown");
}

int Option(const QStringList& args, const QString& name, int fallback)
{
    const int at = static_cast<int>(args.indexOf(name));
    return at >= 0 && at + 1 < args.size() ? std::max(1, args.at(at + 1).toInt()) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int repeat = Option(args, QStringLiteral("--repeat"), 3);
    const int seconds = Option(args, QStringLiteral("--seconds"), 3);
    const int onlyAt = static_cast<int>(args.indexOf(QStringLiteral("--only")));
    const QString only = onlyAt >= 0 && onlyAt + 1 < args.size() ? args.at(onlyAt + 1) : QString();

    CMemoryTester memory;
    CCacheTester cache;
    CCPUTesterIC integer;
    CCPUTesterFPC floating;
    const size_t memoryBytes = memory.GetBufferSize();
    const size_t l1 = cache.GetL1WorkingSet(), l2 = cache.GetL2WorkingSet();
    // sysbench takes power-of-two blocks only: the largest that still fits the cache's half.
    auto floorPow2 = [](size_t n) { size_t p = 1; while (p * 2 <= n) p *= 2; return p; };
    const int vector = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") ? 64 : __builtin_cpu_supports("avx2") ? 32 : 16;
    }();

    const std::vector<PAIR> pairs = {
        {"main memory read", "sysbench memory read, same block", "MB/s",
         [&] { return memory.GetMainMemoryReadSpeed(); },
         [&] { return bench::SysbenchMemory(memoryBytes, false, seconds); }, 0.95},
        {"main memory write", "sysbench memory write, same block", "MB/s",
         [&] { return memory.GetMainMemoryWriteSpeed(); },
         [&] { return bench::SysbenchMemory(memoryBytes, true, seconds); }, 0.95},
        {"main memory copy-equivalent 1/(1/r+1/w)", "mbw memcpy, same size", "MB/s",
         [&] { return 1.0 / (1.0 / memory.GetMainMemoryReadSpeed() + 1.0 / memory.GetMainMemoryWriteSpeed()); },
         [&] { return bench::MbwMemcpy(memoryBytes); }, 0},
        {"L1 read", "likwid-bench load, same size", "MB/s", [&] { return cache.GetL1CacheReadSpeed(); },
         [&] { return bench::LikwidBench(l1, false, vector); }, 0.8},
        {"L1 write", "likwid-bench store, same size", "MB/s", [&] { return cache.GetL1CacheWriteSpeed(); },
         [&] { return bench::LikwidBench(l1, true, vector); }, 0.8},
        {"L1 read", "sysbench memory read, block in L1", "MB/s", [&] { return cache.GetL1CacheReadSpeed(); },
         [&] { return bench::SysbenchMemory(floorPow2(l1), false, seconds); }, 0.8},
        {"L1 write", "sysbench memory write, block in L1", "MB/s", [&] { return cache.GetL1CacheWriteSpeed(); },
         [&] { return bench::SysbenchMemory(floorPow2(l1), true, seconds); }, 0.8},
        {"L2 read", "likwid-bench load, same size", "MB/s", [&] { return cache.GetL2CacheReadSpeed(); },
         [&] { return bench::LikwidBench(l2, false, vector); }, 0.8},
        {"L2 write", "likwid-bench store, same size", "MB/s", [&] { return cache.GetL2CacheWriteSpeed(); },
         [&] { return bench::LikwidBench(l2, true, vector); }, 0.8},
        {"integer (points, 1 thread)", "sysbench cpu events/s, 1 thread", "",
         [&] { return integer.GetBenchmarkValue(); }, [&] { return bench::SysbenchCpu(seconds); }, 0},
        {"floating point (points = 10 MFLOPS)", "", "", [&] { return floating.GetBenchmarkValue(); }, {}, 0},
    };

    // bench/run hands its selection to each of its programs: none of these pairs, nothing to do.
    if (std::none_of(pairs.begin(), pairs.end(), [&](const PAIR& pair) { return QLatin1String(pair.pszName).contains(only); }))
        return 0;
    std::printf("Working sets: main memory %zu MiB, L1 %zu KiB, L2 %zu KiB; best of %d, references run %d s\n",
                memoryBytes >> 20, l1 >> 10, l2 >> 10, repeat, seconds);
    std::printf("Load average at start: %s\n\n", qPrintable(LoadAverage()));

    bool allMet = true;
    std::printf("%-42s %12s   %-36s %12s %7s\n", "ours", "best", "reference", "best", "ratio");
    for (const PAIR& pair : pairs) {
        if (!QLatin1String(pair.pszName).contains(only))
            continue;
        double ours = 0, reference = 0;
        for (int i = 0; i < repeat; ++i) {
            ours = std::max(ours, pair.ours());
            if (pair.reference)
                reference = std::max(reference, pair.reference());
        }
        if (!pair.reference) {
            std::printf("%-42s %12.1f   %-36s\n", pair.pszName, ours, "(no reference tool)");
            continue;
        }
        const double ratio = reference > 0 ? ours / reference : 0;
        const bool met = pair.dTarget == 0 || ratio >= pair.dTarget;
        allMet = allMet && met;
        std::printf("%-42s %12.1f   %-36s %12.1f %7.3f %s%s\n", pair.pszName, ours, pair.pszReference, reference,
                    ratio, pair.pszUnit, pair.dTarget == 0 ? "" : met ? "  (target met)" : "  (BELOW TARGET)");
        if (reference == 0)
            std::printf("    %s\n", qPrintable(bench::LastProblem()));
    }
    std::printf("\nLoad average at end: %s\n", qPrintable(LoadAverage()));
    return allMet ? 0 : 1;
}
