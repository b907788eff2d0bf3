#pragma once
// The property dialogs of the "Diagram" page. Each component the page draws as a
// button has a slot; a slot holds at most one frame (QBaseDialog) with the
// component's dialog in it. The manager makes the fixed components' dialogs at
// the page's first show, rebuilds the drives' and USB devices' dialogs from the
// controllers whenever the devices may have changed, shows and hides frames for
// the page's buttons and snaps dragged frames. A dialog reads its component when
// it is made (that decides whether the component is there and its button usable);
// its frame, the window the user sees, is built when it is first opened, so the
// page comes up without dressing and laying out windows nobody may open. Which
// dialog fills which slot is listed in DialogTable.cpp.
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
    // The frame of a slot shown (built first when it is opened for the first time) or
    // hidden; an empty slot does nothing. False for a number outside the table, or a
    // frame that could not be built.
    bool Show(int nSlot);
    bool Hide(int nSlot);
    // Snaps a dragged frame to the screen edges or to another frame; true when a
    // rule fired (the frame counts as docked).
    bool Dock(QBaseDialog* pDialog);

    // The frame in a slot, built now if it has not been opened yet; null for an empty
    // slot (tests and the page read it).
    QBaseDialog* Frame(int nSlot);
    QSysDiagram* Page() const { return m_pSysDiagram; }

private:
    // True for a number of the table; otherwise logged under pszMethod.
    static bool _IsSlot(int nSlot, const char* pszMethod);
    // The device's dialog, read; null when it cannot be shown.
    IQVXWidget* _CreateDialog(IDevice* pDevice, QToolButton* pButton);
    bool _BuildFixedDialogs();
    bool _BuildUsbControllers();
    // Puts a read dialog in its slot and makes the slot's button usable; its frame waits
    // for the first opening.
    void _Bind(int nSlot, IQVXWidget* pDialog);
    // The slot's frame, built around its dialog if it has none yet; null for an empty slot
    // or a frame that could not be built (logged under pszMethod).
    QBaseDialog* _BuiltFrame(int nSlot, const char* pszMethod);
    // Releases the frames (and the dialogs still waiting for one) of slots nFirst to
    // nLast; a refused UnInit is logged under pszMethod.
    void _ReleaseFrames(int nFirst, int nLast, const char* pszMethod);
    void _ClearDeviceSlots(int nFirstSlot, int nCount);
    void _RefreshDrives(QVX_DEVICE_TYPE eController, int nFirstSlot);
    void _RefreshUsbDevices();
    bool _AddDevice(QVX_DEVICE_TYPE eType, unsigned long uIndex, int nSlot);
    const QIcon& _Icon(DialogIcon eIcon) const;

    QBaseDialog* m_pBaseDialogs[dnTotal] = {};
    IQVXWidget* m_pWaitingDialogs[dnTotal] = {};   // read, not opened yet: no frame
    QSysDiagram* m_pSysDiagram = nullptr;
    QIcon m_HardDiskIcon;
    QIcon m_CDROMIcon;
    QIcon m_KeyboardIcon;
    QIcon m_MouseIcon;
    bool m_bInit = false;
};

extern CDialogManager g_DialogManager;
