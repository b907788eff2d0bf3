#pragma once
// Notification of USB devices that arrive or leave, for one window. The default
// backend watches the simulated machine's USB bus; a test may install its own.
// Callbacks run on the thread that plugged the device (the GUI thread here).
#include <functional>
#include <memory>

namespace plat {

class IDeviceChangeNotifier {
public:
    virtual ~IDeviceChangeNotifier() = default;
    // Starts watching; false when registration is refused. A second Register
    // replaces the first.
    virtual bool Register(std::function<void()> changed) = 0;
    // Stops watching; harmless when not registered.
    virtual void Unregister() = 0;
};

// A new notifier of the current backend (fault switch
// "platform:DeviceNotification.Register" makes registration fail).
std::unique_ptr<IDeviceChangeNotifier> CreateDeviceChangeNotifier();

// Tests: replaces the backend's factory; an empty function restores the default.
void SetDeviceChangeNotifierFactory(std::function<std::unique_ptr<IDeviceChangeNotifier>()> factory);

} // namespace plat
