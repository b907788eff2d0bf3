// The Auto Clock page's Apply Settings: the last search's results go into the
// applied settings (each core's multiplier as it had for the result, the memory
// clock as one the controller offers at the reference clock applied, never a
// faster one) in one save, and the profile object applies them.
#include <QDir>
#include <QStringList>

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

using autotune::Group;
using autotune::MultiplierItem;
using autotune::MultiplierTuneItem;
using autotune::SubGroup;

namespace {

// Two memory clocks closer than this are the same (the controller's own tolerance).
constexpr double kSameClock = 0.001;

enum class MemoryChoice {
    Offered,   // the stored clock, or the offered one nearest below it
    Refused,   // every offered clock lies above the stored one
    Unknown,   // the controller lists nothing to choose from
};

// The memory clock to apply with the reference clock dReference. The controller's
// clocks follow the reference clock, so what it offers at dReference is what it
// offers now, scaled. A faster clock than the result's was never tested with it.
MemoryChoice OfferedMemoryClock(IMemoryControllerDevice* pMC, double dNowReference, double dReference, double dStored,
                                double* pdClock)
{
    double list[256];
    unsigned nCount = 256;
    if (!(dNowReference > 0) || !(dReference > 0) || !pMC->GetMemClkList(list, &nCount) || nCount == 0)
        return MemoryChoice::Unknown;
    double dBelow = 0;
    for (unsigned i = 0; i < nCount; ++i) {
        const double dOffered = list[i] * dReference / dNowReference;
        if (std::fabs(dOffered - dStored) <= kSameClock) {
            *pdClock = dStored;
            return MemoryChoice::Offered;
        }
        if (dOffered < dStored && dOffered > dBelow)
            dBelow = dOffered;
    }
    if (!(dBelow > 0))
        return MemoryChoice::Refused;
    *pdClock = dBelow;
    return MemoryChoice::Offered;
}

// Each core gets the multiplier it had for the result. A result that names core
// 0's alone (the tuner's own item) gives that one to every core.
void CopyCoreMultipliers(CConfigParser* pStore, ICPUDevice* pCPU)
{
    QString szCore0;
    if (!pStore->GetValue(Group(pCPU), SubGroup(pCPU), autotune::kMultiplierTune, szCore0))
        return;
    for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i) {
        QString szCore;
        if (i == 0 || !pStore->GetValue(Group(pCPU), SubGroup(pCPU), MultiplierTuneItem(i), szCore))
            szCore = szCore0;
        pStore->SetValue(Group(pCPU), SubGroup(pCPU), MultiplierItem(i), szCore, true);
    }
}

// Stores the result's memory clock as Apply Settings applies it. A result found
// at another reference clock (or one Reset has put back) may name a memory clock
// the controller does not offer at the one applied now. The message for the user
// when the clock is refused, else nothing.
QString CopyMemoryClock(CConfigParser* pStore, IMemoryControllerDevice* pMC, const QString& szStored,
                        double dNowReference, double dReference)
{
    double dStored = 0, dClock = 0;
    const MemoryChoice choice = CConfigParser::ToDouble(szStored, dStored)
        ? OfferedMemoryClock(pMC, dNowReference, dReference, dStored, &dClock) : MemoryChoice::Unknown;
    if (choice == MemoryChoice::Offered && dClock != dStored) {
        pStore->SetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClock, dClock, true);
        return QString();
    }
    if (choice != MemoryChoice::Refused) {
        // The profile object judges what it cannot read, and says so.
        pStore->SetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClock, szStored, true);
        return QString();
    }
    // The memory keeps its present setting: the applied item names it as it runs
    // at the reference clock applied, so the profile object leaves it alone.
    MEMORY_CONFIG config{};
    if (pMC->GetConfig(&config)) {
        const double dPresent = config.MemClk * dReference / dNowReference;
        pStore->SetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClock, dPresent, true);
    }
    g_Log.Write(ltError, "Auto Clock: memory clock %g MHz refused: none offered at or below it at %g MHz\n", dStored,
                dReference);
    return QAutoTune::tr("The memory clock of the last result, %1 MHz, was not applied: at the reference clock of "
                         "%2 MHz the memory controller offers none at or below it. The memory keeps its present "
                         "setting.")
        .arg(QString::number(dStored, 'g', 15), QString::number(dReference, 'g', 15));
}

} // namespace

void QAutoTune::on_btnSave_clicked()
{
    CConfigParser* pStore = CConfigParser::GetInstance();
    IClockGeneratorDevice* pClockGen = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    IMemoryControllerDevice* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
    if (!pClockGen || !pCPU || !pMC)
        return;
    setCursor(Qt::WaitCursor);

    // The result reaches the file in one save, before the profile object reads it.
    CConfigBatch batch;
    QString szValue;
    const double dNowReference = pClockGen->GetHTRefClock();
    double dReference = dNowReference;
    if (pStore->GetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kCPUTune, szValue)) {
        pStore->SetValue(Group(pClockGen), SubGroup(pClockGen), autotune::kHTRefClock, szValue, true);
        CConfigParser::ToDouble(szValue, dReference);
    }
    CopyCoreMultipliers(pStore, pCPU);
    QStringList problems;
    if (pStore->GetValue(Group(pMC), SubGroup(pMC), autotune::kMemoryClockTune, szValue)) {
        const QString szRefused = CopyMemoryClock(pStore, pMC, szValue, dNowReference, dReference);
        if (!szRefused.isEmpty())
            problems << szRefused;
    }
    const bool bStored = batch.Commit();

    // The store's own file, wherever the program was started from. A result that
    // could not be written is not applied: the file still holds what was before.
    bool bApplied = false;
    if (bStored) {
        const std::u16string path = pStore->GetFullPath().toStdU16String();
        bApplied = CProfileSettgins::m_Self.ApplySettings(path.c_str());
        if (!bApplied)
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "CProfileSettgins::m_Self.ApplySettings(path.c_str())");
    }

    ZAR::GetInstance()->Discard();
    setCursor(Qt::ArrowCursor);
    // The pages now show what is in force; the user is told what is not.
    if (!bStored)
        problems.prepend(tr("The last result could not be saved to %1, so it was not applied.")
                             .arg(QDir::toNativeSeparators(pStore->GetFullPath())));
    else if (!bApplied)
        problems << tr("Some settings could not be applied; the hardware keeps its current values for them.");
    if (!problems.isEmpty())
        msgbox::Show(nullptr, QMessageBox::Warning, tr("AutoClock"), problems.join(QStringLiteral("\n\n")));
}
