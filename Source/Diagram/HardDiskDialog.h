#pragma once
// The dialog of one hard disk behind the SATA or IDE controller: the device's
// texts and capacity, and the drive's identification record, read once at Init.
#include "Diagram/DeviceDialog.h"
#include "ui_HardDiskDialog.h"

class IDevice;

class HardDiskDialog final : public QDeviceDialog {
public:
    HardDiskDialog();
    // Binds the disk (not owned: it belongs to the device manager).
    bool SetDevice(IDevice* pHardDisk);
    // Fills the sixteen cells; false (logged) without a device or without its
    // identification record, the device's own five texts then already shown.
    bool Refresh();

    bool Init() override { return Refresh(); }
    const char* GetName() override { return "Hard Drive Disk"; }

    Ui::HardDiskDialogClass& Form() { return ui; }

private:
    Ui::HardDiskDialogClass ui;
    IDevice* m_pHardDisk = nullptr;
};
