// The blocks of the rest of the machine: firmware, displays, disks, audio devices
// and USB controllers with the devices behind them.
#include "SystemInfo/SystemInfo.h"

#include <QTreeWidgetItem>

#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/InventoryDevices.h"
#include "SystemInfo/SystemInfoRows.h"

using sysinfo::DeviceText;
using sysinfo::Fixed;
using sysinfo::General;

bool QSystemInfo::_AddBIOSInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pBIOS = sysinfo::Typed<IBIOSDevice>(pDevice, dtBIOS);
    LOG_PROCESS_ERROR(pBIOS);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("BIOS"));
    _AddCommonRows(pTop, pBIOS);
    _AddRow(pTop, tr("Version"), DeviceText(pBIOS->GetVersion()));
    _AddRow(pTop, tr("Date"), DeviceText(pBIOS->GetDate()));
    return true;
}

bool QSystemInfo::_AddMonitorInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pMonitor = sysinfo::Typed<IMonitorDevice>(pDevice, dtMonitor);
    LOG_PROCESS_ERROR(pMonitor);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("Monitor %1").arg(static_cast<unsigned>(pMonitor->GetIndex())));
    _AddCommonRows(pTop, pMonitor);
    _AddRow(pTop, tr("Screen Width"), tr("%1 pixels").arg(General(pMonitor->GetScreenWidth())));
    _AddRow(pTop, tr("Screen Height"), tr("%1 pixels").arg(General(pMonitor->GetScreenHeight())));
    _AddRow(pTop, tr("Max Width"), tr("%1 pixels").arg(General(pMonitor->GetMaxWidth())));
    _AddRow(pTop, tr("Max Height"), tr("%1 pixels").arg(General(pMonitor->GetMaxHeight())));
    _AddRow(pTop, tr("Refresh Rate"), tr("%1 Hz").arg(General(pMonitor->GetRefreshRate())));
    _AddRow(pTop, tr("Pixels Per XLogical Inch"), tr("%1 pixels").arg(General(pMonitor->GetPixelsPerXLogicalInch())));
    _AddRow(pTop, tr("Pixels Per YLogical Inch"), tr("%1 pixels").arg(General(pMonitor->GetPixelsPerYLogicalInch())));
    return true;
}

bool QSystemInfo::_AddHardDiskInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pHardDisk = sysinfo::Typed<IHardDiskDevice>(pDevice, dtHardDisk);
    LOG_PROCESS_ERROR(pHardDisk);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("Harddisk %1").arg(static_cast<unsigned>(pHardDisk->GetIndex())));
    _AddCommonRows(pTop, pHardDisk);
    // A drive that did not tell its size has an empty row.
    const double dCapacity = pHardDisk->GetCapacity();
    _AddRow(pTop, tr("Capacity"),
            sysinfo::KnownText(dCapacity, tr("%1 MB").arg(Fixed(dCapacity * (1.0 / 1048576), 0))));
    _AddRow(pTop, tr("Interface Type"), DeviceText(pHardDisk->GetInterfaceType()));

    const DISK_INFO* pDiskInfo = pHardDisk->GetDiskInfo();
    LOG_PROCESS_ERROR(pDiskInfo);
    // The texts are fixed fields; a drive that fills one to the end has no terminator in it.
    _AddRow(pTop, tr("Serial Number"), sysinfo::RecordText(pDiskInfo->szSerialNumber, sizeof pDiskInfo->szSerialNumber));
    _AddRow(pTop, tr("Firmware Revision"),
            sysinfo::RecordText(pDiskInfo->szFirmwareRevision, sizeof pDiskInfo->szFirmwareRevision));
    _AddRow(pTop, tr("Model Number"), sysinfo::RecordText(pDiskInfo->szModelNumber, sizeof pDiskInfo->szModelNumber));
    _AddRow(pTop, tr("Removable"), _TrueFalse(pDiskInfo->bRemovable));
    _AddRow(pTop, tr("Support DMA"), _TrueFalse(pDiskInfo->bDMA));
    _AddRow(pTop, tr("Support LBA"), _TrueFalse(pDiskInfo->bLBA));
    _AddRow(pTop, tr("Support SATA"), _TrueFalse(pDiskInfo->bSATA));
    _AddRow(pTop, tr("SATA Generation"), QStringLiteral("Gen %1").arg(Fixed(pDiskInfo->dSATAGeneration, 0)));
    _AddRow(pTop, tr("Sector Total"), sysinfo::KnownText(pDiskInfo->dSectorTotal, Fixed(pDiskInfo->dSectorTotal, 0)));
    _AddRow(pTop, tr("Maximum Queue Depth"), Fixed(pDiskInfo->dMaxQueueDepth, 0));
    _AddRow(pTop, tr("Highest Supported ATA Version"), Fixed(pDiskInfo->dATAVersion, 0));
    _AddRow(pTop, tr("Security Supported"), _TrueFalse(pDiskInfo->bSecuritySupported));
    _AddRow(pTop, tr("Security Enabled"), _TrueFalse(pDiskInfo->bSecurityEnabled));
    _AddRow(pTop, tr("Security Locked"), _TrueFalse(pDiskInfo->bSecurityLocked));
    _AddRow(pTop, tr("Security Frozen"), _TrueFalse(pDiskInfo->bSecurityFrozen));
    _AddRow(pTop, tr("Security Count Expired"), _TrueFalse(pDiskInfo->bSecurityCountExpired));
    _AddRow(pTop, tr("Security Enchanced"), _TrueFalse(pDiskInfo->bSecurityEnhanced));
    return true;
}

bool QSystemInfo::_AddAudioInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pAudio = sysinfo::Typed<IAudioDevice>(pDevice, dtAudio);
    LOG_PROCESS_ERROR(pAudio);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("Audio %1").arg(static_cast<unsigned>(pAudio->GetIndex())));
    _AddCommonRows(pTop, pAudio);
    _AddRow(pTop, tr("Driver File"), DeviceText(pAudio->GetDriverFile()));
    _AddRow(pTop, tr("Driver Date"), DeviceText(pAudio->GetDriverDate()));
    return true;
}

bool QSystemInfo::_AddUSBInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pUSBController = sysinfo::Typed<IUSBControllerDevice>(pDevice, dtUSBController);
    LOG_PROCESS_ERROR(pUSBController);
    QTreeWidgetItem* pTop =
        _AddTopItem(pTree, tr("USB Controller %1").arg(static_cast<unsigned>(pUSBController->GetIndex())));
    _AddCommonRows(pTop, pUSBController);
    // The count is asked again before every device: it may change while the rows are built.
    for (unsigned i = 0; i < pUSBController->GetChannelCount(); ++i) {
        QVX_DEVICE_TYPE eType = dtUSBStorage;
        unsigned long uIndex = 0;
        bool bRetCode = pUSBController->GetChildDevice(i, &eType, &uIndex);
        LOG_PROCESS_ERROR(bRetCode);
        IDevice* pUSBDevice = g_DeviceManager.GetDevice(eType, uIndex);
        LOG_PROCESS_ERROR(pUSBDevice);
        _AddRow(pTop, DeviceText(pUSBDevice->GetName()), DeviceText(pUSBDevice->GetVendor()));
    }
    return true;
}
