// CVykBIOSHandler::InitFuncIDList: the firmware's function ids, read on a connection
// of its own (not m_WmiHandler's) and without the WMI mutex.
#include "Engine/VykBIOSHandler.h"

#include "FirmwareCheck.h"
#include "WmiValue.h"

#include <algorithm>

namespace {

// Balances the component library's initialisation on every path.
struct ComScope {
    ComScope() { plat::CoInitialize(); }
    ~ComScope() { plat::CoUninitialize(); }
};

} // namespace

bool CVykBIOSHandler::InitFuncIDList()
{
    ComScope com;
    std::unique_ptr<uint32_t[]> list(new uint32_t[VYK_FUNC_ID_COUNT]());

    plat::WbemLocatorPtr pLocator;
    plat::WbemServicesPtr pServices;
    plat::HRESULT hRetCode = plat::CoCreateWbemLocator(&pLocator);
    LOG_COM_PROCESS_ERROR(hRetCode);
    hRetCode = pLocator->ConnectServer(u"root\\wmi", &pServices);
    LOG_COM_PROCESS_ERROR(hRetCode);
    if (plat::Failed(plat::CoSetProxyBlanket(pServices)))
        return false;

    std::shared_ptr<plat::WbemEnumerator> pEnum;
    hRetCode = pServices->CreateInstanceEnum(u"VYK_ACPI", plat::WBEM_FLAG_SHALLOW | plat::WBEM_FLAG_FORWARD_ONLY, &pEnum);
    LOG_COM_PROCESS_ERROR(hRetCode);
    plat::WbemObjectPtr pInstance;
    uint32_t uReturned = 0;
    hRetCode = pEnum->Next(2000, 1, &pInstance, &uReturned);
    if (uReturned == 0 && hRetCode == plat::S_FALSE)
        hRetCode = plat::WBEM_E_NOT_FOUND;       // no instance at all
    LOG_COM_PROCESS_ERROR(hRetCode);

    plat::VARIANT varPath;
    hRetCode = pInstance->Get(u"__PATH", &varPath);
    LOG_COM_PROCESS_ERROR(hRetCode);
    plat::WbemObjectPtr pOutParams;
    hRetCode = pServices->ExecMethod(varPath.bstrVal.c_str(), u"GetObjectID", 0, nullptr, &pOutParams);
    LOG_COM_PROCESS_ERROR(hRetCode);
    LOG_PROCESS_ERROR(pOutParams);

    plat::VARIANT varPack, varX;
    hRetCode = pOutParams->Get(u"pack", &varPack);
    LOG_COM_PROCESS_ERROR(hRetCode);
    const plat::WbemObjectPtr pPackageClass = g_VariantObject(varPack);
    LOG_PROCESS_ERROR(pPackageClass);
    hRetCode = pPackageClass->Get(u"x", &varX);
    LOG_COM_PROCESS_ERROR(hRetCode);
    const plat::SafeArrayPtr psa = g_VariantArray(varX);
    LOG_PROCESS_ERROR(psa);
    LOG_PROCESS_ERROR_AS(psa->Data(), "psa->pvData", false);

    // Fewer ids than the list holds leave the rest 0; more are not read.
    const uint32_t uCount = std::min(psa->Count(), VYK_FUNC_ID_COUNT);
    for (uint32_t i = 0; i < uCount; ++i) {
        int64_t v = 0;
        psa->GetElement(i, &v);
        list[i] = static_cast<uint32_t>(v);
    }
    m_pFuncIDList = std::move(list);
    return true;
}
