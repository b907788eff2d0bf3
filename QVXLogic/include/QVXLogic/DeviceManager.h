#pragma once
// The device manager: hands out the library's device objects by type and index.
// Devices stay the library's; an object is never freed before UnInit, even when
// Refresh finds its device gone (another thread or a dialog may still hold it).
#include <memory>
#include <mutex>
#include <vector>

#include "QVXLogic/Device.h"

class QVXLOGIC_API CDeviceManager {
public:
    CDeviceManager();
    ~CDeviceManager();
    CDeviceManager(const CDeviceManager&) = delete;
    CDeviceManager& operator=(const CDeviceManager&) = delete;

    // boardId is only logged: the simulated board decides what exists.
    bool Init(const char* boardId);
    bool UnInit();            // harmless when Init never ran or failed
    bool Refresh();           // GUI thread; keeps objects of devices still present

    // Thread-safe against Refresh. Indexes of one type are contiguous from 0.
    IDevice* GetDevice(QVX_DEVICE_TYPE type, unsigned long index);
    unsigned long GetDeviceCount(QVX_DEVICE_TYPE type);
    // Devices of any type whose GetClassName equals className; null counts 0.
    unsigned long GetDeviceCount(const char16_t* className);

private:
    bool _Detect(std::vector<std::unique_ptr<IDevice>>& found);

    std::mutex m_mutex;
    bool m_bInitialized = false;
    std::vector<std::unique_ptr<IDevice>> m_Devices;   // current population
    std::vector<std::unique_ptr<IDevice>> m_Retired;   // gone, kept until UnInit
};

extern QVXLOGIC_API CDeviceManager g_DeviceManager;

// GetDevice with a type check: the typed interface, or null.
template <class T>
T* QvxGetDevice(QVX_DEVICE_TYPE type, unsigned long index)
{
    IDevice* device = g_DeviceManager.GetDevice(type, index);
    if (!device || device->GetType() != type)
        return nullptr;
    return static_cast<T*>(device);
}
