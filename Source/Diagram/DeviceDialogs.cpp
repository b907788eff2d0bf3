#include "Diagram/DeviceDialogs.h"

#include "Diagram/DialogSupport.h"
#include "Engine/LogCheck.h"
#include "QVXLogic/Device.h"

namespace {

const DeviceTextDialogKind kCDDialog = {
    "CDDialogClass", "CD/DVD Drive", 302, 83, 0, 0,
    {"CD/DVD drive model name ", "CD/DVD drive description ", "CD/DVD drive vendor name "},
    "m_pCDRom", "CDDialog::Refresh", nullptr, nullptr};

const DeviceTextDialogKind kKeyboardDialog = {
    "KeyboardDialogClass", "Keyboard", 252, 80, 150, 100,
    {"The device name of this keyboard ", "The description of keyboard ", "The vendor of this keyboard "},
    "m_pKeyboard", "KeyboardDialog::Refresh", "pKeyboard", "KeyboardDialog::SetDevice"};

const DeviceTextDialogKind kMouseDialog = {
    "MouseDialogClass", "Mouse", 252, 80, 150, 100,
    {"The name of this mouse ", "The description of this mouse ", "The vendor name of this mouse "},
    "m_pMouse", "MouseDialog::Refresh", "pMouse", "MouseDialog::SetDevice"};

} // namespace

QDeviceTextDialog::QDeviceTextDialog(const DeviceTextDialogKind& kind) : m_Kind(kind)
{
    ui.setupUi(this);
    setObjectName(QLatin1String(kind.pszForm));
    setWindowTitle(QString::fromLatin1(kind.pszForm).chopped(5));
    resize(kind.nWidth, kind.nHeight);
    QLabel* const values[] = {ui.Name, ui.Description, ui.Vendor};
    for (int i = 0; i < 3; ++i) {
        values[i]->setWhatsThis(QLatin1String(kind.pszHelp[i]));
        values[i]->setMinimumWidth(i == 0 ? kind.nMinNameWidth : kind.nMinOtherWidth);
    }
    // The shared form's texts are this dialog's own: translated in its context.
    TranslateForm(this, kind.pszForm);
    StyleValueLabels({ui.Name, ui.Description, ui.Vendor});
}

bool QDeviceTextDialog::SetDevice(IDevice* pDevice)
{
    if (!pDevice && m_Kind.pszArgument) {
        LogDialogError(m_Kind.pszArgument, __LINE__, m_Kind.pszSetDevice);
        return false;
    }
    m_pDevice = pDevice;
    return true;
}

bool QDeviceTextDialog::Refresh()
{
    if (!m_pDevice) {
        LogDialogError(m_Kind.pszMember, __LINE__, m_Kind.pszRefresh);
        return false;
    }
    // The device's texts may be of any length: their cells grow to show them whole.
    SetWholeText(ui.Name, DeviceText(m_pDevice->GetName()));
    SetWholeText(ui.Description, DeviceText(m_pDevice->GetDescription()));
    SetWholeText(ui.Vendor, DeviceText(m_pDevice->GetVendor()));
    return true;
}

CDDialog::CDDialog() : QDeviceTextDialog(kCDDialog) {}
KeyboardDialog::KeyboardDialog() : QDeviceTextDialog(kKeyboardDialog) {}
MouseDialog::MouseDialog() : QDeviceTextDialog(kMouseDialog) {}

USBStorDialog::USBStorDialog()
{
    setObjectName(QStringLiteral("USBStorDialogClass"));
    setWindowTitle(QStringLiteral("USBStorDialog"));
    resize(400, 300);
}

bool USBStorDialog::SetDevice(IDevice* pUSBStorage)
{
    LOG_PROCESS_ERROR(pUSBStorage);
    m_pUSBStorage = pUSBStorage;
    return true;
}
