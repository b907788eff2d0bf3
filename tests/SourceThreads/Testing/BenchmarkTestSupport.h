#pragma once
// Shared by the Benchmark tests: the worked example of scores and waits for a run's end.
#include <QThread>

#include "Testing/BenchmarkThreads.h"
#include "support/FixedTesters.h"

namespace test {

// Tester values that give the scores 4936 (on four processors), 812, 250 and 731.
inline void SetExampleValues(FixedTesters& fixed)
{
    fixed.Set(tqInteger, 1234.9);
    fixed.Set(tqFloatingPoint, 812.7);
    fixed.Set(tqMemoryRead, 3000.5);
    fixed.Set(tqMemoryWrite, 2000.4);
    fixed.Set(tqL1Read, 7400);
    fixed.Set(tqL1Write, 7220);
}

// Polls done() without a timer, as the page polls its flags; false after a long while.
template <class Done>
bool WaitUntil(Done done)
{
    for (int i = 0; i < 10'000'000 && !done(); ++i)
        QThread::yieldCurrentThread();
    return done();
}

inline bool WaitFinished(const CPerformanceTestThread& thread)
{
    return WaitUntil([&] { return thread.IsFinished(); });
}

} // namespace test
