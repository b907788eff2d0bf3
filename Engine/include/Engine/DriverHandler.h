#pragma once
// The kernel driver's client: installs and counts the driver service, and reaches
// the hardware (ports, MSRs, physical memory, PCI configuration, SMBus) through
// its requests. g_DriverHandler is the one instance.
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "Engine/DriverProtocol.h"
#include "Platform/DeviceIo.h"
#include "Platform/NamedObjects.h"

class IDriverHandler {
public:
    virtual bool WritePort(uint16_t usPort, uint32_t uValue) = 0;
    virtual bool WritePort(uint16_t usPort, uint16_t usValue) = 0;
    virtual bool WritePort(uint16_t usPort, uint8_t ucValue) = 0;
    virtual bool ReadPort(uint16_t usPort, uint32_t& uValue) = 0;
    virtual bool ReadPort(uint16_t usPort, uint16_t& usValue) = 0;
    virtual bool ReadPort(uint16_t usPort, uint8_t& ucValue) = 0;
    virtual bool RDMSR(uint32_t uMSR, uint32_t& uLow, uint32_t& uHigh) = 0;
    virtual bool WRMSR(uint32_t uMSR, uint32_t uLow, uint32_t uHigh) = 0;
    virtual char* AllocatePhysicalMemory(uint64_t ullFirst, uint64_t ullSecond, uint32_t uThird) = 0;
    virtual bool FreePhysicalMemory(char* pAddress) = 0;
    virtual char* MapPhysicalMemory(uint64_t ullPhysicalAddress, uint32_t uSize) = 0;
    virtual bool UnmapPhysicalMemory(char* pAddress) = 0;
    virtual bool ReadMemory(uint64_t ullPhysicalAddress, uint32_t uSize, char* pData) = 0;
    virtual bool WriteMemory(uint64_t ullPhysicalAddress, uint32_t uSize, char* pData) = 0;
    virtual bool GetPCIConfig(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset, char* pData,
                              uint32_t uSize) = 0;
    virtual bool SetPCIConfig(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset, char* pData,
                              uint32_t uSize) = 0;
    // ucAddress: 7-bit address << 1 | 1 for a read; ucOffset: the device register.
    virtual bool AccessSMBus(uint8_t ucAddress, uint8_t ucOffset, uint8_t& ucValue) = 0;
    virtual ~IDriverHandler() = default;
};

class CDriverHandler : public IDriverHandler {
public:
    CDriverHandler();
    ~CDriverHandler() override;
    CDriverHandler(const CDriverHandler&) = delete;
    CDriverHandler& operator=(const CDriverHandler&) = delete;

    // Opens (installing when needed) the driver, takes a unit of the shared
    // semaphore, finds the ECAM base and the SMBus controller, lists the PCI functions.
    bool Init();
    // Frees what is left mapped or allocated, closes the device, gives the unit back
    // (removing the service when this was the last user) and closes the semaphore.
    // Safe to repeat.
    bool UnInit();
    bool Is64bitOS();

    bool WritePort(uint16_t usPort, uint32_t uValue) override;
    bool WritePort(uint16_t usPort, uint16_t usValue) override;
    bool WritePort(uint16_t usPort, uint8_t ucValue) override;
    bool ReadPort(uint16_t usPort, uint32_t& uValue) override;
    bool ReadPort(uint16_t usPort, uint16_t& usValue) override;
    bool ReadPort(uint16_t usPort, uint8_t& ucValue) override;
    bool RDMSR(uint32_t uMSR, uint32_t& uLow, uint32_t& uHigh) override;
    bool WRMSR(uint32_t uMSR, uint32_t uLow, uint32_t uHigh) override;
    char* AllocatePhysicalMemory(uint64_t ullFirst, uint64_t ullSecond, uint32_t uThird) override;
    bool FreePhysicalMemory(char* pAddress) override;
    char* MapPhysicalMemory(uint64_t ullPhysicalAddress, uint32_t uSize) override;
    bool UnmapPhysicalMemory(char* pAddress) override;
    bool ReadMemory(uint64_t ullPhysicalAddress, uint32_t uSize, char* pData) override;
    bool WriteMemory(uint64_t ullPhysicalAddress, uint32_t uSize, char* pData) override;
    bool GetPCIConfig(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset, char* pData,
                      uint32_t uSize) override;
    bool SetPCIConfig(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset, char* pData,
                      uint32_t uSize) override;
    bool AccessSMBus(uint8_t ucAddress, uint8_t ucOffset, uint8_t& ucValue) override;

    // The PCI functions listed at start-up, by vendor id << 16 | device id.
    bool FindPCIDevice(uint32_t uVendorID, uint32_t uDeviceID, uint32_t& uBus, uint32_t& uDevice,
                       uint32_t& uFunction, uint32_t& uRevision);
    bool FindPCIDevice(uint32_t uVendorID, uint32_t uDeviceID, uint32_t uIndex, uint32_t& uBus, uint32_t& uDevice,
                       uint32_t& uFunction, uint32_t& uRevision);
    uint32_t GetPCIDeviceCount(uint32_t uVendorID, uint32_t uDeviceID);
    void PrintPCIDevice();

private:
    bool IsWinNT();
    bool GetDriverPath(char16_t* pDriverPath);            // 256 characters
    bool InstallDriver(const char16_t* pDriverPath);
    bool RemoveDriver();
    bool StartDriver();
    bool StopDriver();
    bool AddReference();
    int ReleaseReference();                               // other users; -1 on failure
    bool InitPCIHeader();

    bool _SendRequest(uint32_t uRequest, const void* pIn, uint32_t uInSize, void* pOut, uint32_t uOutSize,
                      uint32_t& dwBytesReturned);
    // The three widths of each port operation (1, 2 or 4 bytes).
    bool ReadPort(uint16_t usPort, uint16_t usWidth, uint32_t& uValue);
    bool WritePort(uint16_t usPort, uint16_t usWidth, uint32_t uValue);
    bool _IsECAMReachable(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset, uint32_t uSize) const;
    bool _SelectMCFGEntry(const std::vector<uint8_t>& table);
    void _FindSMBusInPCIList();
    void _InsertPCIDevice(const PCIDeviceHeader& header);

    plat::DeviceHandle m_hDriver;
    uint16_t m_usSMBusBase;
    bool m_bIs64bitOS;
    plat::NamedHandle m_hSemaphore;
    uint64_t m_ullPCIBaseAddress;
    std::map<char*, MapMemoryParam> m_MapAddrList;
    std::map<char*, AllocateMemoryParam> m_AllocateAddrList;
    std::multimap<uint32_t, PCIDeviceHeader> m_PCIDeviceList;

    // This process holds one unit of the shared semaphore (given back only once).
    bool m_bReferenceHeld;
    // This process has opened the semaphore: its handle, closed by UnInit, was there.
    bool m_bSemaphoreOpened;
    // Buses the ECAM window covers (the MCFG entry of segment 0).
    uint32_t m_uECAMStartBus;
    uint32_t m_uECAMEndBus;
    // Worker threads call in beside the GUI thread: requests that use the PCI
    // areas or the lists, and each SMBus transaction, run one at a time.
    std::recursive_mutex m_Lock;
    // The PCI configuration requests are built here (20-byte header + data).
    uint8_t m_PCIReadArea[16384];
    uint8_t m_PCIWriteArea[16384];
};

extern CDriverHandler g_DriverHandler;
IDriverHandler& g_GetDriverHandler();

// Where start-up finds the ACPI "MCFG" table (the whole table, header included):
// the firmware-table reader's copy. False when the tables cannot be read or hold
// none. Tests put their own source in (null restores the default).
using MCFGSource = bool (*)(std::vector<uint8_t>& table);
void g_SetMCFGSource(MCFGSource source);
