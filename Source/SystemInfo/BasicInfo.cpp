// The Basic page's one-time reading: processor, caches, link widths, memory
// type, module list and total capacity.
#include "SystemInfo/BasicInfo.h"

#include <QLineEdit>

#include "Engine/LogCheck.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "Shell/RecordText.h"
#include "Shell/RevisionCode.h"
#include "SystemInfo/BasicInfoFormat.h"
#include "SystemInfo/InstructionSets.h"
#include "SystemInfo/MemoryTypes.h"

using namespace basicinfo;

namespace {

QString Kilobytes(const CACHE_INFO& cache) { return QStringLiteral("%1 KB").arg(General(cache.dSize)); }
QString Bits(double width) { return QStringLiteral("%1 bits").arg(General(width)); }

} // namespace

QBasicInfo::QBasicInfo()
{
    ui.setupUi(this);
}

bool QBasicInfo::Init()
{
    // Every check line names Init, so the processor part stays in here.
    QString revision;
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    LOG_CHECK_ERROR(pCPU);
    if (pCPU) {
        ui.NameEdit->setText(QString::fromUtf16(pCPU->GetName()));
        const INSTRUCTION_SET_INFO* pInstructionSet = pCPU->GetInstructionSet();
        LOG_CHECK_ERROR(pInstructionSet);
        if (pInstructionSet)
            ui.InstructionEdit->setText(InstructionSetText(*pInstructionSet));
        ui.FamilyEdit->setText(Hex(static_cast<long long>(pCPU->GetExtFamily()) + pCPU->GetBaseFamily()));
        const QString extModel = Hex(pCPU->GetExtModel());
        ui.ModelEdit->setText(extModel + Hex(pCPU->GetBaseModel()));
        ui.SteppingEdit->setText(QString::number(pCPU->GetStepping()));
        ui.PackageEdit->setText(QString::fromUtf16(pCPU->GetInfoString()));
        revision = QString::fromUtf16(pCPU->GetInfoString2());
        ui.RevisionEdit->setText(revision);

        for (const auto& [get, pEdit] : _PerCoreCaches()) {
            const CACHE_INFO* pCacheInfo = (pCPU->*get)();
            LOG_CHECK_ERROR(pCacheInfo);
            if (pCacheInfo)
                pEdit->setText(Kilobytes(*pCacheInfo));
        }
        // Without a level-3 cache (no record, or a size that is not above 0) its row is off.
        const CACHE_INFO* pCacheInfo = pCPU->GetL3CacheInfo();
        LOG_CHECK_ERROR(pCacheInfo);
        if (pCacheInfo && pCacheInfo->dSize > 0) {
            ui.L3CacheEdit->setText(Kilobytes(*pCacheInfo));
        } else {
            ui.L3CacheLabel->setEnabled(false);
            ui.L3CacheEdit->setEnabled(false);
        }
    }

    // The per-core caches once per core. A cache that could not be read stays empty.
    const unsigned long uCores = g_DeviceManager.GetDeviceCount(dtCPU);
    if (uCores > 1)
        for (const auto& cache : _PerCoreCaches())
            if (!cache.second->text().isEmpty())
                cache.second->setText(cache.second->text() + QStringLiteral(" X %1").arg(uCores));

    IHTLinkDevice* pHTLink = QvxGetDevice<IHTLinkDevice>(dtHTLink, 0);
    LOG_CHECK_ERROR(pHTLink);
    if (pHTLink) {
        HTLINK_INFO info = {};
        const bool bRetCode = pHTLink->GetLinkInfo(0, &info);
        LOG_PROCESS_ERROR(bRetCode);
        ui.MaxWidthInEdit->setText(Bits(info.dMaxWidthIn));
        ui.MaxWidthOutEdit->setText(Bits(info.dMaxWidthOut));
        ui.WidthInEdit->setText(Bits(info.dWidthIn));
        ui.WidthOutEdit->setText(Bits(info.dWidthOut));
    }

    IMemoryControllerDevice* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    LOG_CHECK_ERROR(pMC);
    if (pMC) {
        // Both records must be readable, or the page's refresh could never show them.
        MEMORY_TIMING timing = {};
        MEMORY_CONFIG config = {};
        bool bRetCode = pMC->GetTimings(&timing);
        LOG_PROCESS_ERROR(bRetCode);
        bRetCode = pMC->GetConfig(&config);
        LOG_PROCESS_ERROR(bRetCode);
        ui.TypeEdit->setText(MemoryTypeText(static_cast<unsigned>(pMC->GetMemoryType())));
    }

    _ListModules();
    _UpdateSPDInfo();

    m_bNBFromMemClock = IsFamily11hRevision(revision);
    m_Refresh.Arm();
    return true;
}

void QBasicInfo::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    m_Refresh.Shown();
}

void QBasicInfo::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
}

std::array<QBasicInfo::Cache, 3> QBasicInfo::_PerCoreCaches() const
{
    return {{{&ICPUDevice::GetL1CodeCacheInfo, ui.CodeCacheEdit},
             {&ICPUDevice::GetL1DataCacheInfo, ui.DataCacheEdit},
             {&ICPUDevice::GetL2CacheInfo, ui.L2CacheEdit}}};
}

void QBasicInfo::_ListModules()
{
    // The first item becomes current as it is added, which already shows its module.
    double dTotal = 0;
    for (unsigned long i = 0;; ++i) {
        IMemoryModuleDevice* pModule = QvxGetDevice<IMemoryModuleDevice>(dtMemory, i);
        if (!pModule)
            break;
        dTotal += pModule->GetCapacity();
        ui.SlotBox->addItem(QStringLiteral("Slot %1").arg(General(pModule->GetSlotLocation())), static_cast<int>(i));
    }
    // One module of unknown size makes the sum unknown too (NaN carries through it).
    ui.CapacityEdit->setText(text::KnownText(dTotal, QStringLiteral("%1 MB").arg(Fixed(dTotal / 1024 / 1024, 0))));
}
