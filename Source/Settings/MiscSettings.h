#pragma once
// The program's preferences, "Preference.xml" in the program folder, and the two
// translators installed for the chosen language.
#include <QDateTime>
#include <QString>

#include <cstdint>

class QTranslator;

class CMiscSettings {
public:
    CMiscSettings() = default;
    virtual ~CMiscSettings() = default;

    // Reads the file; when it is missing or unreadable, the defaults are used and
    // written (an unreadable file is kept aside as "Preference.xml.bad"; one that
    // cannot be set aside stays, and nothing is saved over it). True even when the
    // defaults cannot be written, so a read-only folder still starts.
    bool Load();
    // Writes the file atomically; false when it could not be written, or when the
    // last Load left a damaged file in place.
    bool Save();
    // Whether the last Load found the file damaged (and so took the defaults), and
    // where the damaged file went: its copy's name, or empty when it could not be
    // set aside and stays in place; and the last change of the oldest copy, when that
    // one gave way to it (invalid when a free name took it).
    bool WasDamaged() const { return m_bDamaged; }
    QString DamagedCopy() const { return m_strDamagedCopy; }
    QDateTime ReplacedCopyChanged() const { return m_ReplacedCopyChanged; }
    // Replaces the installed translators for LanguageType (0: the system's language).
    bool LoadLanguage();

    bool AutoStartOnBoot = false;
    bool NeedConfirmOnBoot = false;
    bool AutoApplySettings = false;
    bool FanBrokenDetectionEnabled = false;
    bool LogFileEnabled = false;
    int LanguageType = 0;
    char BoardVendor[256] = {};
    char SkinScheme[256] = {};
    bool MaximumVCoreEnabled = false;
    QTranslator* m_pTranslator = nullptr;
    QTranslator* m_pQtTranslator = nullptr;

    // The file's name, in the program folder (the current one once the program runs).
    static QString FileName();
    // No path separators and no "..": the skin name is used as a folder name.
    static bool IsSafeSkinName(QStringView name);
    // Tests point the built-in Qt translations elsewhere (default ":/translation").
    static void SetQtTranslationFolder(const QString& folder);

private:
    void _SetDefaults();

    bool m_bFileKept = false;
    bool m_bDamaged = false;
    QString m_strDamagedCopy;
    QDateTime m_ReplacedCopyChanged;
};

extern CMiscSettings g_MiscSettings;

// The language number for a Windows language identifier (0x0807 -> 5, ...); 1 when
// the program has no translation for it.
int LanguageFromLangId(uint16_t langId);
