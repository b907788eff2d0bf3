#pragma once
// "Memory" for DDR controllers: twenty timing and configuration fields as lists of
// the values the controller allows. Apply writes the whole timing record, then
// the whole configuration record, stores what it wrote, and reads both back.
#include "PerformanceControl/MemoryRecordFields.h"
#include "Shell/IQVXWidget.h"
#include "ui_DDRMC.h"

class CConfigParser;

class QDDRMC : public IQVXWidget {
    Q_OBJECT
public:
    QDDRMC();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Memory"; }

    // The form, for tests and screenshots.
    const Ui::DDRMCClass& Form() const { return ui; }

private:
    // Connected by hand in _ConnectSignals (a plain function, so the form's
    // connect-by-name does not look for an object named "valueChanged").
    void on_valueChanged(int index);

    bool ReadMemoryTiming();
    bool ReadMemoryConfig();
    bool WriteMemoryTiming();
    bool WriteMemoryConfig();
    void _ConnectSignals();
    // Stores what a write handed to the controller, one saved item per field.
    void _Store(CConfigParser* pStore, const memory::Fields& fields, const void* record);

    // The shown fields, in the order their profile items are stored.
    memory::Fields _TimingFields() const;
    memory::Fields _ConfigFields() const;

    Ui::DDRMCClass ui;
    bool m_bStoreFailed = false;   // a profile item could not be written during this Apply
};
