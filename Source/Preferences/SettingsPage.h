#pragma once
// "Settings": the performance-control mode (which pages of the performance group the
// menu shows), three preferences saved by Apply, hardware profiles, the two outside
// tools and the log folder. Named QSettingsPage because Qt owns the name QSettings;
// its form, page name and message texts keep the names "SettingsClass", "Settings"
// and the translation context "QSettings".
#include <QDir>
#include <QString>

#include <functional>

#include "Shell/IQVXWidget.h"
#include "ui_SettingsPage.h"

class QSettingsPage : public IQVXWidget {
    Q_OBJECT
public:
    QSettingsPage();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Settings"; }

    // Tests: removes one file, link or empty folder in place of the file system
    // (true: removed); an empty function brings the real removal back. Defined only
    // in the test support: the program itself never replaces the removal.
    using LogRemover = std::function<bool(const QString& path, bool bFolder)>;
    static void SetLogRemoverForTests(LogRemover remover);

    Ui::SettingsClass& Form() { return ui; }

private slots:
    void on_radioButtonBasic_clicked();
    void on_radioButtonAdvanced_clicked();
    void on_checkBoxApplySettings_stateChanged(int nState);
    void on_checkBoxFanBroken_stateChanged(int nState);
    void on_LogBox_stateChanged(int nState);
    void on_btnSaveAs_clicked();
    void on_btnLoad_clicked();
    void on_btnDefault_clicked();
    void on_btnWebPAM_clicked();
    void on_btnLCC_clicked();
    void on_pushButton_clicked();

private:
    static LogRemover s_LogRemover;
    static bool _Remove(const QString& path, bool bFolder);

    bool _GetRaidToolPath();
    bool _GetControlCentrePath();
    bool _IsFanSensorPresent();
    bool _RemoveDir(QDir dir);
    // Applies a profile; on failure puts back what was there before and tells the user.
    // Lines name pszMethod, the button's slot.
    bool _ApplyProfile(const QString& path, const char* failureText, const char* pszMethod);

    Ui::SettingsClass ui;
    int m_nLanguageType = 0;
    QString m_szRaidToolPath;
    QString m_szControlCentrePath;
    bool m_bSecondRaidPackage = false;
    bool m_bFanBrokenDetection = false;
    // Found by Init; Discard keeps the fan box disabled without a fan reading.
    bool m_bFanSensorPresent = true;
};

// The page's own message texts, in the context "QSettings".
QString SettingsText(const char* text);
