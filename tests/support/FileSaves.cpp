#include "support/FileSaves.h"

#include <QFile>
#include <QFileInfo>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

namespace test {

FileSaves::FileSaves(const QString& path) : m_name(QFileInfo(path).fileName())
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    EXPECT_GE(m_fd, 0) << std::strerror(errno);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    // Created under its name (the first save) or renamed to it (every later one).
    if (m_fd >= 0) {
        EXPECT_GE(inotify_add_watch(m_fd, folder.constData(), IN_CREATE | IN_MOVED_TO), 0) << std::strerror(errno);
    }
}

FileSaves::~FileSaves()
{
    if (m_fd >= 0)
        close(m_fd);
}

int FileSaves::Take()
{
    int nSaves = 0;
    alignas(inotify_event) char buffer[16 * 1024];
    while (m_fd >= 0) {
        const ssize_t nRead = read(m_fd, buffer, sizeof(buffer));
        if (nRead < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            ADD_FAILURE() << std::strerror(errno);
        if (nRead <= 0)
            break;
        for (ssize_t offset = 0; offset < nRead;) {
            const auto* pEvent = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (pEvent->len > 0 && QFile::decodeName(pEvent->name) == m_name)
                ++nSaves;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
        }
    }
    return nSaves;
}

} // namespace test
