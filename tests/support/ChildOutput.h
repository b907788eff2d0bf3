#pragma once
// A second process of a test program tells its parent where it is by lines on its
// standard output; the parent waits for them on the pipe, not on a clock.
#include <QByteArray>
#include <QProcess>

namespace test {

// Waits for a whole line of the child's output that starts with prefix (seen keeps
// what was read so far); true with the rest of that line in *pRest, when given; false
// when the child ended or stayed silent past boundMs.
inline bool WaitForLine(QProcess& child, QByteArray& seen, const QByteArray& prefix, QByteArray* pRest = nullptr,
                        int boundMs = 30000)
{
    for (;;) {
        for (const QByteArray& line : seen.split('\n'))
            if (line.startsWith(prefix) && seen.contains(line + '\n')) {
                if (pRest)
                    *pRest = line.mid(prefix.size());
                return true;
            }
        if (!child.waitForReadyRead(boundMs))
            return false;
        seen += child.readAllStandardOutput();
    }
}

} // namespace test
