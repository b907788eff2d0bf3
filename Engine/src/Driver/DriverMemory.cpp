// Physical memory through the driver: allocate, map, read and write.
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// One read or write moves at most this much. Lengths come from firmware tables
// too, and 12 + a length near 4 GiB would wrap to a tiny buffer.
const uint32_t MAX_MEMORY_TRANSFER = 16u << 20;

char* UserAddress(uint64_t ullAddress) { return reinterpret_cast<char*>(static_cast<uintptr_t>(ullAddress)); }

} // namespace

// A failed check that also gives back what the driver already handed out.
#define LOG_PROCESS_ERROR_UNDO(cond, undo, ret) \
    do { if (!(cond)) { LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", #cond); undo; return (ret); } } while (0)

char* CDriverHandler::AllocatePhysicalMemory(uint64_t ullFirst, uint64_t ullSecond, uint32_t uThird)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    uint32_t dwBytesReturned = 0;
    std::unique_ptr<AllocateMemoryParam> pParam(new (std::nothrow) AllocateMemoryParam{});
    LOG_PROCESS_ERROR_RET(pParam, nullptr);
    pParam->ullFirst = ullFirst;
    pParam->ullSecond = ullSecond;
    pParam->uThird = uThird;

    const auto Undo = [&] {
        if (pParam->ullUserAddress && pParam->ullHandle) {
            uint32_t dwIgnored = 0;
            _SendRequest(drFreeMemory, pParam.get(), sizeof(AllocateMemoryParam), nullptr, 0, dwIgnored);
        }
    };
    const bool bRetCode = _SendRequest(drAllocateMemory, pParam.get(), sizeof(AllocateMemoryParam), pParam.get(),
                                       sizeof(AllocateMemoryParam), dwBytesReturned);
    LOG_PROCESS_ERROR_UNDO(bRetCode, Undo(), nullptr);
    LOG_PROCESS_ERROR_UNDO(dwBytesReturned == sizeof(AllocateMemoryParam), Undo(), nullptr);
    char* pAddress = UserAddress(pParam->ullUserAddress);
    const auto InsRet = m_AllocateAddrList.insert({pAddress, *pParam});
    LOG_PROCESS_ERROR_UNDO(InsRet.second, Undo(), nullptr);
    return pAddress;
}

bool CDriverHandler::FreePhysicalMemory(char* pAddress)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    uint32_t dwBytesReturned = 0;
    const auto it = m_AllocateAddrList.find(pAddress);
    LOG_PROCESS_ERROR(it != m_AllocateAddrList.end());
    const bool bRetCode = _SendRequest(drFreeMemory, &it->second, sizeof(AllocateMemoryParam), nullptr, 0, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == 0);
    m_AllocateAddrList.erase(it);
    return true;
}

char* CDriverHandler::MapPhysicalMemory(uint64_t ullPhysicalAddress, uint32_t uSize)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    uint32_t dwBytesReturned = 0;
    std::unique_ptr<MapMemoryParam> pParam(new (std::nothrow) MapMemoryParam{});
    LOG_PROCESS_ERROR_RET(pParam, nullptr);
    pParam->ullPhysicalAddress = ullPhysicalAddress;
    pParam->uSize = uSize;

    const auto Undo = [&] {
        if (pParam->ullUserAddress && pParam->ullHandle) {
            uint32_t dwIgnored = 0;
            _SendRequest(drUnmapMemory, pParam.get(), sizeof(MapMemoryParam), nullptr, 0, dwIgnored);
        }
    };
    const bool bRetCode = _SendRequest(drMapMemory, pParam.get(), sizeof(MapMemoryParam), pParam.get(),
                                       sizeof(MapMemoryParam), dwBytesReturned);
    LOG_PROCESS_ERROR_UNDO(bRetCode, Undo(), nullptr);
    LOG_PROCESS_ERROR_UNDO(dwBytesReturned == sizeof(MapMemoryParam), Undo(), nullptr);
    char* pAddress = UserAddress(pParam->ullUserAddress);
    const auto InsRet = m_MapAddrList.insert({pAddress, *pParam});
    LOG_PROCESS_ERROR_UNDO(InsRet.second, Undo(), nullptr);
    return pAddress;
}

bool CDriverHandler::UnmapPhysicalMemory(char* pAddress)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    uint32_t dwBytesReturned = 0;
    const auto it = m_MapAddrList.find(pAddress);
    LOG_PROCESS_ERROR(it != m_MapAddrList.end());
    const bool bRetCode = _SendRequest(drUnmapMemory, &it->second, sizeof(MapMemoryParam), nullptr, 0, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == 0);
    m_MapAddrList.erase(it);
    return true;
}

bool CDriverHandler::ReadMemory(uint64_t ullPhysicalAddress, uint32_t uSize, char* pData)
{
    uint32_t dwBytesReturned = 0;
    LOG_PROCESS_ERROR(pData);
    LOG_PROCESS_ERROR(uSize <= MAX_MEMORY_TRANSFER);
    const uint32_t uTotal = sizeof(MemoryParam) + uSize;
    std::unique_ptr<uint8_t[]> pParam(new (std::nothrow) uint8_t[uTotal]());
    LOG_PROCESS_ERROR(pParam);
    MemoryParam header{ullPhysicalAddress, uSize};
    std::memcpy(pParam.get(), &header, sizeof header);
    const bool bRetCode = _SendRequest(drReadMemory, pParam.get(), uTotal, pParam.get(), uTotal, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == sizeof(MemoryParam) + uSize);
    std::memcpy(&header, pParam.get(), sizeof header);
    if (header.uLength == 0)
        return false;
    std::memcpy(pData, pParam.get() + sizeof(MemoryParam), uSize);
    return true;
}

bool CDriverHandler::WriteMemory(uint64_t ullPhysicalAddress, uint32_t uSize, char* pData)
{
    uint32_t dwBytesReturned = 0;
    LOG_PROCESS_ERROR(pData);
    LOG_PROCESS_ERROR(uSize <= MAX_MEMORY_TRANSFER);
    const uint32_t uTotal = sizeof(MemoryParam) + uSize;
    std::unique_ptr<uint8_t[]> pParam(new (std::nothrow) uint8_t[uTotal]());
    LOG_PROCESS_ERROR(pParam);
    const MemoryParam header{ullPhysicalAddress, uSize};
    std::memcpy(pParam.get(), &header, sizeof header);
    std::memcpy(pParam.get() + sizeof(MemoryParam), pData, uSize);
    const bool bRetCode = _SendRequest(drWriteMemory, pParam.get(), uTotal, nullptr, 0, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == 0);
    return true;
}
