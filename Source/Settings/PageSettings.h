#pragma once
// The page table, "PageSettings.xml" in the program folder (built-in default at
// ":/Resources/PageSettings.xml"): per page its menu group, its fixed name and
// whether it is enabled, visible and editable.
#include <QString>

constexpr int MAX_WIDGET_COUNT = 64;

struct PAGE_INFO {
    char szGroupName[256];  // menu text; a line break is a real line break here
    char szPageName[256];   // the page's fixed name (IQVXWidget::GetName)
    bool Enabled;
    bool Visible;
    bool Editable;
};

class CPageSettings {
public:
    CPageSettings() = default;
    virtual ~CPageSettings() = default;

    // Rebuilds the table from the file, else from the built-in default (an
    // unreadable file is kept aside as "PageSettings.xml.bad"; one that cannot be set
    // aside stays, and nothing is saved over it). False only when the built-in default
    // cannot be read either.
    bool Load();
    // Writes the table atomically; false when it could not be written, or when the
    // last Load left a damaged file in place.
    bool Save();
    // The record at nIndex, or null (logged) out of range. Callers may change the flags.
    PAGE_INFO* GetPage(int nIndex);
    // The first record whose page name, as it stands or translated, equals name.
    PAGE_INFO* FindPage(const QString& name);
    int GetPageCount() const { return m_nPageCount; }
    // The file's name, in the program folder (the current one once the program runs).
    static QString FileName();

    // Appends a record; false when the table is full. Used while reading the file.
    bool AddPage(const QString& group, const QString& name, bool bEnabled, bool bVisible, bool bEditable);

private:
    PAGE_INFO m_Pages[MAX_WIDGET_COUNT] = {};
    int m_nPageCount = 0;
    bool m_bFileKept = false;
};

extern CPageSettings g_PageSettings;
