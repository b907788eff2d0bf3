// The device manager. Device objects are views onto the simulated board; a
// Refresh keeps the object of every device still present and retires the rest,
// which live on until UnInit because other threads and dialogs may hold them.
#include "QVXLogic/DeviceManager.h"

#include <algorithm>

#include "Devices/DeviceSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/TestCenter.h"

IDevice::~IDevice() = default;

CDeviceManager::CDeviceManager() = default;
CDeviceManager::~CDeviceManager() = default;

bool CDeviceManager::Init(const char* boardId)
{
    g_Log.Write(ltInfo, "QVXLogic: board \"%s\"\n", boardId ? boardId : "");
    LOG_PROCESS_ERROR(!qvx::Board().InitFails());
    LOG_PROCESS_ERROR(!qvx::Refused("Manager", "Init"));
    std::vector<std::unique_ptr<IDevice>> found;
    LOG_PROCESS_ERROR(_Detect(found));
    std::lock_guard<std::mutex> lock(m_mutex);
    // A second Init starts over; objects handed out before stay valid until UnInit.
    for (auto& device : m_Devices)
        m_Retired.push_back(std::move(device));
    m_Devices = std::move(found);
    m_bInitialized = true;
    return true;
}

bool CDeviceManager::UnInit()
{
    // Stress work reads the board these devices stand for: it ends first.
    g_TestCenter.Stop();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_Devices.clear();
    m_Retired.clear();
    m_bInitialized = false;
    return true;
}

bool CDeviceManager::Refresh()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        LOG_PROCESS_ERROR(m_bInitialized);
    }
    LOG_PROCESS_ERROR(!qvx::Refused("Manager", "Refresh"));
    std::vector<std::unique_ptr<IDevice>> found;
    LOG_PROCESS_ERROR(_Detect(found));
    std::lock_guard<std::mutex> lock(m_mutex);
    // A device still present keeps its object: same type, index and name.
    for (auto& fresh : found) {
        const auto same = std::find_if(m_Devices.begin(), m_Devices.end(), [&](const std::unique_ptr<IDevice>& old) {
            return old && old->GetType() == fresh->GetType() && old->GetIndex() == fresh->GetIndex()
                && std::u16string(old->GetName()) == fresh->GetName();
        });
        if (same != m_Devices.end())
            fresh = std::move(*same);
    }
    for (auto& gone : m_Devices)
        if (gone)
            m_Retired.push_back(std::move(gone));
    m_Devices = std::move(found);
    return true;
}

IDevice* CDeviceManager::GetDevice(QVX_DEVICE_TYPE type, unsigned long index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    unsigned long seen = 0;
    for (const auto& device : m_Devices)
        if (device->GetType() == type && seen++ == index)
            return device.get();
    return nullptr;
}

unsigned long CDeviceManager::GetDeviceCount(QVX_DEVICE_TYPE type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<unsigned long>(std::count_if(m_Devices.begin(), m_Devices.end(),
                                                    [type](const auto& d) { return d->GetType() == type; }));
}

unsigned long CDeviceManager::GetDeviceCount(const char16_t* className)
{
    if (!className)
        return 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::u16string wanted(className);
    return static_cast<unsigned long>(std::count_if(m_Devices.begin(), m_Devices.end(),
                                                    [&](const auto& d) { return wanted == d->GetClassName(); }));
}
