#pragma once
// "Debugger" and "Partners": pages the built-in page table does not list, so the
// main window drops them; a page table on disk that lists them shows them. Neither
// does anything yet.
#include "SystemInfo/DevelopingPages.h"
#include "ui_Debugger.h"
#include "ui_Partners.h"

class QDebugger : public CDevelopingPage<Ui::debuggerClass> {
    Q_OBJECT
public:
    const char* GetName() override { return "Debugger"; }
    Ui::debuggerClass& Form() { return ui; }

private slots:
    void on_RunButton_clicked() {}
};

class QPartners : public CDevelopingPage<Ui::PartnersClass> {
    Q_OBJECT
public:
    const char* GetName() override { return "Partners"; }
};
