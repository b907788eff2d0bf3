#pragma once
// The processor's HyperTransport links, four columns of speeds, widths, revision
// and flags, read at Init and at every show. A link that cannot be read keeps its
// column as it was.
#include "Diagram/DeviceDialog.h"
#include "ui_HTLinkDialog.h"

class HTLinkDialog final : public QDeviceDialog {
public:
    HTLinkDialog();
    // Fills the column of every link that reads; false (logged) only when the
    // link block or processor core 0 is absent.
    bool Refresh();

    // False, unlogged, when the link block is absent.
    bool Init() override;
    const char* GetName() override { return "HyperTransport(TM) Link"; }

    Ui::HTLinkDialogClass& Form() { return ui; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    Ui::HTLinkDialogClass ui;
};
