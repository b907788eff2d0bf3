#pragma once
// The dialogs of the devices behind the storage and USB controllers. The optical
// drive, keyboard and mouse dialogs show the device's name, description and
// vendor, read once at Init, on one shared form; the USB storage dialog is empty
// and never reads its device. The dialog manager picks the class by device type.
#include "Diagram/DeviceDialog.h"
#include "ui_DeviceTextDialog.h"

class IDevice;

// What one member of the three-row family makes different.
struct DeviceTextDialogKind {
    const char* pszForm;            // the form's object name and the texts' context
    const char* pszTitle;           // GetName, the frame's title
    int nWidth, nHeight;            // design size
    int nMinNameWidth, nMinOtherWidth;
    const char* pszHelp[3];         // what's-this of Name, Description, Vendor
    const char* pszMember;          // the device member, as error lines name it
    const char* pszRefresh;         // "CDDialog::Refresh"
    const char* pszArgument;        // SetDevice's argument, as its error line names it;
                                    // null: SetDevice takes null, and Refresh then refuses
    const char* pszSetDevice;       // "KeyboardDialog::SetDevice"
};

class QDeviceTextDialog : public QDeviceDialog {
public:
    // Binds the device (not owned: it belongs to the device manager).
    bool SetDevice(IDevice* pDevice);
    // Fills the three value labels from the device.
    bool Refresh();

    bool Init() override { return Refresh(); }
    const char* GetName() override { return m_Kind.pszTitle; }

    Ui::DeviceTextDialogClass& Form() { return ui; }

protected:
    explicit QDeviceTextDialog(const DeviceTextDialogKind& kind);

private:
    const DeviceTextDialogKind& m_Kind;
    Ui::DeviceTextDialogClass ui;
    IDevice* m_pDevice = nullptr;
};

class CDDialog final : public QDeviceTextDialog {
public:
    CDDialog();
};

class KeyboardDialog final : public QDeviceTextDialog {
public:
    KeyboardDialog();
};

class MouseDialog final : public QDeviceTextDialog {
public:
    MouseDialog();
};

class USBStorDialog final : public QDeviceDialog {
public:
    USBStorDialog();
    bool SetDevice(IDevice* pUSBStorage);

    bool Init() override { return true; }
    const char* GetName() override { return "USB Storage"; }

private:
    IDevice* m_pUSBStorage = nullptr;
};
