#pragma once
// What a running process costs while it is watched, as the kernel counts it under
// /proc: processor time and wakeups (the context switches of all its threads).
// Threads come and go (a thread pool ends its idle threads): sampled once a
// second, a thread's switches are counted up to its last sample.
#include <QMap>
#include <QString>
#include <QtGlobal>

namespace bench {

class CProcessWatch {
public:
    explicit CProcessWatch(qint64 pid) : m_pid(pid) {}

    // Reads the process now; false when it is gone. The first sample starts the span.
    bool Sample();
    // Every sample so far found it running.
    bool Running() const { return m_nSamples > 0 && !m_bGone; }
    double CpuSeconds() const { return m_dCpuNow - m_dCpuFirst; }
    qint64 Switches() const;

private:
    struct THREAD {
        qint64 first = 0;   // at the first sample that saw it (0 for a thread born since)
        qint64 last = 0;
    };
    qint64 m_pid;
    int m_nSamples = 0;
    bool m_bGone = false;
    double m_dCpuFirst = 0, m_dCpuNow = 0;
    QMap<QString, THREAD> m_threads;
};

} // namespace bench
