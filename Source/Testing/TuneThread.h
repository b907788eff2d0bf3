#pragma once
// The tuning thread of an Auto Clock run: it owns the device library's tuner and
// runs its search, which returns when the search has ended.
#include <QThread>

#include <atomic>
#include <climits>

class CSystemTune;

class CTuneThread : public QThread {
    Q_OBJECT
public:
    explicit CTuneThread(QObject* parent = nullptr);
    // Never destroys a running thread: a run still going is aborted and waited for.
    ~CTuneThread() override;

    CSystemTune* Tune() const { return m_pTune; }

    // Starts a run. Whether this run's search has returned, so that a status the
    // tuner still holds from an earlier run is not taken for this one's.
    void StartRun();
    bool HasReturned() const { return m_bReturned.load(); }
    // Waits up to ms for the thread to end. On true, all the run did comes before
    // what the caller does next, also for tools that cannot see into QThread.
    bool Join(unsigned long ms = ULONG_MAX);
    // Aborts the run and joins the thread as Join does, allowing it ms of the
    // machine's clock (ULONG_MAX: as long as it takes).
    bool AbortAndJoin(unsigned long ms = ULONG_MAX);

protected:
    void run() override;

private:
    CSystemTune* m_pTune = nullptr;
    std::atomic<bool> m_bReturned{false};
};
