#pragma once
// A temporary as a save cut short leaves it beside the file it was saving.
#include <QDateTime>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace test {

// Writes path, last written an hour before now, or with bWrittenSince an hour after
// (a save still running in another process when the program starts).
inline void PlantLeftover(const QString& path, bool bWrittenSince = false)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_TRUE(file.write("half a save") > 0 && file.flush());   // before the time, which a later write would change
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(bWrittenSince ? 3600 : -3600),
                                 QFileDevice::FileModificationTime));
}

} // namespace test
