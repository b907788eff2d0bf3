#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

// Until the driver client is in place every request is refused.
CDriverHandler g_DriverHandler;

IDriverHandler& g_GetDriverHandler() { return g_DriverHandler; }

bool CDriverHandler::Init()
{
    LOG_PROCESS_ERROR(!"driver not available");
    return false;
}

bool CDriverHandler::UnInit() { return true; }

bool CDriverHandler::RDMSR(uint32_t, uint32_t&, uint32_t&)
{
    LOG_PROCESS_ERROR(!"driver not available");
    return false;
}

char* CDriverHandler::MapPhysicalMemory(uint64_t, uint32_t)
{
    LOG_PROCESS_ERROR_RET(!"driver not available", nullptr);
    return nullptr;
}

bool CDriverHandler::UnmapPhysicalMemory(char*) { return false; }

bool CDriverHandler::ReadMemory(uint64_t, uint32_t, char*)
{
    LOG_PROCESS_ERROR(!"driver not available");
    return false;
}
