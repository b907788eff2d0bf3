#include "VirtualBoard/DiskClass.h"

#include <QJsonArray>

namespace vb {

DiskClass::DiskClass(Machine& machine)
{
    for (const QJsonValue& entry : machine.Section(QStringLiteral("diskClass")).value(QStringLiteral("devices")).toArray()) {
        const QJsonObject o = entry.toObject();
        DiskClassDevice device;
        device.hasHardwareIds = o.contains(QStringLiteral("hardwareIds"));
        for (const QJsonValue& id : o.value(QStringLiteral("hardwareIds")).toArray())
            device.hardwareIds << id.toString();
        device.hasUiNumber = o.contains(QStringLiteral("uiNumber"));
        device.uiNumber = static_cast<uint32_t>(ToU64(o.value(QStringLiteral("uiNumber"))));
        device.enumError = static_cast<uint32_t>(ToU64(o.value(QStringLiteral("enumError"))));
        device.hardwareIdError = static_cast<uint32_t>(ToU64(o.value(QStringLiteral("hardwareIdError"))));
        device.uiNumberError = static_cast<uint32_t>(ToU64(o.value(QStringLiteral("uiNumberError"))));
        m_devices.push_back(device);
    }
}

bool DiskClass::HasDiskNumber(uint32_t number) const
{
    for (const DiskClassDevice& device : m_devices)
        if (device.hasUiNumber && device.uiNumber == number)
            return true;
    return false;
}

} // namespace vb
