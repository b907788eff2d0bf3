#pragma once
// One running program per user: a lock file in the user's runtime folder, held with
// a kernel file lock for the program's whole run (a second start cannot take it,
// however close together the two starts are, and the lock goes with the process
// that held it, whatever the file holds), and a local socket on which the running
// program listens, so a second start can ask it to come to the front.
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

namespace plat {

class SocketFile;

class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The user's runtime folder of the program (plat::RuntimeDir); empty when none can be trusted.
    static QString RuntimeFolder();

    // Asks a running program of this user to come to the front; true when one took the request.
    static bool RaiseRunning(int timeoutMs = 1000);
    // Takes the lock without waiting. False when another running program holds it
    // (ErrorString() is then empty) or when it cannot be taken at all (ErrorString()
    // says why).
    bool TryLock();
    bool IsLocked() const;
    QString ErrorString() const { return m_error; }
    // Listens for "raise" requests; onRaise runs on the thread of the event loop.
    // False when this program does not hold the lock, or cannot listen (ErrorString()
    // then says why).
    bool Listen(std::function<void()> onRaise);
    // Stops listening and releases the lock.
    void Release();

private:
    void StopListening();

    int m_lockFd = -1;
    QString m_error;
    // The socket listened on; it keeps the runtime folder open while the server listens.
    std::unique_ptr<SocketFile> m_socket;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace plat
