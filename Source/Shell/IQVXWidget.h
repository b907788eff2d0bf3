#pragma once
// The page interface: every page of the main window, built in or from a plug-in
// library, and every device dialog. Plug-in libraries are built against this
// header, so the order of the virtual operations must not change.
#include <QWidget>

class IQVXWidget : public QWidget {
public:
    IQVXWidget() : QWidget(nullptr, Qt::WindowFlags()) {}

    // Prepares the page; false: the page is refused and deleted.
    virtual bool Init() = 0;
    // Releases what Init took; false is only logged.
    virtual bool UnInit() = 0;
    // Writes the page's pending changes.
    virtual bool Apply() = 0;
    // Drops pending edits and shows the current values again.
    virtual bool Discard() = 0;
    // The page's fixed name (under 256 characters): its key in the page table.
    virtual const char* GetName() = 0;
};
