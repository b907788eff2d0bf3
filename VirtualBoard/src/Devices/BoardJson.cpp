#include "BoardJson.h"

#include <QJsonArray>

#include <cmath>

#include "VirtualBoard/Machine.h"
#include "VirtualBoard/PciBus.h"

namespace vb::json {

QString Key(const char* k) { return QString::fromLatin1(k); }

double Num(const QJsonObject& o, const char* key, double fallback)
{
    const QJsonValue v = o.value(Key(key));
    if (v.isDouble())
        return v.toDouble();
    if (v.isString())
        return static_cast<double>(ToU64(v, static_cast<uint64_t>(fallback)));
    return fallback;
}

std::string Text(const QJsonObject& o, const char* key, const char* fallback)
{
    return o.value(Key(key)).toString(QString::fromLatin1(fallback)).toStdString();
}

std::vector<double> Numbers(const QJsonValue& v)
{
    std::vector<double> out;
    for (const QJsonValue& x : v.toArray())
        out.push_back(x.isNull() ? std::nan("") : x.toDouble());
    return out;
}

void ReadIdentity(const QJsonObject& o, DeviceIdentity& id, bool presentByDefault, const char* name,
                  const char* className, Machine* machine)
{
    id.present = o.isEmpty() ? false : o.value(Key("present")).toBool(presentByDefault);
    id.name = Text(o, "name", name);
    id.description = Text(o, "description", name);
    id.vendor = Text(o, "vendor", "Vyk");
    id.className = Text(o, "class", className);
    PciLocation at;
    uint8_t cfg[12] = {};
    const bool onPci = machine && PciBus::ParseLocation(o.value(Key("pci")).toString(), &at)
        && machine->Get<PciBus>().ReadConfig(at, 0, cfg, sizeof cfg);
    const auto word = [&](int i) { return static_cast<double>(cfg[i] | cfg[i + 1] << 8); };
    id.vendorId = static_cast<uint32_t>(Num(o, "vendorId", onPci ? word(0) : 0x1F2A));
    id.deviceId = static_cast<uint32_t>(Num(o, "deviceId", onPci ? word(2) : 0));
    id.revision = static_cast<uint32_t>(Num(o, "revision", onPci ? cfg[8] : 0));
    id.bus = static_cast<uint32_t>(Num(o, "bus", onPci ? at.bus : 0));
    id.device = static_cast<uint32_t>(Num(o, "device", onPci ? at.device : 0));
    id.function = static_cast<uint32_t>(Num(o, "function", onPci ? at.function : 0));
}

} // namespace vb::json
