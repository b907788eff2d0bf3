#pragma once
// The skin in use, and where its files are: a copy below "./resource/<skin>/"
// wins over the built-in one at ":/<skin>/".
#include <QHash>
#include <QString>

class CSkinManager {
public:
    CSkinManager() = default;
    virtual ~CSkinManager() = default;

    // Names the skin; its style sheets are read anew from here on.
    void SetSkin(const QString& name);
    // Path of a file inside the skin ("images/gauge.png"); the disk is checked at every call.
    QString GetFilePath(const QString& name) const;
    // The style sheet "qss/<name>" as Latin-1 text; empty (logged) when it cannot be read.
    // Each sheet is read once per skin: every window asking for it shares that text.
    QString GetQssFile(const QString& name) const;

private:
    QString m_strSkin;
    mutable QHash<QString, QString> m_QssFiles;   // by name, as first read
};

extern CSkinManager g_SkinManager;
