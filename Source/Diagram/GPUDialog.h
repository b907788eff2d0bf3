#pragma once
// One graphics chip's dialog: model, video BIOS, memory and the clock and voltage
// ranges, read at Init and at every show; once a second while it is visible the
// live values: bus, power-saving flags, activity, level, fan, temperature,
// current clocks and the first three performance levels. The chip is looked up
// anew each time, so one that disappears only leaves the last values standing.
#include <cstdint>

#include "Diagram/DeviceDialog.h"
#include "Shell/ShownTimer.h"
#include "ui_GPUDialog.h"

class GPUDialog final : public QDeviceDialog {
public:
    GPUDialog();
    // Which chip (0 to 3); set before Init.
    void SetIndex(uint32_t uIndex) { m_uIndex = uIndex; }
    // Fills the static values; false (logged) when the chip or its video BIOS
    // record is missing, and then nothing changes.
    bool Refresh();

    // Arms the one-second refresh (it runs while the dialog is shown), then Refresh.
    bool Init() override;
    const char* GetName() override;

    // The text of a power-saving state (1 to 5), "Invalid State" for any other.
    static QString PowerStateText(int nState);
    Ui::GPUDialogClass& Form() { return ui; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // One refresh of the live values; a hidden dialog reads nothing.
    void timerEvent(QTimerEvent* event) override;

private:
    Ui::GPUDialogClass ui;
    uint32_t m_uIndex = 0;
    CShownTimer m_Refresh{this};
};
