#include "Diagram/DialogTable.h"

#include "Diagram/ChipsetDialogs.h"
#include "Diagram/DeviceDialogs.h"

const std::vector<FixedDialogEntry>& FixedDialogs()
{
    // Processor, memory, graphics and link dialogs come later; their slots stay empty.
    static const std::vector<FixedDialogEntry> kFixed = {
        {dnCPU, "pDialog", nullptr, 0},
        {dnMemorySlot0, "pMemoryDialog", nullptr, 0},
        {dnMemorySlot1, "pMemoryDialog", nullptr, 1},
        {dnMemorySlot2, "pMemoryDialog", nullptr, 2},
        {dnMemorySlot3, "pMemoryDialog", nullptr, 3},
        {dnDCT, "pDialog", nullptr, 0},
        {dnChannelA, "pChannelDialog", nullptr, 0},
        {dnChannelB, "pChannelDialog", nullptr, 1},
        {dnHTLink, "pDialog", nullptr, 0},
        {dnNorthBridge, "pDialog", NewDialog<NBDialog>, 0},
        {dnSouthBridge, "pDialog", NewDialog<SBDialog>, 0},
        {dnGPU0, "pGPUDialog", nullptr, 0},
        {dnGPU1, "pGPUDialog", nullptr, 1},
        {dnGPU2, "pGPUDialog", nullptr, 2},
        {dnGPU3, "pGPUDialog", nullptr, 3},
        {dnSATAController, "pDialog", NewDialog<SATADialog>, 0},
        {dnIDEController, "pDialog", NewDialog<IDEDialog>, 0},
    };
    return kFixed;
}

const DeviceDialogEntry* FindDeviceDialog(QVX_DEVICE_TYPE eType)
{
    static const DeviceDialogEntry kDevices[] = {
        {dtHardDisk, "pHDDialog", DialogIcon::HardDisk, nullptr, nullptr},
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
