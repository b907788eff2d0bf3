#pragma once
// Modules loaded for their resources only, as the flash-cache page loads
// "Corvane.dll" for the template of "EMD.dat". The stand-in loads nothing from
// disk: it knows its modules by name (case-insensitive) and builds their
// resources itself. A failed call returns null or false and sets GetLastError().
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace plat {

enum : uint32_t {
    kErrorModuleNotFound = 126,
    kErrorResourceTypeNotFound = 1813,
    kErrorResourceNameNotFound = 1814,
};

struct ResourceModule;
using HMODULE = ResourceModule*;

HMODULE LoadLibrary(const char16_t* name);
// The bytes of resource id of the given type; they stay valid until the module is freed.
bool LoadResourceBytes(HMODULE module, uint32_t id, const char16_t* type, const uint8_t** data, uint32_t* size);
bool FreeLibrary(HMODULE module);

// Tests: how many modules are loaded and not yet freed.
int LoadedResourceModules();

// What the modules hold: module name -> (resource type, id) -> bytes.
using ModuleResources = std::map<std::pair<std::u16string, uint32_t>, std::vector<uint8_t>>;
using ResourceModuleTable = std::map<std::u16string, ModuleResources>;

// The built-in modules: "Corvane.dll" with the 306-byte "RT_EMD" resource 107.
const ResourceModuleTable& BuiltInResourceModules();
// Tests: answer from this table instead (not owned; null: the built-in one again).
void SetResourceModulesForTesting(const ResourceModuleTable* table);

} // namespace plat
