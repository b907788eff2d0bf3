#include <QFile>

#include <gtest/gtest.h>

#include "Platform/Registry.h"
#include "VirtualBoard/Machine.h"
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
