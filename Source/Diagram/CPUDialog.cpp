#include "Diagram/CPUDialog.h"

#include <cmath>

#include "Diagram/DialogSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "SystemInfo/InstructionSets.h"

namespace {

QString Live(double dValue, const char* pszUnit)
{
    return QStringLiteral("%1 %2").arg(dValue, 0, 'f', 2).arg(QLatin1String(pszUnit));
}

ICPUDevice* Core(unsigned long ulCore)
{
    return QvxGetDevice<ICPUDevice>(dtCPU, ulCore);
}

} // namespace

CPUDialog::CPUDialog()
{
    ui.setupUi(this);
}

bool CPUDialog::Init()
{
    ICPUDevice* pCPU = Core(0);
    if (!pCPU)
        return false;   // absent, as for every component: nothing to log

    ui.NameEdit->setText(DeviceText(pCPU->GetName()));
    const INSTRUCTION_SET_INFO* pInstructionSet = pCPU->GetInstructionSet();
    LOG_CHECK_ERROR(pInstructionSet);
    if (pInstructionSet)
        ui.InstructionEdit->setText(InstructionSetText(*pInstructionSet));
    ui.FamilyEdit->setText(QString::number(pCPU->GetBaseFamily() + pCPU->GetExtFamily(), 16).toUpper());
    ui.ModelEdit->setText(QStringLiteral("%1%2").arg(QString::number(pCPU->GetExtModel(), 16),
                                                     QString::number(pCPU->GetBaseModel(), 16)).toUpper());
    ui.SteppingEdit->setText(QString::number(pCPU->GetStepping()));
    ui.PackageEdit->setText(DeviceText(pCPU->GetInfoString()));
    ui.RevisionEdit->setText(DeviceText(pCPU->GetInfoString2()));
    _FillCaches(pCPU, g_DeviceManager.GetDeviceCount(dtCPU));

    IDevice* pMC = g_DeviceManager.GetDevice(dtMemoryController, 0);
    LOG_CHECK_ERROR(pMC);
    m_Refresh.Arm();
    return true;
}

void CPUDialog::showEvent(QShowEvent* event)
{
    QDeviceDialog::showEvent(event);
    m_Refresh.Shown();
}

void CPUDialog::hideEvent(QHideEvent* event)
{
    QDeviceDialog::hideEvent(event);
    m_Refresh.Hidden();
}

void CPUDialog::_FillCaches(ICPUDevice* pCPU, unsigned long ulCores)
{
    const struct {
        const CACHE_INFO* pCacheInfo;
        QLineEdit *pSize, *pAssoc, *pLineSize;
        bool bPerCore;   // L1 and L2 belong to each core; the L3 is shared
    } kCaches[] = {
        {pCPU->GetL1CodeCacheInfo(), ui.L1CodeCacheEdit, ui.L1CodeAssocEdit, ui.L1CodeLSEdit, true},
        {pCPU->GetL1DataCacheInfo(), ui.L1DataCacheEdit, ui.L1DataAssocEdit, ui.L1DataLSEdit, true},
        {pCPU->GetL2CacheInfo(), ui.L2CacheEdit, ui.L2AssocEdit, ui.L2LSEdit, true},
        {pCPU->GetL3CacheInfo(), ui.L3CacheEdit, ui.L3AssocEdit, ui.L3LSEdit, false},
    };
    for (const auto& cache : kCaches) {
        const CACHE_INFO* pCacheInfo = cache.pCacheInfo;
        LOG_CHECK_ERROR_IN(pCacheInfo, "CPUDialog::Init");
        // An L3 of no size (or none at all) leaves its row empty.
        if (pCacheInfo && (cache.bPerCore || pCacheInfo->dSize > 0)) {
            cache.pSize->setText(QStringLiteral("%1 KB").arg(pCacheInfo->dSize));
            cache.pAssoc->setText(QStringLiteral("%1-way").arg(pCacheInfo->dAssociativity));
            cache.pLineSize->setText(QStringLiteral("%1 bytes").arg(pCacheInfo->dLineSize));
        }
        if (cache.bPerCore && ulCores > 1)
            cache.pSize->setText(cache.pSize->text() + QStringLiteral(" X %1").arg(ulCores));
    }
}

void CPUDialog::timerEvent(QTimerEvent*)
{
    if (!isVisible())
        return;
    if (ICPUDevice* pCPU = Core(0)) {
        const double dFrequency = pCPU->GetCurrentFrequency();
        const double dMultiplier = pCPU->GetCurrentMultiplier();
        // A multiplier of 0 gives no reference clock: the last one shown stands.
        const double dReference = dFrequency / dMultiplier;
        if (dMultiplier > 0 && std::isfinite(dReference))
            ui.BusSpeedEdit->setText(Live(dReference, "MHz"));
        ui.NBSpeedEdit->setText(Live(pCPU->GetNBFrequency(), "MHz"));
        ui.NBMulEdit->setText(Live(pCPU->GetNBMultiplier(), "X"));
        // 0 (or less) is no reading: the last voltage shown stands.
        const double dNBVid = pCPU->GetNBVid();
        if (dNBVid > 0)
            ui.NBVolEdit->setText(Live(dNBVid, "V"));
    }
    _FillCore(0, ui.Core0SpeedEdit, ui.Core0MulEdit, ui.Core0VolEdit);
    _FillCore(1, ui.Core1SpeedEdit, ui.Core1MulEdit, ui.Core1VolEdit);
    _FillCore(2, ui.Core2SpeedEdit, ui.Core2MulEdit, ui.Core2VolEdit);
    _FillCore(3, ui.Core3SpeedEdit, ui.Core3MulEdit, ui.Core3VolEdit);
}

void CPUDialog::_FillCore(unsigned long ulCore, QLineEdit* pSpeed, QLineEdit* pMul, QLineEdit* pVol)
{
    ICPUDevice* pCore = Core(ulCore);
    if (!pCore)
        return;
    pSpeed->setText(Live(pCore->GetCurrentFrequency(), "MHz"));
    pMul->setText(Live(pCore->GetCurrentMultiplier(), "X"));
    pVol->setText(Live(pCore->GetCPUVid(), "V"));
}
