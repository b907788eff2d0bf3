#pragma once
// "Memory" for DDR2 and DDR3 controllers: every timing and configuration field of
// the controller, channel A's and B's drive strengths and the receiver-enable
// delays. The internal controller has no asynchronous-latency field and keeps its
// memory clock; other controllers have no ganged-mode field.
#include "PerformanceControl/MemoryPage.h"
#include "ui_DDR2MC.h"

class QDDR2MC : public CMemoryPage {
    Q_OBJECT
public:
    QDDR2MC();

    bool Init() override;
    // Whether the board's memory controller is of this page's type; true without a
    // controller, whose absence Init reports.
    static bool SuitsBoard();

    // The form, for tests and screenshots.
    const Ui::DDR2MCClass& Form() const { return ui; }

protected:
    memory::Fields _TimingFields() const override;
    memory::Fields _ConfigFields() const override;
    // Timing items save the file each, configuration items once at the end.
    bool SaveMemoryTimingProfile(CConfigParser* pStore, const MEMORY_TIMING& timing) override;
    bool SaveMemoryConfigProfile(CConfigParser* pStore, const MEMORY_CONFIG& config) override;

private:
    bool _FillLists(IMemoryControllerDevice* pMC);
    void _AddFlagChoices();

    Ui::DDR2MCClass ui;
};
