// Requests to the driver, and the simplest of them: I/O ports and MSRs.
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

bool CDriverHandler::_SendRequest(uint32_t uRequest, const void* pIn, uint32_t uInSize, void* pOut, uint32_t uOutSize,
                                  uint32_t& dwBytesReturned)
{
    dwBytesReturned = 0;
    return plat::DeviceIoControl(m_hDriver, QVXDriverCode(uRequest), pIn, uInSize, pOut, uOutSize, &dwBytesReturned);
}

bool CDriverHandler::WritePort(uint16_t usPort, uint16_t usWidth, uint32_t uValue)
{
    PortParam param{usPort, usWidth, uValue};
    uint32_t dwBytesReturned = 0;
    const bool bRetCode = _SendRequest(drWritePort, &param, sizeof(param), nullptr, 0, dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool CDriverHandler::ReadPort(uint16_t usPort, uint16_t usWidth, uint32_t& uValue)
{
    using Param = PortParam;
    Param param{usPort, usWidth, 0};
    uint32_t dwBytesReturned = 0;
    const bool bRetCode = _SendRequest(drReadPort, &param, sizeof(param), &param, sizeof(param), dwBytesReturned);
    LOG_PROCESS_ERROR(bRetCode);
    LOG_PROCESS_ERROR(dwBytesReturned == sizeof(Param));
    uValue = param.uData;
    return true;
}

bool CDriverHandler::WritePort(uint16_t usPort, uint32_t uValue) { return WritePort(usPort, uint16_t(4), uValue); }

bool CDriverHandler::WritePort(uint16_t usPort, uint16_t usValue) { return WritePort(usPort, uint16_t(2), uint32_t(usValue)); }

bool CDriverHandler::WritePort(uint16_t usPort, uint8_t ucValue) { return WritePort(usPort, uint16_t(1), uint32_t(ucValue)); }

bool CDriverHandler::ReadPort(uint16_t usPort, uint32_t& uValue) { return ReadPort(usPort, uint16_t(4), uValue); }

bool CDriverHandler::ReadPort(uint16_t usPort, uint16_t& usValue)
{
    uint32_t uData = 0;
    const bool bRetCode = ReadPort(usPort, uint16_t(2), uData);
    usValue = static_cast<uint16_t>(uData);
    return bRetCode;
}

bool CDriverHandler::ReadPort(uint16_t usPort, uint8_t& ucValue)
{
    uint32_t uData = 0;
    const bool bRetCode = ReadPort(usPort, uint16_t(1), uData);
    ucValue = static_cast<uint8_t>(uData);
    return bRetCode;
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
