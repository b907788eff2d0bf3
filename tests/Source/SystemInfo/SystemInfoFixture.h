#pragma once
// The "Detailed" page on the simulated board: its tree read back as captions and
// "label = value" rows, and its "Output" button answered through the file dialog.
#include <QPushButton>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "Source/PerformanceControl/PageFixture.h"
#include "SystemInfo/SystemInfo.h"
#include "support/FileDialogAnswers.h"

namespace test {

using Rows = std::vector<std::string>;

class SystemInfoTest : public PageTest<QSystemInfo> {
protected:
    QTreeWidget* Tree() const { return page->findChild<QTreeWidget*>(QStringLiteral("SysInfoTree")); }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i)
            captions.push_back(Tree()->topLevelItem(i)->text(0).toStdString());
        return captions;
    }

    // The rows of the first block with this caption (none when there is no such block).
    Rows Block(const char* caption) const
    {
        Rows rows;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* top = Tree()->topLevelItem(i);
            if (top->text(0) != QLatin1String(caption))
                continue;
            for (int r = 0; r < top->childCount(); ++r)
                rows.push_back((top->child(r)->text(1) + QStringLiteral(" = ") + top->child(r)->text(2)).toStdString());
            break;
        }
        return rows;
    }

    // Presses "Output" and answers the save dialog with path (empty: cancel).
    void Output(const QString& path)
    {
        if (!path.isEmpty())
            dialogs.Queue(path);
        page->findChild<QPushButton*>(QStringLiteral("pushButton_2"))->click();
    }

    // Init again after a change of the board: the device library first, then the page.
    void Rebuild()
    {
        ASSERT_TRUE(g_DeviceManager.Refresh());
        ASSERT_TRUE(page->UnInit());
        ASSERT_TRUE(page->Init());
    }

    FileDialogAnswers dialogs;
};

} // namespace test
