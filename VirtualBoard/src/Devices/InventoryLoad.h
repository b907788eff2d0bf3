#pragma once
#include <QJsonObject>

#include "VirtualBoard/Devices/InventoryState.h"

namespace vb {

class Machine;

// Reads the inventory devices from the board file's "devices" section, the BIOS
// identity from the SMBIOS table the firmware presents, and the PCI identity of
// controllers from the PCI bus.
void LoadInventory(Machine& machine, const QJsonObject& devices, InventoryState& inventory);

} // namespace vb
