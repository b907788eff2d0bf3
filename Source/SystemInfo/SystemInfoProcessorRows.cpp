// The blocks of the processor side: cores, HyperTransport links, graphics chips
// and memory modules.
#include "SystemInfo/SystemInfo.h"

#include <QTreeWidgetItem>

#include <cmath>

#include "Engine/LogCheck.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/GpuDevice.h"
#include "QVXLogic/MemoryDevices.h"
#include "SystemInfo/SystemInfoRows.h"

using sysinfo::Fixed;
using sysinfo::General;

namespace {

// The four rows of one cache, in the order of its record's fields.
struct CacheRows {
    const CACHE_INFO* (ICPUDevice::*pSlot)();
    const char* pszSize;
    const char* pszAssociativity;
    const char* pszLines;
    const char* pszLineSize;
};

const CacheRows kCaches[] = {
    {&ICPUDevice::GetL1DataCacheInfo, QT_TRANSLATE_NOOP("QSystemInfo", "L1 Data Cache Size"),
     QT_TRANSLATE_NOOP("QSystemInfo", "L1 Data Cache Associativity"), QT_TRANSLATE_NOOP("QSystemInfo", "L1 Data Cache Lines"),
     QT_TRANSLATE_NOOP("QSystemInfo", "L1 Data Cache Line Size")},
    {&ICPUDevice::GetL1CodeCacheInfo, QT_TRANSLATE_NOOP("QSystemInfo", "L1 Instruction Cache Size"),
     QT_TRANSLATE_NOOP("QSystemInfo", "L1 Instruction Cache Associativity"),
     QT_TRANSLATE_NOOP("QSystemInfo", "L1 Instruction Cache Lines"),
     QT_TRANSLATE_NOOP("QSystemInfo", "L1 Instruction Cache Line Size")},
    {&ICPUDevice::GetL2CacheInfo, QT_TRANSLATE_NOOP("QSystemInfo", "L2 Cache Size"),
     QT_TRANSLATE_NOOP("QSystemInfo", "L2 Cache Associativity"), QT_TRANSLATE_NOOP("QSystemInfo", "L2 Cache Lines"),
     QT_TRANSLATE_NOOP("QSystemInfo", "L2 Cache Line Size")},
};

} // namespace

bool QSystemInfo::_AddCPUInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pCPU = sysinfo::Typed<ICPUDevice>(pDevice, dtCPU);
    LOG_PROCESS_ERROR(pCPU);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("CPU %1").arg(static_cast<unsigned>(pCPU->GetIndex())));
    _AddCommonRows(pTop, pCPU);
    _AddRow(pTop, tr("Max Frequency"), tr("%1 MHz").arg(sysinfo::MaxFrequencyMHz(pCPU->GetMaxFrequency())));
    _AddRow(pTop, tr("Start Voltage"), tr("%1 V").arg(General(pCPU->GetStartVoltage())));
    _AddRow(pTop, tr("Min Voltage"), tr("%1 V").arg(General(pCPU->GetMinVoltage())));
    _AddRow(pTop, tr("Max Voltage"), tr("%1 V").arg(General(pCPU->GetMaxVoltage())));
    _AddRow(pTop, tr("Max Ramp Voltage"), tr("%1 V").arg(General(pCPU->GetMaxRampVoltage())));
    _AddRow(pTop, tr("Max Multiplier"), tr("%1 X").arg(General(pCPU->GetMaxMultiplier())));
    _AddRow(pTop, tr("Start Multiplier"), tr("%1 X").arg(General(pCPU->GetStartMultiplier())));
    for (const CacheRows& cache : kCaches) {
        // Asked for right before its rows; a cache without a record ends the block.
        const CACHE_INFO* pCacheInfo = (pCPU->*cache.pSlot)();
        LOG_PROCESS_ERROR(pCacheInfo);
        _AddRow(pTop, tr(cache.pszSize), tr("%1 KB").arg(General(pCacheInfo->dSize)));
        _AddRow(pTop, tr(cache.pszAssociativity), tr("%1").arg(General(pCacheInfo->dAssociativity)));
        _AddRow(pTop, tr(cache.pszLines), tr("%1").arg(General(pCacheInfo->dLines)));
        _AddRow(pTop, tr(cache.pszLineSize), tr("%1 Bytes").arg(General(pCacheInfo->dLineSize)));
    }
    return true;
}

bool QSystemInfo::_AddHTLinkInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pHTLink = sysinfo::Typed<IHTLinkDevice>(pDevice, dtHTLink);
    LOG_PROCESS_ERROR(pHTLink);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("HTLink %1").arg(static_cast<unsigned>(pHTLink->GetIndex())));
    // The device says when there are no more links; a device that never does
    // must not hold the window forever.
    int k = 0;
    for (; k < kMaxHTLinks; ++k) {
        HTLINK_INFO info{};   // a link the device answers without filling shows nothing stale
        if (!pHTLink->GetLinkInfo(k, &info))
            return true;
        if (std::fabs(info.dWidthIn - -1.0) < 0.00001)
            continue;   // present but not in use
        const unsigned uLink = static_cast<unsigned>(k);
        _AddRow(pTop, tr("HT%1 Multiplier").arg(uLink), tr("%1 X").arg(General(info.dLinkMultiplier)));
        _AddRow(pTop, tr("HT%1 Width In").arg(uLink), tr("%1 bits").arg(General(info.dWidthIn)));
        _AddRow(pTop, tr("HT%1 Width Out").arg(uLink), tr("%1 bits").arg(General(info.dWidthOut)));
        _AddRow(pTop, tr("HT%1 Max Width In").arg(uLink), tr("%1 bits").arg(General(info.dMaxWidthIn)));
        _AddRow(pTop, tr("HT%1 Max Width Out").arg(uLink), tr("%1 bits").arg(General(info.dMaxWidthOut)));
    }
    LOG_CHECK_ERROR(k < kMaxHTLinks);
    return true;
}

bool QSystemInfo::_AddGPUInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pGPU = sysinfo::Typed<IGPUDevice>(pDevice, dtGPU);
    LOG_PROCESS_ERROR(pGPU);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("GPU %1").arg(static_cast<unsigned>(pGPU->GetIndex())));
    _AddCommonRows(pTop, pGPU);
    _AddRow(pTop, tr("Core Frequency"), tr("%1 MHz").arg(Fixed(pGPU->GetEngineClock(0), 2)));
    _AddRow(pTop, tr("Memory Capacity"), tr("%1 MB").arg(Fixed(pGPU->GetMemoryCapacity() * (1.0 / 1048576), 0)));
    _AddRow(pTop, tr("Memory Frequency"), tr("%1 MHz").arg(Fixed(pGPU->GetMemoryClock(), 2)));
    _AddRow(pTop, tr("Memory Bit Width"), tr("%1 Bit").arg(Fixed(pGPU->GetMemoryBitWidth(), 0)));
    _AddRow(pTop, tr("Display Mode"), sysinfo::DeviceText(pGPU->GetDisplayMode()));
    return true;
}

bool QSystemInfo::_AddMemoryInfo(QTreeWidget* pTree, IDevice* pDevice)
{
    LOG_PROCESS_ERROR(pTree);
    auto* pMemory = sysinfo::Typed<IMemoryModuleDevice>(pDevice, dtMemory);
    LOG_PROCESS_ERROR(pMemory);
    QTreeWidgetItem* pTop = _AddTopItem(pTree, tr("Memory %1").arg(static_cast<unsigned>(pMemory->GetIndex())));
    _AddCommonRows(pTop, pMemory);
    // A size the module's data leave unknown is an empty row.
    const double dCapacity = pMemory->GetCapacity();
    _AddRow(pTop, tr("Capacity"),
            sysinfo::KnownText(dCapacity, tr("%1 MB").arg(Fixed(dCapacity * (1.0 / 1048576), 0))));
    const double dBandwidth = pMemory->GetMaxBandwidth();
    _AddRow(pTop, tr("Max Bandwidth"),
            sysinfo::KnownText(dBandwidth, tr("%1 GB/s").arg(Fixed(dBandwidth / 1000 / 1000 / 1000, 1))));
    // The part number lives in the module's SPD record; never read past that field.
    _AddRow(pTop, tr("Part Number"), sysinfo::RecordText(pMemory->GetPartNumber(), sizeof(SPD_INFO::szPartNumber)));
    _AddRow(pTop, tr("Serial Number"), QStringLiteral("%1").arg(pMemory->GetSerialNumber(), 0, 16).toUpper());
    const double dWidth = pMemory->GetDataWidth();
    _AddRow(pTop, tr("Data Width"), sysinfo::KnownText(dWidth, tr("%1 bits").arg(General(dWidth))));
    _AddRow(pTop, tr("Bus Frequency"), tr("%1 MHz").arg(General(pMemory->GetBusFrequency())));
    _AddRow(pTop, tr("Slot Location"), QStringLiteral("Slot %1").arg(General(pMemory->GetSlotLocation())));
    return true;
}
