#pragma once
// "Auto Clock": runs the device library's tuner on a thread of its own, keeps the
// south bridge pulsed while the search lasts, and polls the tuner once a second
// for its state and progress. Beside that it shows live processor and board
// values, the last search's result, and two buttons on the stored results: Reset
// (start clocks back) and Apply Settings (the stored result applied).
#include <memory>

#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "Testing/KeepAliveThread.h"
#include "Testing/TuneThread.h"
#include "ui_AutoTune.h"

class ICPUDevice;
class QTimer;

class QAutoTune : public IQVXWidget {
    Q_OBJECT
public:
    QAutoTune();
    ~QAutoTune() override;

    bool Init() override;
    bool UnInit() override;
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Auto Clock"; }

    // This page's own search runs, or was aborted and has not ended yet (it then
    // also holds g_bTestRunning).
    bool IsRunning() const { return m_bRunning; }
    CTuneThread& TuneThread() { return *m_pTuneThread; }

protected slots:
    // The page's own one-second tick: live values while visible.
    void timerEvent(QTimerEvent* event) override;

protected:
    // The live values stop with the page hidden; a search's status poll goes on.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void on_btnAutoTune_clicked();
    void on_btnReset_clicked();
    void on_btnSave_clicked();
    // The one-second status poll while a search runs.
    void UpdateResults();

private:
    void StartStop();
    void Stop(bool bAbort);
    void _Start();
    void _SetIdle();
    void _RefuseWhileStopping();
    void _ShowLastResult();
    static double _StartMultiplier(unsigned long nCore, ICPUDevice* pCore);

    Ui::autotuneClass ui;
    // Held apart from the page, so that its destruction shows under its own name in
    // ThreadSanitizer's reports (QThread's finishing is invisible to the tool).
    const std::unique_ptr<CTuneThread> m_pTuneThread = std::make_unique<CTuneThread>();
    QTimer* m_pStatusTimer = nullptr;
    std::unique_ptr<CKeepAliveThread> m_hKeepAliveThread;   // null when none runs
    bool m_bRunning = false;
    bool m_bStopping = false;      // aborted, and its search has not ended yet
    bool m_bSawTuning = false;     // this run's tuner has reported that it tunes
    bool m_bWasVisible = false;    // the page was visible at the previous tick
    CShownTimer m_Refresh{this};
};
