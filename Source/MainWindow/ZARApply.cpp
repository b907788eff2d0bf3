// Apply and Discard of the main window's pages.
#include "MainWindow/ZAR.h"

#include <QApplication>
#include <QDir>

#include "Engine/Engine.h"
#include "Engine/LogCheck.h"
#include "Pages/DeviceLookup.h"
#include "Platform/Privileges.h"
#include "Platform/Registry.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "Settings/ConfigParser.h"
#include "Shell/GlobalFlags.h"
#include "Shell/IQVXWidget.h"
#include "Shell/MessageBox.h"
#include "Shell/OverclockWarning.h"
#include "Shell/UserAccepted.h"
#include "Startup/InitWindow.h"

void ZAR::_ReadWarningSetting()
{
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::CurrentUser, plat::kProductKey) != plat::ERROR_SUCCESS)
        return;
    uint32_t value = 0;
    if (key.QueryDword(u"EnableWarningMsg", value) == plat::ERROR_SUCCESS)
        m_bEnableWarningMsg = value;
    key.Close();
}

namespace {

// The visible pages in the menu's sorted order; false (logged under pszMethod, the
// caller) when a record is broken.
template <class Visit>
bool ForEachVisiblePage(const std::map<QString, MainMenuItem*>& menu, const char* pszMethod, Visit visit)
{
    for (const auto& [group, pMainMenuItem] : menu) {
        LOG_PROCESS_ERROR_IN(pMainMenuItem, pszMethod);
        for (const auto& [page, pSubMenuItem] : pMainMenuItem->m_SubMenuList) {
            LOG_PROCESS_ERROR_IN(pSubMenuItem, pszMethod);
            IQVXWidget* pWidget = pSubMenuItem->m_pWidget;
            LOG_PROCESS_ERROR_IN(pWidget, pszMethod);
            if (pSubMenuItem->m_bVisible)
                visit(pWidget);
        }
    }
    return true;
}

} // namespace

void ZAR::Apply()
{
    CConfigParser* pConfig = CConfigParser::GetInstance();

    if ((m_bEnableWarningMsg & 0xFF) && g_bModified) {
        if (!AskOverclockWarning())
            return;
        SetUserAccepted(true);
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // What every page applies and the record of the run reach the store in one
    // save: an end in the middle leaves the file as the last Apply made it.
    CConfigBatch batch;
    // The busy window is only a courtesy: without it the pages are applied all the same.
    auto* pInitWindow = new InitWindow(nullptr);
    const QRect frame = geometry();
    pInitWindow->SetText(QCoreApplication::translate("InitWindowClass",
                                                     "Vyk Velocrest is applying the settings, please wait..."));
    pInitWindow->ShowCentredOn(QPoint(frame.left() + frame.width() / 2, frame.top() + frame.height() / 2));

    bool bAllApplied = true;
    const bool bComplete = ForEachVisiblePage(m_MenuList, "ZAR::Apply", [&bAllApplied](IQVXWidget* pWidget) {
        const bool bApplied = pWidget->Apply();
        if (!bApplied) {
            LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "nRetCode");
            g_Log.Write(ltError, "%s apply failed.", pWidget->GetName());
            bAllApplied = false;
        }
    });
    if (!bComplete)
        bAllApplied = false;

    auto* pCPU = dev::Cpu();
    if (!pCPU) {
        LOG_CHECK_ERROR(pCPU);
    } else {
        bool first = false;
        bool second = false;
        pCPU->GetBoostMode(&first, &second);
        const QString name = QString::fromStdU16String(pCPU->GetName());
        if (pConfig) {
            pConfig->SetValue(u"CPU", name, u"ClockDivisor", first ? 1.0 : 0.0, true);
            pConfig->SetValue(u"CPU", name, u"TLBCaching", second ? 1.0 : 0.0, true);
        }
    }

    pInitWindow->close();
    delete pInitWindow;
    QApplication::restoreOverrideCursor();

    g_bModified = false;
    // "Succeeded" only when every visible page took its settings: a tool reading the
    // record must not be told a run went well when a page refused.
    if (pConfig)
        pConfig->SetValue(u"QVXAssist", u"ApplySettings", u"LastRunStatus",
                          bAllApplied ? u"Succeeded" : u"Failed", true);
    const bool bStored = batch.Commit();
    LOG_CHECK_ERROR(bStored);
    // The hardware has the settings; a store that kept none of them would bring the
    // old ones back with the next profile applied, so the user hears of it.
    if (!bStored && pConfig)
        msgbox::Show(nullptr, QMessageBox::Warning, ProductTitle(),
                     QObject::tr("The settings are in force, but they could not be saved to %1.")
                         .arg(QDir::toNativeSeparators(pConfig->GetFullPath())));

    if (g_bRebootRequired) {
        const auto answer = msgbox::Show(
            nullptr, QMessageBox::Question, ProductTitle(),
            QObject::tr("System restart is required to apply some settings. Do you wish to restart the system now?"),
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoButton);
        if (answer == QMessageBox::Ok) {
            g_EnableShutdownPrivilege();
            plat::Privileges().ExitSystem(true);
        }
        g_bRebootRequired = false;
    }

    if (g_nRestartRequest == 1)
        close();
}

void ZAR::Discard()
{
    setCursor(Qt::WaitCursor);
    const bool bComplete = ForEachVisiblePage(m_MenuList, "ZAR::Discard", [](IQVXWidget* pWidget) {
        const bool bRetCode = pWidget->Discard();
        LOG_CHECK_ERROR(bRetCode);
    });
    if (bComplete)
        RefreshBoostButton();
    g_bModified = false;
    setCursor(Qt::ArrowCursor);
}
