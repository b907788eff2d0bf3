#pragma once
// "Stability Test": one row per stability case of the device library's test centre
// (CPU and FPU test of each core, then the Calculation and MCA tests). The user
// ticks cases, picks a duration and starts; once a second the page counts down,
// shows each error the centre reports (an error ends the run) and each case's
// minimum, maximum and current result with a fill bar.
#include <QBasicTimer>

#include <map>

#include "Shell/IQVXWidget.h"
#include "ui_StabilityTest.h"

class QCheckBox;
class QLabel;
class QStatusLabel;
class IStabilityTestCase;
struct ERROR_MESSAGE;

class QStabilityTest : public IQVXWidget {
    Q_OBJECT
public:
    // The widgets of one row; they belong to the form's widget tree.
    struct TEST_CASE_ROW {
        QCheckBox* pCheckbox = nullptr;
        QLabel* pMinLabel = nullptr;
        QLabel* pMaxLabel = nullptr;
        QLabel* pCurrentLabel = nullptr;
        QStatusLabel* pStatusLabel = nullptr;
    };

    QStabilityTest();
    ~QStabilityTest() override;

    bool Init() override;
    bool UnInit() override;
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Stability Test"; }

    // "1 Day 2 Hours 3 Minutes ": each part that is not 0, each ending in a blank.
    static QString FormatDuration(int nMinutes);

    const std::map<IStabilityTestCase*, TEST_CASE_ROW>& Rows() const { return m_TestCaseMap; }
    bool IsRunning() const { return m_RunTimer.isActive(); }

protected:
    // The one-second tick: countdown, errors, results. Its timer runs while a run
    // lasts, shown or hidden (the time or an error ends the run): idle, a tick has
    // nothing to do.
    void timerEvent(QTimerEvent* event) override;

private slots:
    void on_DurationSlider_valueChanged(int value);
    void on_SelectAllBtn_clicked();
    void on_btnRun_clicked();

private:
    // Connected by hand to each row's box (the form has no object of that name).
    void on_stateChanged(int state);
    bool AddCase(IStabilityTestCase* pTestCase, int nCPU);
    void StartTest();
    void StopTest();
    void _SetIdle();
    struct TakenErrors {
        int nShown = 0;        // valid errors shown
        bool bHalted = false;  // an invalid one ended the taking
    };
    // Shows what the centre queued, oldest first. An invalid error is logged (as
    // the check of pszCaller); with bHaltAtInvalid it also ends the taking (the
    // tick then leaves the results queued).
    TakenErrors _TakeErrors(const char* pszCaller, bool bHaltAtInvalid);
    void _TakeResults();
    void _ShowError(const ERROR_MESSAGE& error);
    void _ShowResult(const TEST_CASE_ROW& row, double dValue);
    int _CheckedCount() const;

    Ui::StabilityTestClass ui;
    std::map<IStabilityTestCase*, TEST_CASE_ROW> m_TestCaseMap;
    uint64_t m_uStartTick = 0;   // monotonic milliseconds at the start of the run
    QBasicTimer m_RunTimer;      // runs while this page's own run lasts (it then also holds g_bTestRunning)
};
