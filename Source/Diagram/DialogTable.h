#pragma once
// Which dialog fills which slot of the dialog manager, in two lists:
// - the fixed components, in the order the manager builds them (not slot order).
//   An entry without a maker leaves its slot empty and its button disabled. A
//   maker with a setter gets the entry's number before Init:
//     {dnGPU1, "pGPUDialog", NewDialogWith<GPUDialog, &GPUDialog::SetIndex>, 1}
// - the drives and USB devices, chosen by device type while the controllers are
//   read. A type without a maker shows its picture on a disabled button:
//     DeviceDialog<HardDiskDialog>(dtHardDisk, "pHDDialog", DialogIcon::HardDisk)
//   where HardDiskDialog::SetDevice(IDevice*) returns bool.
// The USB controllers' dialogs are made by the manager itself (they also shape
// the page's USB bus line).
#include <new>
#include <vector>

#include "Diagram/DialogManager.h"

class IDevice;
class IQVXWidget;

enum class DialogIcon { HardDisk, CDROM, Keyboard, Mouse };

struct FixedDialogEntry {
    eDialogName eSlot;
    const char* pszAllocExpr;                      // logged when the dialog cannot be made
    IQVXWidget* (*pfnCreate)(unsigned uNumber);    // null: the component has no dialog
    unsigned uNumber;                              // for the dialog's setter
};

template <class D>
IQVXWidget* NewDialog(unsigned)
{
    return new (std::nothrow) D;
}

template <class D, auto Setter>
IQVXWidget* NewDialogWith(unsigned uNumber)
{
    D* pDialog = new (std::nothrow) D;
    if (pDialog)
        (pDialog->*Setter)(uNumber);
    return pDialog;
}

struct DeviceDialogEntry {
    QVX_DEVICE_TYPE eType;
    const char* pszAllocExpr;
    DialogIcon eIcon;                              // the picture on the device's button
    IQVXWidget* (*pfnCreate)();                    // null: no dialog for this type yet
    bool (*pfnSetDevice)(IQVXWidget* pDialog, IDevice* pDevice);
};

template <class D>
DeviceDialogEntry DeviceDialog(QVX_DEVICE_TYPE eType, const char* pszAllocExpr, DialogIcon eIcon)
{
    return {eType, pszAllocExpr, eIcon, []() -> IQVXWidget* { return new (std::nothrow) D; },
            [](IQVXWidget* pDialog, IDevice* pDevice) { return static_cast<D*>(pDialog)->SetDevice(pDevice); }};
}

const std::vector<FixedDialogEntry>& FixedDialogs();
// The entry of a device type; null: a device of that type has no place on the diagram.
const DeviceDialogEntry* FindDeviceDialog(QVX_DEVICE_TYPE eType);
