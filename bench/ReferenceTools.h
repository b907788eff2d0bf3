#pragma once
// The reference tools of the comparison, each run as its own process on one CPU
// (the one our testers are pinned to) on the work of one of our testers, for about
// the given seconds: one run gives its average over that time. Every result is in
// MB/s (10^6 bytes per second) or, for the processor, events per second; 0 when
// the tool is missing or failed.
#include <QString>
#include <QStringList>

#include <cstddef>

#include "PageBacking.h"

namespace bench {

// Runs program with arguments on cpu alone; its output, or an empty text on failure
// (LastProblem says why). With lookAtPagesMs, its pages are looked at that long after
// its start, while it works on the buffer it made (taskset becomes the tool: one process).
QString RunTool(int cpu, const QString& program, const QStringList& arguments, int lookAtPagesMs = -1,
                int timeoutSeconds = 120);

// sysbench memory, one thread, sequential, blocks of blockBytes (a power of two)
// read or written over and over.
double SysbenchMemory(int cpu, size_t blockBytes, bool write, int seconds);
// sysbench cpu, one thread: events (prime searches up to 10000) per second.
double SysbenchCpu(int cpu, int seconds);
// mbw's memcpy test on two arrays of the given size: bytes copied per second, over
// as many copies as last about the given seconds.
double MbwMemcpy(int cpu, size_t bytes, int seconds);
// likwid-bench's load or store kernel for the widest vectors the processor has,
// one thread on a working set of the given size.
double LikwidBench(int cpu, size_t bytes, bool store, int vectorBytes, int seconds);

// The first line of the last tool's output that explains a 0, for the report.
QString LastProblem();
// The pages of the last tool run, looked at halfway through it (unknown when it had ended).
PAGE_BACKING LastPageBacking();

} // namespace bench
