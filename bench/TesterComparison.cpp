// Runs each benchmark tester and, taking turns with it, a reference tool on the
// same work, both on one CPU. Each side is timed the same way: the best of the same
// number of runs of the same length, each run one average. Prints both bests, their
// ratio and the range of the single turns' ratios; a pair whose sides do not do the
// same work is a guide, printed with the reason and held to no target. A pair with a
// target is met only when every turn's ratio reaches it, below it only when none does,
// and inconclusive otherwise. Each pair that works on a buffer says which pages held
// it on each side.
//   TesterComparison [--repeat N] [--seconds S] [--cpu C] [--only TEXT]
// --repeat: runs per side (at least 3); --seconds: length of each run; --cpu: the CPU
// both sides run on (default: the last this process may use); --only keeps the pairs
// whose name contains TEXT ("memory", "L1", ...).
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <vector>

#include "LoadAverage.h"
#include "Option.h"
#include "PageBacking.h"
#include "Pinning.h"
#include "QVXLogic/Testers.h"
#include "ReferenceTools.h"
#include "Testers/CacheSizes.h"
#include "Testers/Kernels.h"
#include "Verdict.h"

namespace {

struct PAIR {
    const char* pszName;
    QString reference;
    std::function<double()> ours;
    std::function<double()> measureReference;   // empty: no reference here
    double dTarget;                              // least ratio asked for; 0: a guide
    QString guide;                               // why the sides are not the same work
    std::function<const void*()> ourBuffer;      // the buffer our side measured in; empty: none
};

// Our testers, with the buffer each measured in (its pages are part of the report).
struct MemoryTester : CMemoryTester {
    const void* Buffer() { return _Buffer(1); }
};
struct CacheTester : CCacheTester {
    const void* Buffer() { return _Buffer(1); }
};

// The page backings the turns of one side had, each once.
QString Backings(const std::set<QString>& seen)
{
    return seen.empty() ? QStringLiteral("unknown") : QStringList(seen.begin(), seen.end()).join(QStringLiteral(" / "));
}

// One pair's turns: both bests, their ratio, the range of the turns' ratios and what
// they make of the target.
void Report(const PAIR& pair, const std::vector<double>& ours, const std::vector<double>& reference, bool& allMet)
{
    const double bestOurs = *std::max_element(ours.begin(), ours.end());
    if (reference.empty()) {
        std::printf("%-38s %10.1f   %s\n", pair.pszName, bestOurs, "(no reference tool)");
        return;
    }
    const double bestReference = *std::max_element(reference.begin(), reference.end());
    double low = 0, high = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        const double ratio = reference[i] > 0 ? ours[i] / reference[i] : 0;
        low = i == 0 ? ratio : std::min(low, ratio);
        high = std::max(high, ratio);
    }
    const double ratio = bestReference > 0 ? bestOurs / bestReference : 0;
    QString verdict = QStringLiteral("guide");
    if (pair.dTarget > 0) {
        const bench::VERDICT judged = bench::Judge(ours, reference, pair.dTarget);
        allMet = allMet && judged == bench::VERDICT::Met;
        verdict = QStringLiteral("%1 %2").arg(pair.dTarget, 0, 'f', 2).arg(bench::VerdictText(judged));
    }
    std::printf("%-38s %10.1f   %-36s %10.1f %6.3f [%.3f-%.3f] %s\n", pair.pszName, bestOurs,
                qPrintable(pair.reference), bestReference, ratio, low, high, qPrintable(verdict));
    if (!pair.guide.isEmpty())
        std::printf("    not the same work: %s\n", qPrintable(pair.guide));
    if (bestReference == 0)
        std::printf("    %s\n", qPrintable(bench::LastProblem()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int repeat = std::max(3, bench::Option(args, QStringLiteral("--repeat"), QStringLiteral("3")).toInt());
    const int seconds = std::max(1, bench::Option(args, QStringLiteral("--seconds"), QStringLiteral("3")).toInt());
    const QString only = bench::Option(args, QStringLiteral("--only"));
    const int asked = bench::Option(args, QStringLiteral("--cpu"), QStringLiteral("-1")).toInt();
    const int cpu = bench::ChooseCpu(asked);
    // Pinned before the testers are made: the main-memory working set follows this CPU's cache.
    if (cpu < 0 || !bench::PinCallingThread(cpu)) {
        std::fprintf(stderr, "TesterComparison: cannot run on CPU %d (not one this process may use)\n", asked);
        return 2;
    }

    MemoryTester memory;
    CacheTester cache;
    CCPUTesterIC integer;
    CCPUTesterFPC floating;
    // One run of ours is one average over the same seconds as one run of a tool.
    for (CTesterBase* tester : std::initializer_list<CTesterBase*>{&memory, &cache, &integer, &floating}) {
        tester->SetPassCount(1);
        tester->SetPassTime(seconds);
    }
    const size_t memoryBytes = memory.GetBufferSize();
    const size_t l1 = cache.GetL1WorkingSet(), l2 = cache.GetL2WorkingSet();
    // sysbench takes power-of-two blocks only: the largest that still fits the cache's half.
    auto floorPow2 = [](size_t n) { size_t p = 1; while (p * 2 <= n) p *= 2; return p; };
    const size_t l1Block = floorPow2(l1);
    const int vector = qvx::VectorBytes();   // the kernels' width, the one likwid's kernel is chosen for
    const QString sysbenchL1 = QStringLiteral("sysbench makes 8-byte accesses on a %1 KiB block, ours %2-byte "
                                              "vectors on %3 KiB: in the cache the access width sets the pace")
                                   .arg(l1Block >> 10).arg(vector).arg(l1 >> 10);

    auto memoryBuffer = [&] { return memory.Buffer(); };
    auto cacheBuffer = [&] { return cache.Buffer(); };
    auto copyEquivalent = [&] {
        return 1.0 / (1.0 / memory.GetMainMemoryReadSpeed() + 1.0 / memory.GetMainMemoryWriteSpeed());
    };
    const std::vector<PAIR> pairs = {
        {"main memory read", QStringLiteral("sysbench memory read, same block"),
         [&] { return memory.GetMainMemoryReadSpeed(); },
         [&] { return bench::SysbenchMemory(cpu, memoryBytes, false, seconds); }, 0.95, {}, memoryBuffer},
        {"main memory write", QStringLiteral("sysbench memory write, same block"),
         [&] { return memory.GetMainMemoryWriteSpeed(); },
         [&] { return bench::SysbenchMemory(cpu, memoryBytes, true, seconds); }, 0.95, {}, memoryBuffer},
        {"main memory copy-equivalent 1/(1/r+1/w)", QStringLiteral("mbw memcpy, same size"), copyEquivalent,
         [&] { return bench::MbwMemcpy(cpu, memoryBytes, seconds); }, 0,
         QStringLiteral("ours is computed from separate read and write runs, mbw times real copies"), memoryBuffer},
        {"L1 read", QStringLiteral("likwid-bench load, same size"), [&] { return cache.GetL1CacheReadSpeed(); },
         [&] { return bench::LikwidBench(cpu, l1, false, vector, seconds); }, 0.8, {}, cacheBuffer},
        {"L1 write", QStringLiteral("likwid-bench store, same size"), [&] { return cache.GetL1CacheWriteSpeed(); },
         [&] { return bench::LikwidBench(cpu, l1, true, vector, seconds); }, 0.8, {}, cacheBuffer},
        {"L1 read", QStringLiteral("sysbench memory read, block in L1"), [&] { return cache.GetL1CacheReadSpeed(); },
         [&] { return bench::SysbenchMemory(cpu, l1Block, false, seconds); }, 0, sysbenchL1, cacheBuffer},
        {"L1 write", QStringLiteral("sysbench memory write, block in L1"), [&] { return cache.GetL1CacheWriteSpeed(); },
         [&] { return bench::SysbenchMemory(cpu, l1Block, true, seconds); }, 0, sysbenchL1, cacheBuffer},
        {"L2 read", QStringLiteral("likwid-bench load, same size"), [&] { return cache.GetL2CacheReadSpeed(); },
         [&] { return bench::LikwidBench(cpu, l2, false, vector, seconds); }, 0.9, {}, cacheBuffer},
        {"L2 write", QStringLiteral("likwid-bench store, same size"), [&] { return cache.GetL2CacheWriteSpeed(); },
         [&] { return bench::LikwidBench(cpu, l2, true, vector, seconds); }, 0.8, {}, cacheBuffer},
        {"integer (points, 1 thread)", QStringLiteral("sysbench cpu events/s, 1 thread"),
         [&] { return integer.GetBenchmarkValue(); }, [&] { return bench::SysbenchCpu(cpu, seconds); }, 0,
         QStringLiteral("ours runs a pi spigot (points), sysbench a prime search (events/s): other work, other units")},
        {"floating point (points = 10 MFLOPS)", {}, [&] { return floating.GetBenchmarkValue(); }, {}, 0, {}},
    };

    // bench/run hands its selection to each of its programs: none of these pairs, nothing to do.
    auto chosen = [&](const PAIR& pair) { return QLatin1String(pair.pszName).contains(only); };
    if (std::none_of(pairs.begin(), pairs.end(), chosen))
        return 0;
    const qvx::SHARED_CACHE last = qvx::LastLevelCache(qvx::kSysCpuRoot, {cpu});
    const QString source = last.uBytes == 0 ? QStringLiteral("CPU %1's caches unknown").arg(cpu)
                                            : QStringLiteral("from CPU %1's level-%2 cache of %3 KiB, shared by CPUs %4")
                                                  .arg(cpu).arg(last.nLevel).arg(last.uBytes >> 10).arg(last.sharedCpus);
    std::printf("Working sets: main memory %zu MiB (%s), L1 %zu KiB, L2 %zu KiB\n", memoryBytes >> 20,
                qPrintable(source), l1 >> 10, l2 >> 10);
    std::printf("Both sides on CPU %d (ours pinned, the tools under taskset); each the best of %d runs of %d s,\n"
                "the sides taking turns. Ratio: our best / its best, [lowest-highest ratio of one turn].\n"
                "A target is met when every turn's ratio reaches it, below when none does, else inconclusive.\n",
                cpu, repeat, seconds);
    std::printf("Load average at start: %s\n\n", qPrintable(bench::LoadAverage()));

    bool allMet = true;
    std::printf("%-38s %10s   %-36s %10s %6s %-13s %s\n", "ours (speeds in MB/s)", "best", "reference", "best",
                "ratio", "[turns]", "target");
    for (const PAIR& pair : pairs) {
        if (!chosen(pair))
            continue;
        std::vector<double> ours, reference;
        std::set<QString> ourPages, referencePages;
        for (int i = 0; i < repeat; ++i) {
            ours.push_back(pair.ours());
            if (pair.ourBuffer && ours.back() > 0)
                ourPages.insert(bench::Describe(bench::BackingAt(pair.ourBuffer())));
            if (pair.measureReference) {
                reference.push_back(pair.measureReference());
                referencePages.insert(bench::Describe(bench::LastPageBacking()));
            }
        }
        Report(pair, ours, reference, allMet);
        if (pair.ourBuffer && !reference.empty())
            std::printf("    pages: ours %s; %s %s (all its memory)\n", qPrintable(Backings(ourPages)),
                        qPrintable(pair.reference.section(QLatin1Char(' '), 0, 0)), qPrintable(Backings(referencePages)));
    }
    std::printf("\nLoad average at end: %s\n", qPrintable(bench::LoadAverage()));
    return allMet ? 0 : 1;
}
