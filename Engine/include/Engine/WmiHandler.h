#pragma once
// One connection to a management namespace, through which the Engine reaches the
// board firmware: class objects, instances, properties, and method calls with at most
// one in- and one out-parameter. Every method call of every handler in every process
// is serialised by the named mutex "QVX_WMI_HANDLER_MUTEX".
#include <cstdint>

#include "Platform/Wmi.h"

class CWmiHandler {
public:
    CWmiHandler() = default;
    CWmiHandler(const CWmiHandler&) = delete;
    CWmiHandler& operator=(const CWmiHandler&) = delete;

    // Fails on a connected handler (the connection stays as it was).
    bool Connect(const char16_t* pszNamespace);
    // Releases the connection and balances the component library's initialisation of
    // its Connect; nothing when not connected. Always true.
    bool Disconnect();
    bool IsConnected() const { return m_pIWbemServices != nullptr; }

    plat::WbemObjectPtr GetObjectW(const char16_t* pszObjectName);
    plat::WbemObjectPtr GetInstance(const char16_t* pszClassName, int nIndex);
    bool GetInstanceCount(const char16_t* pszClassName, uint32_t* puCount);
    bool GetPropertyValue(const plat::WbemObjectPtr& pObject, const char16_t* pszPropertyName,
                          plat::VARIANT* pvaPropertyValue);
    bool SetPropertyValue(const plat::WbemObjectPtr& pObject, const char16_t* pszPropertyName,
                          plat::VARIANT* pvaPropertyValue);
    // Static methods run on the class, others on instance 0. In/out names and values
    // may be null (no in-parameter, no out-parameter wanted).
    bool CallMethod(const char16_t* pszClassName, const char16_t* pszMethodName, const char16_t* pszInName,
                    plat::VARIANT* pInValue, const char16_t* pszOutName, plat::VARIANT* pOutValue);

private:
    bool _CallMethodLocked(const char16_t* pszClassName, const char16_t* pszMethodName, const char16_t* pszInName,
                           plat::VARIANT* pInValue, const char16_t* pszOutName, plat::VARIANT* pOutValue);

    plat::WbemServicesPtr m_pIWbemServices;
};

extern CWmiHandler g_CIMHandler;                 // "root\cimv2"
extern CWmiHandler g_WMIHandler;                 // "root\wmi"
