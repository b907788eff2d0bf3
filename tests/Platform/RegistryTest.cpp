#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "Platform/Registry.h"
#include "Source/Files.h"
#include "VirtualBoard/Machine.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

using namespace plat;

TEST(RegistryTest, OpenNeverCreatesAKey)
{
    RegistryKey key;
    EXPECT_EQ(key.Open(RegistryHive::LocalMachine, kProductKey), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.IsOpen());
    QString value;
    EXPECT_EQ(key.QueryString(u"InstallDir", value), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(QFile::exists(RegistryHiveFile(RegistryHive::LocalMachine)));
    EXPECT_TRUE(RegistryRoot().startsWith(test::TestDir())) << "tests never touch the user's own registry";
}

TEST(RegistryTest, ValuesPerHiveAndKey)
{
    RegistryKey machine, user;
    ASSERT_EQ(machine.Create(RegistryHive::LocalMachine, kProductKey), ERROR_SUCCESS);
    ASSERT_EQ(user.Create(RegistryHive::CurrentUser, kProductKey), ERROR_SUCCESS);
    EXPECT_EQ(machine.SetString(u"InstallDir", QStringLiteral("/opt/vyk/VykVelocrest")), ERROR_SUCCESS);
    EXPECT_EQ(machine.SetDword(u"DisableQVX", 1), ERROR_SUCCESS);
    EXPECT_EQ(user.SetDword(u"EnableWarningMsg", 0xFFFFFFFFu), ERROR_SUCCESS);

    RegistryKey reopened;
    ASSERT_EQ(reopened.Open(RegistryHive::LocalMachine, u"Software\\Vyk\\Vyk Velocrest"), ERROR_SUCCESS);
    QString text;
    uint32_t number = 0;
    EXPECT_EQ(reopened.QueryString(u"InstallDir", text), ERROR_SUCCESS);
    EXPECT_EQ(text, QStringLiteral("/opt/vyk/VykVelocrest"));
    EXPECT_EQ(reopened.QueryDword(u"DisableQVX", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 1u);
    EXPECT_EQ(reopened.QueryDword(u"InstallDir", number), ERROR_INVALID_DATA);
    EXPECT_EQ(reopened.QueryDword(u"EnableWarningMsg", number), ERROR_FILE_NOT_FOUND) << "other hive";
    EXPECT_EQ(reopened.ValueNames(), (QStringList{"DisableQVX", "InstallDir"}));

    ASSERT_EQ(reopened.Open(RegistryHive::CurrentUser, kProductKey), ERROR_SUCCESS);
    EXPECT_EQ(reopened.QueryDword(u"EnableWarningMsg", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_EQ(reopened.DeleteValue(u"EnableWarningMsg"), ERROR_SUCCESS);
    EXPECT_EQ(reopened.DeleteValue(u"EnableWarningMsg"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reopened.Open(RegistryHive::CurrentUser, kProductKey), ERROR_SUCCESS) << "an empty key still exists";
    EXPECT_TRUE(reopened.ValueNames().isEmpty());

    // A parent of an existing key exists too; a sibling does not.
    EXPECT_EQ(reopened.Open(RegistryHive::LocalMachine, u"Software\\Vyk"), ERROR_SUCCESS);
    EXPECT_EQ(reopened.Open(RegistryHive::LocalMachine, u"Software\\Other"), ERROR_FILE_NOT_FOUND);
    RegistryKey sub;
    ASSERT_EQ(sub.Create(RegistryHive::CurrentUser, u"Software\\Vyk\\Vyk Velocrest\\BenchmarkMRU"), ERROR_SUCCESS);
    EXPECT_EQ(sub.SetString(u"0", QStringLiteral("a, b = c; [d]")), ERROR_SUCCESS);
    EXPECT_EQ(sub.QueryString(u"0", text), ERROR_SUCCESS);
    EXPECT_EQ(text, QStringLiteral("a, b = c; [d]"));
}

TEST(RegistryTest, FaultsMakeOneValueUnreadableOrUnwritable)
{
    RegistryKey key;
    ASSERT_EQ(key.Create(RegistryHive::LocalMachine, kProductKey), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(u"A", 1), ERROR_SUCCESS);
    vb::Machine::Instance().GetFaults().Set("registry-read-fails:A");
    vb::Machine::Instance().GetFaults().Set("registry-write-fails:B");
    uint32_t value = 0;
    EXPECT_EQ(key.QueryDword(u"A", value), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key.SetDword(u"B", 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key.SetDword(u"A", 3), ERROR_SUCCESS);
    vb::Machine::Instance().GetFaults().Clear();
    EXPECT_EQ(key.QueryDword(u"A", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(key.QueryDword(u"B", value), ERROR_FILE_NOT_FOUND);
}

TEST(RegistryTest, AHiveThatWouldNotReadBackAsItStandsIsSetAsideBeforeAWrite)
{
    const QString hive = RegistryHiveFile(RegistryHive::LocalMachine);
    const QByteArray key = "[Software]\nVyk\\Vyk%20Velocrest\\InstallDir=/opt/vyk\n";
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"a line without a value", key + "half a line\n"},
        {"Latin-1 text", key + "Vyk\\Vyk%20Velocrest\\Owner=J\xe9r\xf4me\n"},
        {"a comment", "; the owner's own note\n" + key},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(hive + ".bad");
        ASSERT_TRUE(test::WriteFile(hive, c.bytes));
        test::LogCapture::Instance().Clear();
        RegistryKey product;
        ASSERT_EQ(product.Open(RegistryHive::LocalMachine, kProductKey), ERROR_SUCCESS);
        EXPECT_EQ(product.SetDword(u"DisableQVX", 1), ERROR_SUCCESS);
        EXPECT_EQ(test::ReadFile(hive + ".bad"), c.bytes) << "kept byte for byte";
        EXPECT_TRUE(test::LogContains((hive + " could not be read; it was kept as " + hive + ".bad.").toStdString()));
        // What could be read goes on beside the new value.
        QString text;
        uint32_t number = 0;
        EXPECT_EQ(product.QueryString(u"InstallDir", text), ERROR_SUCCESS);
        EXPECT_EQ(text, QStringLiteral("/opt/vyk"));
        EXPECT_EQ(product.QueryDword(u"DisableQVX", number), ERROR_SUCCESS);
        EXPECT_EQ(number, 1u);
    }
    // The hive the stand-in writes reads back as it stands: it is never set aside.
    QFile::remove(hive + ".bad");
    RegistryKey user;
    ASSERT_EQ(user.Create(RegistryHive::CurrentUser, kProductKey), ERROR_SUCCESS);
    EXPECT_EQ(user.SetString(u"Owner", QStringLiteral("J\u00e9r\u00f4me; a, b = c")), ERROR_SUCCESS);
    EXPECT_EQ(user.SetDword(u"EnableWarningMsg", 1), ERROR_SUCCESS);
    EXPECT_EQ(QDir(RegistryRoot()).entryList({"*.bad*"}), QStringList());
}

TEST(RegistryTest, ADamagedHiveThatCannotBeSetAsideIsNotWrittenOver)
{
    const QString hive = RegistryHiveFile(RegistryHive::CurrentUser);
    const QByteArray damaged = "[Software]\nVyk\\Vyk%20Velocrest\\EnableWarningMsg=1\nhalf a line\n";
    ASSERT_TRUE(test::WriteFile(hive, damaged));
    for (const char* name : {".bad", ".bad2", ".bad3", ".bad4", ".bad5", ".bad6", ".bad7", ".bad8", ".bad9"})
        ASSERT_TRUE(QDir().mkpath(hive + name));
    RegistryKey key;
    ASSERT_EQ(key.Open(RegistryHive::CurrentUser, kProductKey), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDword(u"EnableWarningMsg", 0), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key.Create(RegistryHive::CurrentUser, u"Software\\Vyk\\Other"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(test::ReadFile(hive), damaged);
    EXPECT_TRUE(test::LogContains("could not be set aside"));
}
