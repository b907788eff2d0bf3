#pragma once
// The USB devices plugged into the simulated machine. Tests and the simulated
// build plug and unplug devices here; whoever watches the bus (the platform's
// device-change notifier) is told of every arrival and removal.
#include <QString>
#include <QStringList>

#include <functional>

#include "VirtualBoard/Machine.h"

namespace vb {

class UsbBus final : public Component {
public:
    // true: a device arrived; false: a device left.
    using Listener = std::function<void(bool arrival)>;

    // Reads "usb": {"devices": ["USB Keyboard", ...]} from the board.
    explicit UsbBus(Machine& machine);

    void Plug(const QString& name);
    // False when no device of that name is plugged in.
    bool Unplug(const QString& name);
    QStringList Devices() const;

    // Watchers outlive a board reload (the bus object itself does not), so they are
    // kept process-wide. Subscribe returns an id for Unsubscribe; 0 is never used.
    static int Subscribe(Listener listener);
    static void Unsubscribe(int id);

private:
    static void Notify(bool arrival);
    QStringList m_devices;
};

} // namespace vb
