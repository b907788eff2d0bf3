#include "Platform/ResourceModule.h"
#include "Platform/LastError.h"

#include <QString>

#include <atomic>
#include <cstring>

namespace plat {

struct ResourceModule {
    ModuleResources resources;
};

namespace {

std::atomic<const ResourceModuleTable*> g_testTable{nullptr};
std::atomic<int> g_loaded{0};

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The template of the cache volume's description file. Its layout is ours: a
// signature, the record's size and version, a volume identity, the cache size
// (bytes 32-35, zero here: the caller puts its own in), the block size and a name.
std::vector<uint8_t> EmdTemplate()
{
    constexpr size_t kSize = 306;
    std::vector<uint8_t> bytes(kSize, 0);
    std::memcpy(bytes.data(), "VEMD", 4);
    PutU32(bytes, 4, kSize);
    PutU32(bytes, 8, 1);                                  // version
    PutU32(bytes, 12, 0x1);                               // flags: cache enabled
    for (size_t i = 16; i < 32; ++i)                      // volume identity
        bytes[i] = static_cast<uint8_t>(0xA0 + i);
    PutU32(bytes, 36, 4096);                              // block size
    const char16_t name[] = u"Vyk Velocrest flash cache";
    for (size_t i = 0; name[i]; ++i) {
        bytes[40 + 2 * i] = static_cast<uint8_t>(name[i] & 0xFF);
        bytes[41 + 2 * i] = static_cast<uint8_t>(name[i] >> 8);
    }
    return bytes;
}

const ResourceModuleTable& Table()
{
    const ResourceModuleTable* table = g_testTable.load();
    return table ? *table : BuiltInResourceModules();
}

QString Folded(const std::u16string& text) { return QString::fromStdU16String(text).toCaseFolded(); }

} // namespace

const ResourceModuleTable& BuiltInResourceModules()
{
    static const ResourceModuleTable table = {{u"Corvane.dll", {{{u"RT_EMD", 107}, EmdTemplate()}}}};
    return table;
}

void SetResourceModulesForTesting(const ResourceModuleTable* table) { g_testTable.store(table); }

HMODULE LoadLibrary(const char16_t* name)
{
    if (!name) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    const QString wanted = Folded(name);
    for (const auto& [moduleName, resources] : Table()) {
        if (Folded(moduleName) == wanted) {
            ++g_loaded;
            return new ResourceModule{resources};
        }
    }
    SetLastError(kErrorModuleNotFound);
    return nullptr;
}

bool LoadResourceBytes(HMODULE module, uint32_t id, const char16_t* type, const uint8_t** data, uint32_t* size)
{
    if (!module || !type || !data || !size) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    bool typeFound = false;
    for (const auto& [key, bytes] : module->resources) {
        if (Folded(key.first) != Folded(type))
            continue;
        typeFound = true;
        if (key.second == id) {
            *data = bytes.data();
            *size = static_cast<uint32_t>(bytes.size());
            return true;
        }
    }
    SetLastError(typeFound ? kErrorResourceNameNotFound : kErrorResourceTypeNotFound);
    return false;
}

bool FreeLibrary(HMODULE module)
{
    if (!module) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    delete module;
    --g_loaded;
    return true;
}

int LoadedResourceModules() { return g_loaded.load(); }

} // namespace plat
