#pragma once
// The firmware's SMBIOS structure table: BIOS, system, base board, chassis and
// processor records. Each user builds its own reader and calls Init once.
#include <cstdint>

constexpr uint32_t MAX_DEVICE_COUNT = 16;

struct SMBIOS_BIOS_INFO {
    char szVendor[256];
    char szVersion[256];
    uint16_t usStartingSegment;
    char szReleaseDate[256];
    double dRomSize;                       // bytes
    // Characteristics bits 4..31, in bit order.
    bool bISA, bMCA, bEISA, bPCI, bPCCard, bPlugAndPlay, bAPM, bFlashable, bShadowing, bVLVESA, bESCD, bBootFromCD,
        bSelectableBoot, bSocketedROM, bBootFromPCCard, bEDD, bNEC9800Floppy, bToshibaFloppy, b360KFloppy,
        b12MFloppy, b720KFloppy, b288MFloppy, bPrintScreen, b8042Keyboard, bSerial, bPrinter, bCGAMono, bNECPC98;
    // Extension byte 1 bits 0..7, extension byte 2 bits 0..2.
    bool bACPI, bUSBLegacy, bAGP, bI2OBoot, bLS120Boot, bATAPIZipBoot, b1394Boot, bSmartBattery, bBIOSBootSpec,
        bNetworkBoot, bTargetedContent;
    char szBIOSRelease[256];
    char szControllerRelease[256];
};

struct SMBIOS_SYSTEM_INFO {
    char szManufacturer[256];
    char szProductName[256];
    char szVersion[256];
    char szSerialNumber[256];
    uint8_t UUID[16];
    uint32_t uWakeUpType;
    char szSKUNumber[256];
    char szFamily[256];
};

struct SMBIOS_BASEBOARD_INFO {
    char szManufacturer[256];
    char szProduct[256];
    char szVersion[256];
    char szSerialNumber[256];
    char szAssetTag[256];
    bool bHotSwappable, bReplaceable, bRemovable, bRequiresDaughterBoard, bHostingBoard;
    char szLocationInChassis[256];
    uint32_t uBoardType;
};

struct SMBIOS_CHASSIS_INFO {
    char szManufacturer[256];
    uint32_t uType;
    char szVersion[256];
    char szSerialNumber[256];
    char szAssetTag[256];
    uint32_t uBootUpState;
    uint32_t uPowerSupplyState;
    uint32_t uThermalState;
    uint32_t uSecurityStatus;
    uint32_t uOEMDefined;
    uint8_t ucHeight;
};

struct SMBIOS_PROCESSOR_INFO {
    char szSocketDesignation[256];
    uint32_t uProcessorType;
    uint32_t uProcessorFamily;
    char szManufacturer[256];
    uint64_t ullProcessorID;
    char szVersion[256];
    bool b5V, b33V, b29V;
    uint16_t usExternalClock;
    uint16_t usMaxSpeed;
    uint16_t usCurrentSpeed;
    uint32_t uStatus;
    bool bSocketPopulated;
    uint32_t uUpgrade;
    uint16_t usL1CacheHandle, usL2CacheHandle, usL3CacheHandle;
    char szSerialNumber[256];
    char szAssetTag[256];
    char szPartNumber[256];
    uint8_t ucCoreCount;
    uint8_t ucCoreEnabled;
    uint8_t ucThreadCount;
    bool b64BitCapable;
};

class CSMBIOS {
public:
    CSMBIOS();
    virtual ~CSMBIOS() = default;

    bool Init();
    bool UnInit() { return true; }

    const SMBIOS_BIOS_INFO& GetBIOSInfo() const { return m_BIOSInfo; }
    const SMBIOS_SYSTEM_INFO& GetSystemInfo() const { return m_SystemInfo; }
    const SMBIOS_BASEBOARD_INFO& GetBaseBoardInfo() const { return m_BaseBoardInfo; }
    const SMBIOS_CHASSIS_INFO& GetChassisInfo() const { return m_ChassisInfo; }
    const SMBIOS_PROCESSOR_INFO* GetProcessorInfo(uint32_t uProcessorIndex) const;
    uint32_t GetProcessorCount() const { return m_uProcessorCount; }

private:
    // One structure as the extractors see it: its formatted area (length bytes) and
    // its strings, each terminated inside the table.
    struct Structure {
        const uint8_t* data;
        uint32_t length;
        const char* const* strings;
        uint32_t stringCount;

        // A field the formatted area does not cover reads as 0, a text as empty.
        template <class T>
        T Get(uint32_t offset) const;
        void Text(char (&out)[256], uint32_t offset) const;
    };

    bool _Extract(const uint8_t* table, uint32_t length);
    bool _ExtractBIOS(const Structure& s);
    bool _ExtractSystem(const Structure& s);
    bool _ExtractBaseBoard(const Structure& s);
    bool _ExtractChassis(const Structure& s);
    bool _ExtractProcessor(const Structure& s);
    // The ROM size in bytes: from the size byte, or the extended size it points to.
    static double _RomSize(const Structure& s);

    SMBIOS_BIOS_INFO m_BIOSInfo;
    SMBIOS_SYSTEM_INFO m_SystemInfo;
    SMBIOS_BASEBOARD_INFO m_BaseBoardInfo;
    SMBIOS_CHASSIS_INFO m_ChassisInfo;
    SMBIOS_PROCESSOR_INFO m_ProcessorInfo[MAX_DEVICE_COUNT];
    uint32_t m_uProcessorCount;
};
