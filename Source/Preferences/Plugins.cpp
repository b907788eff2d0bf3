#include "Preferences/Plugins.h"

#include <QTreeWidgetItem>

#include "Engine/LogCheck.h"
#include "Settings/PageSettings.h"
#include "Shell/GlobalFlags.h"

namespace {

constexpr int kGroupColumn = 0, kPageColumn = 1, kVisibleColumn = 2, kEditableColumn = 3;

Qt::CheckState StateOf(bool bChecked) { return bChecked ? Qt::Checked : Qt::Unchecked; }

QString FlagText(bool bFlag) { return bFlag ? QPlugins::tr("true") : QPlugins::tr("false"); }

// A group shows the state its pages share, else partly checked. Part of a click.
bool UpdateGroupState(QTreeWidgetItem* pGroup)
{
    constexpr char kClicked[] = "QPlugins::on_WidgetTree_itemClicked";
    if (pGroup->childCount() == 0)
        return true;
    const QTreeWidgetItem* pFirst = pGroup->child(0);
    LOG_PROCESS_ERROR_IN(pFirst, kClicked);
    Qt::CheckState state = pFirst->checkState(kPageColumn);
    for (int i = 1; i < pGroup->childCount(); ++i) {
        const QTreeWidgetItem* pChildItem = pGroup->child(i);
        LOG_PROCESS_ERROR_IN(pChildItem, kClicked);
        if (pChildItem->checkState(kPageColumn) != state) {
            state = Qt::PartiallyChecked;
            break;
        }
    }
    pGroup->setCheckState(kGroupColumn, state);
    return true;
}

} // namespace

QPlugins::QPlugins() { ui.setupUi(this); }

bool QPlugins::Init()
{
    ui.WidgetTree->setColumnWidth(kGroupColumn, 200);
    ui.WidgetTree->setColumnWidth(kPageColumn, 200);
    m_bChanged = true;
    const bool bRetCode = Discard();
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool QPlugins::Discard()
{
    if (!m_bChanged)
        return true;
    bool bRetCode = g_PageSettings.Load();
    LOG_PROCESS_ERROR(bRetCode);
    if (!_Fill("QPlugins::Discard"))
        return false;
    m_bChanged = false;
    return true;
}

bool QPlugins::Apply()
{
    if (m_bChanged) {
        const bool bRetCode = g_PageSettings.Save();
        if (!bRetCode) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            Discard();   // the tree shows what is on disk
            return false;
        }
        g_nRestartRequest = 1;
    }
    m_bChanged = false;
    return true;
}

void QPlugins::showEvent(QShowEvent* event)
{
    // The Settings page changes the same table in memory: show what it holds now.
    _Fill("QPlugins::showEvent");
    IQVXWidget::showEvent(event);
}

bool QPlugins::_Fill(const char* pszMethod)
{
    ui.WidgetTree->clear();
    for (int i = 0; i < g_PageSettings.GetPageCount(); ++i) {
        const PAGE_INFO* pPageSettings = g_PageSettings.GetPage(i);
        LOG_PROCESS_ERROR_IN(pPageSettings, pszMethod);
        const bool bRetCode = _AddWidget(pPageSettings);
        LOG_PROCESS_ERROR_IN(bRetCode, pszMethod);
    }
    return true;
}

bool QPlugins::_AddWidget(const PAGE_INFO* pPageSettings)
{
    LOG_PROCESS_ERROR(pPageSettings);
    const QString group = QObject::tr(pPageSettings->szGroupName).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QList<QTreeWidgetItem*> found = ui.WidgetTree->findItems(group, Qt::MatchExactly, kGroupColumn);
    QTreeWidgetItem* pTreeTopItem = found.isEmpty() ? nullptr : found.first();
    if (!pTreeTopItem) {
        pTreeTopItem = new QTreeWidgetItem(ui.WidgetTree);
        LOG_PROCESS_ERROR(pTreeTopItem);
        pTreeTopItem->setText(kGroupColumn, group);
        pTreeTopItem->setFlags(pTreeTopItem->flags() | Qt::ItemIsUserCheckable);
        pTreeTopItem->setCheckState(kGroupColumn, StateOf(pPageSettings->Enabled));
        pTreeTopItem->setExpanded(true);
    } else if (pTreeTopItem->checkState(kGroupColumn) != StateOf(pPageSettings->Enabled)) {
        pTreeTopItem->setCheckState(kGroupColumn, Qt::PartiallyChecked);
    }

    auto* pTreeItem = new QTreeWidgetItem(pTreeTopItem);
    LOG_PROCESS_ERROR(pTreeItem);
    pTreeItem->setText(kPageColumn, QObject::tr(pPageSettings->szPageName));
    pTreeItem->setText(kVisibleColumn, FlagText(pPageSettings->Visible));
    pTreeItem->setText(kEditableColumn, FlagText(pPageSettings->Editable));
    // No colours of its own: the page name takes the tree's, which the skin gives.
    pTreeItem->setFlags(pTreeItem->flags() | Qt::ItemIsUserCheckable);
    pTreeItem->setCheckState(kPageColumn, StateOf(pPageSettings->Enabled));
    return true;
}

void QPlugins::on_WidgetTree_itemClicked(QTreeWidgetItem* pItem, int)
{
    if (!pItem)
        return;
    QTreeWidgetItem* pGroup = pItem->parent();
    if (!pGroup) {
        // A group: its editable pages follow its box.
        pGroup = pItem;
        const Qt::CheckState state = pGroup->checkState(kGroupColumn);
        for (int i = 0; i < pGroup->childCount(); ++i) {
            QTreeWidgetItem* pChildItem = pGroup->child(i);
            if (!pChildItem) {
                LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pChildItem");
                return;
            }
            PAGE_INFO* pPageSettings = g_PageSettings.FindPage(pChildItem->text(kPageColumn));
            if (!pPageSettings) {
                LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pPageSettings");
                return;
            }
            if (pPageSettings->Editable) {
                pChildItem->setCheckState(kPageColumn, state);
                pPageSettings->Enabled = state != Qt::Unchecked;
            }
        }
    } else {
        PAGE_INFO* pPageSettings = g_PageSettings.FindPage(pItem->text(kPageColumn));
        if (!pPageSettings) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pPageSettings");
            return;
        }
        if (pPageSettings->Editable)
            pPageSettings->Enabled = pItem->checkState(kPageColumn) != Qt::Unchecked;
        else
            pItem->setCheckState(kPageColumn, StateOf(pPageSettings->Enabled));
    }
    if (!UpdateGroupState(pGroup))
        return;
    m_bChanged = true;
}

void QPlugins::on_WidgetTree_itemDoubleClicked(QTreeWidgetItem* pItem, int)
{
    if (!pItem || !pItem->parent())
        return;
    PAGE_INFO* pPageSettings = g_PageSettings.FindPage(pItem->text(kPageColumn));
    if (!pPageSettings) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pPageSettings");
        return;
    }
    if (!pPageSettings->Editable)
        return;
    pPageSettings->Visible = !pPageSettings->Visible;
    pItem->setText(kVisibleColumn, FlagText(pPageSettings->Visible));
    m_bChanged = true;
}
