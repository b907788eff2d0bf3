#pragma once
#include <QJsonObject>
#include <QString>

#include <vector>

#include "VirtualBoard/Firmware/FirmwareTables.h"

namespace vb::tables {

struct AcpiLayout {
    std::vector<FirmwareBlob> blobs;
    uint64_t ecamBase = 0;
};

// Lays out the root pointer and the ACPI tables the "acpi" section describes.
// Raw table images it names (relative to boardDir) replace the generated table of
// the same signature; the root pointer and root tables are always built around them.
AcpiLayout BuildAcpi(const QJsonObject& acpi, const QString& boardDir, int cores, uint64_t defaultEcamBase,
                     uint8_t defaultEndBus);

} // namespace vb::tables
