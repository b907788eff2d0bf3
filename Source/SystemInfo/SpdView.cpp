#include "SystemInfo/SpdView.h"

#include <array>
#include <cmath>

#include "QVXLogic/Records.h"
#include "Shell/RecordText.h"
#include "SystemInfo/BasicInfoFormat.h"
#include "SystemInfo/MemoryTypes.h"
#include "ui_BasicInfo.h"

using namespace basicinfo;
using text::KnownText;

namespace {

// Manufacturer names longer than this may not fit their field: the tool tip has them whole.
constexpr int kManufacturerShown = 20;

// The ten labels of one timing column.
struct Column {
    QLabel* pFreq;
    QLabel* pTrp;
    QLabel* pTrrd;
    QLabel* pTrcd;
    QLabel* pTras;
    QLabel* pTwr;
    QLabel* pTwtr;
    QLabel* pTrtp;
    QLabel* pTrc;
    QLabel* pTcl;
    std::array<QLabel*, 10> All() const { return {pFreq, pTrp, pTrrd, pTrcd, pTras, pTwr, pTwtr, pTrtp, pTrc, pTcl}; }
};

Column GridColumn(Ui::BasicInfoClass& ui, int k)
{
    switch (k) {
    case 0: return {ui.Freq0, ui.Trp0, ui.Trrd0, ui.Trcd0, ui.Tras0, ui.Twr0, ui.Twtr0, ui.Trtp0, ui.Trc0, ui.Tcl0};
    case 1: return {ui.Freq1, ui.Trp1, ui.Trrd1, ui.Trcd1, ui.Tras1, ui.Twr1, ui.Twtr1, ui.Trtp1, ui.Trc1, ui.Tcl1};
    default: return {ui.Freq2, ui.Trp2, ui.Trrd2, ui.Trcd2, ui.Tras2, ui.Twr2, ui.Twtr2, ui.Trtp2, ui.Trc2, ui.Tcl2};
    }
}

QString Clocks(double value) { return QStringLiteral("%1 clock").arg(Fixed(value, 0)); }

// The set's frequency and timings; the extra set has no Trrd, Twtr and Trtp of its own.
void ShowSet(const Column& column, const SPD_TIMING& set, bool bExtra)
{
    column.pFreq->setText(QStringLiteral("%1 MHz").arg(Fixed(set.dFrequency, 0)));
    column.pTrp->setText(Clocks(set.Trp));
    column.pTrcd->setText(Clocks(set.Trcd));
    column.pTras->setText(Clocks(set.Tras));
    column.pTwr->setText(Clocks(set.Twr));
    column.pTrc->setText(Clocks(set.Trc));
    column.pTcl->setText(Latency(set.Tcl));
    if (bExtra)
        return;
    column.pTrrd->setText(Clocks(set.Trrd));
    column.pTwtr->setText(Clocks(set.Twtr));
    column.pTrtp->setText(Clocks(set.Trtp));
}

void ClearColumn(const Column& column)
{
    for (QLabel* pLabel : column.All())
        pLabel->clear();
}

} // namespace

void ShowModule(Ui::BasicInfoClass& ui, double dCapacityBytes, const SPD_INFO& spd)
{
    // Sizes the module's data leave unknown leave their fields empty.
    const double dBandwidth = spd.dMaxBandwidth;
    ui.MemCapacity->setText(
        KnownText(dCapacityBytes, QStringLiteral("%1 MB").arg(Fixed(dCapacityBytes / 1024 / 1024, 0))));
    ui.MemType->setText(MemoryTypeText(static_cast<unsigned>(spd.nMemoryType)));
    ui.MaxBandwidth->setText(
        KnownText(dBandwidth, QStringLiteral("%1 GB/s").arg(Fixed(dBandwidth / 1000 / 1000 / 1000, 1))));
    const QString maker = FieldText(spd.szManufacturer);
    ui.MemManufacturer->setText(maker);
    // A short name replaces the long name's tool tip of the module shown before.
    ui.MemManufacturer->setToolTip(maker.size() > kManufacturerShown ? maker : QString());
    ui.PartNumber->setText(FieldText(spd.szPartNumber));
    ui.SerialNumber->setText(Hex(spd.uSerialNumber));
    ui.Date->setText(FieldText(spd.szDate));
    // A text longer than its field shows its beginning.
    for (QLineEdit* pEdit : {ui.MemManufacturer, ui.PartNumber, ui.Date})
        pEdit->setCursorPosition(0);

    // An empty set (frequency not finite) leaves its column blank, or shows the extra set.
    for (int k = 0; k < 3; ++k) {
        const Column column = GridColumn(ui, k);
        const SPD_TIMING& set = spd.Timing[k];
        if (std::isfinite(set.dFrequency)) {
            ShowSet(column, set, false);
            continue;
        }
        ClearColumn(column);
        if (spd.bExtraSet)
            ShowSet(column, spd.ExtraTiming, true);
    }
}

void ClearModule(Ui::BasicInfoClass& ui)
{
    for (QLineEdit* pEdit : {ui.MemCapacity, ui.MemType, ui.MaxBandwidth, ui.MemManufacturer, ui.PartNumber,
                             ui.SerialNumber, ui.Date})
        pEdit->clear();
    ui.MemManufacturer->setToolTip(QString());
    for (int k = 0; k < 3; ++k)
        ClearColumn(GridColumn(ui, k));
}
