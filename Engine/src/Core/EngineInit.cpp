#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

bool g_InitEngine()
{
    g_InitCPUInfo();
    g_Log.Write(ltInfo, "Engine library initialized successfully.\n");
    return true;
}

bool g_UnInitEngine()
{
    return true;
}
