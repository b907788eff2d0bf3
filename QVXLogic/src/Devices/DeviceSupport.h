#pragma once
// What every simulated device shares: the common slots from a snapshot of its
// identity, the board it reads, the request journal and the fault switches.
#include <cstdarg>
#include <string>

#include "Devices/TypeNames.h"
#include "QVXLogic/Device.h"
#include "VirtualBoard/Devices/DeviceBoard.h"

namespace qvx {

vb::DeviceBoard& Board();
// A reading that needs no board state still reaches the board (and is counted),
// as the hardware it stands for would be asked.
inline std::unique_lock<std::mutex> LockBoard() { return Board().Lock(); }
std::u16string ToU16(const std::string& text);

// Records one write in the board's journal: "qvx: CPU2.SetMultiplier(11.5)".
void Journal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A test can make any operation fail with the fault switch "qvx:<Tag>.<Operation>"
// (for example "qvx:CPU.SetMultiplier"); the failure is logged.
bool Refused(const char* tag, const char* operation);

// Copies text into a fixed 8-bit field, always terminated.
void CopyText(char* dest, size_t size, const std::string& text);

template <class I>
class CDevice : public I {
public:
    CDevice(QVX_DEVICE_TYPE type, int index, const vb::DeviceIdentity& id, const char* tag)
        : m_eType(type), m_nIndex(index), m_Name(ToU16(id.name)), m_Description(ToU16(id.description)),
          m_Vendor(ToU16(id.vendor)), m_TypeName(TypeName(type)), m_ClassName(ToU16(id.className)), m_Tag(tag)
    {
    }

    // The texts are the device's, read like any other reading; type and index are
    // the object's own (the manager sorts by them).
    const char16_t* GetName() override { return Counted(m_Name); }
    const char16_t* GetDescription() override { return Counted(m_Description); }
    const char16_t* GetVendor() override { return Counted(m_Vendor); }
    const char16_t* GetTypeName() override { return Counted(m_TypeName); }
    const char16_t* GetClassName() override { return Counted(m_ClassName); }
    QVX_DEVICE_TYPE GetType() override { return m_eType; }
    int GetIndex() override { return m_nIndex; }
    unsigned long GetBuildVersion() override
    {
        auto lock = LockBoard();
        return kBuildVersion;
    }

protected:
    static const char16_t* Counted(const std::u16string& text)
    {
        auto lock = LockBoard();
        return text.c_str();
    }
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
    CPciDevice(QVX_DEVICE_TYPE type, int index, const vb::DeviceIdentity& id, const char* tag)
        : CDevice<I>(type, index, id, tag), m_Pci(id)
    {
    }
    uint32_t GetVendorID() override { return _Read(&vb::DeviceIdentity::vendorId); }
    uint32_t GetDeviceID() override { return _Read(&vb::DeviceIdentity::deviceId); }
    uint32_t GetRevision() override { return _Read(&vb::DeviceIdentity::revision); }
    uint32_t GetBusNumber() override { return _Read(&vb::DeviceIdentity::bus); }
    uint32_t GetDeviceNumber() override { return _Read(&vb::DeviceIdentity::device); }
    uint32_t GetFunctionNumber() override { return _Read(&vb::DeviceIdentity::function); }

private:
    // The identity is the function's configuration header: read, and counted, each time.
    uint32_t _Read(uint32_t vb::DeviceIdentity::*field) const
    {
        auto lock = LockBoard();
        return m_Pci.*field;
    }
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
