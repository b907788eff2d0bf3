#include "WmiValue.h"

#include <mutex>

bool g_VariantToInt(const plat::VARIANT& value, int64_t* out)
{
    if (!plat::IsIntegerType(value.vt))
        return false;
    *out = value.llVal;
    return true;
}

plat::WbemObjectPtr g_VariantObject(const plat::VARIANT& value)
{
    return value.vt == plat::VT_UNKNOWN ? value.punkVal : nullptr;
}

plat::SafeArrayPtr g_VariantArray(const plat::VARIANT& value)
{
    return (value.vt & plat::VT_ARRAY) ? value.parray : nullptr;
}

bool g_GetIntProperty(const plat::WbemObjectPtr& object, const char16_t* name, int64_t* out)
{
    plat::VARIANT value;
    return object && !plat::Failed(object->Get(name, &value)) && g_VariantToInt(value, out);
}

namespace {
std::mutex g_mutexLock;
std::shared_ptr<plat::NamedMutex> g_wmiMutex;
}

std::shared_ptr<plat::NamedMutex> g_GetWmiMutex()
{
    std::lock_guard<std::mutex> lock(g_mutexLock);
    return g_wmiMutex;
}

void g_SetWmiMutex(std::shared_ptr<plat::NamedMutex> mutex)
{
    std::lock_guard<std::mutex> lock(g_mutexLock);
    g_wmiMutex = std::move(mutex);
}
