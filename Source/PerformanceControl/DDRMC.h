#pragma once
// "Memory" for DDR controllers: twenty timing and configuration fields, among them
// the read-to-write delay, the write CAS latency and the read preamble that the
// DDR2/DDR3 page does not show.
#include "PerformanceControl/MemoryPage.h"
#include "ui_DDRMC.h"

class QDDRMC : public CMemoryPage {
    Q_OBJECT
public:
    QDDRMC();

    bool Init() override;
    // Whether the board's memory controller is of this page's type; true without a
    // controller, whose absence Init reports.
    static bool SuitsBoard();

    // The form, for tests and screenshots.
    const Ui::DDRMCClass& Form() const { return ui; }

protected:
    memory::Fields _TimingFields() const override;
    memory::Fields _ConfigFields() const override;
    // Every item saves the file, so the file on disk is always complete.
    bool SaveMemoryTimingProfile(CConfigParser* pStore, const MEMORY_TIMING& timing) override;
    bool SaveMemoryConfigProfile(CConfigParser* pStore, const MEMORY_CONFIG& config) override;

private:
    Ui::DDRMCClass ui;
};
