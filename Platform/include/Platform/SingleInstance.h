#pragma once
// One running program per user: a lock file taken atomically in the user's runtime
// folder (a second start cannot take it, however close together the two starts
// are), and a local socket on which the running program listens, so a second
// start can ask it to come to the front.
#include <QString>

#include <functional>
#include <memory>

class QLockFile;
class QLocalServer;

namespace plat {

class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The user's runtime folder of the program (plat::RuntimeDir).
    static QString RuntimeFolder();

    // Asks a running program to come to the front; true when one took the request.
    static bool RaiseRunning(int timeoutMs = 1000);
    // Takes the lock without waiting; false when another process holds it. A lock
    // left behind by a program that died is taken over.
    bool TryLock();
    bool IsLocked() const;
    // Listens for "raise" requests; onRaise runs on the thread of the event loop.
    bool Listen(std::function<void()> onRaise);
    // Stops listening and releases the lock.
    void Release();

private:
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace plat
