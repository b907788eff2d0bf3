#include "Diagram/DialogTable.h"

#include "Diagram/CPUDialog.h"
#include "Diagram/ChipsetDialogs.h"
#include "Diagram/DeviceDialogs.h"
#include "Diagram/GPUDialog.h"
#include "Diagram/HTLinkDialog.h"
#include "Diagram/HardDiskDialog.h"
#include "Diagram/MemoryControllerDialogs.h"
#include "Diagram/MemoryDialog.h"

const std::vector<FixedDialogEntry>& FixedDialogs()
{
    static const std::vector<FixedDialogEntry> kFixed = {
        {dnCPU, "pDialog", NewDialog<CPUDialog>, 0},
        {dnMemorySlot0, "pMemoryDialog", NewDialogWith<MemoryDialog, &MemoryDialog::SetSlot>, 0},
        {dnMemorySlot1, "pMemoryDialog", NewDialogWith<MemoryDialog, &MemoryDialog::SetSlot>, 1},
        {dnMemorySlot2, "pMemoryDialog", NewDialogWith<MemoryDialog, &MemoryDialog::SetSlot>, 2},
        {dnMemorySlot3, "pMemoryDialog", NewDialogWith<MemoryDialog, &MemoryDialog::SetSlot>, 3},
        {dnDCT, "pDialog", NewDialog<DCTDialog>, 0},
        {dnChannelA, "pChannelDialog", NewDialogWith<ChannelDialog, &ChannelDialog::SetChannel>, 0},
        {dnChannelB, "pChannelDialog", NewDialogWith<ChannelDialog, &ChannelDialog::SetChannel>, 1},
        {dnHTLink, "pDialog", NewDialog<HTLinkDialog>, 0},
        {dnNorthBridge, "pDialog", NewDialog<NBDialog>, 0},
        {dnSouthBridge, "pDialog", NewDialog<SBDialog>, 0},
        {dnGPU0, "pGPUDialog", NewDialogWith<GPUDialog, &GPUDialog::SetIndex>, 0},
        {dnGPU1, "pGPUDialog", NewDialogWith<GPUDialog, &GPUDialog::SetIndex>, 1},
        {dnGPU2, "pGPUDialog", NewDialogWith<GPUDialog, &GPUDialog::SetIndex>, 2},
        {dnGPU3, "pGPUDialog", NewDialogWith<GPUDialog, &GPUDialog::SetIndex>, 3},
        {dnSATAController, "pDialog", NewDialog<SATADialog>, 0},
        {dnIDEController, "pDialog", NewDialog<IDEDialog>, 0},
    };
    return kFixed;
}

const DeviceDialogEntry* FindDeviceDialog(QVX_DEVICE_TYPE eType)
{
    static const DeviceDialogEntry kDevices[] = {
        DeviceDialog<HardDiskDialog>(dtHardDisk, "pHDDialog", DialogIcon::HardDisk),
        DeviceDialog<CDDialog>(dtCDROM, "pCDDialog", DialogIcon::CDROM),
        DeviceDialog<USBStorDialog>(dtUSBStorage, "pUSBStor", DialogIcon::HardDisk),
        DeviceDialog<MouseDialog>(dtMouse, "pMouseDialog", DialogIcon::Mouse),
        DeviceDialog<KeyboardDialog>(dtKeyboard, "pKBDialog", DialogIcon::Keyboard),
    };
    for (const DeviceDialogEntry& entry : kDevices)
        if (entry.eType == eType)
            return &entry;
    return nullptr;
}
