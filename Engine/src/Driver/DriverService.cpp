// The driver as a service: its file, installation, start, stop and removal, and
// the count of processes using it.
#include "Engine/DriverHandler.h"
#include "Engine/Engine.h"
#include "Engine/LogCheck.h"
#include "../Core/SecurityDescriptor.h"

#include "Platform/LastError.h"
#include "Platform/Module.h"
#include "Platform/OsInfo.h"
#include "Platform/ServiceManager.h"
#include "Platform/Time.h"

#include <cstring>

using plat::SC_HANDLE;
using plat::WAIT_OBJECT_0;

namespace {

const char16_t QVX_SERVICE_NAME[] = u"QVXDriver";
const char16_t QVX_SEMAPHORE_NAME[] = u"Global\\QVXDriverSemaphore";
const int32_t QVX_SEMAPHORE_UNITS = 10000;

// Closes a service-manager handle when the operation ends, however it ends.
class ScopedServiceHandle {
public:
    explicit ScopedServiceHandle(SC_HANDLE h = nullptr) : m_h(h) {}
    ~ScopedServiceHandle() { Reset(); }
    ScopedServiceHandle(const ScopedServiceHandle&) = delete;
    ScopedServiceHandle& operator=(const ScopedServiceHandle&) = delete;
    void Reset(SC_HANDLE h = nullptr)
    {
        if (m_h)
            plat::CloseServiceHandle(m_h);
        m_h = h;
    }
    SC_HANDLE Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
private:
    SC_HANDLE m_h;
};

} // namespace

bool CDriverHandler::IsWinNT() { return plat::IsNtPlatform(); }

bool CDriverHandler::GetDriverPath(char16_t* pDriverPath)
{
    const size_t uCapacity = 256;
    LOG_PROCESS_ERROR(pDriverPath);
    pDriverPath[0] = 0;
    // A cut path would name another folder: only a whole one counts. A path that does
    // not fit is remembered as such, so the start can say so.
    const uint32_t dwRet = plat::GetExecutablePath(pDriverPath, uCapacity)
                               ? static_cast<uint32_t>(std::char_traits<char16_t>::length(pDriverPath))
                               : 0;
    if (!dwRet && plat::GetLastError() == plat::kErrorFilenameExcedRange)
        g_SetLastError(plat::kErrorFilenameExcedRange);
    LOG_PROCESS_ERROR(dwRet);
    char16_t* pszSlash = nullptr;
    for (char16_t* p = pDriverPath; *p; ++p)
        if (*p == u'/')
            pszSlash = p;
    LOG_PROCESS_ERROR(pszSlash);
    const std::u16string strFile = m_bIs64bitOS ? u"/vyk64/QVXDriver.sys" : u"/i386/QVXDriver.sys";
    const size_t uFolder = static_cast<size_t>(pszSlash - pDriverPath);
    if (uFolder + strFile.size() >= uCapacity)
        g_SetLastError(plat::kErrorFilenameExcedRange);
    LOG_PROCESS_ERROR(uFolder + strFile.size() < uCapacity);
    std::copy(strFile.begin(), strFile.end(), pszSlash);
    pszSlash[strFile.size()] = 0;
    return true;
}

bool CDriverHandler::InstallDriver(const char16_t* pDriverPath)
{
    RemoveDriver();
    ScopedServiceHandle hSCManager(plat::OpenSCManager());
    LOG_PROCESS_ERROR(hSCManager);
    ScopedServiceHandle hService(plat::CreateService(hSCManager.Get(), QVX_SERVICE_NAME, QVX_SERVICE_NAME,
                                                     plat::SERVICE_KERNEL_DRIVER, plat::SERVICE_DEMAND_START,
                                                     plat::SERVICE_ERROR_NORMAL, pDriverPath));
    if (!hService)
        g_Log.Write(ltWarning, "InstallDriver: error code returned from CreateService is: %d\n",
                    static_cast<int>(plat::GetLastError()));
    LOG_PROCESS_ERROR(hService);
    return true;
}

bool CDriverHandler::RemoveDriver()
{
    bool bRetCode = false;
    StopDriver();
    ScopedServiceHandle hSCManager(plat::OpenSCManager());
    LOG_PROCESS_ERROR(hSCManager);
    ScopedServiceHandle hService(plat::OpenService(hSCManager.Get(), QVX_SERVICE_NAME));
    if (!hService)
        return false;
    bRetCode = plat::DeleteService(hService.Get());
    hService.Reset();
    LOG_PROCESS_ERROR(bRetCode);
    for (int i = 0; i < 100; ++i) {
        hService.Reset(plat::OpenService(hSCManager.Get(), QVX_SERVICE_NAME));
        if (!hService) {
            g_Log.Write(ltInfo, "QVXDriver service has been removed.(%d)\n", i);
            return true;
        }
        hService.Reset();
        plat::Sleep(10);
    }
    return false;
}

bool CDriverHandler::StartDriver()
{
    StopDriver();
    ScopedServiceHandle hSCManager(plat::OpenSCManager());
    LOG_PROCESS_ERROR(hSCManager);
    ScopedServiceHandle hService(plat::OpenService(hSCManager.Get(), QVX_SERVICE_NAME));
    LOG_PROCESS_ERROR(hService);
    if (!plat::StartService(hService.Get())) {
        const uint32_t dwError = plat::GetLastError();
        if (dwError != plat::kErrorServiceAlreadyRunning) {
            g_Log.Write(ltError, "StartDriver: error code returned from StartService is: %d\n", static_cast<int>(dwError));
            return false;
        }
    }
    return true;
}

bool CDriverHandler::StopDriver()
{
    ScopedServiceHandle hSCManager(plat::OpenSCManager());
    LOG_PROCESS_ERROR(hSCManager);
    ScopedServiceHandle hService(plat::OpenService(hSCManager.Get(), QVX_SERVICE_NAME));
    if (!hService)
        return false;
    if (!plat::ControlServiceStop(hService.Get())) {
        const uint32_t dwError = plat::GetLastError();
        if (dwError != plat::kErrorServiceNotActive) {
            g_Log.Write(ltError, "StopDriver: error code returned from ControlService is %d\n", static_cast<int>(dwError));
            return false;
        }
    }
    return true;
}

bool CDriverHandler::AddReference()
{
    if (m_hSemaphore == NULL) {
        m_hSemaphore = plat::OpenSemaphore(QVX_SEMAPHORE_NAME);
        if (m_hSemaphore == NULL) {
            // The first user of the driver finds none to open, which is no fault: it
            // makes the semaphore.
            const uint32_t dwError = plat::GetLastError();
            if (dwError == plat::kErrorFileNotFound)
                g_Log.Write(ltInfo, "AddReference: no other user of the driver, its semaphore is created\n");
            else
                g_Log.Write(ltError, "AddReference: error code returned from OpenSemaphore is: %d\n",
                            static_cast<int>(dwError));
            m_hSemaphore = plat::CreateSemaphore(QVX_SEMAPHORE_NAME, QVX_SEMAPHORE_UNITS, QVX_SEMAPHORE_UNITS,
                                                 g_GetQVXSecurityDescriptor());
        }
    }
    LOG_PROCESS_ERROR(m_hSemaphore != NULL);
    m_bSemaphoreOpened = true;
    if (m_bReferenceHeld)
        return true;
    const uint32_t dwWaitResult = plat::WaitForSingleObject(m_hSemaphore, 0);
    LOG_PROCESS_ERROR(dwWaitResult == WAIT_OBJECT_0);
    m_bReferenceHeld = true;
    return true;
}

int CDriverHandler::ReleaseReference()
{
    LOG_PROCESS_ERROR_RET(m_hSemaphore != NULL, -1);
    int32_t lPreviousCount = 0;
    const bool bRetCode = plat::ReleaseSemaphore(m_hSemaphore, 1, &lPreviousCount);
    LOG_PROCESS_ERROR_RET(bRetCode, -1);
    return (QVX_SEMAPHORE_UNITS - 1) - lPreviousCount;
}
