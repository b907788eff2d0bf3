// The processor time the running program spends on what the user does:
//   ProgramSpeed diagram-show   the Diagram page's first and second show
// Exit code 0 when every target is met, 1 when one is missed, 2 on a wrong call.
#include <cstdio>
#include <cstring>

#include "DiagramShow.h"
#include "LoadAverage.h"
#include "ProgramDriver.h"

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "diagram-show") != 0) {
        std::fprintf(stderr, "usage: ProgramSpeed diagram-show\n");
        return 2;
    }
    std::printf("load average before: %s\n", qPrintable(bench::LoadAverage()));
    // The program sees only its own name: the bench's arguments are not its own.
    int nProgramArgc = 1;
    const bool bMet = bench::RunProgramWith(nProgramArgc, argv, bench::MeasureDiagramShows);
    std::printf("load average after: %s\n\n", qPrintable(bench::LoadAverage()));
    std::fflush(stdout);
    return bMet ? 0 : 1;
}
