#pragma once
// What holds the Engine together: start-up and shutdown, the utility functions and
// the exported option constants.
#include <cstdint>

// Result codes of the graphics clock functions.
extern const uint32_t TOOLLIB_SUCCESS;
extern const uint32_t TOOLLIB_FAIL;
extern const uint32_t TOOLLIB_UPLL_DISABLED;
extern const uint32_t TOOLLIB_NOT_SUPPORTED;
// Flag bits passed to the graphics clock tool.
extern const uint32_t USE_3DCLOCKS;
extern const uint32_t RESTORE_CLOCKS;
extern const uint32_t FORCE3D_DYNAMIC;
extern const uint32_t NO_UNLOAD_DRIVER;
extern const uint32_t NO_DISABLE_DISPLAYS;
extern const uint32_t VDDC;
extern const uint32_t MVDDC;
extern const uint32_t MVDDQ;
extern const uint32_t VDDCI;
extern const uint32_t USE_3DVOLTAGE;
extern const uint32_t SET_MANUALFANCONTROL;
extern const uint32_t DRIVER_SUPPORT_ENABLED;
extern const uint32_t INCLUDE_DPM_CLOCKS;

// Opens the driver, the firmware connections and the BIOS lists. On a fatal failure
// everything opened so far is closed again and false is returned.
bool g_InitEngine();
// Closes what g_InitEngine opened; safe to call more than once. Always true.
bool g_UnInitEngine();

// Folder of the process's executable (not of this library), without the trailing
// separator; the same buffer on every call. Empty when the path cannot be read whole.
const char16_t* g_GetApplicationPath();

// Processor clock in MHz, measured against the time-stamp counter. A thread priority
// of 0x7FFFFFFF and a priority class of 0 leave those priorities alone.
double g_GetCPUFrequency(unsigned loops, unsigned milliseconds, int threadPriority, uint32_t priorityClass);

// Silicon revision and socket texts of a CPUID function-1 signature.
const char16_t* g_GetCPURevision(uint32_t signature);
const char16_t* g_GetCPUPackage(uint32_t signature);
void g_InitCPUInfo();

// The processor's current VID code; 0 when it cannot be read.
uint32_t g_GetVID();

bool g_IsAdministratorAccount();

// The library's last-error code: 1 until someone stores another; reading resets it to 1.
unsigned g_GetLastError();
void g_SetLastError(unsigned code);

// Bus, device and function numbers of a location text such as
// "PCI bus 3, device 0, function 1".
bool g_GetDeviceLocation(const char16_t* pszLocation, uint32_t& bus, uint32_t& device, uint32_t& function);

// 1 when the process now holds the enabled shutdown privilege, else 0.
int g_EnableShutdownPrivilege();

uint64_t RDTSC();
