// The Auto Clock page's Reset: the operating point the program found the machine
// at goes back into the hardware (the default reference clock, each core's
// P-state, multiplier and voltage) and into the store, as the last result and as
// the applied settings, in one save.
#include <QApplication>
#include <QDir>

#include <cmath>

#include "Engine/LogCheck.h"
#include "MainWindow/ZAR.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "Settings/ConfigParser.h"
#include "Shell/MessageBox.h"
#include "Testing/AutoTune.h"
#include "Testing/AutoTuneItems.h"
#include "Testing/StartPoint.h"

using autotune::Group;
using autotune::MultiplierItem;
using autotune::MultiplierTuneItem;
using autotune::SubGroup;

namespace {

// Voltages closer than this are the same (far below the regulator's step).
constexpr double kSameVoltage = 1e-6;

// A core that started in a P-state goes back into it, so that it runs at that
// P-state's voltage again and the P-state page shows where it is.
void RestorePstate(unsigned long nCore, ICPUDevice* pCore)
{
    const int nPstate = CStartPoint::Pstate(nCore);
    if (nPstate < 0 || pCore->GetCurrentPstate() == nPstate)
        return;
    const bool bRetCode = pCore->SetPstate(nPstate);
    if (!bRetCode)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCore->SetPstate(nPstate)");
}

void SetVoltage(ICPUDevice* pCPU, double dVoltage)
{
    const bool bRetCode = pCPU->SetCPUVid(dVoltage);
    if (!bRetCode)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCPU->SetCPUVid(dVoltage)");
}

} // namespace

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

    // The whole roll-back reaches the file in one save: an end half-way must not
    // leave the reference clock rolled back and the multipliers tuned.
    CConfigBatch batch;
    // One voltage plane feeds every core: a start voltage above the present one is
    // given before any clock rises, one below it after the clocks are back.
    const double dVoltage = CStartPoint::Voltage();
    if (dVoltage > pCPU->GetCPUVid() + kSameVoltage)
        SetVoltage(pCPU, dVoltage);

    const double dDefault = pClockGen->GetDefaultHTRefClock();
    // A refused write is logged; the store records the start values all the same,
    // and the Discard below shows what the hardware holds.
    bool bRetCode = pClockGen->SetHTRefClock(dDefault);
    if (!bRetCode)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pClockGen->SetHTRefClock(dDefault)");
    pStore->SetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kHTRefClock, dDefault, true);
    pStore->SetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kCPUTune, dDefault, true);

    // Every core goes back to the P-state and the multiplier it started with, so
    // that no core keeps a tuned one; the items stand under core 0's group as the
    // Apply of each page reads them, each core's also as the result's.
    for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i) {
        ICPUDevice* pCore = QvxGetDevice<ICPUDevice>(dtCPU, i);
        if (!pCore)
            continue;
        RestorePstate(i, pCore);
        const double dCoreStart = _StartMultiplier(i, pCore);
        bRetCode = pCore->SetMultiplier(dCoreStart);
        if (!bRetCode)
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCore->SetMultiplier(dCoreStart)");
        pStore->SetValue(Group(pCPU), SubGroup(pCPU), MultiplierItem(i), dCoreStart, true);
        pStore->SetValue(Group(pCPU), SubGroup(pCPU), MultiplierTuneItem(i), dCoreStart, true);
    }
    if (dVoltage > 0) {
        if (std::fabs(pCPU->GetCPUVid() - dVoltage) > kSameVoltage)
            SetVoltage(pCPU, dVoltage);
        // A voltage stored by an earlier Apply would otherwise come back with the
        // next profile applied.
        const double dStored = std::round(dVoltage * autotune::kVoltScale);
        pStore->SetValue(Group(pCPU), SubGroup(pCPU), autotune::kCPUVID, dStored, true);
    }
    const bool bStored = batch.Commit();

    ZAR::GetInstance()->Discard();
    QApplication::restoreOverrideCursor();
    if (!bStored)
        msgbox::Show(nullptr, QMessageBox::Warning, tr("AutoClock"),
                     tr("The start values are in force, but they could not be saved to %1.")
                         .arg(QDir::toNativeSeparators(pStore->GetFullPath())));
}

double QAutoTune::_StartMultiplier(unsigned long nCore, ICPUDevice* pCore)
{
    // The multiplier the program found the core at (the device library's start
    // multiplier is the lowest one); a core not found then keeps what it runs at.
    const double dStart = CStartPoint::Multiplier(nCore);
    return dStart > 0 ? dStart : pCore->GetCurrentMultiplier();
}
