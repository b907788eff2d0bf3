// "Clear Log": empties the program's log folder "./Logs" and removes it. Only what
// lies inside the folder is removed: a symbolic link is removed itself, never
// followed, and whatever cannot be removed is logged and reported.
#include "Preferences/SettingsPage.h"

#include <QFile>
#include <QFileInfo>

#include "Engine/LogCheck.h"
#include "Shell/MessageBox.h"

QSettingsPage::LogRemover QSettingsPage::s_LogRemover;

bool QSettingsPage::_Remove(const QString& path, bool bFolder)
{
    if (s_LogRemover)
        return s_LogRemover(path, bFolder);
    return bFolder ? QDir().rmdir(path) : QFile::remove(path);
}

void QSettingsPage::on_pushButton_clicked()
{
    const QString logs = QDir(QStringLiteral("./")).absoluteFilePath(QStringLiteral("Logs"));
    const QFileInfo info(logs);
    bool bCleared = true;
    if (info.isSymLink()) {
        bCleared = _Remove(logs, false);
    } else if (info.isDir()) {
        bCleared = _RemoveDir(QDir(logs));
        const bool bRetCode = _Remove(logs, true);
        LOG_CHECK_ERROR_IN(bRetCode, "QSettings::on_pushButton_clicked");
        bCleared = bCleared && bRetCode;
    }
    // The file the log writes to may be gone: the next line starts a new one.
    g_Log.StartNewFile();
    if (!bCleared)
        msgbox::Show(nullptr, QMessageBox::Information, SettingsText("Vyk Velocrest"),
                     SettingsText("Some log files could not be deleted."));
}

bool QSettingsPage::_RemoveDir(QDir dir)
{
    bool bAll = true;
    // Hidden files too, so nothing is left behind unseen.
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        const QString path = dir.absolutePath() + QLatin1Char('/') + entry.fileName();
        bool bRetCode = false;
        if (entry.isDir() && !entry.isSymLink()) {
            const bool bEmptied = _RemoveDir(QDir(path));
            bRetCode = _Remove(path, true) && bEmptied;
        } else {
            bRetCode = _Remove(path, false);
        }
        LOG_CHECK_ERROR_IN(bRetCode, "QSettings::_RemoveDir");
        bAll = bAll && bRetCode;
    }
    return bAll;
}
