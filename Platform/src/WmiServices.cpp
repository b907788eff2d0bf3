// Connections to a namespace: locator, services and the component-library calls.
// Fault switches: "wmi-locator" (no locator), "wmi-connect" or "wmi-connect:NS"
// (the namespace refuses the connection), "wmi-proxy-blanket".
#include "Platform/Service.h"
#include "Platform/Wmi.h"

#include "VirtualBoard/Machine.h"

#include <QString>

namespace plat {

IWmiProvider& FirmwareWmiProvider();            // WmiFirmwareProvider.cpp

namespace {

thread_local int t_comInit = 0;

Service<IWmiProvider>& Providers()
{
    static Service<IWmiProvider> service(FirmwareWmiProvider());
    return service;
}

bool FaultSet(const std::string& name) { return vb::Machine::Instance().GetFaults().IsSet(name); }

std::string Utf8(const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); }

// "\\.\root\wmi:VYK_ACPI.InstanceName=..." -> "VYK_ACPI"; a bare class name stays.
std::u16string ClassOfPath(const std::u16string& path)
{
    std::u16string p = path;
    const size_t colon = p.find(u':');
    if (colon != std::u16string::npos)
        p = p.substr(colon + 1);
    const size_t dot = p.find(u'.');
    if (dot != std::u16string::npos)
        p = p.substr(0, dot);
    return p;
}

} // namespace

IWmiProvider& WmiProvider() { return Providers().Get(); }
void SetWmiProvider(IWmiProvider* provider) { Providers().Set(provider); }

HRESULT CoInitialize()
{
    return t_comInit++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_comInit > 0)
        --t_comInit;
}

int WmiComInitCount() { return t_comInit; }

HRESULT CoCreateWbemLocator(WbemLocatorPtr* locator)
{
    if (!locator)
        return E_POINTER;
    if (FaultSet("wmi-locator"))
        return E_FAIL;
    *locator = std::make_shared<WbemLocator>();
    return S_OK;
}

HRESULT CoSetProxyBlanket(const WbemServicesPtr& services)
{
    if (!services)
        return E_POINTER;
    return FaultSet("wmi-proxy-blanket") ? WBEM_E_ACCESS_DENIED : S_OK;
}

HRESULT WbemLocator::ConnectServer(const char16_t* ns, WbemServicesPtr* services)
{
    if (!ns || !services)
        return WBEM_E_INVALID_PARAMETER;
    const std::u16string name(ns);
    if (FaultSet("wmi-connect") || FaultSet("wmi-connect:" + Utf8(name)) || !WmiProvider().HasNamespace(name))
        return WBEM_E_INVALID_NAMESPACE;
    *services = std::make_shared<WbemServices>(name);
    return S_OK;
}

HRESULT WbemServices::GetObject(const char16_t* path, int32_t, WbemObjectPtr* object)
{
    if (!path || !object)
        return WBEM_E_INVALID_PARAMETER;
    WbemObjectPtr found = WmiProvider().GetClass(m_namespace, ClassOfPath(path));
    if (!found)
        return WBEM_E_NOT_FOUND;
    *object = found;
    return S_OK;
}

HRESULT WbemServices::CreateInstanceEnum(const char16_t* className, int32_t, std::shared_ptr<WbemEnumerator>* enumerator)
{
    if (!className || !enumerator)
        return WBEM_E_INVALID_PARAMETER;
    std::vector<WbemObjectPtr> instances;
    if (!WmiProvider().GetInstances(m_namespace, className, &instances))
        return WBEM_E_INVALID_CLASS;
    *enumerator = std::make_shared<WbemEnumerator>(std::move(instances));
    return S_OK;
}

HRESULT WbemServices::ExecMethod(const char16_t* path, const char16_t* method, int32_t, const WbemObjectPtr& inParams,
                                 WbemObjectPtr* outParams)
{
    if (!path || !method)
        return WBEM_E_INVALID_PARAMETER;
    WbemObjectPtr out;
    const HRESULT hr = WmiProvider().ExecMethod(m_namespace, path, method, inParams, &out);
    if (outParams)
        *outParams = Failed(hr) ? nullptr : out;
    return hr;
}

} // namespace plat
