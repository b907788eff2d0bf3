#pragma once
// The program's one main window: its own title bar and bottom bar, a two-level
// menu of page groups and pages built from the page table, the stacked pages,
// the OK/Cancel/Apply/Discard buttons and the boost button. Created once, never
// deleted; Init and UnInit run again on it for each rebuilt window.
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>

#include "MainWindow/MenuItems.h"
#include "Pages/BuiltInPages.h"
#include "ui_ZAR.h"

class QApplication;
class QGridLayout;
class QLabel;
class QSpacerItem;
class IQVXWidget;
class MainEventFilter;
namespace plat { class IDeviceChangeNotifier; }

class ZAR : public QMainWindow {
    Q_OBJECT
public:
    static ZAR* GetInstance();
    // Deletes the window, so the next GetInstance builds a fresh one. Defined by the
    // test support only: the program never deletes its window.
    static void ReleaseInstanceForTests();

    bool Init(QApplication* pApp);
    bool UnInit();

    bool AddWidget(IQVXWidget* pWidget, const QString& group, const QString& page, int nColumn);
    bool ShowWidget(const QString& group, const QString& page);
    bool ShowWidget(MainMenuItem* pMain, SubMenuItem* pSub);
    void SetVisible(const QString& group, const QString& page, bool bVisible);
    IQVXWidget* GetWidget(const QString& group, const QString& page);
    // Whether the menu holds the page; asking writes no log line.
    bool HasWidget(const QString& group, const QString& page) const;

    // Applies every visible page (after the warning when something changed).
    void Apply();
    // Every visible page reads its values again.
    void Discard();
    // After a USB device arrived or left: the device library and the device pages anew.
    bool Refresh();
    // Shows the processor's boost state; removes the button for good without a family-10h processor.
    void RefreshBoostButton();

    // The command line the program started with (the first argument may be "AutoTune").
    void SetArguments(const QStringList& arguments) { m_Arguments = arguments; }

    // The product version text (read by the Settings page).
    QString m_szVersion;

    // What the tests look at.
    Ui::ZARClass& Form() { return ui; }
    const std::map<QString, MainMenuItem*>& MenuList() const { return m_MenuList; }
    MainMenuItem* CurrentMain() const { return m_pCurrentMain; }
    unsigned BoostState() const { return m_nBoostState; }
    bool DeviceChanged() const { return m_bDeviceChanged; }
    int TimerId() const { return m_nTimerId; }
    QLabel* CustomLogo() const { return m_pCustomLogo; }

public slots:
    void showHelp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private slots:
    void on_BoostBtn_clicked();
    void on_applyButton_clicked();
    void on_cancelButton_clicked();
    void on_okButton_clicked();
    void on_discardButton_clicked();
    // Connected by hand to the buttons the menu creates (no form object has these names).
    void on_menuButton_clicked();
    void on_subMenuButton_clicked();

private:
    // The window creates the pages of this table, in its order.
    explicit ZAR(const std::vector<BuiltInPage>& pages);
    ~ZAR() override;
    // The test support builds its windows over tables of its own.
    friend void SetBuiltInPagesForTests(const std::vector<BuiltInPage>* pPages);

    bool setupMenu();
    // Enters a page the widget manager admitted into the menu, shown or hidden as its
    // page table record says; a page the menu cannot take is unregistered and
    // deleted. False when the page has no record.
    bool _EnterPage(IQVXWidget* pWidget);
    void _ReadWarningSetting();
    void _WriteDefaultProfile();
    void _ChooseSelectedPage(MainMenuItem* pMain);
    void _ShowBoostState(unsigned nState);
    void _DeleteMenu();

    static ZAR* s_pInstance;
    const std::vector<BuiltInPage>& m_Pages;
    Ui::ZARClass ui;
    // The pages not shown yet: out of the window, not windows of their own either.
    QWidget m_PageShelf;
    QGridLayout* m_pMenuLayout = nullptr;
    QGridLayout* m_pSubMenuLayout = nullptr;
    QSpacerItem* m_pMainSpacer = nullptr;
    QSpacerItem* m_pSubSpacer = nullptr;
    std::map<QString, MainMenuItem*> m_MenuList;
    MainMenuItem* m_pCurrentMain = nullptr;
    QApplication* m_pApp = nullptr;
    QPoint m_ptMousePress;
    bool m_bMousePressed = false;
    bool m_bMoving = false;
    MainEventFilter* m_pFilter = nullptr;
    QString m_strMenuButtonStyle;
    QString m_strSubMenuButtonStyle;
    QString m_strMenuButtonSelectStyle;
    QString m_strSubMenuButtonSelectStyle;
    uint32_t m_bEnableWarningMsg = 1;
    QLabel* m_pCustomLogo = nullptr;
    unsigned m_nBoostState = 0;
    std::unique_ptr<plat::IDeviceChangeNotifier> m_hDevNotify;
    bool m_bDeviceChanged = false;
    int m_nTimerId = 0;
    QStringList m_Arguments;
};
