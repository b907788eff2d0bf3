#include "Engine/VykBIOS.h"
#include "Engine/WmiHandler.h"

#include "FirmwareCheck.h"
#include "WmiValue.h"

#include <algorithm>
#include <cstring>

using plat::VT_EMPTY;
using plat::VT_I4;

CVykBIOS g_VykBIOS;

bool CVykBIOS::Init()
{
    plat::VARIANT varOut;
    bool bRetCode = g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(varOut.vt == VT_I4);
    m_uVersion = static_cast<uint32_t>(varOut.llVal);
    LOG_PROCESS_ERROR(m_uVersion == 0);

    plat::VariantClear(&varOut);
    bRetCode = g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryCommandList", nullptr, nullptr, u"CommandList", &varOut);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(varOut.vt != VT_EMPTY);
    const plat::WbemObjectPtr pObject = g_VariantObject(varOut);
    LOG_PROCESS_ERROR(pObject);

    plat::VARIANT varCommandCount, varCommandList;
    bRetCode = g_WMIHandler.GetPropertyValue(pObject, u"CommandCount", &varCommandCount);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(varCommandCount.vt == VT_I4);
    bRetCode = g_WMIHandler.GetPropertyValue(pObject, u"List", &varCommandList);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR_AS(g_VariantArray(varCommandList), "varCommandList.parray", false);

    // Never more than the array holds, whatever the count claims.
    const plat::SafeArray& list = *varCommandList.parray;
    const int64_t nCount = std::clamp<int64_t>(varCommandCount.llVal, 0, list.Count());
    m_CommandList.clear();
    for (uint32_t i = 0; i < nCount; ++i) {
        int64_t id = 0;
        if (list.GetElement(i, &id))
            m_CommandList.insert(static_cast<uint32_t>(id));
    }
    return true;
}

uint32_t CVykBIOS::RunCommand(const void* pInData, unsigned InDataSize, void* pOutData, unsigned OutDataSize)
{
    LOG_PROCESS_ERROR_RET(pInData, briEngineFailure);
    LOG_PROCESS_ERROR_RET(pOutData, briEngineFailure);
    LOG_PROCESS_ERROR_RET(InDataSize <= sizeof(VYK_BIOS_COMMAND), briEngineFailure);
    LOG_PROCESS_ERROR_RET(OutDataSize <= sizeof(VYK_BIOS_RESULT), briEngineFailure);

    const plat::SafeArrayPtr psaInbuf = plat::SafeArray::Create(plat::VT_UI1, sizeof(VYK_BIOS_COMMAND));
    LOG_PROCESS_ERROR_RET(psaInbuf, briEngineFailure);
    const uint8_t* in = static_cast<const uint8_t*>(pInData);
    for (unsigned i = 0; i < InDataSize; ++i)
        psaInbuf->PutElement(i, in[i]);
    plat::VARIANT varIn = plat::MakeArray(psaInbuf);

    plat::VARIANT varOut;
    const bool bRetCode = g_WMIHandler.CallMethod(u"VYK_ACPI", u"RunCMD", u"Inbuf", &varIn, u"Outbuf", &varOut);
    LOG_PROCESS_ERROR_RET(bRetCode, briEngineFailure);
    LOG_PROCESS_ERROR_RET(varOut.vt != VT_EMPTY, briEngineFailure);
    const plat::WbemObjectPtr pObject = g_VariantObject(varOut);
    LOG_PROCESS_ERROR_RET(pObject, briEngineFailure);
    plat::VARIANT varOutbuf;
    const bool bResultRead = g_WMIHandler.GetPropertyValue(pObject, u"Result", &varOutbuf);
    LOG_PROCESS_ERROR_AS(bResultRead, "bRetCode", briEngineFailure);
    LOG_PROCESS_ERROR_AS(g_VariantArray(varOutbuf), "varOutbuf.parray", briEngineFailure);

    // Copy only what the array holds; without a whole status word there is no answer.
    const plat::SafeArray& result = *varOutbuf.parray;
    const uint32_t uCopied = std::min<uint32_t>(OutDataSize, result.Count());
    uint8_t* out = static_cast<uint8_t*>(pOutData);
    for (uint32_t i = 0; i < uCopied; ++i) {
        int64_t b = 0;
        result.GetElement(i, &b);
        out[i] = static_cast<uint8_t>(b);
    }
    LOG_PROCESS_ERROR_RET(uCopied >= sizeof(uint32_t), briEngineFailure);
    uint32_t uStatus = 0;
    std::memcpy(&uStatus, out, sizeof uStatus);
    return uStatus;
}
