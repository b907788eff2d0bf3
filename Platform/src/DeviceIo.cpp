#include "Platform/DeviceIo.h"
#include "Platform/LastError.h"
#include "Platform/ServiceManager.h"

#include "VirtualBoard/KernelDriver.h"

#include <QFileInfo>
#include <QString>
#include <map>
#include <mutex>

namespace plat {

namespace {

// The one driver the simulated machine answers for.
const char16_t kDriverDevice[] = u"\\\\.\\QVXDriver";
const char16_t kDriverService[] = u"QVXDriver";

std::mutex g_mutex;
std::map<DeviceHandle, int> g_open;          // handle -> unused
DeviceHandle g_next = 0x100;

} // namespace

DeviceHandle OpenDevice(const char16_t* name)
{
    if (!name || std::u16string(name) != kDriverDevice) {
        SetLastError(kErrorFileNotFound);
        return INVALID_HANDLE_VALUE;
    }
    const ServiceStatus s = QueryServiceStatus(kDriverService);
    if (!s.exists || !s.running || !QFileInfo(QString::fromStdU16String(s.binaryPath)).isFile()) {
        SetLastError(kErrorFileNotFound);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    const DeviceHandle h = g_next++;
    g_open[h] = 0;
    return h;
}

bool CloseDevice(DeviceHandle device)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_open.erase(device) == 0) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    return true;
}

bool DeviceIoControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inLength, void* out,
                     uint32_t outLength, uint32_t* bytesReturned)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_open.count(device)) {
            SetLastError(kErrorInvalidHandle);
            return false;
        }
    }
    uint32_t returned = 0;
    const bool ok = vb::Machine::Instance().Get<vb::KernelDriver>().Control(code, in, inLength, out, outLength, &returned);
    if (bytesReturned)
        *bytesReturned = returned;
    if (!ok)
        SetLastError(kErrorGenFailure);
    return ok;
}

} // namespace plat
