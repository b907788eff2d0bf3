#include "ProcessCost.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace bench {

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "voluntary_ctxt_switches:	1234" and its involuntary twin of one thread; -1 when gone.
qint64 ThreadSwitches(const QString& statusPath)
{
    const QByteArray status = ReadAll(statusPath);
    if (status.isEmpty())
        return -1;
    qint64 n = 0;
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
            n += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    return n;
}

// User and system time of the whole process, ended threads included; -1 when gone
// (or ended and not yet waited for).
double ProcessCpuSeconds(const QString& dir)
{
    // The command name in parentheses may hold blanks: the fields count from after it.
    const QByteArray stat = ReadAll(dir + QStringLiteral("/stat"));
    const qsizetype end = stat.lastIndexOf(')');
    const QList<QByteArray> fields = end < 0 ? QList<QByteArray>() : stat.mid(end + 2).split(' ');
    // The state is field 3 of the line; utime and stime are fields 14 and 15.
    if (fields.size() < 13 || fields.at(0) == "Z" || fields.at(0) == "X")
        return -1;
    return static_cast<double>(fields.at(11).toLongLong() + fields.at(12).toLongLong())
           / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

bool CProcessWatch::Sample()
{
    const QString dir = QStringLiteral("/proc/%1").arg(m_pid);
    const double cpu = ProcessCpuSeconds(dir);
    if (cpu < 0) {
        m_bGone = true;
        return false;
    }
    if (m_nSamples++ == 0)
        m_dCpuFirst = cpu;
    m_dCpuNow = cpu;
    for (const QString& tid : QDir(dir + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const qint64 n = ThreadSwitches(dir + QStringLiteral("/task/") + tid + QStringLiteral("/status"));
        if (n < 0)
            continue;
        const auto it = m_threads.find(tid);
        if (it == m_threads.end())
            m_threads.insert(tid, {m_nSamples == 1 ? n : 0, n});
        else
            it->last = n;
    }
    return true;
}

qint64 CProcessWatch::Switches() const
{
    qint64 n = 0;
    for (const THREAD& thread : m_threads)
        n += thread.last - thread.first;
    return n;
}

} // namespace bench
