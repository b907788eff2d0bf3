#pragma once
// The property dialogs of the "Diagram" page. Each component the page draws as a
// button has a slot; a slot holds at most one frame (QBaseDialog) with the
// component's dialog in it. The manager builds the fixed components' dialogs at
// the page's first show, rebuilds the drives' and USB devices' dialogs from the
// controllers whenever the devices may have changed, shows and hides frames for
// the page's buttons and snaps dragged frames. Which dialog fills which slot is
// listed in DialogTable.cpp.
#include <QIcon>

#include "QVXLogic/Types.h"

class QBaseDialog;
class QSysDiagram;
class QToolButton;
class IDevice;
class IQVXWidget;
enum class DialogIcon;

enum eDialogName : int {
    dnInvalid = -1,
    dnCPU = 0,
    dnGPU0, dnGPU1, dnGPU2, dnGPU3,
    dnMemorySlot0, dnMemorySlot1, dnMemorySlot2, dnMemorySlot3,
    dnDCT,
    dnChannelA, dnChannelB,
    dnHTLink,
    dnNorthBridge, dnSouthBridge,
    dnSATAController,
    dnSATADevice0, dnSATADevice1, dnSATADevice2, dnSATADevice3,
    dnIDEController,
    dnIDEDevice0, dnIDEDevice1, dnIDEDevice2, dnIDEDevice3,
    dnUSBController0, dnUSBController1, dnUSBController2, dnUSBController3,
    dnUSBController4, dnUSBController5, dnUSBController6,
    dnUSBDevice0, dnUSBDevice1, dnUSBDevice2, dnUSBDevice3, dnUSBDevice4, dnUSBDevice5, dnUSBDevice6,
    dnUnused39,   // no component, no button: never filled
    dnTotal
};

// What the page's buttons and the table allow.
constexpr int kMaxDrives = 4;            // per storage controller, over all its channels
constexpr int kMaxUsbControllers = 7;
constexpr int kMaxUsbDevices = 7;        // over all USB controllers

class CDialogManager {
public:
    CDialogManager();
    virtual ~CDialogManager();
    CDialogManager(const CDialogManager&) = delete;
    CDialogManager& operator=(const CDialogManager&) = delete;

    // Builds every dialog for the page; false leaves the manager uninitialised
    // (the page tries again at its next show).
    bool Init(QSysDiagram* pSysDiagram);
    // Releases every frame; always true.
    bool UnInit();
    bool IsInit() const { return m_bInit; }
    // Rebuilds the drive and USB device dialogs from the controllers as the
    // device manager sees them now.
    bool Refresh();
    // The frame of a slot shown or hidden; an empty slot does nothing. False only
    // for a number outside the table.
    bool Show(int nSlot);
    bool Hide(int nSlot);
    // Snaps a dragged frame to the screen edges or to another frame; true when a
    // rule fired (the frame counts as docked).
    bool Dock(QBaseDialog* pDialog);

    // The frame in a slot, or null (tests and the page read it).
    QBaseDialog* Frame(int nSlot) const;
    QSysDiagram* Page() const { return m_pSysDiagram; }

private:
    // True for a number of the table; otherwise logged under pszMethod.
    static bool _IsSlot(int nSlot, const char* pszMethod);
    QBaseDialog* _CreateDialog(IDevice* pDevice, QToolButton* pButton);
    bool _BuildFixedDialogs();
    bool _BuildUsbControllers();
    QBaseDialog* _Frame(IQVXWidget* pDialog, QToolButton* pButton, const char* pszFrameExpr, const char* pszMethod);
    // Releases the frames of slots nFirst to nLast; a refused UnInit is logged under pszMethod.
    void _ReleaseFrames(int nFirst, int nLast, const char* pszMethod);
    void _ClearDeviceSlots(int nFirstSlot, int nCount);
    void _RefreshDrives(QVX_DEVICE_TYPE eController, int nFirstSlot);
    void _RefreshUsbDevices();
    bool _AddDevice(QVX_DEVICE_TYPE eType, unsigned long uIndex, int nSlot);
    const QIcon& _Icon(DialogIcon eIcon) const;

    QBaseDialog* m_pBaseDialogs[dnTotal] = {};
    QSysDiagram* m_pSysDiagram = nullptr;
    QIcon m_HardDiskIcon;
    QIcon m_CDROMIcon;
    QIcon m_KeyboardIcon;
    QIcon m_MouseIcon;
    bool m_bInit = false;
};

extern CDialogManager g_DialogManager;
