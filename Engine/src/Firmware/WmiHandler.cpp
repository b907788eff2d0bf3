#include "Engine/WmiHandler.h"
#include "Engine/LogCheck.h"

#include "WmiValue.h"

using plat::HRESULT;

CWmiHandler g_CIMHandler;
CWmiHandler g_WMIHandler;

bool CWmiHandler::Connect(const char16_t* pszNamespace)
{
    LOG_PROCESS_ERROR(m_pIWbemServices == NULL);
    plat::CoInitialize();

    plat::WbemLocatorPtr pLocator;
    plat::WbemServicesPtr pServices;
    std::shared_ptr<plat::NamedMutex> hWMIMutex;
    HRESULT hRetCode = plat::CoCreateWbemLocator(&pLocator);
    if (!plat::Failed(hRetCode))
        hRetCode = pLocator->ConnectServer(pszNamespace, &pServices);
    if (!plat::Failed(hRetCode))
        hRetCode = plat::CoSetProxyBlanket(pServices);
    if (!plat::Failed(hRetCode)) {
        hWMIMutex = plat::NamedMutex::OpenOrCreate("QVX_WMI_HANDLER_MUTEX");
        if (!hWMIMutex) {
            plat::CoUninitialize();
            LOG_PROCESS_ERROR(hWMIMutex);
        }
    }
    if (plat::Failed(hRetCode)) {
        // Leave nothing half-connected, and balance the initialisation above.
        plat::CoUninitialize();
        LOG_COM_PROCESS_ERROR(hRetCode);
    }
    m_pIWbemServices = pServices;
    g_SetWmiMutex(hWMIMutex);
    return true;
}

bool CWmiHandler::Disconnect()
{
    if (m_pIWbemServices) {
        m_pIWbemServices.reset();
        plat::CoUninitialize();
    }
    return true;
}

plat::WbemObjectPtr CWmiHandler::GetObjectW(const char16_t* pszObjectName)
{
    LOG_PROCESS_ERROR_RET(pszObjectName, nullptr);
    LOG_PROCESS_ERROR_RET(m_pIWbemServices, nullptr);
    plat::WbemObjectPtr pObject;
    const HRESULT hRetCode = m_pIWbemServices->GetObject(pszObjectName, 0, &pObject);
    if (plat::Failed(hRetCode)) {
        LOG_WRITE_CHECK_LINE("LOG_COM_PROCESS_ERROR", "hRetCode");
        return nullptr;
    }
    return pObject;
}

plat::WbemObjectPtr CWmiHandler::GetInstance(const char16_t* pszClassName, int nIndex)
{
    LOG_PROCESS_ERROR_RET(pszClassName, nullptr);
    LOG_PROCESS_ERROR_RET(m_pIWbemServices, nullptr);
    std::shared_ptr<plat::WbemEnumerator> pEnum;
    const HRESULT hRetCode = m_pIWbemServices->CreateInstanceEnum(
        pszClassName, plat::WBEM_FLAG_SHALLOW | plat::WBEM_FLAG_FORWARD_ONLY | plat::WBEM_FLAG_DIRECT_READ, &pEnum);
    if (plat::Failed(hRetCode)) {
        LOG_WRITE_CHECK_LINE("LOG_COM_PROCESS_ERROR", "hRetCode");
        return nullptr;
    }
    for (int i = 0; i >= 0; ++i) {
        plat::WbemObjectPtr pObject;
        uint32_t uReturned = 0;
        pEnum->Next(2000, 1, &pObject, &uReturned);
        if (uReturned == 0)
            return nullptr;                     // the enumeration ended first
        if (i == nIndex)
            return pObject;
    }
    return nullptr;
}

bool CWmiHandler::GetInstanceCount(const char16_t* pszClassName, uint32_t* puCount)
{
    LOG_PROCESS_ERROR(pszClassName);
    LOG_PROCESS_ERROR(puCount);
    *puCount = 0;
    LOG_PROCESS_ERROR(m_pIWbemServices);
    std::shared_ptr<plat::WbemEnumerator> pEnum;
    HRESULT hRetCode = m_pIWbemServices->CreateInstanceEnum(
        pszClassName, plat::WBEM_FLAG_SHALLOW | plat::WBEM_FLAG_FORWARD_ONLY, &pEnum);
    LOG_COM_PROCESS_ERROR(hRetCode);
    for (;;) {
        plat::WbemObjectPtr pObject;
        uint32_t uReturned = 0;
        hRetCode = pEnum->Next(2000, 1, &pObject, &uReturned);
        *puCount += uReturned;
        if (hRetCode != plat::S_OK)
            return true;
    }
}

bool CWmiHandler::GetPropertyValue(const plat::WbemObjectPtr& pObject, const char16_t* pszPropertyName,
                                   plat::VARIANT* pvaPropertyValue)
{
    LOG_PROCESS_ERROR(pObject);
    LOG_PROCESS_ERROR(pszPropertyName);
    LOG_PROCESS_ERROR(pvaPropertyValue);
    LOG_PROCESS_ERROR(m_pIWbemServices);
    const HRESULT hRetCode = pObject->Get(pszPropertyName, pvaPropertyValue);
    LOG_COM_PROCESS_ERROR(hRetCode);
    return true;
}

bool CWmiHandler::SetPropertyValue(const plat::WbemObjectPtr& pObject, const char16_t* pszPropertyName,
                                   plat::VARIANT* pvaPropertyValue)
{
    LOG_PROCESS_ERROR(pObject);
    LOG_PROCESS_ERROR(pvaPropertyValue);
    LOG_PROCESS_ERROR(m_pIWbemServices);
    const HRESULT hRetCode = pObject->Put(pszPropertyName, pvaPropertyValue);
    LOG_COM_PROCESS_ERROR(hRetCode);
    return true;
}
