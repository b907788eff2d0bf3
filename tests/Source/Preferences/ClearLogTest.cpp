// Clear Log: everything inside the log folder goes, nothing outside it, and what
// cannot be removed is logged and reported.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "Preferences/SettingsPage.h"
#include "Source/Preferences/PreferencesFixture.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

using test::LogCount;
using test::ReadFile;
using test::WriteFile;

namespace {

class ClearLogTest : public test::PreferencesTest {
protected:
    void TearDown() override
    {
        QSettingsPage::SetLogRemoverForTests({});
        PreferencesTest::TearDown();
    }

    QSettingsPage* OpenSettings()
    {
        return Open() ? Page<QSettingsPage>("Settings") : nullptr;
    }

    static bool Link(const QString& target, const QString& link) { return QFile::link(target, link); }
};

} // namespace

TEST_F(ClearLogTest, EmptiesTheLogFolderWithoutFollowingLinksOut)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    ASSERT_TRUE(WriteFile(QStringLiteral("Logs/QVX/2026_12_10/QVX_1.log"), "line\n"));
    ASSERT_TRUE(WriteFile(QStringLiteral("Logs/old/deeper/b.log"), "line\n"));
    ASSERT_TRUE(WriteFile(QStringLiteral("Logs/.hidden"), "x"));
    ASSERT_TRUE(WriteFile(QStringLiteral("outside/keep.txt"), "keep"));
    ASSERT_TRUE(WriteFile(QStringLiteral("outside/sub/keep.txt"), "keep"));
    const QString outside = QDir(QStringLiteral("outside")).absolutePath();
    ASSERT_TRUE(Link(outside, QStringLiteral("Logs/linked-folder")));
    ASSERT_TRUE(Link(outside + QStringLiteral("/keep.txt"), QStringLiteral("Logs/old/linked-file")));
    ASSERT_TRUE(Link(QStringLiteral("/nowhere/at/all"), QStringLiteral("Logs/broken-link")));

    page->Form().pushButton->click();
    EXPECT_FALSE(QFileInfo(QStringLiteral("Logs")).exists());
    EXPECT_FALSE(QFileInfo(QStringLiteral("Logs")).isSymLink());
    EXPECT_EQ(ReadFile(QStringLiteral("outside/keep.txt")), QByteArray("keep"));
    EXPECT_EQ(ReadFile(QStringLiteral("outside/sub/keep.txt")), QByteArray("keep"));
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_EQ(LogCount("LOG_CHECK_ERROR"), 0u);

    // A log folder that is itself a link: the link goes, its target stays.
    ASSERT_TRUE(Link(outside, QStringLiteral("Logs")));
    page->Form().pushButton->click();
    EXPECT_FALSE(QFileInfo(QStringLiteral("Logs")).isSymLink());
    EXPECT_EQ(ReadFile(QStringLiteral("outside/keep.txt")), QByteArray("keep"));

    // Nothing to clear is no failure.
    page->Form().pushButton->click();
    EXPECT_TRUE(answers.Messages().empty());
}

TEST_F(ClearLogTest, AFileThatCannotBeRemovedIsLoggedWithEveryFolderAboveItAndReported)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    ASSERT_TRUE(WriteFile(QStringLiteral("Logs/old/deeper/stuck.log"), "line\n"));
    ASSERT_TRUE(WriteFile(QStringLiteral("Logs/old/other.log"), "line\n"));
    ASSERT_TRUE(WriteFile(QStringLiteral("Logs/QVX/today.log"), "line\n"));
    QSettingsPage::SetLogRemoverForTests([](const QString& path, bool bFolder) {
        if (path.endsWith(QLatin1String("stuck.log")))
            return false;
        return bFolder ? QDir().rmdir(path) : QFile::remove(path);
    });
    test::LogCapture::Instance().Clear();
    page->Form().pushButton->click();

    // stuck.log, deeper, old and Logs itself.
    EXPECT_EQ(LogCount("LOG_CHECK_ERROR(bRetCode)"), 4u);
    // The page's lines name it as the class it stands for.
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(bRetCode)", "QSettings::_RemoveDir"), 3u);
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(bRetCode)", "QSettings::on_pushButton_clicked"), 1u);
    EXPECT_TRUE(QFile::exists(QStringLiteral("Logs/old/deeper/stuck.log")));
    EXPECT_FALSE(QFile::exists(QStringLiteral("Logs/old/other.log")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("Logs/QVX")));
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].text, QStringLiteral("Some log files could not be deleted."));
}

TEST_F(ClearLogTest, TheLogGoesOnInANewFileAfterClearing)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    ASSERT_TRUE(g_Log.Init("QVX", ltError | ltWarning | ltInfo, CLog::LOG_OUTPUT_FILE, 10000));
    g_Log.Write(ltInfo, "before clearing\n");
    ASSERT_TRUE(QFileInfo::exists(QStringLiteral("Logs/QVX")));
    page->Form().pushButton->click();
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("Logs")));

    g_Log.Write(ltInfo, "after clearing\n");
    QByteArray written;
    QDirIterator it(QStringLiteral("Logs"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        written += ReadFile(it.next());
    EXPECT_TRUE(written.contains("after clearing"));
    EXPECT_FALSE(written.contains("before clearing"));
}
