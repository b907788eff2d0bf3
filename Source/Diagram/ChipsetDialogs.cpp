#include "Diagram/ChipsetDialogs.h"

#include "Diagram/DialogSupport.h"
#include "QVXLogic/DeviceManager.h"

namespace {

constexpr char kDeviceIdHelp[] = "Device ID of PCI device ";
// The storage controllers' forms spell it so; the text is their translation key.
constexpr char kStorageDeviceIdHelp[] = "Device ID of PCI devcie ";

const ChipsetDialogKind kNBDialog = {
    "NBDialogClass", "Northbridge", dtNorthBridge, "Chipset Model", "Model", "The Northbridge chipset model ",
    kDeviceIdHelp, 370, 106, true, "pNB", "NBDialog::Refresh"};
const ChipsetDialogKind kSBDialog = {
    "SBDialogClass", "Southbridge", dtSouthBridge, "Chipset Model", "Model", "The Southbridge chipset model ",
    kDeviceIdHelp, 370, 127, true, "pSB", "SBDialog::Refresh"};
const ChipsetDialogKind kSATADialog = {
    "SATADialogClass", "SATA Controller", dtSATAController, "Name", "Name", "The SATA controller model name ",
    kStorageDeviceIdHelp, 370, 106, false, "pSATA", "SATADialog::Refresh"};
const ChipsetDialogKind kIDEDialog = {
    "IDEDialogClass", "IDE Controller", dtIDEController, "Name", "Name", "The IDE controller model name ",
    kStorageDeviceIdHelp, 370, 106, false, "pIDE", "IDEDialog::Refresh"};
// A controller's identity does not change while it is plugged in: read at Init only.
const ChipsetDialogKind kUSBDialog = {
    "USBDialogClass", "USB Controller", dtUSBController, "Name", "Name", "The USB controller model name ",
    kDeviceIdHelp, 405, 106, false, "pUSBController", "USBDialog::Refresh"};

} // namespace

QChipsetDialog::QChipsetDialog(const ChipsetDialogKind& kind) : m_Kind(kind)
{
    ui.setupUi(this);
    setObjectName(QLatin1String(kind.pszForm));
    setWindowTitle(QString::fromLatin1(kind.pszForm).chopped(5));
    resize(kind.nWidth, kind.nHeight);
    ui.label->setText(QLatin1String(kind.pszCaption));
    ui.Name->setObjectName(QLatin1String(kind.pszNameCell));
    ui.Name->setWhatsThis(QLatin1String(kind.pszNameHelp));
    ui.DeviceID->setWhatsThis(QLatin1String(kind.pszDeviceIdHelp));
    // The shared form's texts are this dialog's own: translated in its context.
    TranslateForm(this, kind.pszForm);
    StyleValueLabels({ui.Name, ui.VendorID, ui.DeviceID, ui.Revision, ui.BusNum, ui.DevNum});
}

QString QChipsetDialog::Hex(uint32_t uValue)
{
    return QStringLiteral("%1h").arg(uValue, 0, 16).toUpper();
}

bool QChipsetDialog::Init()
{
    if (!QvxGetDevice<IPciDevice>(m_Kind.eType, m_uIndex))
        return false;
    return Refresh();
}

bool QChipsetDialog::Refresh()
{
    auto* pDevice = QvxGetDevice<IPciDevice>(m_Kind.eType, m_uIndex);
    if (!pDevice) {
        LogDialogError(m_Kind.pszExpr, __LINE__, m_Kind.pszRefresh);
        return false;
    }
    ui.Name->setText(DeviceText(pDevice->GetName()));
    ui.VendorID->setText(Hex(pDevice->GetVendorID()));
    ui.DeviceID->setText(Hex(pDevice->GetDeviceID()));
    ui.Revision->setText(Hex(pDevice->GetRevision()));
    ui.BusNum->setText(Hex(pDevice->GetBusNumber()));
    ui.DevNum->setText(Hex(pDevice->GetDeviceNumber()));
    return true;
}

void QChipsetDialog::showEvent(QShowEvent*)
{
    if (m_Kind.bReadOnShow)
        Refresh();
}

NBDialog::NBDialog() : QChipsetDialog(kNBDialog) {}
SBDialog::SBDialog() : QChipsetDialog(kSBDialog) {}
SATADialog::SATADialog() : QChipsetDialog(kSATADialog) {}
IDEDialog::IDEDialog() : QChipsetDialog(kIDEDialog) {}
USBDialog::USBDialog() : QChipsetDialog(kUSBDialog) {}
