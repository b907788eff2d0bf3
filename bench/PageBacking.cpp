#include "PageBacking.h"

#include <QFile>
#include <QList>

#include <algorithm>

namespace bench {

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Adds "Anonymous:" and "AnonHugePages:" lines ("AnonHugePages:  2048 kB") to backing.
void AddField(const QByteArray& line, PAGE_BACKING& backing)
{
    const QList<QByteArray> fields = line.simplified().split(' ');
    const qint64 bytes = fields.value(1).toLongLong() * 1024;
    if (fields.value(0) == "Anonymous:")
        backing.nBytes = std::max<qint64>(backing.nBytes, 0) + bytes;
    else if (fields.value(0) == "AnonHugePages:")
        backing.nLargeBytes += bytes;
}

} // namespace

PAGE_BACKING BackingInSmaps(const QByteArray& smaps, quintptr address)
{
    PAGE_BACKING backing;
    bool bHolds = false;
    for (const QByteArray& line : smaps.split('\n')) {
        // A mapping begins with its range, "7f12a0000000-7f12a0200000 rw-p ..."; its fields follow.
        const QByteArray first = line.left(line.indexOf(' '));
        const QList<QByteArray> ends = first.split('-');
        if (ends.size() == 2 && !first.endsWith(':')) {
            if (bHolds)
                break;
            bHolds = ends.at(0).toULongLong(nullptr, 16) <= address && address < ends.at(1).toULongLong(nullptr, 16);
            continue;
        }
        if (bHolds)
            AddField(line, backing);
    }
    return backing;
}

PAGE_BACKING BackingInRollup(const QByteArray& rollup)
{
    PAGE_BACKING backing;
    for (const QByteArray& line : rollup.split('\n'))
        AddField(line, backing);
    return backing;
}

PAGE_BACKING BackingAt(const void* address)
{
    return BackingInSmaps(ReadAll(QStringLiteral("/proc/self/smaps")), reinterpret_cast<quintptr>(address));
}

PAGE_BACKING BackingOfProcess(qint64 pid)
{
    return pid > 0 ? BackingInRollup(ReadAll(QStringLiteral("/proc/%1/smaps_rollup").arg(pid))) : PAGE_BACKING{};
}

QString Describe(const PAGE_BACKING& backing)
{
    if (backing.nBytes < 0)
        return QStringLiteral("unknown");
    if (backing.nLargeBytes == 0)
        return QStringLiteral("small pages");
    if (backing.nLargeBytes >= backing.nBytes)
        return QStringLiteral("large pages");
    return QStringLiteral("%1 of %2 KiB in large pages").arg(backing.nLargeBytes >> 10).arg(backing.nBytes >> 10);
}

} // namespace bench
