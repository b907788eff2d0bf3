#pragma once
// "Memory" for DDR2 and DDR3 controllers: every timing and configuration field as a
// list of the values the controller allows. Apply writes the whole timing record,
// then the whole configuration record, stores what it wrote, and reads both back.
#include "PerformanceControl/MemoryRecordFields.h"
#include "Shell/IQVXWidget.h"
#include "ui_DDR2MC.h"

class CConfigParser;

class QDDR2MC : public IQVXWidget {
    Q_OBJECT
public:
    QDDR2MC();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Memory"; }

    // The form, for tests and screenshots.
    const Ui::DDR2MCClass& Form() const { return ui; }

private:
    // Connected by hand in _ConnectSignals (a plain function, so the form's
    // connect-by-name does not look for an object named "valueChanged").
    void on_valueChanged(int index);

    bool ReadMemoryTiming();
    bool ReadMemoryConfig();
    bool WriteMemoryTiming();
    bool WriteMemoryConfig();
    // Profile items of what was written: the record, not the boxes, so a box
    // without a choice stores the value the controller kept.
    void SaveMemoryTimingProfile(CConfigParser* pStore, const MEMORY_TIMING& timing);
    void SaveMemoryConfigProfile(CConfigParser* pStore, const MEMORY_CONFIG& config);
    void _ConnectSignals();
    bool _FillLists(IMemoryControllerDevice* pMC);
    void _AddFlagChoices();

    // The shown fields, in the order their profile items are stored.
    memory::Fields _TimingFields() const;
    memory::Fields _ConfigFields() const;

    Ui::DDR2MCClass ui;
    bool m_bStoreFailed = false;   // a profile item or file could not be written during this Apply
};
