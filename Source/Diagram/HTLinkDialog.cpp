#include "Diagram/HTLinkDialog.h"

#include <cmath>

#include "Diagram/DialogSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"

namespace {

constexpr int kLinks = 4;
// The maximum link clock counts in steps of this, whatever the reference clock.
constexpr double kMaxSpeedStepMHz = 200.0;

QString EnabledText(uint8_t bFlag)
{
    return FlagText("HTLinkDialog", bFlag != 0);
}

// A link that is present but not in use reports an incoming width of -1; the rest
// of its record means nothing.
bool IsInUse(const HTLINK_INFO& info)
{
    return std::fabs(info.dWidthIn - -1.0) >= 0.00001;
}

} // namespace

HTLinkDialog::HTLinkDialog()
{
    ui.setupUi(this);
    StyleValueCells(this);
}

bool HTLinkDialog::Init()
{
    if (!QvxGetDevice<IHTLinkDevice>(dtHTLink, 0))
        return false;
    return Refresh();
}

bool HTLinkDialog::Refresh()
{
    auto* pHTLink = QvxGetDevice<IHTLinkDevice>(dtHTLink, 0);
    LOG_PROCESS_ERROR(pHTLink);
    auto* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    LOG_PROCESS_ERROR(pCPU);
    const double dFrequency = pCPU->GetCurrentFrequency();
    const double dReference = dFrequency / pCPU->GetCurrentMultiplier();

    QLabel* const columns[kLinks][10] = {
        {ui.Speed0, ui.MaxSpeed0, ui.WidthIn0, ui.WidthOut0, ui.MaxWidthIn0, ui.MaxWidthOut0, ui.Revision0,
         ui.CRCFlood0, ui.Isochronous0, ui.Tristate0},
        {ui.Speed1, ui.MaxSpeed1, ui.WidthIn1, ui.WidthOut1, ui.MaxWidthIn1, ui.MaxWidthOut1, ui.Revision1,
         ui.CRCFlood1, ui.Isochronous1, ui.Tristate1},
        {ui.Speed2, ui.MaxSpeed2, ui.WidthIn2, ui.WidthOut2, ui.MaxWidthIn2, ui.MaxWidthOut2, ui.Revision2,
         ui.CRCFlood2, ui.Isochronous2, ui.Tristate2},
        {ui.Speed3, ui.MaxSpeed3, ui.WidthIn3, ui.WidthOut3, ui.MaxWidthIn3, ui.MaxWidthOut3, ui.Revision3,
         ui.CRCFlood3, ui.Isochronous3, ui.Tristate3},
    };
    for (int k = 0; k < kLinks; ++k) {
        HTLINK_INFO info{};
        if (!pHTLink->GetLinkInfo(k, &info))
            continue;
        QLabel* const* cells = columns[k];
        if (!IsInUse(info)) {
            for (int row = 0; row < 10; ++row)
                cells[row]->clear();
            continue;
        }
        // A multiplier of 0 gives no reference clock: the speed shown stands.
        const double dSpeed = info.dLinkMultiplier * dReference;
        if (std::isfinite(dSpeed))
            cells[0]->setText(QStringLiteral("%1 MHz").arg(dSpeed, 0, 'f', 0));
        cells[1]->setText(QStringLiteral("%1 MHz").arg(info.dMaxLinkMultiplier * kMaxSpeedStepMHz, 0, 'f', 0));
        cells[2]->setText(QStringLiteral("%1 bits").arg(info.dWidthIn));
        cells[3]->setText(QStringLiteral("%1 bits").arg(info.dWidthOut));
        cells[4]->setText(QStringLiteral("%1 bits").arg(info.dMaxWidthIn));
        cells[5]->setText(QStringLiteral("%1 bits").arg(info.dMaxWidthOut));
        cells[6]->setText(QStringLiteral("%1.%2").arg(info.uRevisionMajor).arg(info.uRevisionMinor));
        cells[7]->setText(EnabledText(info.bCRCFlood));
        cells[8]->setText(EnabledText(info.bIsochronous));
        cells[9]->setText(EnabledText(info.bLDTStopTristate));
    }
    return true;
}

void HTLinkDialog::showEvent(QShowEvent*)
{
    Refresh();
}
