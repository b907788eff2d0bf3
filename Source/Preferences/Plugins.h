#pragma once
// "Page List": the page table as a tree of groups and pages, where the user enables
// and shows the pages whose record is editable. Apply saves the table and asks for
// a new main window, which reads the table only when it is built.
#include "Shell/IQVXWidget.h"
#include "ui_Plugins.h"

struct PAGE_INFO;
class QTreeWidgetItem;

class QPlugins : public IQVXWidget {
    Q_OBJECT
public:
    QPlugins();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Page List"; }

    Ui::PluginsClass& Form() { return ui; }

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void on_WidgetTree_itemClicked(QTreeWidgetItem* pItem, int nColumn);
    void on_WidgetTree_itemDoubleClicked(QTreeWidgetItem* pItem, int nColumn);

private:
    // The tree anew from the page table in memory; a failure is logged under pszMethod.
    bool _Fill(const char* pszMethod);
    bool _AddWidget(const PAGE_INFO* pPageSettings);

    Ui::PluginsClass ui;
    // The tree or the page table in memory changed since the last load or save.
    bool m_bChanged = false;
};
