#pragma once
// The disk drives that the operating system's device setup lists under the
// disk-drive class, as the board file describes them:
//   "diskClass": {"devices": [{"hardwareIds": ["IDE\\Disk...", "GenDisk"], "uiNumber": 1}, ...]}
// A device without "hardwareIds" or "uiNumber" lacks that property. A device can
// also carry the error its enumeration ("enumError") or one of its property reads
// ("hardwareIdError", "uiNumberError") fails with, so every error path is reachable.
#include <QStringList>

#include <cstdint>
#include <vector>

#include "VirtualBoard/Machine.h"

namespace vb {

struct DiskClassDevice {
    bool hasHardwareIds = false;
    QStringList hardwareIds;
    bool hasUiNumber = false;
    uint32_t uiNumber = 0;
    uint32_t enumError = 0;         // 0: no error
    uint32_t hardwareIdError = 0;
    uint32_t uiNumberError = 0;
};

class DiskClass final : public Component {
public:
    explicit DiskClass(Machine& machine);
    const std::vector<DiskClassDevice>& Devices() const { return m_devices; }
    // Whether a device carries this UI number (the disk number the partitioning tool selects).
    bool HasDiskNumber(uint32_t number) const;

private:
    std::vector<DiskClassDevice> m_devices;
};

} // namespace vb
