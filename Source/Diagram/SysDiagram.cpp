#include "Diagram/SysDiagram.h"

#include <QPainter>
#include <QPen>

#include "Engine/LogCheck.h"
#include "Settings/SkinManager.h"

namespace {

// The buttons in slot order: each one's "ButtonID" is its place here.
const char* const kButtonNames[dnTotal - 1] = {
    "CPUButton", "PCIEButton0", "PCIEButton1", "PCIEButton2", "PCIEButton3",
    "Slot0Button", "Slot1Button", "Slot2Button", "Slot3Button",
    "DDR2Button", "ChannelAButton", "ChannelBButton", "HTLinkButton", "NBButton", "SBButton",
    "SATAButton", "SATADevice0", "SATADevice1", "SATADevice2", "SATADevice3",
    "IDEButton", "IDEDevice0", "IDEDevice1", "IDEDevice2", "IDEDevice3",
    "USBController0", "USBController1", "USBController2", "USBController3",
    "USBController4", "USBController5", "USBController6",
    "USBDevice0", "USBDevice1", "USBDevice2", "USBDevice3", "USBDevice4", "USBDevice5", "USBDevice6",
};

// The pictures of the fixed components, in the order they are given.
const struct {
    int nFirst, nLast;
    const char* pszImage;
} kButtonImages[] = {
    {dnCPU, dnCPU, "processor.png"},
    {dnNorthBridge, dnSouthBridge, "chipset.png"},
    {dnMemorySlot0, dnMemorySlot3, "ram.png"},
    {dnGPU0, dnGPU3, "gpu.png"},
    {dnUSBController0, dnUSBController6, "USB.png"},
};

} // namespace

QSysDiagram::QSysDiagram()
{
    ui.setupUi(this);
    for (int nSlot = 0; nSlot < dnTotal - 1; ++nSlot)
        m_pButtons[nSlot] = findChild<QToolButton*>(QLatin1String(kButtonNames[nSlot]));
    for (int k = 0; k < kMaxUsbControllers; ++k)
        m_pUsbStubs[k] = findChild<QFrame*>(QStringLiteral("USBLine%1").arg(k));
    m_rcUsbBus = ui.USBVerLine->geometry();
}

QSysDiagram::~QSysDiagram()
{
    // Frames bound to this page's buttons must not outlive them.
    if (g_DialogManager.Page() == this)
        g_DialogManager.UnInit();
}

bool QSysDiagram::Init()
{
    for (const auto& images : kButtonImages) {
        const QIcon icon(g_SkinManager.GetFilePath(QStringLiteral("images/Component/") + QLatin1String(images.pszImage)));
        for (int nSlot = images.nFirst; nSlot <= images.nLast; ++nSlot)
            m_pButtons[nSlot]->setIcon(icon);
    }

    // Pure blue reads on a light ground. A skin draws its own dark ground and gives the
    // links a lighter blue of its own (its main style sheet), which wins over this palette.
    QPalette palette = ui.DDR2Button->palette();
    palette.setBrush(QPalette::ButtonText, QBrush(Qt::blue, Qt::SolidPattern));
    for (QToolButton* pLink : {ui.DDR2Button, ui.ChannelAButton, ui.ChannelBButton, ui.HTLinkButton})
        pLink->setPalette(palette);

    for (int nSlot = 0; nSlot < dnTotal - 1; ++nSlot) {
        connect(m_pButtons[nSlot], &QToolButton::clicked, this, &QSysDiagram::on_Button_click, Qt::UniqueConnection);
        m_pButtons[nSlot]->setProperty("ButtonID", nSlot);
    }
    // A controller's button shows when the manager finds the controller.
    for (int nSlot = dnUSBController0; nSlot <= dnUSBController6; ++nSlot)
        m_pButtons[nSlot]->hide();
    m_bDialogsPending = true;
    return true;
}

bool QSysDiagram::UnInit()
{
    g_DialogManager.UnInit();
    m_bDialogsPending = true;
    return true;
}

QToolButton* QSysDiagram::Button(int nSlot) const
{
    return nSlot >= 0 && nSlot < dnTotal ? m_pButtons[nSlot] : nullptr;
}

bool QSysDiagram::LinkButton(QToolButton* pLeftButton, QToolButton* pRightButton)
{
    LOG_PROCESS_ERROR(pLeftButton);
    LOG_PROCESS_ERROR(pRightButton);
    const QRect left = pLeftButton->geometry();
    const QRect right = pRightButton->geometry();
    m_LinkList.append(QLine(left.x() + left.width(), left.y() + left.height() / 2, right.x(), right.y() + right.height() / 2));
    return true;
}

void QSysDiagram::ClearLinks() { m_LinkList.clear(); }

void QSysDiagram::showEvent(QShowEvent*)
{
    if (!m_bDialogsPending)
        return;
    const bool bRetCode = g_DialogManager.Init(this);
    if (!bRetCode) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        return;
    }
    m_bDialogsPending = false;
}

void QSysDiagram::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::green, 0));
    for (const QLine& line : m_LinkList)
        painter.drawLine(line);
}

void QSysDiagram::on_Button_click()
{
    auto* pButton = qobject_cast<QToolButton*>(sender());
    if (!pButton)
        return;
    const int nSlot = pButton->property("ButtonID").toInt();
    if (pButton->isChecked())
        g_DialogManager.Show(nSlot);
    else
        g_DialogManager.Hide(nSlot);
}
