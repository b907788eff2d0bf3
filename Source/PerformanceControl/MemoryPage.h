#pragma once
// What the two "Memory" pages share: each shows fields of the memory controller's
// timing and configuration records as lists of the values the controller allows.
// Apply writes the whole timing record, then the whole configuration record, with
// the fields the user changed, stores what it wrote, and reads both back; with no
// change of the user's it writes and stores nothing. Discard reads both back, and
// so does showing a page that holds no change of the user's.
// Failures are logged under the page's own class name.
#include "PerformanceControl/MemoryRecordFields.h"
#include "Shell/IQVXWidget.h"

class CConfigParser;

class CMemoryPage : public IQVXWidget {
public:
    bool UnInit() override { return true; }
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Memory"; }

protected:
    // pszClass: the page's class, for its log lines ("QDDR2MC").
    explicit CMemoryPage(const char* pszClass) : m_pszClass(pszClass) {}

    // The controller may have changed behind a hidden page (another page's Apply, a
    // profile, Auto Clock): shown again without a change of the user's, the page
    // shows what the controller holds now.
    void showEvent(QShowEvent* event) override;

    bool ReadMemoryTiming();
    bool ReadMemoryConfig();
    bool WriteMemoryTiming();
    bool WriteMemoryConfig();
    // Every box but the fixed one marks the settings modified from now on.
    void _ConnectSignals(QComboBox* pFixedBox);

    // The shown fields of each record, in the order their profile items are stored.
    virtual memory::Fields _TimingFields() const = 0;
    virtual memory::Fields _ConfigFields() const = 0;
    // Store the profile items of what a write handed to the controller (the record,
    // not the boxes: a box without a choice stores the value the controller kept);
    // false when an item or the file could not be written.
    virtual bool SaveMemoryTimingProfile(CConfigParser* pStore, const MEMORY_TIMING& timing) = 0;
    virtual bool SaveMemoryConfigProfile(CConfigParser* pStore, const MEMORY_CONFIG& config) = 0;

private:
    template <class Record>
    using SaveProfile = bool (CMemoryPage::*)(CConfigParser*, const Record&);
    // Reads the whole record, overwrites the shown fields, writes it, then stores
    // what was written; pszMethod names the operation in its log line.
    template <class Record>
    bool _WriteRecord(const memory::Fields& fields, SaveProfile<Record> save, const char* pszMethod);

    // Connected by hand (a plain function, so the form's connect-by-name does not
    // look for an object named "valueChanged").
    void on_valueChanged(int index);
    // One check line ("LOG_PROCESS_ERROR(...) at line ... in Class::method").
    void _LogFailure(const char* pszKind, const char* pszExpression, int nLine, const char* pszMethod) const;
    // A box whose choice the user changed since the last read.
    bool _HoldsUserChange() const;

    const char* m_pszClass;
    memory::ReadChoices m_ReadChoices;   // what the last reads selected
    bool m_bStoreFailed = false;   // a profile item or file could not be written during this Apply
};
