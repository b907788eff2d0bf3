#pragma once
// The chipset's dialogs: north bridge, south bridge, SATA, IDE and USB
// controllers, each showing the device's name and its PCI identity in
// hexadecimal on one shared form. The device is looked up on every refresh; the
// two bridges read it again each time they are shown.
#include <cstdint>

#include "Diagram/DeviceDialog.h"
#include "QVXLogic/Types.h"
#include "ui_ChipsetDialog.h"

// What one member of the family makes different.
struct ChipsetDialogKind {
    const char* pszForm;            // the form's object name and the texts' context
    const char* pszTitle;
    QVX_DEVICE_TYPE eType;
    const char* pszCaption;         // row 0's caption
    const char* pszNameCell;        // the name cell's object name
    const char* pszNameHelp;
    const char* pszDeviceIdHelp;
    int nWidth, nHeight;            // design size
    bool bReadOnShow;
    const char* pszExpr;            // the error line's expression when the device is absent
    const char* pszRefresh;         // and its method
};

class QChipsetDialog : public QDeviceDialog {
public:
    // Reads the device and fills the six cells; false (logged) when it is absent,
    // and then no cell changes.
    bool Refresh();

    // False, unlogged, when the device is absent.
    bool Init() override;
    const char* GetName() override { return m_Kind.pszTitle; }

    // "%1h" in base 16, all upper case: 0x3c reads "3CH".
    static QString Hex(uint32_t uValue);
    Ui::ChipsetDialogClass& Form() { return ui; }

protected:
    explicit QChipsetDialog(const ChipsetDialogKind& kind);
    void showEvent(QShowEvent* event) override;

    uint32_t m_uIndex = 0;

private:
    const ChipsetDialogKind& m_Kind;
    Ui::ChipsetDialogClass ui;
};

class NBDialog final : public QChipsetDialog {
public:
    NBDialog();
};

class SBDialog final : public QChipsetDialog {
public:
    SBDialog();
};

class SATADialog final : public QChipsetDialog {
public:
    SATADialog();
};

class IDEDialog final : public QChipsetDialog {
public:
    IDEDialog();
};

// One USB controller, chosen by its index before Init.
class USBDialog final : public QChipsetDialog {
public:
    USBDialog();
    void SetIndex(uint32_t uIndex) { m_uIndex = uIndex; }
};
