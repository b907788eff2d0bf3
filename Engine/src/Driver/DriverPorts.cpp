// Requests to the driver, and the simplest of them: I/O ports and MSRs.
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

bool CDriverHandler::_SendRequest(uint32_t uRequest, const void* pIn, uint32_t uInSize, void* pOut, uint32_t uOutSize,
                                  uint32_t& dwBytesReturned)
{
    dwBytesReturned = 0;
    return plat::DeviceIoControl(m_hDriver, QVXDriverCode(uRequest), pIn, uInSize, pOut, uOutSize, &dwBytesReturned);
}

bool CDriverHandler::_PortOut(uint16_t usPort, uint16_t usWidth, uint32_t uValue)
{
    PortParam param{usPort, usWidth, uValue};
    uint32_t dwBytesReturned = 0;
    return _SendRequest(drWritePort, &param, sizeof(param), nullptr, 0, dwBytesReturned);
}

bool CDriverHandler::_PortIn(uint16_t usPort, uint16_t usWidth, uint32_t& uValue, uint32_t& dwBytesReturned)
{
    PortParam param{usPort, usWidth, 0};
    const bool bRetCode = _SendRequest(drReadPort, &param, sizeof(param), &param, sizeof(param), dwBytesReturned);
    uValue = param.uData;
    return bRetCode;
}

bool CDriverHandler::WritePort(uint16_t usPort, uint32_t uValue)
{
    const bool bRetCode = _PortOut(usPort, 4, uValue);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool CDriverHandler::WritePort(uint16_t usPort, uint16_t usValue)
{
    const bool bRetCode = _PortOut(usPort, 2, usValue);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool CDriverHandler::WritePort(uint16_t usPort, uint8_t ucValue)
{
    const bool bRetCode = _PortOut(usPort, 1, ucValue);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool CDriverHandler::ReadPort(uint16_t usPort, uint32_t& uValue)
{
    using Param = PortParam;
    uint32_t dwBytesReturned = 0, uData = 0;
    const bool bRetCode = _PortIn(usPort, 4, uData, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == sizeof(Param));
    uValue = uData;
    return true;
}

bool CDriverHandler::ReadPort(uint16_t usPort, uint16_t& usValue)
{
    using Param = PortParam;
    uint32_t dwBytesReturned = 0, uData = 0;
    const bool bRetCode = _PortIn(usPort, 2, uData, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == sizeof(Param));
    usValue = static_cast<uint16_t>(uData);
    return true;
}

bool CDriverHandler::ReadPort(uint16_t usPort, uint8_t& ucValue)
{
    using Param = PortParam;
    uint32_t dwBytesReturned = 0, uData = 0;
    const bool bRetCode = _PortIn(usPort, 1, uData, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == sizeof(Param));
    ucValue = static_cast<uint8_t>(uData);
    return true;
}

bool CDriverHandler::RDMSR(uint32_t uMSR, uint32_t& uLow, uint32_t& uHigh)
{
    using Param = MSRParam;
    Param param{uMSR, 0, 0};
    uint32_t dwBytesReturned = 0;
    const bool bRetCode = _SendRequest(drReadMSR, &param, sizeof(param), &param, sizeof(param), dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == sizeof(Param));
    uLow = param.uLow;
    uHigh = param.uHigh;
    return true;
}

bool CDriverHandler::WRMSR(uint32_t uMSR, uint32_t uLow, uint32_t uHigh)
{
    MSRParam param{uMSR, uLow, uHigh};
    uint32_t dwBytesReturned = 0;
    const bool bRetCode = _SendRequest(drWriteMSR, &param, sizeof(param), nullptr, 0, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == 0);
    return true;
}
