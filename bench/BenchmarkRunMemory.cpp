#include "BenchmarkRunMemory.h"

#include <QCheckBox>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

#include "MainWindow/ZAR.h"
#include "ProgramDriver.h"
#include "QVXLogic/Testers.h"
#include "ResidentMemory.h"
#include "Testing/PerformanceTest.h"

namespace bench {

namespace {

constexpr qint64 kLimitBytes = 20'000'000;   // after may exceed before by this much
constexpr int kRunTimeoutMs = 10 * 60 * 1000;
constexpr int kSettleMs = 500;
constexpr int kIntoPassesMs = 300;

struct RUN_FIGURES {
    qint64 before = 0, peak = 0, after = 0;
    bool bAsPlanned = false;   // ended, and an abort came while the memory item worked
};

bool Idle(const QPerformanceTest& page) { return !g_bBenchmarkRunning && !page.AnyThreadBusy(); }

// abortAbove > 0: Abort once the program has held that many bytes more than before
// for a moment (the memory item's buffer is then in use).
RUN_FIGURES MeasureRun(QPerformanceTest& page, QPushButton& run, qint64 abortAbove)
{
    RUN_FIGURES figures;
    Pump(kSettleMs);
    figures.before = ResidentBytes();
    // Without a fresh peak from the kernel, the samples alone give it.
    const bool bPeakReset = ResetPeakResident();
    qint64 sampled = figures.before;
    const auto sample = [&] { sampled = std::max(sampled, ResidentBytes()); };
    run.click();
    bool bAborted = false;
    if (abortAbove > 0) {
        PumpUntil([&] { return ResidentBytes() > figures.before + abortAbove || Idle(page); }, kRunTimeoutMs, sample);
        // Into the timed passes, past the buffer's first touch, which a stop also ends.
        PumpUntil([] { return false; }, kIntoPassesMs, sample);
        bAborted = g_bBenchmarkRunning;
        if (bAborted)
            run.click();
    }
    const bool bEnded = PumpUntil([&] { return Idle(page); }, kRunTimeoutMs, sample);
    Pump(kSettleMs);
    figures.peak = bPeakReset ? std::max(sampled, PeakResidentBytes()) : sampled;
    figures.after = ResidentBytes();
    figures.bAsPlanned = bEnded && (abortAbove == 0 || bAborted);
    return figures;
}

bool Report(const char* pszRun, const RUN_FIGURES& f)
{
    const bool bMet = f.bAsPlanned && f.after - f.before <= kLimitBytes;
    std::printf("%-10s %12.1f %12.1f %12.1f %+14.1f   %s\n", pszRun, Megabytes(f.before), Megabytes(f.peak),
                Megabytes(f.after), Megabytes(f.after - f.before),
                !f.bAsPlanned ? "(RUN DID NOT GO AS PLANNED)" : bMet ? "(limit met)" : "(ABOVE LIMIT)");
    return bMet;
}

} // namespace

bool MeasureBenchmarkRuns(ZAR& window)
{
    const QString group = QObject::tr("Performance\nControl"), name = QObject::tr("Benchmark");
    auto* page = dynamic_cast<QPerformanceTest*>(window.GetWidget(group, name));
    auto* run = page ? page->findChild<QPushButton*>(QStringLiteral("btnRun")) : nullptr;
    if (!run || !window.ShowWidget(group, name)) {
        std::printf("memory-use: the program has no Benchmark page here.\n");
        return false;
    }
    for (QCheckBox* box : page->findChildren<QCheckBox*>())
        box->setChecked(true);

    const qint64 workingSet = static_cast<qint64>(CMemoryTester().GetBufferSize());
    std::printf("Program resident memory around Benchmark runs of all four items (main-memory working set %lld MiB;\n"
                "limit: after at most %.0f MB above before)\n",
                workingSet >> 20, Megabytes(kLimitBytes));
    std::printf("%-10s %12s %12s %12s %14s\n", "run", "before MB", "peak MB", "after MB", "after-before");
    // The abort first: it must see the memory item's buffer come.
    const bool bAborted = Report("aborted", MeasureRun(*page, *run, workingSet - workingSet / 16));
    const bool bCompleted = Report("completed", MeasureRun(*page, *run, 0));
    std::printf("\n");
    return bCompleted && bAborted;
}

} // namespace bench
