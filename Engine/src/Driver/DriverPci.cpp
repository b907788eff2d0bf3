// PCI configuration space: through the ECAM window when there is one, else (and
// when that read fails) through the driver's configuration requests.
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

#include <cstring>

namespace {

// Data bytes behind the 20-byte header in each 16384-byte request area.
const uint32_t PCI_AREA_DATA_SIZE = 16384 - sizeof(PCIConfigParam);

uint64_t ECAMOffset(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset)
{
    return uint64_t(uBus) << 20 | uint64_t(uDevice) << 15 | uint64_t(uFunction) << 12 | uOffset;
}

} // namespace

bool CDriverHandler::_IsECAMReachable(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset,
                                      uint32_t uSize) const
{
    // Anything outside the window's buses or one function's 4 KB would reach
    // another function or unrelated memory.
    return m_ullPCIBaseAddress != 0 && uBus >= m_uECAMStartBus && uBus <= m_uECAMEndBus && uDevice < 32
        && uFunction < 8 && uOffset < 4096 && uSize <= 4096 - uOffset;
}

bool CDriverHandler::GetPCIConfig(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset, char* pData,
                                  uint32_t uSize)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    bool bRetCode = false;
    uint32_t dwBytesReturned = 0;
    LOG_PROCESS_ERROR(pData);
    if (_IsECAMReachable(uBus, uDevice, uFunction, uOffset, uSize)) {
        bRetCode = ReadMemory(m_ullPCIBaseAddress + ECAMOffset(uBus, uDevice, uFunction, uOffset), uSize, pData);
        if (bRetCode)
            return true;
    }
    LOG_PROCESS_ERROR(uSize <= PCI_AREA_DATA_SIZE);

    const uint32_t uTotal = sizeof(PCIConfigParam) + uSize;
    const PCIConfigParam header{uBus, uDevice, uFunction, uOffset, uSize};
    const auto Prepare = [&] {
        std::memcpy(m_PCIReadArea, &header, sizeof header);
        std::memset(m_PCIReadArea + sizeof header, 0, uSize);
    };
    Prepare();
    bRetCode = _SendRequest(drReadPCIConfig, m_PCIReadArea, uTotal, m_PCIReadArea, uTotal, dwBytesReturned);
    if (!bRetCode) {
        Prepare();
        bRetCode = _SendRequest(drReadPCIConfig2, m_PCIReadArea, uTotal, m_PCIReadArea, uTotal, dwBytesReturned);
    }
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == sizeof(PCIConfigParam) + uSize);
    PCIConfigParam reply{};
    std::memcpy(&reply, m_PCIReadArea, sizeof reply);
    if (reply.uLength == 0)
        return false;
    std::memcpy(pData, m_PCIReadArea + sizeof(PCIConfigParam), uSize);
    return true;
}

bool CDriverHandler::SetPCIConfig(uint32_t uBus, uint32_t uDevice, uint32_t uFunction, uint32_t uOffset, char* pData,
                                  uint32_t uSize)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    bool bRetCode = false;
    uint32_t dwBytesReturned = 0;
    LOG_PROCESS_ERROR(pData);
    if (_IsECAMReachable(uBus, uDevice, uFunction, uOffset, uSize)) {
        bRetCode = WriteMemory(m_ullPCIBaseAddress + ECAMOffset(uBus, uDevice, uFunction, uOffset), uSize, pData);
        if (bRetCode)
            return true;
    }
    LOG_PROCESS_ERROR(uSize <= PCI_AREA_DATA_SIZE);

    const uint32_t uTotal = sizeof(PCIConfigParam) + uSize;
    const PCIConfigParam header{uBus, uDevice, uFunction, uOffset, uSize};
    std::memcpy(m_PCIWriteArea, &header, sizeof header);
    std::memcpy(m_PCIWriteArea + sizeof header, pData, uSize);
    bRetCode = _SendRequest(drWritePCIConfig, m_PCIWriteArea, uTotal, nullptr, 0, dwBytesReturned);
    if (!bRetCode)
        bRetCode = _SendRequest(drWritePCIConfig2, m_PCIWriteArea, uTotal, nullptr, 0, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == 0);
    return true;
}
