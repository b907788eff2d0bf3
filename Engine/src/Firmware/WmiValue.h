#pragma once
// Reading the values that come back from the firmware, whatever width they arrive in.
#include <cstdint>

#include "Platform/NamedMutex.h"
#include "Platform/Wmi.h"

// An integer of any width (or a boolean); false for any other kind of value.
bool g_VariantToInt(const plat::VARIANT& value, int64_t* out);
// The object or array a value holds, or null.
plat::WbemObjectPtr g_VariantObject(const plat::VARIANT& value);
plat::SafeArrayPtr g_VariantArray(const plat::VARIANT& value);
// A property of an object read as an integer; false when absent or not an integer.
bool g_GetIntProperty(const plat::WbemObjectPtr& object, const char16_t* name, int64_t* out);

// The process-wide handle of the WMI mutex: each successful connect stores the one it
// opened (the same object while the state folder stays the same).
std::shared_ptr<plat::NamedMutex> g_GetWmiMutex();
void g_SetWmiMutex(std::shared_ptr<plat::NamedMutex> mutex);
