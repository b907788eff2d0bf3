#pragma once
// "Detailed": every device the device library knows, as a two-level tree (a top
// item per device, its properties as rows below it), and the tree saved as a text
// file by "Output". Read-only: it changes no hardware and keeps no setting.
#include <QByteArray>

#include <cstdint>

#include "Shell/IQVXWidget.h"
#include "ui_SystemInfo.h"

class IDevice;
class QTreeWidgetItem;

class QSystemInfo : public IQVXWidget {
    Q_OBJECT
public:
    // A device of the HyperTransport block that never says "no more links" stops here.
    static constexpr int kMaxHTLinks = 32;
    // Labels are padded to this many characters in the text file.
    static constexpr int kExportLabelWidth = 40;

    QSystemInfo();

    bool Init() override;
    bool UnInit() override;
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Detailed"; }

private slots:
    void on_pushButton_2_clicked();

private:
    // One per device type; each adds the device's block, false when it ended early.
    bool _AddCPUInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddHTLinkInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddGPUInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddMemoryInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddBIOSInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddMonitorInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddHardDiskInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddAudioInfo(QTreeWidget* pTree, IDevice* pDevice);
    bool _AddUSBInfo(QTreeWidget* pTree, IDevice* pDevice);

    // A new last top item with the caption; and rows under it.
    static QTreeWidgetItem* _AddTopItem(QTreeWidget* pTree, const QString& caption);
    static void _AddRow(QTreeWidgetItem* pTopItem, const QString& label, const QString& value);
    // "Name", "Description" and "Vendor", the first rows of most blocks.
    static void _AddCommonRows(QTreeWidgetItem* pTopItem, IDevice* pDevice);
    static QString _TrueFalse(uint8_t byValue);
    // The tree as the text file holds it: Latin-1 (other characters as '?'), CR LF.
    static QByteArray _ExportText(const QTreeWidget* pTree);

    Ui::SysInfoClass ui;
};
