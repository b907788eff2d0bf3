#pragma once
// Which pages hold a side's memory, as the system reports it (smaps). Half a cache in
// small pages meets the cache sets as those pages happened to fall, in large pages
// alike in every run: each pair says what both of its sides had.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace bench {

struct PAGE_BACKING {
    qint64 nBytes = -1;       // anonymous memory looked at; -1: not known
    qint64 nLargeBytes = 0;   // of it, in large pages
};

// The mapping of this process that holds address.
PAGE_BACKING BackingAt(const void* address);
// All anonymous memory of process pid: a tool's buffer is all it has in large pages, if any.
PAGE_BACKING BackingOfProcess(qint64 pid);
// The same from the texts of smaps and smaps_rollup.
PAGE_BACKING BackingInSmaps(const QByteArray& smaps, quintptr address);
PAGE_BACKING BackingInRollup(const QByteArray& rollup);
// "small pages", "large pages", "512 of 2048 KiB in large pages" or "unknown".
QString Describe(const PAGE_BACKING& backing);

} // namespace bench
