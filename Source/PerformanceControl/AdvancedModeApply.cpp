// Apply of the Clock/Voltage page: clocks, then voltages, then the calibration
// items, and the hardware read back into the controls whatever happened.
#include "PerformanceControl/AdvancedMode.h"

#include "Engine/LogCheck.h"

bool QAdvancedMode::Apply()
{
    bool bRetCode = WriteClock();
    if (bRetCode)
        bRetCode = WriteVoltage();
    if (bRetCode)
        bRetCode = WriteDutyCycle();
    if (!bRetCode) {
        // The hardware keeps what was written before the failing step; show it.
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        Discard();
        return false;
    }
    _ForgetChanges();
    Discard();
    return true;
}
