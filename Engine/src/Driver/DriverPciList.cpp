// The list of PCI functions built at start-up, and the look-ups on it.
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

const uint32_t PCI_SCAN_BUSES = 64;
// Every function of 64 buses, one per reply at worst, and one more.
const uint32_t MAX_LIST_ROUNDS = PCI_SCAN_BUSES * 32 * 8 + 1;

uint32_t PCIKey(const PCIDeviceHeader& header)
{
    uint16_t usVendor = 0, usDevice = 0;
    std::memcpy(&usVendor, header.Header, 2);
    std::memcpy(&usDevice, header.Header + 2, 2);
    return uint32_t(usVendor) << 16 | usDevice;
}

} // namespace

void CDriverHandler::_InsertPCIDevice(const PCIDeviceHeader& header)
{
    // Equal keys keep the order of insertion.
    m_PCIDeviceList.insert(m_PCIDeviceList.upper_bound(PCIKey(header)), {PCIKey(header), header});
}

bool CDriverHandler::InitPCIHeader()
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    bool bRetCode = false;
    uint32_t dwBytesReturned = 0;

    if (m_ullPCIBaseAddress != 0) {
        std::unique_ptr<PCIHeaderListParam> pParam(new (std::nothrow) PCIHeaderListParam{});
        LOG_PROCESS_ERROR(pParam);
        const uint32_t uSize = sizeof(PCIHeaderListParam);
        pParam->ullPCIBaseAddress = m_ullPCIBaseAddress;
        pParam->uCapacity = PCI_HEADER_LIST_CAPACITY;
        pParam->uCount = PCI_HEADER_LIST_CAPACITY;
        for (uint32_t uRound = 0;; ++uRound) {
            // A driver whose cursor never moves would keep us here for ever.
            LOG_PROCESS_ERROR(uRound < MAX_LIST_ROUNDS);
            const uint32_t uCursor = pParam->uNextBus << 8 | pParam->uNextDevice << 3 | pParam->uNextFunction;
            bRetCode = _SendRequest(drListPCIHeaders, pParam.get(), uSize, pParam.get(), uSize, dwBytesReturned);
            LOG_PROCESS_ERROR(bRetCode);
            LOG_PROCESS_ERROR(dwBytesReturned == uSize);
            // A count beyond the record's 64 entries would read past it.
            LOG_CHECK_ERROR(pParam->uCount <= PCI_HEADER_LIST_CAPACITY);
            const uint32_t uCount = std::min<uint32_t>(pParam->uCount, PCI_HEADER_LIST_CAPACITY);
            for (uint32_t i = 0; i < uCount; ++i)
                _InsertPCIDevice(pParam->Entries[i]);
            pParam->uCount = PCI_HEADER_LIST_CAPACITY;
            if (pParam->uNextBus >= PCI_SCAN_BUSES)
                break;
            const bool bCursorMoved =
                (pParam->uNextBus << 8 | pParam->uNextDevice << 3 | pParam->uNextFunction) > uCursor;
            LOG_PROCESS_ERROR(bCursorMoved);
        }
        return true;
    }

    for (uint32_t uBus = 0; uBus < PCI_SCAN_BUSES; ++uBus)
        for (uint32_t uDevice = 0; uDevice < 32; ++uDevice)
            for (uint32_t uFunction = 0; uFunction < 8; ++uFunction) {
                PCIDeviceHeader header{uBus, uDevice, uFunction, {}};
                bRetCode = GetPCIConfig(uBus, uDevice, uFunction, 0, reinterpret_cast<char*>(header.Header),
                                        sizeof(header.Header));
                if (!bRetCode) {
                    // The list ends here; say so, since it may be incomplete.
                    LOG_CHECK_ERROR(bRetCode);
                    return true;
                }
                if (header.Header[0] == 0xFF && header.Header[1] == 0xFF)
                    continue;
                _InsertPCIDevice(header);
            }
    return true;
}

bool CDriverHandler::FindPCIDevice(uint32_t uVendorID, uint32_t uDeviceID, uint32_t& uBus, uint32_t& uDevice,
                                   uint32_t& uFunction, uint32_t& uRevision)
{
    return FindPCIDevice(uVendorID, uDeviceID, 0, uBus, uDevice, uFunction, uRevision);
}

bool CDriverHandler::FindPCIDevice(uint32_t uVendorID, uint32_t uDeviceID, uint32_t uIndex, uint32_t& uBus,
                                   uint32_t& uDevice, uint32_t& uFunction, uint32_t& uRevision)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    const auto range = m_PCIDeviceList.equal_range(uVendorID << 16 | (uDeviceID & 0xFFFF));
    uint32_t i = 0;
    for (auto it = range.first; it != range.second; ++it, ++i) {
        if (i != uIndex)
            continue;
        uBus = it->second.uBus;
        uDevice = it->second.uDevice;
        uFunction = it->second.uFunction;
        uRevision = it->second.Header[8];
        return true;
    }
    return false;
}

uint32_t CDriverHandler::GetPCIDeviceCount(uint32_t uVendorID, uint32_t uDeviceID)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    return static_cast<uint32_t>(m_PCIDeviceList.count(uVendorID << 16 | (uDeviceID & 0xFFFF)));
}

void CDriverHandler::PrintPCIDevice()
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    printf("DeviceID VendorID BusNum DevNum FuncNum RevisionID BaseClass SubClass\n");
    for (const auto& [uKey, header] : m_PCIDeviceList)
        printf("%04X      %04X      %02X     %02X     %02X      %04X       %02X         %02X\n", uKey & 0xFFFF,
               uKey >> 16, header.uBus, header.uDevice, header.uFunction, header.Header[8], header.Header[11],
               header.Header[10]);
    fflush(stdout);
}
