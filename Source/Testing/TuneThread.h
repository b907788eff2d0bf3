#pragma once
// The tuning thread of an Auto Clock run: it owns the device library's tuner and
// runs its search, which returns when the search has ended.
#include <QThread>

#include <atomic>

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

protected:
    void run() override;

private:
    CSystemTune* m_pTune = nullptr;
    std::atomic<bool> m_bReturned{false};
};
