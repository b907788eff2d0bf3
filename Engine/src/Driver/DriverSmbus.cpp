// One SMBus byte-data transfer on the south bridge's host controller.
#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"

namespace {

// Host registers, from the controller's base.
const uint16_t SMBUS_HOST_STATUS = 0, SMBUS_HOST_CONTROL = 2, SMBUS_HOST_COMMAND = 3, SMBUS_SLAVE_ADDRESS = 4,
               SMBUS_DATA0 = 5;
const uint8_t SMBUS_BUSY = 0x01, SMBUS_DONE = 0x02, SMBUS_ERRORS = 0x1C;
const uint8_t SMBUS_START_BYTE_DATA = 0x48;
const int SMBUS_MAX_POLL = 1000;
// Someone else using the controller can spoil the read-back every time: start
// again a few times, then give up.
const int SMBUS_MAX_RESTART = 3;

} // namespace

bool CDriverHandler::AccessSMBus(uint8_t ucAddress, uint8_t ucOffset, uint8_t& ucValue)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    bool bRetCode = false;
    uint8_t ucData = 0;
    // Ports 0 to 5 belong to the DMA controller: no SMBus there.
    LOG_PROCESS_ERROR(m_usSMBusBase != 0);
    const uint16_t B = m_usSMBusBase;

    for (int nRestart = 0;; ++nRestart) {
        LOG_PROCESS_ERROR(nRestart <= SMBUS_MAX_RESTART);

        for (int i = 0; i < SMBUS_MAX_POLL; ++i) {
            bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_HOST_STATUS), ucData);
            LOG_PROCESS_ERROR(bRetCode);
            if (!(ucData & SMBUS_BUSY))
                break;
        }
        LOG_PROCESS_ERROR(ucData != 0xFF);

        bRetCode = WritePort(static_cast<uint16_t>(B + SMBUS_HOST_STATUS), uint8_t(0xFF));
        LOG_PROCESS_ERROR(bRetCode);
        bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_SLAVE_ADDRESS), ucData);
        LOG_PROCESS_ERROR(bRetCode);
        bRetCode = WritePort(static_cast<uint16_t>(B + SMBUS_SLAVE_ADDRESS), ucAddress);
        LOG_PROCESS_ERROR(bRetCode);
        bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_HOST_COMMAND), ucData);
        LOG_PROCESS_ERROR(bRetCode);
        bRetCode = WritePort(static_cast<uint16_t>(B + SMBUS_HOST_COMMAND), ucOffset);
        LOG_PROCESS_ERROR(bRetCode);
        if (!(ucAddress & 0x01)) {
            bRetCode = WritePort(static_cast<uint16_t>(B + SMBUS_DATA0), ucValue);
            LOG_PROCESS_ERROR(bRetCode);
        }
        bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_HOST_CONTROL), ucData);
        LOG_PROCESS_ERROR(bRetCode);
        bRetCode = WritePort(static_cast<uint16_t>(B + SMBUS_HOST_CONTROL), SMBUS_START_BYTE_DATA);
        LOG_PROCESS_ERROR(bRetCode);

        for (int i = 0; i < SMBUS_MAX_POLL; ++i) {
            bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_HOST_STATUS), ucData);
            LOG_PROCESS_ERROR(bRetCode);
            if (ucData & SMBUS_DONE)
                break;
        }
        if (ucData & SMBUS_ERRORS)
            return false;
        // Without "done" the data register holds whatever was there before.
        LOG_PROCESS_ERROR(ucData & SMBUS_DONE);

        if (ucAddress & 0x01) {
            bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_DATA0), ucValue);
            LOG_PROCESS_ERROR(bRetCode);
        }
        bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_SLAVE_ADDRESS), ucData);
        LOG_PROCESS_ERROR(bRetCode);
        if (ucData != ucAddress) {
            LOG_CHECK_ERROR(ucData == ucAddress);
            continue;
        }
        bRetCode = ReadPort(static_cast<uint16_t>(B + SMBUS_HOST_COMMAND), ucData);
        LOG_PROCESS_ERROR(bRetCode);
        if (ucData != ucOffset) {
            LOG_CHECK_ERROR(ucData == ucOffset);
            continue;
        }
        return true;
    }
}
