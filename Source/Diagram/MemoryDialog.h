#pragma once
// One memory slot's dialog: what the module's SPD data say (size, type,
// bandwidth, maker, part and serial numbers, date) and its timings at up to three
// frequencies, read once at Init.
#include <cstdint>

#include "Diagram/DeviceDialog.h"
#include "QVXLogic/Records.h"
#include "ui_MemoryDialog.h"

class MemoryDialog final : public QDeviceDialog {
public:
    MemoryDialog();
    // Which slot (0 to 3); set before Init.
    void SetSlot(uint32_t uSlot) { m_uSlot = uSlot; }

    // Fills the form from the module in the slot; false (logged) when the slot
    // has no module or the module no SPD record, and then nothing is written.
    bool Init() override;
    const char* GetName() override;
    // Writes one module's size and SPD record into the form.
    void ShowModule(double dCapacity, const SPD_INFO& spd);

    Ui::MemoryDialogClass& Form() { return ui; }

private:
    Ui::MemoryDialogClass ui;
    uint32_t m_uSlot = 0;
    char m_szName[256] = {};
};
