#pragma once
// A local socket file in a folder, listened on or connected to. Its address holds at
// most 107 bytes of path, and this user's runtime folder may lie deeper than that (a
// long temp folder, a checkout deep in a home folder): the folder is held open, and a
// path too long for the address is reached through that descriptor instead,
// /proc/self/fd/N/NAME, which is always short.
#include <QByteArray>
#include <QString>

#include <sys/socket.h>
#include <sys/un.h>

namespace plat {

class SocketFile {
public:
    SocketFile(const QString& folder, const char* name);
    ~SocketFile();
    SocketFile(const SocketFile&) = delete;
    SocketFile& operator=(const SocketFile&) = delete;

    // The socket file's own path, as messages name it.
    QString Path() const { return m_path; }
    // A listening socket bound here, open to this user only (a file left at the name
    // is replaced); -1 when there is none, and Error() says why.
    int Listen();
    // A socket connected to whoever listens here, waiting at most timeoutMs for room
    // in its queue; -1 when nobody does.
    int Connect(int timeoutMs);
    // Removes the socket file.
    void Remove();
    QString Error() const { return m_error; }

private:
    bool Fail(const QString& what, int error);

    QString m_path;
    QByteArray m_name;
    int m_folderFd = -1;
    sockaddr_un m_address {};
    socklen_t m_length = 0;
    QString m_error;
};

} // namespace plat
