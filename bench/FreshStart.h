#pragma once
// Starts a program as on its first start on this computer: a home of its own
// (settings, caches, runtime folder all new and empty), on a given X display,
// and ends it again. The same for every program the bench compares.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>

namespace bench {

class FreshStart {
public:
    // Nothing runs yet; IsValid says whether the temporary home could be made.
    explicit FreshStart(const QString& display);
    ~FreshStart();

    bool IsValid() const { return m_home.isValid(); }
    // Keeps all the program writes (both channels) in OutputPath() instead of
    // dropping its output; call before Start.
    void KeepOutput();
    QString OutputPath() const { return m_home.filePath(QStringLiteral("output.txt")); }
    // A program that keeps its settings beside itself (ours) is linked into a folder of
    // this start, with the folders it reads but none of the settings files it wrote
    // earlier; returns the path to start. Other programs are started where they are.
    QString OwnFolderCopy(const QString& program);
    // Starts it; startNs (CLOCK_MONOTONIC) is taken just before. False when it did not start.
    bool Start(const QString& program, const QStringList& arguments, int64_t* startNs);
    qint64 Pid() const { return m_process.processId(); }
    // Asks it to end (SIGTERM), and kills it when it has not ended within a few seconds.
    void End();

private:
    QString m_display;
    QTemporaryDir m_home;
    QProcess m_process;
};

} // namespace bench
