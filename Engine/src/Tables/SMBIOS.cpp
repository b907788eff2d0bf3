#include "Engine/SMBIOS.h"
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"
#include "Formats/SmbiosStructures.h"

#include <cstdio>
#include <cstring>

namespace {

const uint64_t kWindowAddress = 0xF0000;
const uint32_t kWindowSize = 0xFFFF;
const uint32_t kEntryPointSize = 31;

// Unmaps a mapping when the scope ends, whichever way it ends.
class Mapping {
public:
    Mapping(uint64_t address, uint32_t size) : m_p(g_DriverHandler.MapPhysicalMemory(address, size)) {}
    ~Mapping() { Release(); }
    const uint8_t* Data() const { return reinterpret_cast<const uint8_t*>(m_p); }
    bool Release()
    {
        if (!m_p)
            return true;
        const bool ok = g_DriverHandler.UnmapPhysicalMemory(m_p);
        m_p = nullptr;
        return ok;
    }
private:
    char* m_p;
};

} // namespace

template <class T>
T CSMBIOS::Structure::Get(uint32_t offset) const
{
    T v{};
    if (offset + sizeof(T) <= length)
        std::memcpy(&v, data + offset, sizeof(T));
    return v;
}

void CSMBIOS::Structure::Text(char (&out)[256], uint32_t offset) const
{
    out[0] = 0;
    const char* text = smbios::Structure{data, length, strings, stringCount}.String(offset);
    if (!text)
        return;
    std::strncpy(out, text, sizeof out - 1);
    out[sizeof out - 1] = 0;
}

CSMBIOS::CSMBIOS() : m_BIOSInfo{}, m_SystemInfo{}, m_BaseBoardInfo{}, m_ChassisInfo{}, m_ProcessorInfo{}, m_uProcessorCount(0)
{
}

const SMBIOS_PROCESSOR_INFO* CSMBIOS::GetProcessorInfo(uint32_t uProcessorIndex) const
{
    LOG_PROCESS_ERROR_RET(uProcessorIndex < MAX_DEVICE_COUNT, nullptr);
    return &m_ProcessorInfo[uProcessorIndex];
}

bool CSMBIOS::Init()
{
    uint8_t entry[kEntryPointSize];
    {
        Mapping window(kWindowAddress, kWindowSize);
        const uint8_t* pMemory = window.Data();
        LOG_PROCESS_ERROR(pMemory);
        // The whole entry point must lie inside the window, not just its anchor.
        bool bFound = false;
        uint32_t at = 0;
        for (; at + kEntryPointSize <= kWindowSize; ++at)
            if (std::memcmp(pMemory + at, "_SM_", 4) == 0) {
                bFound = true;
                break;
            }
        LOG_PROCESS_ERROR(bFound);
        std::memcpy(entry, pMemory + at, sizeof entry);
        const bool bRetCode = window.Release();
        LOG_PROCESS_ERROR(bRetCode);
    }
    uint8_t ucCheckSum = 0;
    for (uint8_t b : entry)
        ucCheckSum = static_cast<uint8_t>(ucCheckSum + b);
    LOG_CHECK_ERROR(ucCheckSum == 0);

    uint16_t length = 0;
    uint32_t address = 0;
    std::memcpy(&length, entry + 0x16, sizeof length);
    std::memcpy(&address, entry + 0x18, sizeof address);

    Mapping table(address, length);
    const uint8_t* pMemory = table.Data();
    LOG_PROCESS_ERROR(pMemory);
    const bool bResult = _Extract(pMemory, length);
    // A failed walk still releases the table before it fails Init.
    if (!bResult)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
    const bool bRetCode = table.Release();
    LOG_CHECK_ERROR(bRetCode);
    return bResult;
}

bool CSMBIOS::_Extract(const uint8_t* table, uint32_t length)
{
    bool bRetCode = true;
    const smbios::WalkEnd end = smbios::Walk(table, length, [&](const smbios::Structure& v) {
        const Structure s{v.data, v.length, v.strings, v.stringCount};
        switch (v.Type()) {
        case 0: bRetCode = _ExtractBIOS(s); break;
        case 1: bRetCode = _ExtractSystem(s); break;
        case 2: bRetCode = _ExtractBaseBoard(s); break;
        case 3: bRetCode = _ExtractChassis(s); break;
        case 4: bRetCode = _ExtractProcessor(s); break;
        default: break;
        }
        return bRetCode;
    });
    LOG_PROCESS_ERROR(bRetCode);
    // A cut or corrupt table keeps what was read before the fault.
    const bool bHeaderFits = end != smbios::WalkEnd::HeaderCut;
    LOG_CHECK_ERROR(bHeaderFits);
    const bool bFormattedFits = end != smbios::WalkEnd::BadLength;
    LOG_CHECK_ERROR(bFormattedFits);
    const bool bStringsFit = end != smbios::WalkEnd::StringsCut;
    LOG_CHECK_ERROR(bStringsFit);
    return true;
}

bool CSMBIOS::_ExtractBIOS(const Structure& s)
{
    SMBIOS_BIOS_INFO& b = m_BIOSInfo;
    b = SMBIOS_BIOS_INFO{};
    s.Text(b.szVendor, 0x04);
    s.Text(b.szVersion, 0x05);
    b.usStartingSegment = s.Get<uint16_t>(0x06);
    s.Text(b.szReleaseDate, 0x08);
    if (s.length > 0x09)
        b.dRomSize = _RomSize(s);
    const uint32_t characteristics = s.Get<uint32_t>(0x0A);
    bool* const flags[] = {&b.bISA, &b.bMCA, &b.bEISA, &b.bPCI, &b.bPCCard, &b.bPlugAndPlay, &b.bAPM,
                           &b.bFlashable, &b.bShadowing, &b.bVLVESA, &b.bESCD, &b.bBootFromCD, &b.bSelectableBoot,
                           &b.bSocketedROM, &b.bBootFromPCCard, &b.bEDD, &b.bNEC9800Floppy, &b.bToshibaFloppy,
                           &b.b360KFloppy, &b.b12MFloppy, &b.b720KFloppy, &b.b288MFloppy, &b.bPrintScreen,
                           &b.b8042Keyboard, &b.bSerial, &b.bPrinter, &b.bCGAMono, &b.bNECPC98};
    for (int bit = 4; bit < 32; ++bit)
        *flags[bit - 4] = (characteristics >> bit) & 1;
    const uint8_t ext1 = s.Get<uint8_t>(0x12);
    const uint8_t ext2 = s.Get<uint8_t>(0x13);
    bool* const extFlags[] = {&b.bACPI, &b.bUSBLegacy, &b.bAGP, &b.bI2OBoot, &b.bLS120Boot, &b.bATAPIZipBoot,
                              &b.b1394Boot, &b.bSmartBattery, &b.bBIOSBootSpec, &b.bNetworkBoot, &b.bTargetedContent};
    for (int bit = 0; bit < 8; ++bit)
        *extFlags[bit] = (ext1 >> bit) & 1;
    for (int bit = 0; bit < 3; ++bit)
        *extFlags[8 + bit] = (ext2 >> bit) & 1;
    // The release bytes sit at fixed offsets; later versions add fields behind them.
    if (s.length >= 0x18) {
        snprintf(b.szBIOSRelease, sizeof b.szBIOSRelease, "%d.%02d", s.data[0x14], s.data[0x15]);
        snprintf(b.szControllerRelease, sizeof b.szControllerRelease, "%d.%02d", s.data[0x16], s.data[0x17]);
    }
    return true;
}

double CSMBIOS::_RomSize(const Structure& s)
{
    const uint8_t size = s.Get<uint8_t>(0x09);
    // 0xFF: 16 MB or more, given by the extended size when the structure has one
    // (bits 15-14 the unit, 0 MB and 1 GB; bits 13-0 the size).
    if (size == 0xFF && s.length >= 0x1A) {
        const uint16_t extended = s.Get<uint16_t>(0x18);
        const uint32_t count = extended & 0x3FFF;
        const uint32_t unit = extended >> 14;
        if (count != 0 && unit <= 1)
            return count * (unit == 0 ? 1024.0 * 1024.0 : 1024.0 * 1024.0 * 1024.0);
    }
    return (size + 1.0) * 65536.0;
}

bool CSMBIOS::_ExtractSystem(const Structure& s)
{
    SMBIOS_SYSTEM_INFO& y = m_SystemInfo;
    y = SMBIOS_SYSTEM_INFO{};
    s.Text(y.szManufacturer, 0x04);
    s.Text(y.szProductName, 0x05);
    s.Text(y.szVersion, 0x06);
    s.Text(y.szSerialNumber, 0x07);
    if (s.length >= 0x18)
        std::memcpy(y.UUID, s.data + 0x08, sizeof y.UUID);
    y.uWakeUpType = s.Get<uint8_t>(0x18);
    s.Text(y.szSKUNumber, 0x19);
    s.Text(y.szFamily, 0x1A);
    return true;
}

bool CSMBIOS::_ExtractBaseBoard(const Structure& s)
{
    SMBIOS_BASEBOARD_INFO& b = m_BaseBoardInfo;
    b = SMBIOS_BASEBOARD_INFO{};
    s.Text(b.szManufacturer, 0x04);
    s.Text(b.szProduct, 0x05);
    s.Text(b.szVersion, 0x06);
    s.Text(b.szSerialNumber, 0x07);
    s.Text(b.szAssetTag, 0x08);
    const uint8_t features = s.Get<uint8_t>(0x09);
    b.bHotSwappable = features & 0x10;
    b.bReplaceable = features & 0x08;
    b.bRemovable = features & 0x04;
    b.bRequiresDaughterBoard = features & 0x02;
    b.bHostingBoard = features & 0x01;
    s.Text(b.szLocationInChassis, 0x0A);
    b.uBoardType = s.Get<uint8_t>(0x0D);
    return true;
}

bool CSMBIOS::_ExtractChassis(const Structure& s)
{
    SMBIOS_CHASSIS_INFO& c = m_ChassisInfo;
    c = SMBIOS_CHASSIS_INFO{};
    s.Text(c.szManufacturer, 0x04);
    c.uType = s.Get<uint8_t>(0x05);
    s.Text(c.szVersion, 0x06);
    s.Text(c.szSerialNumber, 0x07);
    s.Text(c.szAssetTag, 0x08);
    c.uBootUpState = s.Get<uint8_t>(0x09);
    c.uPowerSupplyState = s.Get<uint8_t>(0x0A);
    c.uThermalState = s.Get<uint8_t>(0x0B);
    c.uSecurityStatus = s.Get<uint8_t>(0x0C);
    c.uOEMDefined = s.Get<uint32_t>(0x0D);
    c.ucHeight = s.Get<uint8_t>(0x11);
    return true;
}

bool CSMBIOS::_ExtractProcessor(const Structure& s)
{
    LOG_PROCESS_ERROR(m_uProcessorCount < MAX_DEVICE_COUNT);
    SMBIOS_PROCESSOR_INFO& p = m_ProcessorInfo[m_uProcessorCount];
    p = SMBIOS_PROCESSOR_INFO{};
    s.Text(p.szSocketDesignation, 0x04);
    p.uProcessorType = s.Get<uint8_t>(0x05);
    p.uProcessorFamily = s.Get<uint8_t>(0x06);
    s.Text(p.szManufacturer, 0x07);
    p.ullProcessorID = s.Get<uint64_t>(0x08);
    s.Text(p.szVersion, 0x10);
    // With bit 7 set, bits 6-0 hold the current voltage (x 10) and there are no
    // flags of supported voltages.
    const uint8_t voltage = s.Get<uint8_t>(0x11);
    if (!(voltage & 0x80)) {
        p.b5V = voltage & 0x01;
        p.b33V = voltage & 0x02;
        p.b29V = voltage & 0x04;
    }
    p.usExternalClock = s.Get<uint16_t>(0x12);
    p.usMaxSpeed = s.Get<uint16_t>(0x14);
    p.usCurrentSpeed = s.Get<uint16_t>(0x16);
    const uint8_t status = s.Get<uint8_t>(0x18);
    p.uStatus = status & 7;
    p.bSocketPopulated = status & 0x40;
    p.uUpgrade = s.Get<uint8_t>(0x19);
    s.Text(p.szSerialNumber, 0x20);
    s.Text(p.szAssetTag, 0x21);
    s.Text(p.szPartNumber, 0x22);
    p.ucCoreCount = s.Get<uint8_t>(0x23);
    p.ucCoreEnabled = s.Get<uint8_t>(0x24);
    p.ucThreadCount = s.Get<uint8_t>(0x25);
    p.b64BitCapable = s.Get<uint8_t>(0x26) & 0x04;
    ++m_uProcessorCount;
    return true;
}
