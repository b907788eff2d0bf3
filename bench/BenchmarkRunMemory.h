#pragma once
// The program's resident memory around runs of its Benchmark page.
class ZAR;

namespace bench {

// One completed run and one aborted while the memory item works: resident memory
// before, at the peak and after each (once its threads have ended). Prints the
// figures; true when after is within the limit of before both times.
bool MeasureBenchmarkRuns(ZAR& window);

} // namespace bench
