#include "Engine/Engine.h"
#include "Engine/VykBIOSHandler.h"

#include "FirmwareCheck.h"
#include "WmiValue.h"

#include <algorithm>

using plat::VT_EMPTY;

CVykBIOSHandler CVykBIOSHandler::m_Self;

bool CVykBIOSHandler::Init()
{
    m_bAvailable = false;
    bool bRetCode = BiosRequest(g_GetVID());
    LOG_PROCESS_ERROR(bRetCode);
    plat::VARIANT varOut;
    bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"Init", nullptr, nullptr, u"status", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(varOut.vt != VT_EMPTY);
    m_bAvailable = true;                         // whatever status the firmware gave
    return true;
}

bool CVykBIOSHandler::UnInit()
{
    plat::VARIANT varOut;
    int64_t status = -1;
    return m_WmiHandler.CallMethod(u"VYK_ACPI", u"UnInit", nullptr, nullptr, u"status", &varOut)
           && g_VariantToInt(varOut, &status) && (status & 0xFF) == 0;
}

bool CVykBIOSHandler::BiosRequest(unsigned request)
{
    LOG_PROCESS_ERROR_AS(m_WmiHandler.IsConnected(), "m_pIWbemServices", false);
    const plat::WbemObjectPtr pPackageClass = m_WmiHandler.GetObjectW(u"BiosRequestPackage");
    LOG_PROCESS_ERROR(pPackageClass);
    const plat::SafeArrayPtr psa = plat::SafeArray::Create(plat::VT_I4, 9);
    LOG_PROCESS_ERROR(psa);
    psa->PutElement(0, static_cast<int32_t>(request));
    const plat::VARIANT varX = plat::MakeArray(psa);
    const plat::HRESULT hr = pPackageClass->Put(u"x", &varX);
    LOG_COM_PROCESS_ERROR(hr);
    plat::VARIANT varIn = plat::MakeObject(pPackageClass);
    return m_WmiHandler.CallMethod(u"VYK_ACPI", u"BiosRequest", u"pack", &varIn, nullptr, nullptr);
}

double CVykBIOSHandler::GetValue(unsigned id)
{
    plat::VARIANT varIn = plat::MakeI4(static_cast<int32_t>(id)), varOut;
    bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"GetValue", u"id", &varIn, u"pack", &varOut);
    LOG_PROCESS_ERROR_RET(bRetCode, 0.0);
    const plat::WbemObjectPtr pPack = g_VariantObject(varOut);
    int64_t status = 0, value = 0;
    bRetCode = g_GetIntProperty(pPack, u"status", &status);
    LOG_PROCESS_ERROR_RET(bRetCode, 0.0);
    if ((status & 0xFF) != 0)
        return 0.0;                              // the firmware has no value for the id
    bRetCode = g_GetIntProperty(pPack, u"value", &value);
    LOG_PROCESS_ERROR_RET(bRetCode, 0.0);
    return static_cast<double>(static_cast<int32_t>(value));
}

bool CVykBIOSHandler::SetValue(unsigned id, double value)
{
    LOG_PROCESS_ERROR_AS(m_WmiHandler.IsConnected(), "m_pIWbemServices", false);
    // Truncated toward zero it must fit 32 bits (NaN fails both comparisons).
    LOG_PROCESS_ERROR(value > -2147483649.0 && value < 2147483648.0);
    const plat::WbemObjectPtr pPackageClass = m_WmiHandler.GetObjectW(u"SetValuePackage");
    LOG_PROCESS_ERROR(pPackageClass);
    const plat::VARIANT varId = plat::MakeI4(static_cast<int32_t>(id));
    const plat::VARIANT varValue = plat::MakeI4(static_cast<int32_t>(value));
    plat::HRESULT hr = pPackageClass->Put(u"id", &varId);
    LOG_COM_PROCESS_ERROR(hr);
    hr = pPackageClass->Put(u"value", &varValue);
    LOG_COM_PROCESS_ERROR(hr);
    plat::VARIANT varIn = plat::MakeObject(pPackageClass), varOut;
    int64_t status = -1;
    return m_WmiHandler.CallMethod(u"VYK_ACPI", u"SetValue", u"pack", &varIn, u"status", &varOut)
           && g_VariantToInt(varOut, &status) && (status & 0xFF) == 0;
}

bool CVykBIOSHandler::GetInfo(unsigned id, unsigned* values)
{
    unsigned count = 0;
    return GetInfo(id, values, VYK_INFO_MAX_COUNT, &count);
}

bool CVykBIOSHandler::GetInfo(unsigned id, unsigned* values, unsigned capacity, unsigned* count)
{
    LOG_PROCESS_ERROR(values);
    LOG_PROCESS_ERROR(count);
    plat::VARIANT varIn = plat::MakeI4(static_cast<int32_t>(id)), varOut, varX;
    const bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"GetInfo", u"id", &varIn, u"pack", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    const plat::WbemObjectPtr pPack = g_VariantObject(varOut);
    if (pPack)
        pPack->Get(u"x", &varX);
    const plat::SafeArrayPtr psa = g_VariantArray(varX);
    LOG_PROCESS_ERROR(psa);
    LOG_PROCESS_ERROR_AS(psa->Data(), "psa->pvData", false);
    // Never more than the caller has room for.
    LOG_CHECK_ERROR(psa->Count() <= capacity);
    *count = std::min(psa->Count(), capacity);
    for (unsigned i = 0; i < *count; ++i) {
        int64_t v = 0;
        psa->GetElement(i, &v);
        values[i] = static_cast<unsigned>(v);
    }
    return true;
}

bool CVykBIOSHandler::GetDValues(unsigned id, double* values, int& count)
{
    plat::VARIANT varIn = plat::MakeI4(static_cast<int32_t>(id)), varOut, varBuffer;
    bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"GetDValues", u"id", &varIn, u"pack", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    const plat::WbemObjectPtr pPack = g_VariantObject(varOut);
    int64_t iCount = 0;
    bRetCode = g_GetIntProperty(pPack, u"length", &iCount);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(iCount >= 0 && iCount <= INT32_MAX);
    if (!values) {
        count = static_cast<int>(iCount);        // a size query
        return true;
    }
    LOG_PROCESS_ERROR(count >= iCount);
    bRetCode = !plat::Failed(pPack->Get(u"DValueBuffer", &varBuffer));
    LOG_PROCESS_ERROR(bRetCode);
    const plat::SafeArrayPtr psa = g_VariantArray(varBuffer);
    LOG_PROCESS_ERROR(psa);
    LOG_PROCESS_ERROR_AS(iCount == 0 || psa->Data(), "psa->pvData", false);
    // The buffer must really hold the values the length announces.
    LOG_PROCESS_ERROR(psa->Count() >= iCount);
    for (int64_t i = 0; i < iCount; ++i) {
        int64_t v = 0;
        psa->GetElement(static_cast<uint32_t>(i), &v);
        values[i] = static_cast<double>(static_cast<int32_t>(v));
    }
    count = static_cast<int>(iCount);
    return true;
}

bool CVykBIOSHandler::GetObjectID(_OIDPackage& package)
{
    plat::VARIANT varOut;
    bool bRetCode = m_WmiHandler.CallMethod(u"VYK_ACPI", u"GetObjectID", nullptr, nullptr, u"pack", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(varOut.vt != VT_EMPTY);
    const plat::WbemObjectPtr pPack = g_VariantObject(varOut);
    LOG_PROCESS_ERROR(pPack);
    int64_t iLength = 0;
    bRetCode = g_GetIntProperty(pPack, u"length", &iLength);
    LOG_PROCESS_ERROR(bRetCode);
    // The record holds OID_PACKAGE_ENTRIES entries, whatever the firmware announces.
    unsigned uLength = static_cast<unsigned>(std::clamp<int64_t>(iLength, 0, OID_PACKAGE_ENTRIES));

    plat::VARIANT varOutID, varOutProp, varOutDesc;
    if (plat::Failed(pPack->Get(u"ID", &varOutID))) {
        for (unsigned i = 0; i < uLength; ++i)
            package.property[i] = 1;
        package.length = static_cast<uint8_t>(uLength);
        return true;
    }
    LOG_PROCESS_ERROR_AS(g_VariantArray(varOutID), "varOutID.parray", false);
    bRetCode = !plat::Failed(pPack->Get(u"property", &varOutProp));
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR_AS(g_VariantArray(varOutProp), "varOutProp.parray", false);
    bRetCode = !plat::Failed(pPack->Get(u"IDstring", &varOutDesc));
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR_AS(g_VariantArray(varOutDesc), "varOutDesc.parray", false);

    uLength = std::min({uLength, varOutID.parray->Count(), varOutProp.parray->Count(), varOutDesc.parray->Count()});
    for (unsigned i = 0; i < uLength; ++i) {
        int64_t v = 0;
        varOutID.parray->GetElement(i, &v);
        package.ID[i] = static_cast<uint32_t>(v);
        v = 0;
        varOutProp.parray->GetElement(i, &v);
        package.property[i] = static_cast<uint32_t>(v);
        std::u16string name;
        varOutDesc.parray->GetString(i, &name);
        const size_t n = std::min<size_t>(name.size(), 63);
        std::copy_n(name.begin(), n, package.IDstring[i]);
        package.IDstring[i][n] = u'\0';
    }
    package.length = static_cast<uint8_t>(uLength);
    return true;
}
