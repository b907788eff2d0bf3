// The profile buttons of the Settings page: save the current hardware settings,
// load a profile, restore the default one. A profile that fails to apply part way
// is rolled back, so a failure changes nothing.
#include "Preferences/SettingsPage.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include "Engine/LogCheck.h"
#include "MainWindow/ZAR.h"
#include "QVXLogic/ProfileSettings.h"
#include "Shell/FileDialog.h"
#include "Shell/MessageBox.h"

namespace {

const char16_t* Wide(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

// Names from a file dialog become paths only when they name a file in a folder
// that exists, and hold no control characters.
bool IsPlainFileName(const QString& path)
{
    if (path.isEmpty())
        return false;
    for (const QChar c : path)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

bool IsProfileToSave(const QString& path)
{
    const QFileInfo info(path);
    return IsPlainFileName(path) && !info.isDir() && info.absoluteDir().exists();
}

bool IsProfileToLoad(const QString& path) { return IsPlainFileName(path) && QFileInfo(path).isFile(); }

void ShowProfileMessage(const char* text)
{
    msgbox::Show(nullptr, QMessageBox::Information, SettingsText("Profile"), SettingsText(text));
}

} // namespace

void QSettingsPage::on_btnSaveAs_clicked()
{
    const QString path = filedialog::GetSaveFileName(this, SettingsText("Save As"), QStringLiteral("myProfile.xml"),
                                                     SettingsText("Profile (*.xml)"));
    if (path.isEmpty())
        return;
    // The profile store writes a whole new file and only then replaces the old one,
    // so a failed save keeps the old profile.
    const bool bRetCode = IsProfileToSave(path) && CProfileSettgins::m_Self.SaveSettings(Wide(path));
    LOG_CHECK_ERROR_IN(bRetCode, "QSettings::on_btnSaveAs_clicked");
    if (!bRetCode)
        ShowProfileMessage("Failed to save the profile!");
}

void QSettingsPage::on_btnLoad_clicked()
{
    const QString path = filedialog::GetOpenFileName(this, SettingsText("Load Profile"), QStringLiteral("myProfile.xml"),
                                                     SettingsText("Profile (*.xml)"));
    if (path.isEmpty())
        return;
    setCursor(Qt::WaitCursor);
    if (_ApplyProfile(path, "Failed to load the profile!", "QSettings::on_btnLoad_clicked"))
        ZAR::GetInstance()->Discard();
    setCursor(Qt::ArrowCursor);
}

void QSettingsPage::on_btnDefault_clicked()
{
    const QMessageBox::StandardButton answer =
        msgbox::Show(nullptr, QMessageBox::Question, SettingsText("Profile"),
                     SettingsText("Are you sure to restore default settings?"), QMessageBox::Yes | QMessageBox::No,
                     QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (_ApplyProfile(QStringLiteral("DefaultConfig.xml"), "Failed to restore default settings!",
                      "QSettings::on_btnDefault_clicked"))
        ZAR::GetInstance()->Discard();
    QApplication::restoreOverrideCursor();
}

bool QSettingsPage::_ApplyProfile(const QString& path, const char* failureText, const char* pszMethod)
{
    CProfileSettgins profile(CProfileSettgins::m_Self);
    // What the hardware holds now, to put back when the profile applies only in part.
    QTemporaryDir snapshotDir;
    const QString snapshot = snapshotDir.filePath(QStringLiteral("before.xml"));
    const bool bSnapshot = snapshotDir.isValid() && profile.SaveSettings(Wide(snapshot));
    LOG_CHECK_ERROR_IN(bSnapshot, pszMethod);

    const bool bRetCode = IsProfileToLoad(path) && profile.ApplySettings(Wide(path));
    if (bRetCode)
        return true;
    LOG_CHECK_ERROR_IN(bRetCode, pszMethod);
    if (bSnapshot) {
        const bool bRestored = profile.ApplySettings(Wide(snapshot));
        LOG_CHECK_ERROR_IN(bRestored, pszMethod);
    }
    ShowProfileMessage(failureText);
    return false;
}
