// The Basic page's module view: the module chosen in the slot list.
#include "SystemInfo/BasicInfo.h"

#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "SystemInfo/SpdView.h"

void QBasicInfo::on_SlotBox_currentIndexChanged(int)
{
    _UpdateSPDInfo();
}

void QBasicInfo::_UpdateSPDInfo()
{
    // Each item carries its module's device index; no item at all reads as 0.
    const unsigned long uIndex = ui.SlotBox->currentData().toUInt();
    IMemoryModuleDevice* pMemory = QvxGetDevice<IMemoryModuleDevice>(dtMemory, uIndex);
    if (!pMemory) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pMemory");
        ClearModule(ui);
        return;
    }
    const SPD_INFO* pSPDInfo = pMemory->GetSPDInfo();
    if (!pSPDInfo) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pSPDInfo");
        ClearModule(ui);
        return;
    }
    ShowModule(ui, pMemory->GetCapacity(), *pSPDInfo);
}
