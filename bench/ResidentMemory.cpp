#include "ResidentMemory.h"

#include <QFile>

namespace bench {

namespace {

// "VmRSS:     81234 kB" from /proc/self/status, in bytes.
qint64 StatusField(const char* pszName)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray name = QByteArray(pszName) + ':';
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine())
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

} // namespace

qint64 ResidentBytes() { return StatusField("VmRSS"); }

qint64 PeakResidentBytes() { return StatusField("VmHWM"); }

bool ResetPeakResident()
{
    // "5" resets the peak resident size to the current one (Linux 4.0 and later).
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    return file.open(QIODevice::WriteOnly) && file.write("5") == 1;
}

} // namespace bench
