#pragma once
// "Benchmark": integer and floating-point computation, memory and cache speed,
// measured on worker threads while a 500 ms timer shows activity and polls for the
// end; one score per item and, when all four ran, a total. The item choice is kept
// in the registry key "BenchmarkMRU".
#include <QTimer>

#include <memory>
#include <vector>

#include "Shell/IQVXWidget.h"
#include "Testing/BenchmarkThreads.h"
#include "ui_PerformanceTest.h"

// True while a run of the Benchmark page is in progress (GUI thread only).
extern bool g_bBenchmarkRunning;

class QPerformanceTest : public IQVXWidget {
    Q_OBJECT
public:
    QPerformanceTest();
    ~QPerformanceTest() override;

    bool Init() override;
    bool UnInit() override;
    bool Apply() override { return WriteSettings(); }
    bool Discard() override { return ReadSettings(); }
    const char* GetName() override { return "Benchmark"; }

    // For the tests: the threads of the page.
    const CPerformanceTestThread& MainThread() const { return m_PerformanceTestThread; }
    size_t LoadThreadCount() const { return m_pCalcPIThread.size(); }
    bool AnyThreadBusy() const;

private slots:
    void on_checkBoxCache_stateChanged(int nState);
    void on_checkBoxMemory_stateChanged(int nState);
    void on_checkBoxFP_stateChanged(int nState);
    void on_checkBoxInteger_stateChanged(int nState);
    void on_btnRun_clicked();
    void UpdateProgressBar();
    void UpdateUI();
    bool ReadSettings();
    bool WriteSettings();

private:
    void _CountCheckBox(int nState);
    void _StartTest();
    void _FinishTest(bool bAborted);
    // Stops every thread and waits for each; false when one has not ended yet.
    bool _StopThreads();
    void _SetCheckBoxesEnabled(bool bEnabled);
    void _SetRunning(bool bRunning);

    Ui::PerformanceTestClass ui;
    CMemoryTestThread m_MemoryTestThread;
    CPerformanceTestThread m_PerformanceTestThread;
    std::vector<std::unique_ptr<CalcPIThread>> m_pCalcPIThread;   // one per further processor
    unsigned m_nCPUCount = 1;
    int m_nProgress = 0;
    std::unique_ptr<QTimer> m_pTimer;
    int m_nCheckedCount = 4;
    bool m_bRunning = false;           // this page's run is in progress (g_bBenchmarkRunning too)
    bool m_bRunAllItems = false;       // the last run measured all four items
    bool m_bReadPending = false;       // a Discard came during a run: read when it ends
};
