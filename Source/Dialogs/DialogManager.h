#pragma once
// The device dialogs behind the board diagram (drives and USB devices). Until the
// diagram exists this keeps only what the main window uses: whether the dialogs
// were built, and their refresh after a device change.
#include <QIcon>

class CDialogManager {
public:
    static constexpr int kDialogSlots = 40;

    CDialogManager() = default;
    ~CDialogManager() = default;
    CDialogManager(const CDialogManager&) = delete;
    CDialogManager& operator=(const CDialogManager&) = delete;

    bool IsInit() const { return m_bInit; }
    // Rebuilds the drive and USB dialogs from the device manager's current devices.
    bool Refresh();

    // Marks the dialogs built or not. Defined by the test support only: in the
    // program the diagram builds them.
    void SetInitForTests(bool bInit);

private:
    QWidget* m_Dialogs[kDialogSlots] = {};
    QWidget* m_pHost = nullptr;
    // Built only when first used: no icon may exist before the application does.
    QIcon m_Icons[4];
    bool m_bInit = false;
};

extern CDialogManager g_DialogManager;
