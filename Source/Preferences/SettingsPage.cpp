#include "Preferences/SettingsPage.h"

#include <QCoreApplication>

#include "Engine/LogCheck.h"
#include "MainWindow/ZAR.h"
#include "QVXLogic/ChipsetDevices.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/SensorChipDevice.h"
#include "Settings/MiscSettings.h"
#include "Settings/PageSettings.h"
#include "Shell/GlobalFlags.h"
#include "Shell/MessageBox.h"

namespace {

constexpr char kPerformanceGroup[] = "Performance\nControl";
constexpr char kNoviceMode[] = "Novice Mode";
// The pages of the Advanced mode, in the order the menu is told about them.
constexpr const char* kAdvancedPages[] = {"Clock/Voltage", "Memory", "JY Pstate", "CMOS"};
constexpr double kNoReading = -9999.0;

// Shows the pages of one mode in the menu and hides those of the other. A page the
// menu does not hold (the page table does not list it, or this board has no use for
// it) has nothing to show or hide, and is left alone.
void ShowMode(bool bNovice)
{
    ZAR* pMainWindow = ZAR::GetInstance();
    const QString group = QObject::tr(kPerformanceGroup);
    const auto show = [&](const char* pszPage, bool bVisible) {
        const QString page = QObject::tr(pszPage);
        if (pMainWindow->HasWidget(group, page))
            pMainWindow->SetVisible(group, page, bVisible);
    };
    show(kNoviceMode, bNovice);
    for (const char* page : kAdvancedPages)
        show(page, !bNovice);
}

// The same in the page table (records that do not exist are skipped), saved at once;
// a failed save is logged under pszMethod, the slot that switched.
void StoreMode(bool bNovice, const char* pszMethod)
{
    if (PAGE_INFO* pPage = g_PageSettings.FindPage(QLatin1String(kNoviceMode)))
        pPage->Visible = bNovice;
    for (const char* page : kAdvancedPages)
        if (PAGE_INFO* pPage = g_PageSettings.FindPage(QLatin1String(page)))
            pPage->Visible = !bNovice;
    const bool bRetCode = g_PageSettings.Save();
    LOG_CHECK_ERROR_IN(bRetCode, pszMethod);
}

} // namespace

QString SettingsText(const char* text) { return QCoreApplication::translate("QSettings", text); }

QSettingsPage::QSettingsPage() { ui.setupUi(this); }

bool QSettingsPage::Init()
{
    ui.VerLabel->setText(SettingsText(" Vyk Velocrest™ Utility Ver %1").arg(ZAR::GetInstance()->m_szVersion));
    m_bFanSensorPresent = _IsFanSensorPresent();
    const bool bRetCode = Discard();
    LOG_PROCESS_ERROR_IN(bRetCode, "QSettings::Init");
    if (!_GetRaidToolPath())
        ui.btnWebPAM->setEnabled(false);
    if (!_GetControlCentrePath())
        ui.btnLCC->setEnabled(false);
    if (!m_bFanSensorPresent)
        ui.checkBoxFanBroken->setEnabled(false);
    return true;
}

bool QSettingsPage::Discard()
{
    bool bRetCode = g_PageSettings.Load();
    LOG_PROCESS_ERROR_IN(bRetCode, "QSettings::Discard");
    const PAGE_INFO* pPageSettings = g_PageSettings.FindPage(QLatin1String(kNoviceMode));
    LOG_PROCESS_ERROR_IN(pPageSettings, "QSettings::Discard");
    (pPageSettings->Visible ? ui.radioButtonBasic : ui.radioButtonAdvanced)->setChecked(true);
    ShowMode(pPageSettings->Visible);

    bRetCode = g_MiscSettings.Load();
    LOG_PROCESS_ERROR_IN(bRetCode, "QSettings::Discard");
    ui.checkBoxApplySettings->setEnabled(g_MiscSettings.AutoStartOnBoot);
    ui.checkBoxFanBroken->setEnabled(g_MiscSettings.AutoStartOnBoot && m_bFanSensorPresent);
    ui.checkBoxApplySettings->setChecked(g_MiscSettings.AutoApplySettings);
    ui.checkBoxFanBroken->setChecked(g_MiscSettings.FanBrokenDetectionEnabled);
    ui.LogBox->setChecked(g_MiscSettings.LogFileEnabled);
    m_nLanguageType = g_MiscSettings.LanguageType;
    m_bFanBrokenDetection = g_MiscSettings.FanBrokenDetectionEnabled;
    return true;
}

bool QSettingsPage::Apply()
{
    const bool bRetCode = g_PageSettings.Save() && g_MiscSettings.Save();
    if (!bRetCode) {
        LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", "bRetCode", "QSettings::Apply");
        Discard();   // the form shows what is on disk
        return false;
    }
    if (g_MiscSettings.LanguageType != m_nLanguageType)
        g_nRestartRequest = 1;
    if (g_MiscSettings.FanBrokenDetectionEnabled != m_bFanBrokenDetection)
        g_bRebootRequired = true;
    Discard();
    return true;
}

void QSettingsPage::on_radioButtonBasic_clicked()
{
    ShowMode(true);
    StoreMode(true, "QSettings::on_radioButtonBasic_clicked");
}

void QSettingsPage::on_radioButtonAdvanced_clicked()
{
    if (!ui.radioButtonAdvanced->isChecked())
        return;
    // A second click on the mode already in force asks nothing and changes nothing.
    const PAGE_INFO* pNovice = g_PageSettings.FindPage(QLatin1String(kNoviceMode));
    if (pNovice && !pNovice->Visible)
        return;
    const QMessageBox::StandardButton answer = msgbox::Show(
        nullptr, QMessageBox::Warning, SettingsText("Vyk Velocrest"),
        SettingsText("Modifying parameters in Advanced mode may cause your system to be unstable.\n"
                     "Click OK to continue to Advanced mode."),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) {
        ui.radioButtonBasic->setChecked(true);
        return;
    }
    ShowMode(false);
    StoreMode(false, "QSettings::on_radioButtonAdvanced_clicked");
}

void QSettingsPage::on_checkBoxApplySettings_stateChanged(int nState)
{
    g_MiscSettings.AutoApplySettings = nState == Qt::Checked;
}

void QSettingsPage::on_checkBoxFanBroken_stateChanged(int nState)
{
    g_MiscSettings.FanBrokenDetectionEnabled = nState == Qt::Checked;
}

void QSettingsPage::on_LogBox_stateChanged(int nState) { g_MiscSettings.LogFileEnabled = nState == Qt::Checked; }

bool QSettingsPage::_IsFanSensorPresent()
{
    if (auto* pSensorChip = QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0))
        if (pSensorChip->GetFanSpeed(0) != static_cast<int>(kNoReading))
            return true;
    auto* pSouthBridge = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0);
    if (!pSouthBridge)
        return false;
    return pSouthBridge->GetFanSpeed(0) != kNoReading;
}
