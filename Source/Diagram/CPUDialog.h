#pragma once
// The processor's dialog: the fixed facts (name, instruction sets, family, model,
// caches...) read once at Init, and once a second while it is visible the live
// values of the reference clock, the built-in north bridge and cores 0 to 3.
#include "Diagram/DeviceDialog.h"
#include "Shell/ShownTimer.h"
#include "ui_CPUDialog.h"

class ICPUDevice;
class QLineEdit;

class CPUDialog final : public QDeviceDialog {
public:
    CPUDialog();

    // Fills the fixed fields and arms the one-second refresh (it runs while the
    // dialog is shown); false (logged) only when core 0 is absent, and then nothing
    // is filled and no timer runs.
    bool Init() override;
    const char* GetName() override { return "CPU"; }

    Ui::CPUDialogClass& Form() { return ui; }

protected:
    // One refresh of the live fields; a hidden dialog reads nothing.
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void _FillCaches(ICPUDevice* pCPU, unsigned long ulCores);
    void _FillCore(unsigned long ulCore, QLineEdit* pSpeed, QLineEdit* pMul, QLineEdit* pVol);

    Ui::CPUDialogClass ui;
    CShownTimer m_Refresh{this};
};
