#pragma once
// A file the program cannot use is set aside (renamed), never deleted or saved over:
// the settings files and the registry hives share this.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <utility>
#include <vector>

namespace plat {

// Renames the file to the first free one of "<path>.bad", "<path>.bad2" ...
// "<path>.bad9", so copies set aside before stay. Only when every name is taken does
// the oldest copy (by its last change; a folder never) give way. One log line says
// where the file went and which copy gave way. False when the file stays where it
// is: then nothing may be saved over it. True when there is no such file. keptAs,
// when given, receives the copy's name (empty when nothing was moved); gaveWay, the
// last change of the copy that gave way to it (invalid when none did).
bool SetFileAside(const QString& path, QString* keptAs = nullptr, QDateTime* gaveWay = nullptr);

// While one lives, the lines about files set aside are also kept, to be written once
// the log is open (the preferences are read before it is). GUI thread only.
class DeferredLog {
public:
    DeferredLog();
    ~DeferredLog();
    DeferredLog(const DeferredLog&) = delete;
    DeferredLog& operator=(const DeferredLog&) = delete;
    // Writes the kept lines to the log and keeps no more.
    void Write();
    // Used by SetFileAside: the one kept now, if any, takes the line.
    static void Keep(int type, const QByteArray& line);
private:
    std::vector<std::pair<int, QByteArray>> m_Lines;
};

} // namespace plat
