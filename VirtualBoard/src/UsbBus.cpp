#include "VirtualBoard/UsbBus.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

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
    for (const QJsonValue& v : machine.Section(QStringLiteral("usb")).value(QStringLiteral("devices")).toArray()) {
        if (v.isString()) {
            m_devices.push_back(FromName(v.toString()));
            continue;
        }
        const QJsonObject o = v.toObject();
        UsbDevice d = FromName(o.value(QStringLiteral("name")).toString());
        const QString kind = o.value(QStringLiteral("kind")).toString();
        if (kind == QLatin1String("mouse"))
            d.kind = UsbKind::Mouse;
        else if (kind == QLatin1String("keyboard"))
            d.kind = UsbKind::Keyboard;
        else if (kind == QLatin1String("optical"))
            d.kind = UsbKind::Optical;
        else if (kind == QLatin1String("storage"))
            d.kind = UsbKind::Storage;
        d.vendor = o.value(QStringLiteral("vendor")).toString(d.vendor);
        d.description = o.value(QStringLiteral("description")).toString(d.description);
        d.controller = o.value(QStringLiteral("controller")).toInt(0);
        m_devices.push_back(d);
    }
}

UsbDevice UsbBus::FromName(const QString& name)
{
    UsbDevice d;
    d.name = name;
    d.vendor = QStringLiteral("Vyk");
    if (name.contains(QLatin1String("mouse"), Qt::CaseInsensitive))
        d.kind = UsbKind::Mouse;
    else if (name.contains(QLatin1String("keyboard"), Qt::CaseInsensitive))
        d.kind = UsbKind::Keyboard;
    else if (name.contains(QLatin1String("DVD"), Qt::CaseInsensitive) || name.contains(QLatin1String("CD-ROM"), Qt::CaseInsensitive))
        d.kind = UsbKind::Optical;
    d.description = d.kind == UsbKind::Storage   ? QStringLiteral("USB Mass Storage Device")
                    : d.kind == UsbKind::Optical ? QStringLiteral("CD-ROM drive")
                                                 : QStringLiteral("USB Human Interface Device");
    return d;
}

void UsbBus::Plug(const QString& name) { Plug(FromName(name)); }

void UsbBus::Plug(const UsbDevice& device)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_devices.push_back(device);
    }
    Machine::Instance().GetJournal().Record(QStringLiteral("usb: arrival %1").arg(device.name).toStdString());
    Notify(true);
}

bool UsbBus::Unplug(const QString& name)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = std::find_if(m_devices.begin(), m_devices.end(), [&](const UsbDevice& d) { return d.name == name; });
        if (it == m_devices.end())
            return false;
        m_devices.erase(it);
    }
    Machine::Instance().GetJournal().Record(QStringLiteral("usb: removal %1").arg(name).toStdString());
    Notify(false);
    return true;
}

QStringList UsbBus::Devices() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList names;
    for (const UsbDevice& d : m_devices)
        names << d.name;
    return names;
}

std::vector<UsbDevice> UsbBus::Attached() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices;
}

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
