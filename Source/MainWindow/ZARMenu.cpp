// The main window's two-level menu: building it from the page table, entering
// pages, showing and hiding them.
#include "MainWindow/ZAR.h"

#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>

#include "Engine/LogCheck.h"
#include "Pages/BuiltInPages.h"
#include "Settings/PageSettings.h"
#include "Settings/SkinManager.h"
#include "Shell/IQVXWidget.h"
#include "Shell/WidgetManager.h"

// Group and page names of the menu, marked so that plug-in pages under these
// words are translated too.
[[maybe_unused]] static const char* const kMenuWords[] = {
    QT_TRANSLATE_NOOP("QObject", "System\nInformation"), QT_TRANSLATE_NOOP("QObject", "Basic"),
    QT_TRANSLATE_NOOP("QObject", "Detailed"), QT_TRANSLATE_NOOP("QObject", "Diagram"),
    QT_TRANSLATE_NOOP("QObject", "Status\nMonitor"), QT_TRANSLATE_NOOP("QObject", "CPU Status"),
    QT_TRANSLATE_NOOP("QObject", "GPU Status"), QT_TRANSLATE_NOOP("QObject", "Board Status"),
    QT_TRANSLATE_NOOP("QObject", "Performance\nControl"), QT_TRANSLATE_NOOP("QObject", "Novice Mode"),
    QT_TRANSLATE_NOOP("QObject", "Clock/Voltage"), QT_TRANSLATE_NOOP("QObject", "Memory"),
    QT_TRANSLATE_NOOP("QObject", "CMOS"), QT_TRANSLATE_NOOP("QObject", "JY Pstate"),
    QT_TRANSLATE_NOOP("QObject", "Benchmark"), QT_TRANSLATE_NOOP("QObject", "Stability Test"),
    QT_TRANSLATE_NOOP("QObject", "Auto Clock"), QT_TRANSLATE_NOOP("QObject", "Environment\nControl"),
    QT_TRANSLATE_NOOP("QObject", "Environment"), QT_TRANSLATE_NOOP("QObject", "Fan Control"),
    QT_TRANSLATE_NOOP("QObject", "Storage"), QT_TRANSLATE_NOOP("QObject", "USB"),
    QT_TRANSLATE_NOOP("QObject", "Audio"), QT_TRANSLATE_NOOP("QObject", "Corvane"),
    QT_TRANSLATE_NOOP("QObject", "CorvaneSettings"), QT_TRANSLATE_NOOP("QObject", "Preference"),
    QT_TRANSLATE_NOOP("QObject", "Settings"), QT_TRANSLATE_NOOP("QObject", "Page List"),
    QT_TRANSLATE_NOOP("QObject", "Device List"), QT_TRANSLATE_NOOP("QObject", "Debugger"),
};

namespace {
QGridLayout* TightGrid(QWidget* owner)
{
    auto* layout = new QGridLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}
}

bool ZAR::setupMenu()
{
    // The menu rows take the skin's main style from the window (Init).
    m_pMenuLayout = TightGrid(ui.menu_frame);
    LOG_PROCESS_ERROR(m_pMenuLayout);
    m_pSubMenuLayout = TightGrid(ui.submenu_frame);
    LOG_PROCESS_ERROR(m_pSubMenuLayout);

    // Each page enters the menu as soon as it is admitted, so a page that shows or
    // hides others as it initialises (the Settings page's mode) finds those before it
    // in the menu already.
    for (const BuiltInPage& entry : m_Pages) {
        // A page the page table does not admit, or one for hardware of another kind
        // than this board's, would be built only to be refused.
        if (entry.pszPageName && !g_WidgetManager.IsAdmitted(entry.pszPageName))
            continue;
        if (entry.Suits && !entry.Suits())
            continue;
        IQVXWidget* pPage = entry.Create();
        if (!pPage)
            continue;
        if (!g_WidgetManager.AddWidget(pPage)) {
            delete pPage;
            continue;
        }
        if (!_EnterPage(pPage))
            return false;
    }
    // The plug-ins' pages join after the built-in ones, in the order they were loaded.
    unsigned i = g_WidgetManager.GetWidgetCount();
    g_WidgetManager.LoadPlugins();
    while (i < g_WidgetManager.GetWidgetCount()) {
        IQVXWidget* pWidget = g_WidgetManager.GetWidget(i);
        LOG_PROCESS_ERROR(pWidget);
        const unsigned nCount = g_WidgetManager.GetWidgetCount();
        if (!_EnterPage(pWidget))
            return false;
        // A page the menu could not take left the list, and the next one moved up to i.
        if (g_WidgetManager.GetWidgetCount() == nCount)
            ++i;
    }

    // Opened on Auto Clock, the window does not first lay out the first group's page
    // only to cover it: that one is shown when Auto Clock cannot be.
    const QStringList arguments = m_Arguments.isEmpty() ? QCoreApplication::arguments() : m_Arguments;
    const bool bAutoTune = m_pCurrentMain && arguments.size() > 1 && arguments.at(1) == QLatin1String("AutoTune");
    if (!bAutoTune || !ShowWidget(QObject::tr("Performance\nControl"), QObject::tr("Auto Clock"))) {
        const bool bRetCode = ShowWidget(m_pCurrentMain, m_pCurrentMain ? m_pCurrentMain->m_pCurrentSub : nullptr);
        LOG_PROCESS_ERROR(bRetCode);
    }

    m_pMainSpacer = new QSpacerItem(100, 25, QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_pMenuLayout->addItem(m_pMainSpacer, 0, 999);
    m_pMenuLayout->setColumnStretch(999, 1);
    m_pMenuLayout->setContentsMargins(4, 4, 4, 4);
    if (ui.BoostBtn)
        m_pMenuLayout->addWidget(ui.BoostBtn, 0, 1000);

    m_pSubSpacer = new QSpacerItem(100, 25, QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_pSubMenuLayout->addItem(m_pSubSpacer, 0, 999);
    m_pSubMenuLayout->setColumnStretch(999, 1);
    return true;
}

bool ZAR::_EnterPage(IQVXWidget* pWidget)
{
    PAGE_INFO* pPageSettings = g_PageSettings.FindPage(QString::fromUtf8(pWidget->GetName()));
    LOG_PROCESS_ERROR_IN(pPageSettings, "ZAR::setupMenu");
    const QString group = QObject::tr(pPageSettings->szGroupName);
    const QString page = QObject::tr(pPageSettings->szPageName);
    const bool bRetCode = AddWidget(pWidget, group, page, -1);
    if (!bRetCode) {
        LOG_CHECK_ERROR_IN(bRetCode, "ZAR::setupMenu");
        // Admitted by the widget manager but without a place in the menu (a second
        // page of the same name): unregister and delete it now, so the pass ends clean.
        g_WidgetManager.DelWidget(pWidget);
        delete pWidget;
        return true;
    }
    SetVisible(group, page, pPageSettings->Visible);
    return true;
}

bool ZAR::AddWidget(IQVXWidget* pWidget, const QString& group, const QString& page, int nColumn)
{
    LOG_PROCESS_ERROR(pWidget);
    LOG_PROCESS_ERROR(m_pMenuLayout);
    LOG_PROCESS_ERROR(m_pFilter);

    MainMenuItem* pNewGroup = nullptr;
    if (m_MenuList.find(group) == m_MenuList.end()) {
        pNewGroup = new MainMenuItem;
        // Made in the row it goes into: moving a styled button there would restyle it.
        pNewGroup->m_pButton = new QPushButton(group, ui.menu_frame);
        pNewGroup->m_pButton->setObjectName(group);
        connect(pNewGroup->m_pButton, &QPushButton::clicked, this, &ZAR::on_menuButton_clicked);
        pNewGroup->m_pButton->setStyleSheet(m_strMenuButtonStyle);
        pNewGroup->m_pButton->setFocusPolicy(Qt::NoFocus);
        m_pMenuLayout->addWidget(pNewGroup->m_pButton, 0, static_cast<int>(m_MenuList.size()));
        m_MenuList.emplace(group, pNewGroup);
        if (m_MenuList.size() == 1)
            m_pCurrentMain = pNewGroup;
    }
    auto dropNewGroup = [&]() {
        if (!pNewGroup)
            return;
        m_MenuList.erase(group);
        if (m_pCurrentMain == pNewGroup)
            m_pCurrentMain = nullptr;
        delete pNewGroup->m_pButton;
        delete pNewGroup;
    };

    auto itMain = m_MenuList.find(group);
    LOG_PROCESS_ERROR(itMain != m_MenuList.end());
    MainMenuItem* pMainMenuItem = itMain->second;
    if (pMainMenuItem->m_SubMenuList.count(page)) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "itSub == itMain->second->m_SubMenuList.end()");
        dropNewGroup();
        return false;
    }

    auto* pSubMenuItem = new SubMenuItem;
    pSubMenuItem->m_pButton = new QPushButton(page, ui.submenu_frame);
    pSubMenuItem->m_pButton->setObjectName(page);
    pSubMenuItem->m_nColumn = nColumn == -1 ? static_cast<int>(pMainMenuItem->m_SubMenuList.size()) : nColumn;
    pSubMenuItem->m_bVisible = true;
    connect(pSubMenuItem->m_pButton, &QPushButton::clicked, this, &ZAR::on_subMenuButton_clicked);
    pSubMenuItem->m_pButton->setStyleSheet(m_strSubMenuButtonStyle);
    pSubMenuItem->m_pButton->setFocusPolicy(Qt::NoFocus);
    pSubMenuItem->m_pButton->hide();
    if (pMainMenuItem == m_pCurrentMain) {
        m_pSubMenuLayout->addWidget(pSubMenuItem->m_pButton, 0, pSubMenuItem->m_nColumn);
        pSubMenuItem->m_pButton->show();
    }
    pMainMenuItem->m_SubMenuList.emplace(page, pSubMenuItem);
    if (!pMainMenuItem->m_pCurrentSub)
        pMainMenuItem->m_pCurrentSub = pSubMenuItem;

    // The page joins the page area when it is first shown (ShowWidget): until then it
    // waits aside, so the window is not styled and laid out for pages nobody looked at.
    pWidget->setParent(&m_PageShelf);
    pSubMenuItem->m_pWidget = pWidget;
    return true;
}

bool ZAR::ShowWidget(MainMenuItem* pMain, SubMenuItem* pSub)
{
    LOG_PROCESS_ERROR(pMain);
    LOG_PROCESS_ERROR(m_pCurrentMain);
    LOG_PROCESS_ERROR(m_pCurrentMain->m_pButton);
    if (pSub && ui.stackedWidget->indexOf(pSub->m_pWidget) < 0) {
        const int nRetCode = ui.stackedWidget->addWidget(pSub->m_pWidget);
        LOG_PROCESS_ERROR(nRetCode >= 0);
    }

    m_pCurrentMain->m_pButton->setStyleSheet(m_strMenuButtonStyle);
    for (auto& [name, pItem] : m_pCurrentMain->m_SubMenuList) {
        m_pSubMenuLayout->removeWidget(pItem->m_pButton);
        pItem->m_pButton->hide();
    }
    for (auto& [name, pItem] : pMain->m_SubMenuList) {
        if (!pItem->m_bVisible)
            continue;
        m_pSubMenuLayout->addWidget(pItem->m_pButton, 0, pItem->m_nColumn);
        pItem->m_pButton->show();
    }
    if (m_pCurrentMain->m_pCurrentSub) {
        LOG_PROCESS_ERROR(m_pCurrentMain->m_pCurrentSub->m_pButton);
        m_pCurrentMain->m_pCurrentSub->m_pButton->setStyleSheet(m_strSubMenuButtonStyle);
    }
    if (pSub)
        ui.stackedWidget->setCurrentWidget(pSub->m_pWidget);
    else
        ui.stackedWidget->setCurrentIndex(0);

    m_pCurrentMain = pMain;
    pMain->m_pCurrentSub = pSub;
    pMain->m_pButton->setStyleSheet(m_strMenuButtonSelectStyle);
    if (pSub && pSub->m_pButton)
        pSub->m_pButton->setStyleSheet(m_strSubMenuButtonSelectStyle);
    return true;
}

bool ZAR::ShowWidget(const QString& group, const QString& page)
{
    auto itMain = m_MenuList.find(group);
    LOG_PROCESS_ERROR(itMain != m_MenuList.end());
    MainMenuItem* pMainMenuItem = itMain->second;
    LOG_PROCESS_ERROR(pMainMenuItem);
    auto itSub = pMainMenuItem->m_SubMenuList.find(page);
    LOG_PROCESS_ERROR(itSub != pMainMenuItem->m_SubMenuList.end());
    SubMenuItem* pSubMenuItem = itSub->second;
    LOG_PROCESS_ERROR(pSubMenuItem);
    LOG_PROCESS_ERROR(pSubMenuItem->m_bVisible);
    const bool bRetCode = ShowWidget(pMainMenuItem, pSubMenuItem);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

void ZAR::_ChooseSelectedPage(MainMenuItem* pMain)
{
    SubMenuItem* pBest = nullptr;
    for (auto& [name, pItem] : pMain->m_SubMenuList)
        if (pItem->m_bVisible && (!pBest || pItem->m_nColumn < pBest->m_nColumn))
            pBest = pItem;
    pMain->m_pCurrentSub = pBest;
}

void ZAR::SetVisible(const QString& group, const QString& page, bool bVisible)
{
    auto itMain = m_MenuList.find(group);
    if (itMain == m_MenuList.end() || !itMain->second) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "itMain != m_MenuList.end()");
        return;
    }
    MainMenuItem* pMainMenuItem = itMain->second;
    auto itSub = pMainMenuItem->m_SubMenuList.find(page);
    if (itSub == pMainMenuItem->m_SubMenuList.end() || !itSub->second) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "itSub != pMainMenuItem->m_SubMenuList.end()");
        return;
    }
    SubMenuItem* pSubMenuItem = itSub->second;

    if (pMainMenuItem == m_pCurrentMain && pSubMenuItem->m_bVisible != bVisible) {
        pSubMenuItem->m_bVisible = bVisible;
        if (!bVisible)
            _ChooseSelectedPage(pMainMenuItem);
        SubMenuItem* pShow = bVisible ? pSubMenuItem : pMainMenuItem->m_pCurrentSub;
        if (!ShowWidget(pMainMenuItem, pShow)) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            return;
        }
    } else if (pMainMenuItem->m_pCurrentSub == pSubMenuItem && !bVisible) {
        pSubMenuItem->m_bVisible = false;
        _ChooseSelectedPage(pMainMenuItem);
    }
    pSubMenuItem->m_bVisible = bVisible;
}

bool ZAR::HasWidget(const QString& group, const QString& page) const
{
    const auto itMain = m_MenuList.find(group);
    return itMain != m_MenuList.end() && itMain->second && itMain->second->m_SubMenuList.count(page);
}

IQVXWidget* ZAR::GetWidget(const QString& group, const QString& page)
{
    auto itMain = m_MenuList.find(group);
    LOG_PROCESS_ERROR_RET(itMain != m_MenuList.end(), nullptr);
    MainMenuItem* pMainMenuItem = itMain->second;
    LOG_PROCESS_ERROR_RET(pMainMenuItem, nullptr);
    auto itSub = pMainMenuItem->m_SubMenuList.find(page);
    LOG_PROCESS_ERROR_RET(itSub != pMainMenuItem->m_SubMenuList.end(), nullptr);
    SubMenuItem* pSubMenuItem = itSub->second;
    LOG_PROCESS_ERROR_RET(pSubMenuItem, nullptr);
    return pSubMenuItem->m_pWidget;
}

void ZAR::on_menuButton_clicked()
{
    auto* pButton = qobject_cast<QPushButton*>(sender());
    if (!pButton) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pButton");
        return;
    }
    auto itMain = m_MenuList.find(pButton->objectName());
    if (itMain == m_MenuList.end()) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "itMain != m_MenuList.end()");
        return;
    }
    if (!ShowWidget(itMain->second, itMain->second->m_pCurrentSub))
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
}

void ZAR::on_subMenuButton_clicked()
{
    if (!m_pCurrentMain) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pCurrentMain");
        return;
    }
    auto* pButton = qobject_cast<QPushButton*>(sender());
    if (!pButton) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pButton");
        return;
    }
    auto itSub = m_pCurrentMain->m_SubMenuList.find(pButton->objectName());
    if (itSub == m_pCurrentMain->m_SubMenuList.end()) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "itSub != m_pCurrentMain->m_SubMenuList.end()");
        return;
    }
    if (!ShowWidget(m_pCurrentMain, itSub->second))
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
}
