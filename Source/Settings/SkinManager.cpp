#include "Settings/SkinManager.h"

#include <QFile>

#include "Engine/LogCheck.h"


void CSkinManager::SetSkin(const QString& name)
{
    m_strSkin = name;
    m_QssFiles.clear();
}

QString CSkinManager::GetFilePath(const QString& name) const
{
    const QString onDisk = QStringLiteral("./resource/") + m_strSkin + QLatin1Char('/') + name;
    if (QFile::exists(onDisk))
        return onDisk;
    return QStringLiteral(":/") + m_strSkin + QLatin1Char('/') + name;
}

QString CSkinManager::GetQssFile(const QString& name) const
{
    const auto it = m_QssFiles.constFind(name);
    if (it != m_QssFiles.constEnd())
        return *it;
    QString& text = m_QssFiles[name];
    QFile file(GetFilePath(QStringLiteral("qss/") + name));
    const bool bRetCode = file.open(QIODevice::ReadOnly);
    LOG_PROCESS_ERROR_RET(bRetCode, QString());
    text = QString::fromLatin1(file.readAll());
    return text;
}
