#pragma once
// Counts how often a file is written anew, from the kernel's notes on its folder:
// an atomic save (QSaveFile) makes the new file whole under another name and then
// puts it in place, so each save of the file is one arrival of its name there.
#include <QString>

namespace test {

class FileSaves {
public:
    explicit FileSaves(const QString& path);
    ~FileSaves();
    FileSaves(const FileSaves&) = delete;
    FileSaves& operator=(const FileSaves&) = delete;

    // The saves since construction, or since the last call.
    int Take();

private:
    int m_fd = -1;
    QString m_name;
};

} // namespace test
