// The driver client's life: construction, start-up and shutdown.
#include "Engine/ACPITable.h"
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

#include "Platform/OsInfo.h"

#include <atomic>
#include <cstring>

using plat::INVALID_HANDLE_VALUE;

CDriverHandler g_DriverHandler;

IDriverHandler& g_GetDriverHandler() { return g_DriverHandler; }

namespace {

std::atomic<MCFGSource> g_MCFGSource{&g_ReadMCFGFromACPI};

// Offsets in the MCFG table: the 36-byte header, 8 reserved bytes, then 16-byte
// allocation entries {u64 base, u16 segment, u8 start bus, u8 end bus, u32 reserved}.
const uint32_t MCFG_FIRST_ENTRY = 44;
const uint32_t MCFG_ENTRY_SIZE = 16;
const uint32_t MCFG_MIN_SIZE = MCFG_FIRST_ENTRY + 8;     // the first base address whole

uint64_t GetU64(const std::vector<uint8_t>& b, size_t at)
{
    uint64_t v = 0;
    std::memcpy(&v, b.data() + at, sizeof v);
    return v;
}

} // namespace

void g_SetMCFGSource(MCFGSource source) { g_MCFGSource.store(source ? source : &g_ReadMCFGFromACPI); }

CDriverHandler::CDriverHandler()
    : m_hDriver(plat::INVALID_HANDLE_VALUE), m_usSMBusBase(0), m_bIs64bitOS(false), m_hSemaphore(nullptr),
      m_ullPCIBaseAddress(0), m_bReferenceHeld(false), m_bSemaphoreOpened(false), m_uECAMStartBus(0),
      m_uECAMEndBus(0), m_PCIReadArea(), m_PCIWriteArea()
{
}

CDriverHandler::~CDriverHandler()
{
    // Only a handler whose UnInit never ran (a test's own) still holds handles here.
    // The program's has let go of them in g_UnInitEngine, before main returns: at exit
    // this reaches nothing of another file, whose statics may be gone by then.
    if (m_hDriver != plat::INVALID_HANDLE_VALUE)
        plat::CloseDevice(m_hDriver);
    if (m_hSemaphore)
        plat::CloseHandle(m_hSemaphore);
}

bool CDriverHandler::Is64bitOS() { return m_bIs64bitOS; }

bool CDriverHandler::Init()
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    // A handler started again begins from nothing.
    m_PCIDeviceList.clear();
    m_usSMBusBase = 0;
    m_ullPCIBaseAddress = 0;

    const bool bResult = [this]() -> bool {
        bool bRetCode = false;

        bRetCode = IsWinNT();
        LOG_PROCESS_ERROR(bRetCode);

        bool bIs64 = false;
        bRetCode = plat::Is64BitSystem(&bIs64);
        LOG_PROCESS_ERROR(bRetCode);
        m_bIs64bitOS = bIs64;

        if (m_hDriver == plat::INVALID_HANDLE_VALUE)
            m_hDriver = plat::OpenDevice(u"\\\\.\\QVXDriver");
        if (m_hDriver == plat::INVALID_HANDLE_VALUE) {
            char16_t szDriverPath[256];
            g_Log.Write(ltInfo, "Try to install QVX driver\n");
            bRetCode = GetDriverPath(szDriverPath);
            LOG_PROCESS_ERROR(bRetCode);
            bRetCode = InstallDriver(szDriverPath);
            LOG_PROCESS_ERROR(bRetCode);
            bRetCode = StartDriver();
            if (!bRetCode)
                RemoveDriver();          // nobody else can use the service we just created
            LOG_PROCESS_ERROR(bRetCode);
            m_hDriver = plat::OpenDevice(u"\\\\.\\QVXDriver");
            LOG_PROCESS_ERROR(m_hDriver != INVALID_HANDLE_VALUE);
        }

        bRetCode = AddReference();
        LOG_PROCESS_ERROR(bRetCode);

        std::vector<uint8_t> MCFG;
        if (g_MCFGSource.load()(MCFG)) {
            const uint32_t uSize = static_cast<uint32_t>(MCFG.size());
            // The first base address must be there whole (a shorter table would be
            // read past its end).
            if (uSize < MCFG_MIN_SIZE) {
                LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "uSize > sizeof(MCFG)");
                return false;
            }
            _SelectMCFGEntry(MCFG);
            LOG_PROCESS_ERROR(m_ullPCIBaseAddress);

            // Bus 0, device 24 (the processor) must answer, or the window is unusable;
            // a probe that cannot even be read drops it too.
            uint32_t uValue = 0;
            bRetCode = ReadMemory(m_ullPCIBaseAddress + 0xC0000, sizeof(uValue), reinterpret_cast<char*>(&uValue));
            if (!bRetCode || uValue == 0xFFFFFFFF)
                m_ullPCIBaseAddress = 0;
            g_Log.Write(ltInfo, "Found PCI MMIO base address %X\n", static_cast<uint32_t>(m_ullPCIBaseAddress));
        }

        // The maker's south-bridge SMBus controller at 00:14.0.
        uint32_t ulData = 0;
        bRetCode = GetPCIConfig(0, 20, 0, 0, reinterpret_cast<char*>(&ulData), sizeof(ulData));
        LOG_PROCESS_ERROR(bRetCode);
        if ((ulData & 0xFFFF) == 0x1002 && (ulData >> 16) == 0x4385) {
            bRetCode = GetPCIConfig(0, 20, 0, 0x90, reinterpret_cast<char*>(&ulData), sizeof(ulData));
            LOG_PROCESS_ERROR(bRetCode);
            LOG_PROCESS_ERROR(ulData & 0x01);
            m_usSMBusBase = static_cast<uint16_t>(ulData & 0xFFF0);
        }

        bRetCode = InitPCIHeader();
        LOG_PROCESS_ERROR(bRetCode);

        if (m_usSMBusBase == 0)
            _FindSMBusInPCIList();
        return true;
    }();
    if (!bResult)
        UnInit();
    return bResult;
}

bool CDriverHandler::_SelectMCFGEntry(const std::vector<uint8_t>& table)
{
    // The entry of segment 0 and the buses it covers; accesses outside them must
    // not go through the window.
    const size_t uEntries = (table.size() - MCFG_FIRST_ENTRY) / MCFG_ENTRY_SIZE;
    if (uEntries == 0) {
        m_ullPCIBaseAddress = GetU64(table, MCFG_FIRST_ENTRY);
        m_uECAMStartBus = 0;
        m_uECAMEndBus = 255;
        return true;
    }
    for (size_t i = 0; i < uEntries; ++i) {
        const size_t at = MCFG_FIRST_ENTRY + i * MCFG_ENTRY_SIZE;
        const uint16_t usSegment = static_cast<uint16_t>(table[at + 8] | table[at + 9] << 8);
        if (usSegment != 0)
            continue;
        m_ullPCIBaseAddress = GetU64(table, at);
        m_uECAMStartBus = table[at + 10];
        m_uECAMEndBus = table[at + 11];
        return true;
    }
    return false;
}

void CDriverHandler::_FindSMBusInPCIList()
{
    for (const auto& [uKey, header] : m_PCIDeviceList) {
        if (header.Header[11] != 0x0C || header.Header[10] != 0x05)
            continue;
        uint32_t uBar = 0;
        for (int i = 0; i < 6; ++i) {
            uint32_t uValue = 0;
            std::memcpy(&uValue, header.Header + 0x10 + 4 * i, sizeof uValue);
            if (uValue & 0x01)
                uBar = uValue;
        }
        if (uBar) {
            m_usSMBusBase = static_cast<uint16_t>(uBar & 0xFFFC);
            return;
        }
    }
}

bool CDriverHandler::UnInit()
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    bool bRetCode = false;
    uint32_t dwBytesReturned = 0;

    LOG_CHECK_ERROR(m_MapAddrList.size() == 0);
    LOG_CHECK_ERROR(m_AllocateAddrList.size() == 0);
    for (auto& [pAddress, param] : m_MapAddrList) {
        bRetCode = _SendRequest(drUnmapMemory, &param, sizeof(param), nullptr, 0, dwBytesReturned);
        LOG_CHECK_ERROR(bRetCode);
    }
    for (auto& [pAddress, param] : m_AllocateAddrList) {
        bRetCode = _SendRequest(drFreeMemory, &param, sizeof(param), nullptr, 0, dwBytesReturned);
        LOG_CHECK_ERROR(bRetCode);
    }
    m_MapAddrList.clear();
    m_AllocateAddrList.clear();

    if (m_hDriver != plat::INVALID_HANDLE_VALUE) {
        plat::CloseDevice(m_hDriver);
        m_hDriver = plat::INVALID_HANDLE_VALUE;
    }

    // The unit goes back once; a process that never opened the semaphore only
    // gets the release's error line.
    if (m_bReferenceHeld) {
        m_bReferenceHeld = false;
        if (ReleaseReference() == 0) {
            bRetCode = RemoveDriver();
            LOG_CHECK_ERROR(bRetCode);
        }
    } else if (!m_bSemaphoreOpened) {
        ReleaseReference();
    }
    // On Windows the handle would close with the process. Here it lives in the runtime
    // folder, which the program's end removes or stops using: it goes now, not from a
    // destructor at exit.
    if (m_hSemaphore) {
        plat::CloseHandle(m_hSemaphore);
        m_hSemaphore = nullptr;
    }
    return true;
}
