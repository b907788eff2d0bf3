#include "Engine/ACPITable.h"
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

#include <algorithm>
#include <cstring>

namespace {

const uint32_t kHeaderSize = 36;
// No real table comes near this; a larger length is a corrupt header, not a table.
const uint32_t kMaxTableLength = 4u << 20;
// The root tables, the fixed description table and FACP's two children: deeper
// nesting than this only comes from tables that point at each other.
const int kMaxDepth = 8;

const char* const kKnownLeaves[] = {"APIC", "BERT", "BOOT", "CPEP", "DBGP", "DMAR", "DSDT", "ECDT", "ERST", "ETDT",
                                    "FACS", "HEST", "HPET", "IBFT", "MCFG", "PSDT", "SBST", "SLIT", "SPCR", "SPMI",
                                    "SRAT", "SSDT", "TCPA", "UEFI", "WAET", "WDAT", "WDRT", "WSPT"};

// The search area is large; it lives beside the library, not on the stack.
uint8_t g_SearchBuffer[0x1FFFF];

template <class T>
T Load(const void* at)
{
    T v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

bool IsKnownLeaf(ACPI_TABLE_SIGNATURE signature)
{
    return std::any_of(std::begin(kKnownLeaves), std::end(kKnownLeaves), [&](const char* s) {
        return AcpiSignature(s) == signature;
    });
}

} // namespace

bool g_ReadMCFGFromACPI(std::vector<uint8_t>& table)
{
    CACPITable& acpi = GetACPITable();
    const char* data = nullptr;
    uint32_t length = 0;
    if (!acpi.Init() || !acpi.GetTable(AcpiSignature("MCFG"), data, length))
        return false;
    table.assign(data, data + length);
    return true;
}

CACPITable::~CACPITable() { UnInit(); }

CACPITable& GetACPITable()
{
    static CACPITable table;
    return table;
}

uint8_t CACPITable::CheckSum(const uint8_t* pData, uint32_t length)
{
    LOG_PROCESS_ERROR_RET(pData, 0);
    uint8_t sum = 0;
    for (uint32_t i = 0; i < length; ++i)
        sum = static_cast<uint8_t>(sum + pData[i]);
    return sum;
}

bool CACPITable::Init()
{
    // A failed read leaves no partial list behind.
    struct Guard {
        CACPITable* self;
        bool ok = false;
        ~Guard()
        {
            if (!ok)
                self->UnInit();
        }
    } guard{this};
    uint8_t rsdp[36] = {};
    UnInit();                     // a second reading starts from nothing

    bool bRetCode = g_DriverHandler.ReadMemory(ACPI_SEARCH_START, sizeof g_SearchBuffer,
                                               reinterpret_cast<char*>(g_SearchBuffer));
    LOG_PROCESS_ERROR(bRetCode);

    for (m_uRSDPAddress = ACPI_SEARCH_START; m_uRSDPAddress < ACPI_SEARCH_END; m_uRSDPAddress += 16)
        if (std::memcmp(g_SearchBuffer + (m_uRSDPAddress - ACPI_SEARCH_START), "RSD PTR ", 8) == 0)
            break;
    LOG_PROCESS_ERROR(m_uRSDPAddress < ACPI_SEARCH_END);

    bRetCode = g_DriverHandler.ReadMemory(m_uRSDPAddress, sizeof rsdp, reinterpret_cast<char*>(rsdp));
    LOG_PROCESS_ERROR(bRetCode);

    uint8_t ucCheckSum = CheckSum(rsdp, 20);
    LOG_PROCESS_ERROR(ucCheckSum == 0);

    if (const uint32_t rsdt = Load<uint32_t>(rsdp + 16)) {
        bRetCode = Parse(rsdt);
        LOG_PROCESS_ERROR(bRetCode);
    }
    if (rsdp[15] > 0) {
        if (const uint64_t xsdt = Load<uint64_t>(rsdp + 24)) {
            ucCheckSum = CheckSum(rsdp, 36);
            LOG_PROCESS_ERROR(ucCheckSum == 0);
            bRetCode = Parse(xsdt);
            LOG_PROCESS_ERROR(bRetCode);
        }
    }
    guard.ok = true;
    return true;
}

bool CACPITable::UnInit()
{
    m_TableList.clear();
    return true;
}

bool CACPITable::GetTable(ACPI_TABLE_SIGNATURE signature, const char*& data, uint32_t& length)
{
    const auto it = m_TableList.find(signature);
    LOG_PROCESS_ERROR(it != m_TableList.end());
    data = it->second.data.get();
    length = it->second.length;
    return true;
}

bool CACPITable::Parse(uint64_t address, int depth)
{
    char header[kHeaderSize];
    bool bRetCode = g_DriverHandler.ReadMemory(address, sizeof header, header);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(depth < kMaxDepth);

    const ACPI_TABLE_SIGNATURE signature = AcpiSignature(header);
    // Both root tables list the same tables: one already read from this address is
    // no second table, and its children are read already too.
    if (const auto it = m_TableList.find(signature); it != m_TableList.end() && it->second.address == address)
        return true;
    const uint32_t uLength = Load<uint32_t>(header + 4);
    LOG_PROCESS_ERROR(uLength >= kHeaderSize);
    LOG_PROCESS_ERROR(uLength <= kMaxTableLength);

    std::unique_ptr<char[]> pBuffer(new (std::nothrow) char[uLength]);
    LOG_PROCESS_ERROR(pBuffer);
    bRetCode = g_DriverHandler.ReadMemory(address, uLength, pBuffer.get());
    LOG_PROCESS_ERROR(bRetCode);

    // The firmware control structure has no checksum field: it is taken as found.
    if (signature != AcpiSignature("FACS")) {
        const uint8_t ucCheckSum = CheckSum(reinterpret_cast<const uint8_t*>(pBuffer.get()), uLength);
        LOG_PROCESS_ERROR(ucCheckSum == 0);
    }

    const auto InsRet = m_TableList.emplace(signature, TableCopy{std::move(pBuffer), uLength, address});
    LOG_PROCESS_ERROR(InsRet.second);
    _Follow(signature, InsRet.first->second.data.get(), uLength, depth);
    return true;
}

void CACPITable::_Follow(ACPI_TABLE_SIGNATURE signature, const char* table, uint32_t length, int depth)
{
    bool bRetCode = false;
    if (signature == AcpiSignature("FACP")) {
        // Only the fields the table's length covers.
        const uint32_t facs = length >= 40 ? Load<uint32_t>(table + 36) : 0;
        const uint32_t dsdt = length >= 44 ? Load<uint32_t>(table + 40) : 0;
        if (facs) {
            bRetCode = Parse(facs, depth + 1);
            LOG_CHECK_ERROR(bRetCode);
        }
        if (dsdt) {
            bRetCode = Parse(dsdt, depth + 1);
            LOG_CHECK_ERROR(bRetCode);
        }
    } else if (signature == AcpiSignature("RSDT") || signature == AcpiSignature("XSDT")) {
        const uint32_t width = signature == AcpiSignature("RSDT") ? 4 : 8;
        const uint32_t count = (length - kHeaderSize) / width;
        for (uint32_t i = 0; i < count; ++i) {
            const char* entry = table + kHeaderSize + i * width;
            const uint64_t address = width == 4 ? Load<uint32_t>(entry) : Load<uint64_t>(entry);
            if (address == 0)
                continue;
            bRetCode = Parse(address, depth + 1);
            LOG_CHECK_ERROR(bRetCode);
        }
    } else if (!IsKnownLeaf(signature)) {
        g_Log.Write(ltInfo, "Unknown ACPI table signature %X\n", signature);
    }
}
