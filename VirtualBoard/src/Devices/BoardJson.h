#pragma once
// Reading the board file's "devices" section: numbers (JSON numbers or "0x..."
// texts), texts, number lists and the identity every device carries.
#include <QJsonObject>
#include <QJsonValue>

#include <string>
#include <vector>

#include "VirtualBoard/Devices/DeviceState.h"

namespace vb {

class Machine;

namespace json {

QString Key(const char* k);
double Num(const QJsonObject& o, const char* key, double fallback);
std::string Text(const QJsonObject& o, const char* key, const char* fallback = "");
// null entries become NaN.
std::vector<double> Numbers(const QJsonValue& v);

// Texts and PCI position of a device. An entry that names its PCI function
// ("pci": "00:14.0") takes vendor, device and revision from that function of the
// PCI bus model, so the PCI list and the device agree; ids given in the entry win.
// An empty entry is absent; otherwise "present" decides (presentByDefault when missing).
void ReadIdentity(const QJsonObject& o, DeviceIdentity& id, bool presentByDefault, const char* name,
                  const char* className, Machine* machine = nullptr);

} // namespace json
} // namespace vb
