// The flash-cache settings page's form: the capability boxes and their interlock,
// the values shown and taken back, and Apply.
#include "SystemInfo/CorvaneSettings.h"

#include <QRegularExpressionValidator>

#include "Engine/LogCheck.h"
#include "Platform/PrivateProfile.h"
#include "Shell/MessageBox.h"
#include "SystemInfo/CorvaneRegistry.h"

namespace {

// The capability bits that have a box on the form.
const std::pair<uint32_t, QCheckBox* Ui_CVSettingsClass::*> kCapabilityBoxes[] = {
    {0x2, &Ui_CVSettingsClass::checkBox_2},     {0x4, &Ui_CVSettingsClass::checkBox_3},
    {0x10, &Ui_CVSettingsClass::checkBox_5},    {0x20, &Ui_CVSettingsClass::checkBox_6},
    {0x40, &Ui_CVSettingsClass::checkBox_7},    {0x80, &Ui_CVSettingsClass::checkBox_8},
    {0x100, &Ui_CVSettingsClass::checkBox_9},   {0x200, &Ui_CVSettingsClass::checkBox_10},
    {0x400, &Ui_CVSettingsClass::checkBox_11},  {0x4000, &Ui_CVSettingsClass::checkBox_15},
};

// An unsigned 32-bit number in the given base ("0x" may lead a hexadecimal one);
// an empty field counts as 0. False for anything else, so no text becomes a 0.
bool ParseNumber(QString text, int nBase, uint32_t& uValue)
{
    text = text.trimmed();
    if (nBase == 16 && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text.remove(0, 2);
    if (text.isEmpty()) {
        uValue = 0;
        return true;
    }
    bool bOk = false;
    const qulonglong uNumber = text.toULongLong(&bOk, nBase);
    if (!bOk || uNumber > 0xFFFFFFFFull)
        return false;
    uValue = static_cast<uint32_t>(uNumber);
    return true;
}

} // namespace

QCorvaneSettings::QCorvaneSettings()
{
    ui.setupUi(this);
    // Decimal fields take digits only; Apply still checks the range.
    const QRegularExpression digits(QStringLiteral("[0-9]{0,10}"));
    ui.editCCCCompValue->setValidator(new QRegularExpressionValidator(digits, this));
    ui.editCCCTimeoutValue->setValidator(new QRegularExpressionValidator(digits, this));
}

void QCorvaneSettings::on_radioBtnCustom_toggled(bool bChecked)
{
    ui.groupBoxCustom->setEnabled(bChecked);
    if (!bChecked)
        return;
    on_checkBox_3_stateChanged(ui.checkBox_3->checkState());
    on_checkBox_6_stateChanged(ui.checkBox_6->checkState());
    on_checkBox_7_stateChanged(ui.checkBox_7->checkState());
}

void QCorvaneSettings::on_radioBtnDefault_toggled(bool bChecked) { ui.groupBoxCustom->setEnabled(!bChecked); }

void QCorvaneSettings::on_btnUpdateROM_clicked() {}

// Hot plug and the two link power managements exclude each other.
void QCorvaneSettings::on_checkBox_3_stateChanged(int)
{
    const bool bHotPlug = ui.checkBox_3->isChecked();
    ui.checkBox_6->setEnabled(!bHotPlug);
    ui.checkBox_7->setEnabled(!bHotPlug);
}

void QCorvaneSettings::on_checkBox_6_stateChanged(int)
{
    ui.checkBox_3->setEnabled(!ui.checkBox_6->isChecked() && !ui.checkBox_7->isChecked());
}

void QCorvaneSettings::on_checkBox_7_stateChanged(int nState) { on_checkBox_6_stateChanged(nState); }

void QCorvaneSettings::HideFlashOptions()
{
    ui.label_4->hide();
    ui.btnUpdateROM->hide();
    ui.checkBox_5->hide();
}

bool QCorvaneSettings::SyncWidgets(bool bToValues)
{
    if (!bToValues) {
        for (const auto& [uBit, pBox] : kCapabilityBoxes)
            (ui.*pBox)->setChecked(GlobalCaps & uBit);
        ui.editCCCCompValue->setText(QString::number(CCCCompletionValue));
        ui.editCCCTimeoutValue->setText(QString::number(CCCTimeoutValue));
        // Nine digits: the mask's literal "0" takes the first, its eight places the rest.
        ui.editIFSpeed->setText(QString::asprintf("%09x", InterfaceSpeed));
        ui.checkBoxQueuePriority->setChecked(queuePriorityEnable);
        return true;
    }
    if (ui.radioBtnDefault->isChecked()) {
        if (GlobalCaps != kDefaultGlobalCaps || GlobalCapsMask != kCorvaneBaseCap) {
            GlobalCaps = kDefaultGlobalCaps;
            GlobalCapsMask = kCorvaneBaseCap;
            m_bCapsChanged = true;
        }
    } else {
        uint32_t uCaps = 0;
        for (const auto& [uBit, pBox] : kCapabilityBoxes) {
            if ((ui.*pBox)->isChecked()) {
                uCaps |= uBit;
                GlobalCapsMask |= uBit;
            }
        }
        uCaps |= kCorvaneBaseCap;
        if (uCaps != GlobalCaps || GlobalCapsMask != kCorvaneBaseCap) {
            GlobalCaps = uCaps;
            GlobalCapsMask = kCorvaneBaseCap;
            m_bCapsChanged = true;
        }
    }
    queuePriorityEnable = ui.checkBoxQueuePriority->isChecked();
    return true;
}

bool QCorvaneSettings::Discard()
{
    ReadParameters();
    m_bCapsChanged = false;
    SyncWidgets(false);
    m_bValuesRead = true;
    return true;
}

bool QCorvaneSettings::_ParseFields(Fields& fields)
{
    const struct {
        QLineEdit* pEdit;
        QLabel* pLabel;
        int nBase;
        uint32_t* puValue;
    } edits[] = {
        {ui.editCCCCompValue, ui.label, 10, &fields.uCCCCompletion},
        {ui.editCCCTimeoutValue, ui.label_2, 10, &fields.uCCCTimeout},
        {ui.editIFSpeed, ui.label_3, 16, &fields.uInterfaceSpeed},
    };
    for (const auto& edit : edits) {
        const bool bParsed = ParseNumber(edit.pEdit->text(), edit.nBase, *edit.puValue);
        if (!bParsed) {
            msgbox::Show(nullptr, QMessageBox::Warning, tr("Corvane Settings"),
                         tr("%1: \"%2\" is not a valid number.").arg(edit.pLabel->text(), edit.pEdit->text()));
            edit.pEdit->setFocus();
        }
        LOG_PROCESS_ERROR(bParsed);
    }
    return true;
}

bool QCorvaneSettings::Apply()
{
    LOG_PROCESS_ERROR(m_bValuesRead);
    // Every field is checked before anything is written, so a refusal writes nothing.
    Fields fields;
    if (!_ParseFields(fields))
        return false;

    bool bChanged = false;
    const struct {
        uint32_t uValue;
        uint32_t* puMember;
        const char16_t* pszName;
    } numbers[] = {
        {fields.uCCCCompletion, &CCCCompletionValue, u"CCCCompletionValue"},
        {fields.uCCCTimeout, &CCCTimeoutValue, u"CCCTimeoutValue"},
        {fields.uInterfaceSpeed, &InterfaceSpeed, u"InterfaceSpeed"},
    };
    for (const auto& number : numbers) {
        if (number.uValue == *number.puMember)
            continue;
        bChanged = true;
        *number.puMember = number.uValue;
        const bool bRetCode = WriteParameter(number.pszName, number.uValue);
        LOG_PROCESS_ERROR(bRetCode);
    }
    if (ui.checkBoxQueuePriority->isChecked() != queuePriorityEnable) {
        bChanged = true;
        queuePriorityEnable = ui.checkBoxQueuePriority->isChecked();
        const bool bRetCode = WriteParameter(u"queuePriorityEnable", queuePriorityEnable ? 1 : 0);
        LOG_PROCESS_ERROR(bRetCode);
    }

    SyncWidgets(true);
    if (m_bCapsChanged) {
        bool bRetCode = WriteParameter(u"GlobalCaps", GlobalCaps);
        LOG_PROCESS_ERROR(bRetCode);
        bRetCode = WriteParameter(u"GlobalCapsMask", GlobalCapsMask);
        LOG_PROCESS_ERROR(bRetCode);
    }
    if (bChanged || m_bCapsChanged)
        ui.labelWarning->setText(QObject::tr("< Settings will take effect after you restart this computer! >"));

    const bool bRetCode = plat::WritePrivateProfileString(u"Corvane", u"DefaultGlobalCapsSettings",
                                                          ui.radioBtnDefault->isChecked() ? u"1" : u"0", u"Corvane.ini");
    LOG_CHECK_ERROR(bRetCode);
    return true;
}
