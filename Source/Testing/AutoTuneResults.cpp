// The Auto Clock page's two buttons on the stored results: Reset puts the start
// clocks back (hardware and store), Apply Settings copies the last search's
// results into the applied settings and has the profile object apply them.
#include <QApplication>

#include "Engine/LogCheck.h"
#include "MainWindow/ZAR.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "QVXLogic/ProfileSettings.h"
#include "Settings/ConfigParser.h"
#include "Shell/MessageBox.h"
#include "Testing/AutoTune.h"
#include "Testing/AutoTuneItems.h"

using autotune::Group;
using autotune::MultiplierItem;
using autotune::SubGroup;

void QAutoTune::on_btnReset_clicked()
{
    const QMessageBox::StandardButton answer =
        msgbox::Show(nullptr, QMessageBox::Question, tr("AutoClock"), tr("Are you sure to roll back original settings?"),
                     QMessageBox::Yes | QMessageBox::No);
    // Only a Yes rolls back: a box closed unanswered gives No.
    if (answer != QMessageBox::Yes)
        return;
    CConfigParser* pStore = CConfigParser::GetInstance();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    IClockGeneratorDevice* pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    IMemoryControllerDevice* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    if (!pClockGen || !pCPU || !pMC) {
        QApplication::restoreOverrideCursor();
        return;
    }

    const double dDefault = pClockGen->GetDefaultHTRefClock();
    // A refused write is logged; the store records the start values all the same,
    // and the Discard below shows what the hardware holds.
    bool bRetCode = pClockGen->SetHTRefClock(dDefault);
    if (!bRetCode)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pClockGen->SetHTRefClock(dDefault)");
    pStore->SetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kHTRefClock, dDefault, true);
    pStore->SetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kCPUTune, dDefault, true);

    const double dStartMultiplier = _StartMultiplier(0, pCPU);
    // Every core goes back to the multiplier it started with, so that no core
    // keeps a tuned one; the items stand under core 0's group as the Apply of
    // each page reads them.
    for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i) {
        ICPUDevice* pCore = QvxGetDevice<ICPUDevice>(dtCPU, i);
        if (!pCore)
            continue;
        const double dCoreStart = _StartMultiplier(i, pCore);
        bRetCode = pCore->SetMultiplier(dCoreStart);
        if (!bRetCode)
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCore->SetMultiplier(dCoreStart)");
        pStore->SetValue(Group(pCPU), SubGroup(pCPU), MultiplierItem(i), dCoreStart, true);
    }
    pStore->SetValue(Group(pCPU), SubGroup(pCPU), autotune::kMultiplierTune, dStartMultiplier, true);

    ZAR::GetInstance()->Discard();
    QApplication::restoreOverrideCursor();
}

double QAutoTune::_StartMultiplier(unsigned long nCore, ICPUDevice* pCore) const
{
    // A core the page did not find when it was set up keeps what it runs at.
    if (nCore < m_StartMultipliers.size() && m_StartMultipliers[nCore] > 0)
        return m_StartMultipliers[nCore];
    return pCore->GetCurrentMultiplier();
}

void QAutoTune::on_btnSave_clicked()
{
    CConfigParser* pStore = CConfigParser::GetInstance();
    IClockGeneratorDevice* pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    IMemoryControllerDevice* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    if (!pClockGen || !pCPU || !pMC)
        return;
    setCursor(Qt::WaitCursor);

    QString szValue;
    if (pStore->GetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kCPUTune, szValue))
        pStore->SetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kHTRefClock, szValue, true);
    if (pStore->GetValue(Group(pCPU), SubGroup(pCPU), autotune::kMultiplierTune, szValue)) {
        for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i)
            pStore->SetValue(Group(pCPU), SubGroup(pCPU), MultiplierItem(i), szValue, true);
    }
    if (pStore->GetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClockTune, szValue))
        pStore->SetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClock, szValue, true);

    // The store's own file, wherever the program was started from.
    const std::u16string path = pStore->GetFullPath().toStdU16String();
    const bool bApplied = CProfileSettgins::m_Self.ApplySettings(path.c_str());
    if (!bApplied)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "CProfileSettgins::m_Self.ApplySettings(path.c_str())");

    ZAR::GetInstance()->Discard();
    setCursor(Qt::ArrowCursor);
}
