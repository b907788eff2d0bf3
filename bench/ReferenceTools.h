#pragma once
// The reference tools of the comparison, each run as its own process on the same
// work as one of our testers. Every result is in MB/s (10^6 bytes per second) or,
// for the processor, events per second; 0 when the tool is missing or failed.
#include <QString>

#include <cstddef>

namespace bench {

// sysbench memory, one thread, sequential, blocks of blockBytes (a power of two)
// read or written over and over for the given seconds.
double SysbenchMemory(size_t blockBytes, bool write, int seconds);
// sysbench cpu, one thread: events (prime searches up to 10000) per second.
double SysbenchCpu(int seconds);
// mbw's memcpy test on two arrays of the given size: bytes copied per second.
double MbwMemcpy(size_t bytes);
// likwid-bench's load or store kernel for the widest vectors the processor has,
// one thread on a working set of the given size.
double LikwidBench(size_t bytes, bool store, int vectorBytes);

// The first line of the last tool's output that explains a 0, for the report.
QString LastProblem();

} // namespace bench
