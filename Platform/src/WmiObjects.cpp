// Class objects, instances, qualifier sets and enumerators.
#include "Platform/Wmi.h"

#include <algorithm>

namespace plat {

HRESULT WbemQualifierSet::Get(const char16_t* name, VARIANT* value) const
{
    if (!name || !value)
        return WBEM_E_INVALID_PARAMETER;
    for (const auto& [n, v] : m_values)
        if (n == name) {
            *value = v;
            return S_OK;
        }
    return WBEM_E_NOT_FOUND;
}

WbemClassObject::WbemClassObject(std::u16string className, bool isClass)
    : m_className(std::move(className)), m_isClass(isClass)
{
}

WbemObjectPtr WbemClassObject::NewClass(std::u16string className, std::vector<WbemMethodInfo> methods)
{
    WbemObjectPtr object(new WbemClassObject(std::move(className), true));
    object->m_methods = std::move(methods);
    return object;
}

WbemObjectPtr WbemClassObject::NewInstance(std::u16string className)
{
    return WbemObjectPtr(new WbemClassObject(std::move(className), false));
}

HRESULT WbemClassObject::Get(const char16_t* name, VARIANT* value) const
{
    if (!name || !value)
        return WBEM_E_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_lock);
    for (const auto& [n, v] : m_properties)
        if (n == name) {
            *value = v;
            return S_OK;
        }
    if (std::find(m_declared.begin(), m_declared.end(), name) != m_declared.end()) {
        VariantInit(value);                     // declared but never set
        value->vt = VT_NULL;
        return S_OK;
    }
    return WBEM_E_NOT_FOUND;
}

HRESULT WbemClassObject::Put(const char16_t* name, const VARIANT* value)
{
    if (!name || !value)
        return WBEM_E_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_closedSchema && std::find(m_declared.begin(), m_declared.end(), name) == m_declared.end())
        return WBEM_E_NOT_FOUND;
    for (auto& [n, v] : m_properties)
        if (n == name) {
            v = *value;
            return S_OK;
        }
    m_properties.emplace_back(name, *value);
    return S_OK;
}

const WbemMethodInfo* WbemClassObject::_FindMethod(const char16_t* method) const
{
    if (!method)
        return nullptr;
    for (const WbemMethodInfo& m : m_methods)
        if (m.name == method)
            return &m;
    return nullptr;
}

HRESULT WbemClassObject::GetMethod(const char16_t* method, WbemObjectPtr* inSignature) const
{
    if (!inSignature)
        return WBEM_E_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_lock);
    const WbemMethodInfo* m = _FindMethod(method);
    if (!m)
        return WBEM_E_NOT_FOUND;
    if (m->inParameters.empty()) {
        inSignature->reset();                   // a method without in-parameters has no signature
        return S_OK;
    }
    WbemObjectPtr signature(new WbemClassObject(u"__PARAMETERS", true));
    signature->m_declared = m->inParameters;
    *inSignature = signature;
    return S_OK;
}

HRESULT WbemClassObject::SpawnInstance(WbemObjectPtr* instance) const
{
    if (!instance)
        return WBEM_E_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_isClass)
        return WBEM_E_FAILED;
    WbemObjectPtr spawned(new WbemClassObject(m_className, false));
    spawned->m_declared = m_declared;
    spawned->m_closedSchema = !m_declared.empty();
    *instance = spawned;
    return S_OK;
}

HRESULT WbemClassObject::GetMethodQualifierSet(const char16_t* method, std::shared_ptr<WbemQualifierSet>* set) const
{
    if (!set)
        return WBEM_E_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_lock);
    const WbemMethodInfo* m = _FindMethod(method);
    if (!m)
        return WBEM_E_NOT_FOUND;
    std::vector<std::pair<std::u16string, VARIANT>> values;
    if (m->hasStaticQualifier || m->isStatic)
        values.emplace_back(u"Static", MakeBool(m->isStatic));
    *set = std::make_shared<WbemQualifierSet>(std::move(values));
    return S_OK;
}

std::vector<std::pair<std::u16string, VARIANT>> WbemClassObject::Properties() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_properties;
}

HRESULT WbemEnumerator::Next(int32_t, uint32_t count, WbemObjectPtr* objects, uint32_t* returned)
{
    if (!objects || !returned)
        return WBEM_E_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_lock);
    uint32_t n = 0;
    while (n < count && m_next < m_objects.size())
        objects[n++] = m_objects[m_next++];
    *returned = n;
    return n == count ? S_OK : S_FALSE;
}

} // namespace plat
