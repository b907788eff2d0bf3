// The Auto Clock page's two buttons on the stored results: Reset puts the start
// clocks back (hardware and store), Apply Settings copies the last search's
// results into the applied settings (the memory clock as one the controller offers
// at the reference clock applied) and has the profile object apply them.
#include <QApplication>

#include <cmath>

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
#include "Testing/StartMultipliers.h"

using autotune::Group;
using autotune::MultiplierItem;
using autotune::SubGroup;

namespace {

// Two memory clocks closer than this are the same (the controller's own tolerance).
constexpr double kSameClock = 0.001;

// The memory clock to apply with the reference clock dReference: the stored one
// when the controller offers it there, else the offered one nearest below it (the
// lowest, when none is below). The controller's clocks follow the reference clock,
// so what it offers at dReference is what it offers now, scaled. False when it
// offers nothing to choose from.
bool OfferedMemoryClock(IMemoryControllerDevice* pMC, double dNowReference, double dReference, double dStored,
                        double* pdClock)
{
    double list[256];
    unsigned nCount = 256;
    if (!(dNowReference > 0) || !(dReference > 0) || !pMC->GetMemClkList(list, &nCount) || nCount == 0)
        return false;
    double dBelow = 0, dLowest = 0;
    for (unsigned i = 0; i < nCount; ++i) {
        const double dOffered = list[i] * dReference / dNowReference;
        if (std::fabs(dOffered - dStored) <= kSameClock) {
            *pdClock = dStored;
            return true;
        }
        if (dOffered < dStored && dOffered > dBelow)
            dBelow = dOffered;
        if (i == 0 || dOffered < dLowest)
            dLowest = dOffered;
    }
    *pdClock = dBelow > 0 ? dBelow : dLowest;
    return true;
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

double QAutoTune::_StartMultiplier(unsigned long nCore, ICPUDevice* pCore)
{
    // The multiplier the program found the core at (the device library's start
    // multiplier is the lowest one); a core not found then keeps what it runs at.
    const double dStart = CStartMultipliers::Get(nCore);
    return dStart > 0 ? dStart : pCore->GetCurrentMultiplier();
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
    const double dNowReference = pClockGen->GetHTRefClock();
    double dReference = dNowReference;
    if (pStore->GetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kCPUTune, szValue)) {
        pStore->SetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kHTRefClock, szValue, true);
        CConfigParser::ToDouble(szValue, dReference);
    }
    if (pStore->GetValue(Group(pCPU), SubGroup(pCPU), autotune::kMultiplierTune, szValue)) {
        for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i)
            pStore->SetValue(Group(pCPU), SubGroup(pCPU), MultiplierItem(i), szValue, true);
    }
    if (pStore->GetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClockTune, szValue)) {
        // A result found at another reference clock (or one Reset has put back) may
        // name a memory clock the controller does not offer at the one applied now.
        double dStored = 0, dClock = 0;
        if (CConfigParser::ToDouble(szValue, dStored)
            && OfferedMemoryClock(pMC, dNowReference, dReference, dStored, &dClock) && dClock != dStored)
            pStore->SetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClock, dClock, true);
        else
            pStore->SetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClock, szValue, true);
    }

    // The store's own file, wherever the program was started from.
    const std::u16string path = pStore->GetFullPath().toStdU16String();
    const bool bApplied = CProfileSettgins::m_Self.ApplySettings(path.c_str());
    if (!bApplied)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "CProfileSettgins::m_Self.ApplySettings(path.c_str())");

    ZAR::GetInstance()->Discard();
    setCursor(Qt::ArrowCursor);
    // The pages now show what is in force; the user is told that it is not all.
    if (!bApplied)
        msgbox::Show(nullptr, QMessageBox::Warning, tr("AutoClock"),
                     tr("Some settings could not be applied; the hardware keeps its current values for them."));
}
