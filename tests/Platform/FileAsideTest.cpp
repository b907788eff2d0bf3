// Setting aside a file that cannot be used: copies set aside before are kept, and
// only when every name is taken does the oldest give way.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "Platform/FileAside.h"
#include "Source/Files.h"
#include "support/LogCapture.h"

namespace {

// Sets the last change of a file or folder to the given second.
bool Touch(const QString& path, time_t second)
{
    const timespec times[2] = {{second, 0}, {second, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

QString Aside(int n) { return n == 1 ? QStringLiteral("Store.xml.bad") : QStringLiteral("Store.xml.bad%1").arg(n); }

} // namespace

TEST(FileAsideTest, EachFileSetAsideTakesTheNextFreeName)
{
    ASSERT_TRUE(test::WriteFile(Aside(2), "kept earlier"));
    for (const char* damaged : {"first", "second", "third"}) {
        ASSERT_TRUE(test::WriteFile("Store.xml", damaged));
        EXPECT_TRUE(plat::SetFileAside("Store.xml"));
        EXPECT_FALSE(QFile::exists("Store.xml"));
    }
    EXPECT_EQ(test::ReadFile(Aside(1)), "first");
    EXPECT_EQ(test::ReadFile(Aside(2)), "kept earlier");
    EXPECT_EQ(test::ReadFile(Aside(3)), "second");
    EXPECT_EQ(test::ReadFile(Aside(4)), "third");
    EXPECT_TRUE(test::LogContains("Store.xml could not be read; it was kept as Store.xml.bad4."));
    EXPECT_TRUE(plat::SetFileAside("Store.xml")) << "no file: nothing to set aside";
}

TEST(FileAsideTest, WhenEveryNameIsTakenTheOldestCopyGivesWay)
{
    // Copies changed at 1000 + n seconds; the fifth is the oldest file, a folder older still.
    for (int n = 1; n <= 9; ++n) {
        ASSERT_TRUE(n == 3 ? QDir().mkdir(Aside(n)) : test::WriteFile(Aside(n), QByteArray::number(n)));
        ASSERT_TRUE(Touch(Aside(n), n == 5 ? 900 : n == 3 ? 800 : 1000 + n));
    }
    ASSERT_TRUE(test::WriteFile("Store.xml", "newest"));
    test::LogCapture::Instance().Clear();
    EXPECT_TRUE(plat::SetFileAside("Store.xml"));
    EXPECT_EQ(test::ReadFile(Aside(5)), "newest");
    EXPECT_TRUE(QFileInfo(Aside(3)).isDir()) << "a folder never gives way";
    for (int n : {1, 2, 4, 6, 7, 8, 9})
        EXPECT_EQ(test::ReadFile(Aside(n)), QByteArray::number(n));
    const QString changed = QDateTime::fromSecsSinceEpoch(900).toString(Qt::ISODate);
    EXPECT_TRUE(test::LogContains(("Store.xml could not be read; it was kept as Store.xml.bad5, where the oldest copy "
                                   "kept before (last changed " + changed + ") gave way.").toStdString()));
}
