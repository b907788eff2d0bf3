// Vyk Velocrest: the whole program runs in RunApplication.
#include "Startup/RunApplication.h"

int main(int argc, char* argv[])
{
    return RunApplication(argc, argv);
}
