#include "Diagram/HardDiskDialog.h"

#include "Diagram/DialogSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/InventoryDevices.h"

namespace {

QString Flag(uint8_t bFlag)
{
    return FlagText("HardDiskDialog", bFlag != 0, "true", "false");
}

} // namespace

HardDiskDialog::HardDiskDialog()
{
    ui.setupUi(this);
    StyleValueCells(this);
}

bool HardDiskDialog::SetDevice(IDevice* pHardDisk)
{
    m_pHardDisk = pHardDisk;
    return true;
}

bool HardDiskDialog::Refresh()
{
    LOG_PROCESS_ERROR(m_pHardDisk);
    ui.Name->setText(DeviceText(m_pHardDisk->GetName()));
    ui.Description->setText(DeviceText(m_pHardDisk->GetDescription()));
    ui.Vendor->setText(DeviceText(m_pHardDisk->GetVendor()));
    // Only a disk is ever bound here: the dialog manager picks this dialog by device type.
    auto* pDisk = static_cast<IHardDiskDevice*>(m_pHardDisk);
    // A drive that did not tell its size leaves the cell empty.
    const double dCapacity = pDisk->GetCapacity();
    ui.Capacity->setText(KnownText(dCapacity, QStringLiteral("%1 MB").arg(dCapacity / 1024 / 1024, 0, 'f', 0)));
    ui.InterfaceType->setText(DeviceText(pDisk->GetInterfaceType()));

    const DISK_INFO* pDiskInfo = pDisk->GetDiskInfo();
    LOG_PROCESS_ERROR(pDiskInfo);
    ui.SerialNumber->setText(RecordText(pDiskInfo->szSerialNumber, sizeof pDiskInfo->szSerialNumber));
    ui.FirmwareRev->setText(RecordText(pDiskInfo->szFirmwareRevision, sizeof pDiskInfo->szFirmwareRevision));
    ui.ModelNumber->setText(RecordText(pDiskInfo->szModelNumber, sizeof pDiskInfo->szModelNumber));
    ui.Removable->setText(Flag(pDiskInfo->bRemovable));
    ui.SupportDMA->setText(Flag(pDiskInfo->bDMA));
    ui.SupportLBA->setText(Flag(pDiskInfo->bLBA));
    ui.SupportSATA->setText(Flag(pDiskInfo->bSATA));
    ui.SATAGen->setText(QStringLiteral("%1").arg(pDiskInfo->dSATAGeneration));
    const double dSectors = pDiskInfo->dSectorTotal;
    ui.SectorTotal->setText(KnownText(dSectors, QStringLiteral("%1").arg(dSectors, 0, 'f', 0)));
    ui.QueueDepth->setText(QStringLiteral("%1").arg(pDiskInfo->dMaxQueueDepth));
    ui.ATAVersion->setText(QStringLiteral("%1").arg(pDiskInfo->dATAVersion));
    return true;
}
