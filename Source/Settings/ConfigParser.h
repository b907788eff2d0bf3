#pragma once
// The XML value store "QVXConfig.xml" in the install folder: the settings the
// pages last applied, addressed by group, sub-group and item. The device
// library's profile object reads the same file, so its layout is fixed:
//   <?QVX_Configuration_File version = "1.0"?>
//   <Configuration><Group><SubGroup><Item>text</Item>...
// Names pass through a rule that turns " ()/+" into "_" before they are used.
#include <QDomDocument>
#include <QString>
#include <QStringView>

class CConfigParser {
public:
    // The one store, created (and its file read) on the first call.
    static CConfigParser* GetInstance();
    // Tests only: forgets the store, so the next GetInstance reads the file anew.
    static void ReleaseInstance();

    explicit CConfigParser(QStringView fileName);

    // Stores text as the item's value, creating missing elements; saves when bSave.
    // False when a name is null or empty, or not usable as an XML name after the
    // name rule, when the value holds characters XML cannot carry, or when the save fails.
    bool SetValue(QStringView group, QStringView subGroup, QStringView item, QStringView value, bool bSave);
    // Numbers are written in the C locale (15 significant digits, "1.25").
    bool SetValue(QStringView group, QStringView subGroup, QStringView item, double value, bool bSave);
    // The item's text; false (value untouched) when the item does not exist.
    bool GetValue(QStringView group, QStringView subGroup, QStringView item, QString& value) const;
    // Writes the whole document atomically; false when a damaged file that could not
    // be set aside holds its place. Inside a batch it only marks the file as due.
    bool Save();

    // Where the file is read from and written to.
    const QString& GetFullPath() const { return m_szFullPath; }
    // Reads a number written by SetValue; also accepts the ',' of files written
    // under a locale with a decimal comma. False when the text is no number.
    static bool ToDouble(QStringView text, double& value);

private:
    friend class CConfigBatch;

    bool _Init();
    bool _GetInstallDir(QString& folder);
    bool _CreateDefault();
    QDomElement _FindGroup(const QString& group) const;
    QDomElement _FindNode(QStringView group, QStringView subGroup, QStringView item) const;
    static int _MakeXmlName(QStringView source, QString* destination);

    QDomDocument m_Document;
    QString m_szFileName;
    QString m_szFilePath;
    QString m_szFullPath;
    bool m_bFileKept = false;
    int m_nBatchDepth = 0;     // batches open now (see CConfigBatch)
    bool m_bSaveDue = false;   // a save was asked for inside them
};

// The values one user action sets (a Reset, an Apply) reach the file together or
// not at all: while a batch is open the store's saves only mark the file as due,
// and the end of the outermost batch writes it once, atomically. An end between
// two of the action's values then finds the file as it was before the action.
// Batches nest: the main window's Apply holds one around every page's Apply.
class CConfigBatch {
public:
    CConfigBatch();
    ~CConfigBatch() { Commit(); }
    CConfigBatch(const CConfigBatch&) = delete;
    CConfigBatch& operator=(const CConfigBatch&) = delete;

    // Ends the batch now (once; later calls return the same result). The outermost
    // batch writes the file when a save was asked for; false when that write failed.
    bool Commit();

private:
    CConfigParser* m_pStore;
    bool m_bOpen = true;
    bool m_bResult = true;
};
