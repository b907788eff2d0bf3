#pragma once
// The two levels of the main window's menu: one record per group, one per page.
// The maps sort by translated name; that is the order of Apply and Discard.
#include <QString>

#include <map>

class IQVXWidget;
class QPushButton;

struct SubMenuItem {
    QPushButton* m_pButton = nullptr;
    int m_nColumn = 0;
    bool m_bVisible = true;
    IQVXWidget* m_pWidget = nullptr;
};

struct MainMenuItem {
    QPushButton* m_pButton = nullptr;
    SubMenuItem* m_pCurrentSub = nullptr;
    std::map<QString, SubMenuItem*> m_SubMenuList;
};
