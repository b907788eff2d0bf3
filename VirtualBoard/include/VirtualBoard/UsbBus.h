#pragma once
// The USB devices plugged into the simulated machine. Tests and the simulated
// build plug and unplug devices here; whoever watches the bus (the platform's
// device-change notifier) is told of every arrival and removal.
//
//   "usb": { "devices": [ "USB Keyboard",
//                         { "name": "USB Optical Mouse", "kind": "mouse", "vendor": "Vyk",
//                           "description": "...", "controller": 0 } ] }
//
// kind is "mouse", "keyboard", "optical" (a CD/DVD drive) or "storage". A device
// given by name only is a mouse, keyboard or optical drive when its name says so,
// else a storage device; it sits on controller 0.
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <vector>

#include "VirtualBoard/Machine.h"

namespace vb {

enum class UsbKind { Storage, Mouse, Keyboard, Optical };

struct UsbDevice {
    QString name, vendor, description;
    UsbKind kind = UsbKind::Storage;
    int controller = 0;                  // index among the board's USB controllers
};

class UsbBus final : public Component {
public:
    // true: a device arrived; false: a device left.
    using Listener = std::function<void(bool arrival)>;

    explicit UsbBus(Machine& machine);

    void Plug(const QString& name);
    void Plug(const UsbDevice& device);
    // False when no device of that name is plugged in.
    bool Unplug(const QString& name);
    QStringList Devices() const;
    std::vector<UsbDevice> Attached() const;

    // The device a bare name stands for.
    static UsbDevice FromName(const QString& name);

    // Watchers outlive a board reload (the bus object itself does not), so they are
    // kept process-wide. Subscribe returns an id for Unsubscribe; 0 is never used.
    static int Subscribe(Listener listener);
    static void Unsubscribe(int id);

private:
    static void Notify(bool arrival);
    mutable std::mutex m_mutex;
    std::vector<UsbDevice> m_devices;
};

} // namespace vb
