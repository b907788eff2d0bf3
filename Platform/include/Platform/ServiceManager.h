#pragma once
// The service manager as the Engine needs it to install its kernel driver: create,
// open, start, stop and delete a service. The table is shared by every process of
// this user (a file under RuntimeDir()), so two running copies of the program see
// one driver. A failed call returns false or null and sets GetLastError().
//
// Deleting marks a service for deletion; it goes when it is stopped and its last
// handle is closed. Faults: "scm-unavailable" (the manager cannot be opened),
// "scm-create-fails", "scm-stop-fails", "scm-delete-stuck" (a deleted service
// never goes away).
#include <cstdint>
#include <string>

namespace plat {

struct ServiceHandleData;
using SC_HANDLE = ServiceHandleData*;

enum : uint32_t {
    SERVICE_KERNEL_DRIVER = 1,
    SERVICE_DEMAND_START = 3,
    SERVICE_ERROR_NORMAL = 1,
};

SC_HANDLE OpenSCManager();
SC_HANDLE OpenService(SC_HANDLE manager, const char16_t* name);
SC_HANDLE CreateService(SC_HANDLE manager, const char16_t* name, const char16_t* displayName, uint32_t type,
                        uint32_t startType, uint32_t errorControl, const char16_t* binaryPath);
// Starting checks that the binary exists (kErrorFileNotFound otherwise); a running
// service gives kErrorServiceAlreadyRunning.
bool StartService(SC_HANDLE service);
// A stopped service gives kErrorServiceNotActive.
bool ControlServiceStop(SC_HANDLE service);
bool DeleteService(SC_HANDLE service);
bool CloseServiceHandle(SC_HANDLE handle);

// For the driver-I/O stand-in and tests: the state of a service.
struct ServiceStatus {
    bool exists = false;
    bool running = false;
    bool deletePending = false;
    std::u16string binaryPath;
};
ServiceStatus QueryServiceStatus(const char16_t* name);

} // namespace plat
