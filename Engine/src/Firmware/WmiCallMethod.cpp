// CWmiHandler::CallMethod: one firmware method call, serialised across threads and
// processes by the WMI mutex.
#include "Engine/LogCheck.h"
#include "Engine/WmiHandler.h"

#include "WmiValue.h"

using plat::HRESULT;
using plat::WAIT_ABANDONED;
using plat::WAIT_OBJECT_0;

namespace {

const uint32_t kWmiMutexWaitMs = 5000;

// Gives the mutex back on every path out of the call.
class MutexHold {
public:
    explicit MutexHold(std::shared_ptr<plat::NamedMutex> mutex) : m_mutex(std::move(mutex)) {}
    ~MutexHold() { m_mutex->Release(); }
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;
private:
    std::shared_ptr<plat::NamedMutex> m_mutex;
};

std::u16string PathOf(const plat::WbemObjectPtr& object)
{
    plat::VARIANT varPath;
    if (plat::Failed(object->Get(u"__PATH", &varPath)) || varPath.vt != plat::VT_BSTR)
        return {};
    return varPath.bstrVal;
}

} // namespace

bool CWmiHandler::CallMethod(const char16_t* pszClassName, const char16_t* pszMethodName, const char16_t* pszInName,
                             plat::VARIANT* pInValue, const char16_t* pszOutName, plat::VARIANT* pOutValue)
{
    const std::shared_ptr<plat::NamedMutex> hWMIMutex = g_GetWmiMutex();
    uint32_t ulWaitResult = hWMIMutex ? hWMIMutex->Wait(kWmiMutexWaitMs) : plat::WAIT_FAILED;
    if (ulWaitResult == WAIT_ABANDONED) {
        // A caller ended while holding it: we own it now. Go on, or every later call
        // of every process would time out.
        LOG_CHECK_ERROR(ulWaitResult != WAIT_ABANDONED);
        ulWaitResult = WAIT_OBJECT_0;
    }
    LOG_PROCESS_ERROR(ulWaitResult == WAIT_OBJECT_0);
    MutexHold hold(hWMIMutex);
    return _CallMethodLocked(pszClassName, pszMethodName, pszInName, pInValue, pszOutName, pOutValue);
}

bool CWmiHandler::_CallMethodLocked(const char16_t* pszClassName, const char16_t* pszMethodName,
                                    const char16_t* pszInName, plat::VARIANT* pInValue, const char16_t* pszOutName,
                                    plat::VARIANT* pOutValue)
{
    LOG_PROCESS_ERROR(m_pIWbemServices);
    const plat::WbemObjectPtr pClsObj = GetObjectW(pszClassName);
    LOG_PROCESS_ERROR(pClsObj);

    std::shared_ptr<plat::WbemQualifierSet> pQualifierSet;
    HRESULT hr = pClsObj->GetMethodQualifierSet(pszMethodName, &pQualifierSet);
    LOG_COM_PROCESS_ERROR(hr);
    plat::VARIANT varStatic;
    const bool bStatic = !plat::Failed(pQualifierSet->Get(u"Static", &varStatic)) && varStatic.vt == plat::VT_BOOL
                         && varStatic.llVal == plat::VARIANT_TRUE;

    std::u16string path;
    if (bStatic) {
        path = PathOf(pClsObj);
    } else {
        const plat::WbemObjectPtr pInstance = GetInstance(pszClassName, 0);
        LOG_PROCESS_ERROR(pInstance);
        path = PathOf(pInstance);
    }

    plat::WbemObjectPtr pInParams;
    if (pszInName && pInValue) {
        plat::WbemObjectPtr pInSignature;
        hr = pClsObj->GetMethod(pszMethodName, &pInSignature);
        LOG_COM_PROCESS_ERROR(hr);
        LOG_PROCESS_ERROR(pInSignature);
        hr = pInSignature->SpawnInstance(&pInParams);
        LOG_COM_PROCESS_ERROR(hr);
        hr = pInParams->Put(pszInName, pInValue);
        LOG_COM_PROCESS_ERROR(hr);
    }

    plat::WbemObjectPtr pOutParams;
    hr = m_pIWbemServices->ExecMethod(path.c_str(), pszMethodName, 0, pInParams, &pOutParams);
    if (plat::Failed(hr))
        return false;                           // the callers name the failed call
    if (pOutParams && pszOutName && pOutValue) {
        hr = pOutParams->Get(pszOutName, pOutValue);
        LOG_COM_PROCESS_ERROR(hr);
    }
    return true;
}
