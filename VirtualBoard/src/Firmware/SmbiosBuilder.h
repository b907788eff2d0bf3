#pragma once
#include <QJsonObject>
#include <QString>

#include <vector>

#include "VirtualBoard/Firmware/FirmwareTables.h"

namespace vb {
class Processor;
}

namespace vb::tables {

// The SMBIOS entry point and structure table the "smbios" section describes (types
// 0, 1, 2, 3, one 4 per socket, 127), or a raw structure table image it names.
std::vector<FirmwareBlob> BuildSmbios(const QJsonObject& smbios, const QString& boardDir, const Processor& cpu,
                                      int sockets);

} // namespace vb::tables
