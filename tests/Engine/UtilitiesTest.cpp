#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

#include "Engine/Engine.h"
#include "support/LogCapture.h"
#include "support/PlatformDoubles.h"

namespace {

TEST(LastError, IsOneUntilSetAndResetsOnRead)
{
    EXPECT_EQ(g_GetLastError(), 1u);
    g_SetLastError(5);
    EXPECT_EQ(g_GetLastError(), 5u);
    EXPECT_EQ(g_GetLastError(), 1u);
}

TEST(DeviceLocation, Table)
{
    struct Case {
        const char16_t* text;
        bool ok;
        uint32_t bus, device, function;
        const char* logged;
    };
    const Case cases[] = {
        {u"PCI bus 3, device 0, function 1", true, 3, 0, 1, nullptr},
        {u"PCI bus 12, device 24, function 7", true, 12, 24, 7, nullptr},
        {u"bus 255 device 31 function 7 trailing", true, 255, 31, 7, nullptr},
        {u"PCI bus 3", false, 3, 0, 0, "pszLocation[i]"},
        {u"PCI bus 4, device 2", false, 4, 2, 0, "pszLocation[i]"},
        {u"no digits here", false, 0, 0, 0, "pszLocation[i]"},
        {nullptr, false, 9, 9, 9, "LOG_PROCESS_ERROR(pszLocation)"},
    };
    for (const Case& c : cases) {
        test::LogCapture::Instance().Clear();
        uint32_t bus = 9, device = 9, function = 9;
        EXPECT_EQ(g_GetDeviceLocation(c.text, bus, device, function), c.ok);
        EXPECT_EQ(bus, c.bus);
        EXPECT_EQ(device, c.device);
        EXPECT_EQ(function, c.function);
        if (c.logged) {
            EXPECT_TRUE(test::LogContains(c.logged)) << c.logged;
        } else {
            EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
        }
    }
}

TEST(ApplicationPath, IsTheExecutablesFolderEveryTime)
{
    const char16_t* first = g_GetApplicationPath();
    EXPECT_EQ(QString::fromStdU16String(first), QCoreApplication::applicationDirPath());
    EXPECT_EQ(g_GetApplicationPath(), first);
}

TEST(Administrator, GroupTable)
{
    struct Case {
        bool nameOk;
        uint32_t status;
        std::vector<std::u16string> groups;
        bool expected;
        const char* logged;
    };
    const Case cases[] = {
        {true, 0, {u"Users", u"Administrators"}, true, nullptr},
        {true, 0, {u"administrators"}, false, nullptr},
        {true, 0, {}, false, nullptr},
        {false, 0, {u"Administrators"}, false, "LOG_PROCESS_ERROR(bRetCode)"},
        {true, 2221, {u"Administrators"}, false, "LOG_PROCESS_ERROR(nStatus == NERR_Success)"},
    };
    for (const Case& c : cases) {
        test::LogCapture::Instance().Clear();
        test::FakeAccounts accounts;
        accounts.nameOk = c.nameOk;
        accounts.status = c.status;
        accounts.groups = c.groups;
        EXPECT_EQ(g_IsAdministratorAccount(), c.expected);
        if (c.logged) {
            EXPECT_TRUE(test::LogContains(c.logged)) << c.logged;
        }
    }
}

TEST(ShutdownPrivilege, OneOnlyWhenHeld)
{
    test::FakePrivileges privileges;
    EXPECT_EQ(g_EnableShutdownPrivilege(), 1);
    ASSERT_EQ(privileges.enabled.size(), 1u);
    EXPECT_TRUE(privileges.enabled[0] == u"SeShutdownPrivilege");
    privileges.notAllAssigned = true;
    EXPECT_EQ(g_EnableShutdownPrivilege(), 0);
    privileges.notAllAssigned = false;
    privileges.enableOk = false;
    EXPECT_EQ(g_EnableShutdownPrivilege(), 0);
    EXPECT_TRUE(privileges.exits.empty());
}

TEST(CpuInfo, KnownAndUnknownSignatures)
{
    EXPECT_EQ(std::u16string(g_GetCPURevision(0x00100F42)), u"TR-C2");
    EXPECT_EQ(std::u16string(g_GetCPUPackage(0x00100F42)), u"Socket VAM3");
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
    EXPECT_EQ(std::u16string(g_GetCPURevision(0x12345678)), u"Unknown Revision");
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(it != g_RevisionList.end())"));
    EXPECT_TRUE(test::LogContains("in g_GetCPURevision"));
    EXPECT_EQ(std::u16string(g_GetCPUPackage(0x12345678)), u"Unknown Package");
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(it != g_PackageList.end())"));
}

TEST(EngineInit, SucceedsAndSaysSo)
{
    EXPECT_TRUE(g_InitEngine());
    EXPECT_TRUE(test::LogContains("<4>: Engine library initialized successfully.\n"));
    EXPECT_TRUE(g_UnInitEngine());
    EXPECT_TRUE(g_UnInitEngine());
}

} // namespace
