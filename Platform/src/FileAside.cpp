#include "Platform/FileAside.h"

#include <QDateTime>
#include <QFile>

#include <cstdio>
#include <sys/stat.h>

#include "VirtualBoard/Journal.h"

namespace plat {

namespace {

DeferredLog* g_pDeferredLog = nullptr;
constexpr int kAsideNames = 9;

void WriteLine(int type, const QString& text)
{
    const QByteArray line = text.toLocal8Bit();
    vb::Report(type, "%s", line.constData());
    DeferredLog::Keep(type, line);
}

QString AsideName(const QString& path, int n)
{
    return path + QStringLiteral(".bad") + (n > 1 ? QString::number(n) : QString());
}

bool Older(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

} // namespace

DeferredLog::DeferredLog() { g_pDeferredLog = this; }

DeferredLog::~DeferredLog()
{
    if (g_pDeferredLog == this)
        g_pDeferredLog = nullptr;
}

void DeferredLog::Write()
{
    if (g_pDeferredLog == this)
        g_pDeferredLog = nullptr;
    if (const vb::ReportSink sink = vb::GetReportSink())
        for (const auto& [type, line] : m_Lines)
            sink(type, line.constData());
    m_Lines.clear();
}

void DeferredLog::Keep(int type, const QByteArray& line)
{
    if (g_pDeferredLog)
        g_pDeferredLog->m_Lines.emplace_back(type, line);
}

bool SetFileAside(const QString& path, QString* keptAs, QDateTime* gaveWay)
{
    if (keptAs)
        keptAs->clear();
    if (gaveWay)
        *gaveWay = QDateTime();
    if (!QFile::exists(path))
        return true;
    QString oldest;
    timespec oldestTime{};
    bool bFreeName = false;
    for (int n = 1; n <= kAsideNames; ++n) {
        const QString aside = AsideName(path, n);
        struct stat st {};
        if (::lstat(QFile::encodeName(aside).constData(), &st) != 0) {
            bFreeName = true;
            if (QFile::rename(path, aside)) {
                if (keptAs)
                    *keptAs = aside;
                WriteLine(vb::rtWarning, QStringLiteral("%1 could not be read; it was kept as %2.").arg(path, aside));
                return true;
            }
            continue;
        }
        if (!S_ISDIR(st.st_mode) && (oldest.isEmpty() || Older(st.st_mtim, oldestTime))) {
            oldest = aside;
            oldestTime = st.st_mtim;
        }
    }
    // Every name is taken: the oldest copy gives way. rename() replaces it in one step,
    // so a failure loses nothing.
    if (!bFreeName && !oldest.isEmpty()
        && std::rename(QFile::encodeName(path).constData(), QFile::encodeName(oldest).constData()) == 0) {
        if (keptAs)
            *keptAs = oldest;
        const QDateTime oldestChanged = QDateTime::fromSecsSinceEpoch(oldestTime.tv_sec);
        if (gaveWay)
            *gaveWay = oldestChanged;
        const QString changed = oldestChanged.toString(Qt::ISODate);
        WriteLine(vb::rtWarning, QStringLiteral("%1 could not be read; it was kept as %2, where the oldest copy kept "
                                                "before (last changed %3) gave way.").arg(path, oldest, changed));
        return true;
    }
    WriteLine(vb::rtError, QStringLiteral("%1 could not be read, and could not be set aside; it is left as it is, and "
                                          "nothing is saved over it.").arg(path));
    return false;
}

} // namespace plat
