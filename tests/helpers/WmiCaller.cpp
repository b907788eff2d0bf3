// Calls the firmware's command channel a number of times: the other process in the
// test that two programs' firmware calls never overlap. Exit code 0 when every call
// succeeded.
#include <QCoreApplication>

#include <cstdlib>
#include <cstring>

#include "Engine/VykBIOS.h"
#include "Engine/WmiHandler.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::atoi(argv[1]) : 100;
    if (!g_WMIHandler.Connect(u"root\\wmi"))
        return 2;
    for (int i = 0; i < calls; ++i) {
        uint8_t command[8] = {0x03, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00};   // read item 1
        uint8_t result[8] = {};
        if (g_VykBIOS.RunCommand(command, sizeof command, result, sizeof result) != briSuccess)
            return 3;
    }
    g_WMIHandler.Disconnect();
    return 0;
}
