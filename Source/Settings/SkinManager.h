#pragma once
// The skin in use, and where its files are: a copy below "./resource/<skin>/"
// wins over the built-in one at ":/<skin>/".
#include <QString>

class CSkinManager {
public:
    CSkinManager() = default;
    virtual ~CSkinManager() = default;

    void SetSkin(const QString& name) { m_strSkin = name; }
    // Path of a file inside the skin ("images/gauge.png"); the disk is checked at every call.
    QString GetFilePath(const QString& name) const;
    // The style sheet "qss/<name>" as Latin-1 text; empty (logged) when it cannot be read.
    QString GetQssFile(const QString& name) const;

private:
    QString m_strSkin;
};

extern CSkinManager g_SkinManager;
