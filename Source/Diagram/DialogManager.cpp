#include "Diagram/DialogManager.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>

#include <new>
#include <vector>

#include "Diagram/BaseDialog.h"
#include "Diagram/ChipsetDialogs.h"
#include "Diagram/DialogSupport.h"
#include "Diagram/DialogTable.h"
#include "Diagram/Docking.h"
#include "Diagram/SysDiagram.h"
#include "Engine/LogCheck.h"
#include "Settings/SkinManager.h"

namespace {
QIcon ComponentIcon(const char* pszFile)
{
    return QIcon(g_SkinManager.GetFilePath(QStringLiteral("images/Component/") + QLatin1String(pszFile)));
}
} // namespace

CDialogManager::CDialogManager() = default;
CDialogManager::~CDialogManager() = default;

bool CDialogManager::Init(QSysDiagram* pSysDiagram)
{
    LOG_PROCESS_ERROR(pSysDiagram);
    // An earlier attempt that failed may have left frames bound to the buttons.
    _ReleaseFrames(0, dnTotal - 1, "CDialogManager::Init");
    m_bInit = false;

    m_HardDiskIcon = ComponentIcon("harddisk.png");
    m_CDROMIcon = ComponentIcon("cdrom.png");
    m_KeyboardIcon = ComponentIcon("keyboard.png");
    m_MouseIcon = ComponentIcon("mouse.png");
    m_pSysDiagram = pSysDiagram;

    bool bRetCode = _BuildFixedDialogs();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = _BuildUsbControllers();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = Refresh();
    LOG_PROCESS_ERROR(bRetCode);
    m_bInit = true;
    return true;
}

bool CDialogManager::_BuildFixedDialogs()
{
    // A button opens nothing until its component's dialog is read, so none can be
    // pressed before, even those the form draws enabled (the processor, the memory
    // controller and its channels, the link, the SATA controller): an absent
    // component's stays disabled.
    for (const FixedDialogEntry& entry : FixedDialogs())
        m_pSysDiagram->Button(entry.eSlot)->setEnabled(false);
    for (const FixedDialogEntry& entry : FixedDialogs()) {
        if (!entry.pfnCreate)
            continue;
        IQVXWidget* pDialog = entry.pfnCreate(entry.uNumber);
        if (!pDialog) {
            LogDialogError(entry.pszAllocExpr, __LINE__, "CDialogManager::Init");
            return false;
        }
        // A dialog whose Init fails stands for an absent component.
        if (!pDialog->Init()) {
            delete pDialog;
            continue;
        }
        _Bind(entry.eSlot, pDialog);
    }
    return true;
}

bool CDialogManager::_BuildUsbControllers()
{
    // The bus line ends at the last controller present; measured on the form's
    // line, so a second attempt on the same page starts from the same line.
    QFrame* pBus = m_pSysDiagram->UsbBusLine();
    const QRect rcBus = m_pSysDiagram->UsbBusFormGeometry();
    const int nStep = rcBus.height() / kMaxUsbControllers;
    pBus->setGeometry(rcBus);
    for (int k = 0; k < kMaxUsbControllers; ++k) {
        auto* pDialog = new (std::nothrow) USBDialog;
        if (!pDialog) {
            LogDialogError("pUSBDialog", __LINE__, "CDialogManager::Init");
            return false;
        }
        pDialog->SetIndex(static_cast<uint32_t>(k));
        if (!pDialog->Init()) {
            delete pDialog;
            m_pSysDiagram->UsbStub(k)->hide();
            continue;
        }
        m_pSysDiagram->UsbStub(k)->show();
        _Bind(dnUSBController0 + k, pDialog);
        pBus->setGeometry(QRect(rcBus.topLeft(), QPoint(rcBus.right(), rcBus.top() + nStep * (k + 1) - 1)));
    }
    return true;
}

void CDialogManager::_Bind(int nSlot, IQVXWidget* pDialog)
{
    m_pWaitingDialogs[nSlot] = pDialog;
    // As its frame will: a component whose dialog exists has a usable, visible button.
    QToolButton* pButton = m_pSysDiagram->Button(nSlot);
    pButton->setEnabled(true);
    pButton->setVisible(true);
}

QBaseDialog* CDialogManager::_BuiltFrame(int nSlot, const char* pszMethod)
{
    IQVXWidget* pDialog = m_pWaitingDialogs[nSlot];
    if (m_pBaseDialogs[nSlot] || !pDialog)
        return m_pBaseDialogs[nSlot];
    auto* pFrame = new (std::nothrow) QBaseDialog;
    if (!pFrame) {
        LogDialogError("pBaseDialog", __LINE__, pszMethod);
        return nullptr;
    }
    const bool bRetCode = pFrame->Init(pDialog, m_pSysDiagram->Button(nSlot));
    if (!bRetCode) {
        LogDialogError("bRetCode", __LINE__, pszMethod);
        delete pFrame;
        return nullptr;
    }
    m_pWaitingDialogs[nSlot] = nullptr;   // the frame owns it now
    m_pBaseDialogs[nSlot] = pFrame;
    return pFrame;
}

void CDialogManager::_ReleaseFrames(int nFirst, int nLast, const char* pszMethod)
{
    for (int nSlot = nFirst; nSlot <= nLast; ++nSlot) {
        delete m_pWaitingDialogs[nSlot];
        m_pWaitingDialogs[nSlot] = nullptr;
        QBaseDialog* pFrame = m_pBaseDialogs[nSlot];
        if (!pFrame)
            continue;
        const bool bRetCode = pFrame->UnInit();
        LOG_CHECK_ERROR_IN(bRetCode, pszMethod);
        delete pFrame;   // and the dialog in it
        m_pBaseDialogs[nSlot] = nullptr;
    }
}

bool CDialogManager::UnInit()
{
    _ReleaseFrames(0, dnTotal - 1, "CDialogManager::UnInit");
    m_bInit = false;
    m_pSysDiagram = nullptr;
    // No picture may outlive the application, which goes before this object.
    m_HardDiskIcon = QIcon();
    m_CDROMIcon = QIcon();
    m_KeyboardIcon = QIcon();
    m_MouseIcon = QIcon();
    return true;
}

bool CDialogManager::_IsSlot(int nSlot, const char* pszMethod)
{
    if (static_cast<unsigned>(nSlot) < static_cast<unsigned>(dnTotal))
        return true;
    LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", "eDialogName > dnInvalid && eDialogName < dnTotal", pszMethod);
    return false;
}

bool CDialogManager::Show(int nSlot)
{
    if (!_IsSlot(nSlot, "CDialogManager::Show"))
        return false;
    if (!m_pBaseDialogs[nSlot] && !m_pWaitingDialogs[nSlot])
        return true;
    QBaseDialog* pFrame = _BuiltFrame(nSlot, "CDialogManager::Show");
    if (!pFrame)
        return false;
    pFrame->ShowWindow();
    return true;
}

bool CDialogManager::Hide(int nSlot)
{
    if (!_IsSlot(nSlot, "CDialogManager::Hide"))
        return false;
    if (m_pBaseDialogs[nSlot])
        m_pBaseDialogs[nSlot]->hide();
    return true;
}

QBaseDialog* CDialogManager::Frame(int nSlot)
{
    return static_cast<unsigned>(nSlot) < static_cast<unsigned>(dnTotal) ? _BuiltFrame(nSlot, "CDialogManager::Frame")
                                                                          : nullptr;
}

bool CDialogManager::Dock(QBaseDialog* pDialog)
{
    LOG_PROCESS_ERROR(pDialog);
    // Hidden frames attract where the user left them; one never shown lies at the
    // window system's default place, which the user never saw.
    std::vector<QRect> frames;
    for (QBaseDialog* pFrame : m_pBaseDialogs)
        if (pFrame && pFrame->WasShown())
            frames.push_back(pFrame->frameGeometry());
    // The screen the frame is on: on a single screen the primary one.
    QScreen* pScreen = pDialog->screen() ? pDialog->screen() : QGuiApplication::primaryScreen();
    const DockResult result = DockRule(pDialog->frameGeometry(), pScreen ? pScreen->geometry() : QRect(), frames);
    if (result.bDocked)
        pDialog->move(result.ptPos);
    return result.bDocked;
}

const QIcon& CDialogManager::_Icon(DialogIcon eIcon) const
{
    switch (eIcon) {
    case DialogIcon::HardDisk: return m_HardDiskIcon;
    case DialogIcon::CDROM: return m_CDROMIcon;
    case DialogIcon::Keyboard: return m_KeyboardIcon;
    case DialogIcon::Mouse: break;
    }
    return m_MouseIcon;
}
