#pragma once
// What every simulated device shares: the common slots from a snapshot of its
// identity, the board it reads, the request journal and the fault switches.
#include <cstdarg>
#include <string>

#include "QVXLogic/Device.h"
#include "VirtualBoard/Devices/DeviceBoard.h"

namespace qvx {

vb::DeviceBoard& Board();
std::u16string ToU16(const std::string& text);

// Records one write in the board's journal: "qvx: CPU2.SetMultiplier(11.5)".
void Journal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A test can make any operation fail with the fault switch "qvx:<Tag>.<Operation>"
// (for example "qvx:CPU.SetMultiplier"); the failure is logged.
bool Refused(const char* tag, const char* operation);

// Copies text into a fixed 8-bit field, always terminated.
void CopyText(char* dest, size_t size, const std::string& text);

// Build version reported by every device.
constexpr unsigned long kBuildVersion = 0x00010000;

template <class I>
class CDevice : public I {
public:
    CDevice(QVX_DEVICE_TYPE type, int index, const vb::DeviceIdentity& id, const char16_t* typeName, const char* tag)
        : m_eType(type), m_nIndex(index), m_Name(ToU16(id.name)), m_Description(ToU16(id.description)),
          m_Vendor(ToU16(id.vendor)), m_TypeName(typeName), m_ClassName(ToU16(id.className)), m_Tag(tag)
    {
    }

    const char16_t* GetName() override { return m_Name.c_str(); }
    const char16_t* GetDescription() override { return m_Description.c_str(); }
    const char16_t* GetVendor() override { return m_Vendor.c_str(); }
    const char16_t* GetTypeName() override { return m_TypeName.c_str(); }
    const char16_t* GetClassName() override { return m_ClassName.c_str(); }
    QVX_DEVICE_TYPE GetType() override { return m_eType; }
    int GetIndex() override { return m_nIndex; }
    unsigned long GetBuildVersion() override { return kBuildVersion; }

protected:
    // Journal name of this instance ("CPU2"; "CG" for single devices).
    std::string Who() const { return m_eType == dtCPU || m_eType == dtGPU ? m_Tag + std::to_string(m_nIndex) : m_Tag; }
    bool Refuse(const char* operation) const { return Refused(m_Tag.c_str(), operation); }

    const QVX_DEVICE_TYPE m_eType;
    const int m_nIndex;
    const std::u16string m_Name, m_Description, m_Vendor, m_TypeName, m_ClassName;
    const std::string m_Tag;
};

template <class I>
class CPciDevice : public CDevice<I> {
public:
    CPciDevice(QVX_DEVICE_TYPE type, int index, const vb::DeviceIdentity& id, const char16_t* typeName, const char* tag)
        : CDevice<I>(type, index, id, typeName, tag), m_Pci(id)
    {
    }
    uint32_t GetVendorID() override { return m_Pci.vendorId; }
    uint32_t GetDeviceID() override { return m_Pci.deviceId; }
    uint32_t GetRevision() override { return m_Pci.revision; }
    uint32_t GetBusNumber() override { return m_Pci.bus; }
    uint32_t GetDeviceNumber() override { return m_Pci.device; }
    uint32_t GetFunctionNumber() override { return m_Pci.function; }

private:
    const vb::DeviceIdentity m_Pci;
};

// True when value lies in [min, max] on the step grid counted from min.
bool OnGrid(double value, double min, double max, double step);
// True when value is within tolerance of an entry.
bool InList(double value, const std::vector<double>& list, double tolerance = 0.001);

} // namespace qvx

// Locks the board for the rest of the scope as `b`.
#define QVX_LOCK_BOARD                 \
    vb::DeviceBoard& b = qvx::Board(); \
    auto boardLock = b.Lock()
