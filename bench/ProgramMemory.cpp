// The whole program's resident memory, measured while it is driven as a user would:
//   ProgramMemory memory-use            a Benchmark run completed and one aborted:
//                                       before, peak and after each
//   ProgramMemory soak [--showings N]   every page of the menu shown in turn, at
//                                       least N showings (2000): growth a showing after the
//                                       first round
// Exit code 0 when every limit is met, 1 when one is missed, 2 on a wrong call.
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "BenchmarkRunMemory.h"
#include "PageSoak.h"
#include "ProgramDriver.h"

int main(int argc, char** argv)
{
    const char* pszCommand = argc > 1 ? argv[1] : "";
    int nShowings = 2000;
    if (argc > 3 && std::strcmp(argv[2], "--showings") == 0)
        nShowings = std::max(1, QString::fromLocal8Bit(argv[3]).toInt());
    std::function<bool(ZAR&)> scenario;
    if (std::strcmp(pszCommand, "memory-use") == 0)
        scenario = bench::MeasureBenchmarkRuns;
    else if (std::strcmp(pszCommand, "soak") == 0)
        scenario = [nShowings](ZAR& window) { return bench::SoakPages(window, nShowings); };
    if (!scenario) {
        std::fprintf(stderr, "usage: ProgramMemory memory-use | soak [--showings N]\n");
        return 2;
    }
    // The program sees only its own name: the bench's arguments are not its own.
    int nProgramArgc = 1;
    const bool bMet = bench::RunProgramWith(nProgramArgc, argv, scenario);
    std::fflush(stdout);
    return bMet ? 0 : 1;
}
