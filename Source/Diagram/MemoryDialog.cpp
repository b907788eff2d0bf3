#include "Diagram/MemoryDialog.h"

#include <cmath>
#include <cstdio>

#include "Diagram/DialogSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/MemoryDevices.h"
#include "SystemInfo/BasicInfoFormat.h"
#include "SystemInfo/MemoryTypes.h"

namespace {

// Longer maker names do not fit their field: the tool tip shows them whole.
constexpr int kManufacturerFits = 20;

// The module that reports the slot; the lowest index wins.
IMemoryModuleDevice* FindModule(uint32_t uSlot)
{
    for (unsigned long i = 0;; ++i) {
        IDevice* pDevice = g_DeviceManager.GetDevice(dtMemory, i);
        if (!pDevice)
            return nullptr;
        if (pDevice->GetType() != dtMemory)
            continue;
        auto* pMemory = static_cast<IMemoryModuleDevice*>(pDevice);
        if (pMemory->GetSlotLocation() == static_cast<double>(uSlot))
            return pMemory;
    }
}

} // namespace

MemoryDialog::MemoryDialog()
{
    ui.setupUi(this);
    StyleValueCells(this);
}

const char* MemoryDialog::GetName()
{
    std::snprintf(m_szName, sizeof m_szName, "Slot %u", m_uSlot);
    return m_szName;
}

bool MemoryDialog::Init()
{
    IMemoryModuleDevice* pMemory = FindModule(m_uSlot);
    if (!pMemory)
        return false;   // an empty slot: no dialog, and nothing to log
    const SPD_INFO* pSPDInfo = pMemory->GetSPDInfo();
    LOG_PROCESS_ERROR(pSPDInfo);
    ShowModule(pMemory->GetCapacity(), *pSPDInfo);
    return true;
}

void MemoryDialog::ShowModule(double dCapacity, const SPD_INFO& spd)
{
    // Sizes the module's data leave unknown leave their fields empty.
    ui.MemCapacity->setText(KnownText(dCapacity, QStringLiteral("%1 MB").arg(dCapacity / 1024 / 1024, 0, 'f', 0)));
    ui.MemType->setText(MemoryTypeText(static_cast<uint32_t>(spd.nMemoryType), "Unknow Type"));
    const double dBandwidth = spd.dMaxBandwidth;
    ui.MaxBandwidth->setText(
        KnownText(dBandwidth, QStringLiteral("%1 GB/s").arg(dBandwidth / 1000 / 1000 / 1000, 0, 'f', 1)));
    const QString manufacturer = RecordText(spd.szManufacturer, sizeof spd.szManufacturer);
    ui.MemManufacturer->setText(manufacturer);
    if (manufacturer.size() > kManufacturerFits)
        ui.MemManufacturer->setToolTip(manufacturer);
    ui.PartNumber->setText(RecordText(spd.szPartNumber, sizeof spd.szPartNumber));
    ui.SerialNumber->setText(QString::number(spd.uSerialNumber, 16).toUpper());
    ui.Date->setText(RecordText(spd.szDate, sizeof spd.szDate));

    QLabel* const sets[3][10] = {
        {ui.Freq0, ui.Trp0, ui.Trrd0, ui.Trcd0, ui.Tras0, ui.Twr0, ui.Twtr0, ui.Trtp0, ui.Trc0, ui.Tcl0},
        {ui.Freq1, ui.Trp1, ui.Trrd1, ui.Trcd1, ui.Tras1, ui.Twr1, ui.Twtr1, ui.Trtp1, ui.Trc1, ui.Tcl1},
        {ui.Freq2, ui.Trp2, ui.Trrd2, ui.Trcd2, ui.Tras2, ui.Twr2, ui.Twtr2, ui.Trtp2, ui.Trc2, ui.Tcl2},
    };
    for (int s = 0; s < 3; ++s) {
        const SPD_TIMING& t = spd.Timing[s];
        // A set is there when its frequency is a number.
        const bool bPresent = std::isfinite(t.dFrequency);
        const double values[10] = {t.dFrequency, t.Trp, t.Trrd, t.Trcd, t.Tras, t.Twr, t.Twtr, t.Trtp, t.Trc, t.Tcl};
        for (int r = 0; r < 10; ++r) {
            const QString format = r == 0 ? QStringLiteral("%1 MHz") : QStringLiteral("%1 clock");
            // The CAS latency keeps a half clock.
            const QString text = r == 9 ? basicinfo::Latency(values[r]) : format.arg(values[r], 0, 'f', 0);
            sets[s][r]->setText(bPresent ? text : QString());
        }
    }
}
