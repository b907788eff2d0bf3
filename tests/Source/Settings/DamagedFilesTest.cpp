// What the three settings stores do with a file they cannot use: it is set aside,
// never lost, never saved over; and what they write is nobody else's to change.
#include <QDir>
#include <QFile>

#include <functional>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Settings/ConfigParser.h"
#include "Settings/MiscSettings.h"
#include "Settings/PageSettings.h"
#include "Source/Files.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"

namespace {

// One store: its file, its root element, and a load followed by a save.
struct Store {
    const char* file;
    const char* root;
    // Loads the file as the program does, then saves; the result of the save.
    std::function<bool()> loadAndSave;
};

const Store kStores[] = {
    {"Preference.xml", "Preference", [] { CMiscSettings s; s.Load(); return s.Save(); }},
    {"PageSettings.xml", "PageList", [] { CPageSettings p; p.Load(); return p.Save(); }},
    {"QVXConfig.xml", "Configuration", [] { CConfigParser store(u"QVXConfig.xml"); return store.Save(); }},
};

QByteArray Nested(const char* root, int depth)
{
    return "<" + QByteArray(root) + ">" + QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth) + "</"
           + root + ">";
}

} // namespace

TEST(DamagedFilesTest, AFileNestedFarDeeperThanAnyStoreWritesIsSetAsideAsDamaged)
{
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        const QByteArray deep = Nested(s.root, 5000);
        ASSERT_TRUE(test::WriteFile(s.file, deep));
        EXPECT_TRUE(s.loadAndSave());
        EXPECT_EQ(test::ReadFile(QString(s.file) + ".bad"), deep);
        EXPECT_FALSE(test::ReadFile(s.file).contains("<a>"));
    }
    // The depth the stores themselves write is read as it stands.
    ASSERT_TRUE(test::WriteFile("Preference.xml", Nested("Preference", 15)));
    CMiscSettings settings;
    settings.Load();
    EXPECT_EQ(test::ReadFile("Preference.xml"), Nested("Preference", 15));
}

TEST(DamagedFilesTest, ADamagedFileThatCannotTakeItsAsideNameTakesTheNextFreeOne)
{
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        ASSERT_TRUE(QDir().mkdir(QString(s.file) + ".bad"));
        ASSERT_TRUE(test::WriteFile(QString(s.file) + ".bad2", "an older damaged copy"));
        ASSERT_TRUE(test::WriteFile(s.file, "<half"));
        EXPECT_TRUE(s.loadAndSave());
        EXPECT_EQ(test::ReadFile(QString(s.file) + ".bad2"), "an older damaged copy");
        EXPECT_EQ(test::ReadFile(QString(s.file) + ".bad3"), "<half");
        EXPECT_TRUE(test::LogContains(std::string(s.file) + ".bad3."));
    }
}

TEST(DamagedFilesTest, AFileDamagedAtTwoStartsKeepsBothCopies)
{
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        for (const char* damaged : {"<first", "<second"}) {
            ASSERT_TRUE(test::WriteFile(s.file, damaged));
            EXPECT_TRUE(s.loadAndSave());
        }
        EXPECT_EQ(test::ReadFile(QString(s.file) + ".bad"), "<first");
        EXPECT_EQ(test::ReadFile(QString(s.file) + ".bad2"), "<second");
    }
}

TEST(DamagedFilesTest, ADamagedFileThatCannotBeSetAsideIsNeverSavedOver)
{
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        for (const char* name : {".bad", ".bad2", ".bad3", ".bad4", ".bad5", ".bad6", ".bad7", ".bad8", ".bad9"})
            ASSERT_TRUE(QDir().mkdir(QString(s.file) + name));
        ASSERT_TRUE(test::WriteFile(s.file, "<half"));
        EXPECT_FALSE(s.loadAndSave());
        EXPECT_EQ(test::ReadFile(s.file), "<half");
        EXPECT_TRUE(test::LogContains(std::string(s.file) + " could not be read, and could not be set aside"));
    }
}

TEST(DamagedFilesTest, NobodyElseMayChangeWhatTheStoresWriteWhateverTheUmask)
{
    const mode_t previous = ::umask(0);
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        EXPECT_TRUE(s.loadAndSave());
        struct stat st {};
        ASSERT_EQ(::stat(s.file, &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0644u);
    }
    ::umask(previous);
}

TEST(DamagedFilesTest, ASaveThatRunsOutOfDiskKeepsTheEarlierFile)
{
    for (const Store& s : kStores) {
        SCOPED_TRACE(s.file);
        ASSERT_TRUE(s.loadAndSave());
        const QByteArray earlier = test::ReadFile(s.file);
        ASSERT_FALSE(earlier.isEmpty());
        test::LogCapture::Instance().Clear();
        {
            test::FileSizeLimit full(10);
            EXPECT_FALSE(s.loadAndSave());
        }
        EXPECT_EQ(test::ReadFile(s.file), earlier);
        EXPECT_TRUE(test::LogContains("Cannot write ")) << "a failure is never reported as a save";
    }
}
