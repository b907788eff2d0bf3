#include "Settings/SkinManager.h"

#include <QFile>

#include "Engine/LogCheck.h"

CSkinManager g_SkinManager;

QString CSkinManager::GetFilePath(const QString& name) const
{
    const QString onDisk = QStringLiteral("./resource/") + m_strSkin + QLatin1Char('/') + name;
    if (QFile::exists(onDisk))
        return onDisk;
    return QStringLiteral(":/") + m_strSkin + QLatin1Char('/') + name;
}

QString CSkinManager::GetQssFile(const QString& name) const
{
    QFile file(GetFilePath(QStringLiteral("qss/") + name));
    const bool bRetCode = file.open(QIODevice::ReadOnly);
    LOG_PROCESS_ERROR_RET(bRetCode, QString());
    return QString::fromLatin1(file.readAll());
}
