#include "VirtualBoard/UsbBus.h"

#include <QJsonArray>

#include <map>
#include <mutex>

namespace vb {

namespace {
std::mutex g_listenerMutex;
std::map<int, UsbBus::Listener>& Listeners()
{
    static std::map<int, UsbBus::Listener> listeners;
    return listeners;
}
int g_nextId = 1;
}

UsbBus::UsbBus(Machine& machine)
{
    for (const QJsonValue& device : machine.Section(QStringLiteral("usb")).value(QStringLiteral("devices")).toArray())
        m_devices << device.toString();
}

void UsbBus::Plug(const QString& name)
{
    m_devices << name;
    Machine::Instance().GetJournal().Record(QStringLiteral("usb: arrival %1").arg(name).toStdString());
    Notify(true);
}

bool UsbBus::Unplug(const QString& name)
{
    if (!m_devices.removeOne(name))
        return false;
    Machine::Instance().GetJournal().Record(QStringLiteral("usb: removal %1").arg(name).toStdString());
    Notify(false);
    return true;
}

QStringList UsbBus::Devices() const { return m_devices; }

int UsbBus::Subscribe(Listener listener)
{
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    const int id = g_nextId++;
    Listeners().emplace(id, std::move(listener));
    return id;
}

void UsbBus::Unsubscribe(int id)
{
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    Listeners().erase(id);
}

void UsbBus::Notify(bool arrival)
{
    // Called without the lock held, so a listener may subscribe or unsubscribe.
    std::map<int, Listener> listeners;
    {
        std::lock_guard<std::mutex> lock(g_listenerMutex);
        listeners = Listeners();
    }
    for (auto& [id, listener] : listeners)
        listener(arrival);
}

} // namespace vb
