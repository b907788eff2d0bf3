// "Output": the tree as a text file. The format is fixed (readers of saved reports
// rely on it): Latin-1, one byte per character, CR LF line ends, no header.
#include "SystemInfo/SystemInfo.h"

#include <QDir>
#include <QSaveFile>
#include <QTreeWidgetItem>

#include "Engine/LogCheck.h"
#include "Shell/FileDialog.h"
#include "Shell/MessageBox.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

// One byte per character; a character Latin-1 does not have becomes '?'.
QByteArray Latin1(const QString& text)
{
    QByteArray bytes;
    for (char32_t c : text.toUcs4())
        bytes += c <= 0xFF ? static_cast<char>(c) : '?';
    return bytes;
}

} // namespace

QByteArray QSystemInfo::_ExportText(const QTreeWidget* pTree)
{
    QByteArray text;
    for (int i = 0; pTree && i < pTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* pTop = pTree->topLevelItem(i);
        text += Latin1(pTop->text(0)) + kLineEnd;
        for (int r = 0; r < pTop->childCount(); ++r) {
            const QTreeWidgetItem* pRow = pTop->child(r);
            // Values line up after the tab: labels are padded to a fixed width.
            const QByteArray label = Latin1(pRow->text(1));
            text += '\t' + label;
            if (label.size() < kExportLabelWidth)
                text += QByteArray(kExportLabelWidth - label.size(), ' ');
            text += Latin1(pRow->text(2)) + kLineEnd;
        }
        text += kLineEnd;
    }
    return text;
}

void QSystemInfo::on_pushButton_2_clicked()
{
    const QString fileName =
        filedialog::GetSaveFileName(this, tr("Save File"), QString(), tr("System Info (*.txt)"));
    if (fileName.isEmpty())
        return;   // cancelled: nothing to write and nothing to report

    // Written beside the old file and swapped in only when whole, so a failed
    // write (a full disk) never leaves a truncated report in its place.
    // The explicit flush matters: commit() alone swaps the file in even when its own
    // final flush of the buffered text failed.
    const QByteArray text = _ExportText(ui.SysInfoTree);
    QSaveFile file(fileName);
    const bool bRetCode = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush()
        && file.commit();
    if (!bRetCode) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
        msgbox::Show(this, QMessageBox::Warning, tr("Save File"),
                     tr("The system information could not be saved to %1:\n%2")
                         .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    }
}
