#include "SystemInfo/SystemInfo.h"

#include <QTreeWidgetItem>

#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "SystemInfo/SystemInfoRows.h"

namespace {

using Adder = bool (QSystemInfo::*)(QTreeWidget*, IDevice*);

} // namespace

QSystemInfo::QSystemInfo()
{
    ui.setupUi(this);
    ui.SysInfoTree->setColumnWidth(0, 200);
    ui.SysInfoTree->setColumnWidth(1, 300);
}

bool QSystemInfo::Init()
{
    QTreeWidget* pTree = ui.SysInfoTree;
    LOG_PROCESS_ERROR(pTree);
    pTree->clear();

    // Monitors come before disks, although their type values run the other way.
    static const struct {
        QVX_DEVICE_TYPE eType;
        Adder pAdder;
    } kTypes[] = {
        {dtCPU, &QSystemInfo::_AddCPUInfo},       {dtHTLink, &QSystemInfo::_AddHTLinkInfo},
        {dtGPU, &QSystemInfo::_AddGPUInfo},       {dtMemory, &QSystemInfo::_AddMemoryInfo},
        {dtBIOS, &QSystemInfo::_AddBIOSInfo},     {dtMonitor, &QSystemInfo::_AddMonitorInfo},
        {dtHardDisk, &QSystemInfo::_AddHardDiskInfo}, {dtAudio, &QSystemInfo::_AddAudioInfo},
        {dtUSBController, &QSystemInfo::_AddUSBInfo},
    };
    for (const auto& type : kTypes) {
        for (unsigned long i = 0;; ++i) {
            IDevice* pDevice = g_DeviceManager.GetDevice(type.eType, i);
            if (!pDevice)
                break;
            // A block that ends early keeps what it has; the other devices still come.
            bool bRetCode = (this->*type.pAdder)(pTree, pDevice);
            LOG_CHECK_ERROR(bRetCode);
        }
    }
    return true;
}

bool QSystemInfo::UnInit()
{
    ui.SysInfoTree->clear();
    return true;
}

QTreeWidgetItem* QSystemInfo::_AddTopItem(QTreeWidget* pTree, const QString& caption)
{
    auto* pTreeTopItem = new QTreeWidgetItem(pTree);
    pTreeTopItem->setText(0, caption);
    return pTreeTopItem;
}

void QSystemInfo::_AddRow(QTreeWidgetItem* pTopItem, const QString& label, const QString& value)
{
    auto* pTreeItem = new QTreeWidgetItem(pTopItem);
    pTreeItem->setText(1, label);
    pTreeItem->setText(2, value);
}

void QSystemInfo::_AddCommonRows(QTreeWidgetItem* pTopItem, IDevice* pDevice)
{
    _AddRow(pTopItem, tr("Name"), sysinfo::DeviceText(pDevice->GetName()));
    _AddRow(pTopItem, tr("Description"), sysinfo::DeviceText(pDevice->GetDescription()));
    _AddRow(pTopItem, tr("Vendor"), sysinfo::DeviceText(pDevice->GetVendor()));
}

QString QSystemInfo::_TrueFalse(uint8_t byValue) { return byValue ? tr("true") : tr("false"); }
