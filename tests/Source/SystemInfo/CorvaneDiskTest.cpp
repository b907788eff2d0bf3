// Finding the flash disk among the disk-drive class: found, absent, odd devices,
// failing devices, an ID longer than the search buffer; the list is always released.
#include <QFile>

#include "Platform/SetupApi.h"
#include "Source/SystemInfo/CorvaneFixture.h"
#include "SystemInfo/Corvane.h"
#include "support/LogCapture.h"

using test::CorvaneTest;

namespace {

const QString kFlash = QStringLiteral("IDE\\DiskVYK_CORVANE_FC2G____________________1.00____");
const QString kPlain = QStringLiteral("IDE\\DiskVYK_HD500S__________________________1.00____");

} // namespace

TEST_F(CorvaneTest, TheDefaultBoardsFlashDiskIsFound)
{
    QCorvane page;
    EXPECT_EQ(page.GetCorvaneDiskID(), 1);
    EXPECT_EQ(plat::OpenDeviceInfoLists(), 0) << "released when the disk is found";
    EXPECT_TRUE(test::LogContains("\nHardwareID: IDE\\DiskVYK_CORVANE_FC2G"));
    EXPECT_TRUE(test::LogContains("\nUINumber: 1\n"));
}

TEST_F(CorvaneTest, DiskSearchCases)
{
    const QString longFlash = kFlash + QString(400, QLatin1Char('x'));
    const QString longPlain = kPlain + QString(400, QLatin1Char('y'));
    QJsonObject noIds{{"uiNumber", 0}};
    QJsonObject enumFails = test::CorvaneTest::Disk(kPlain, 0);
    enumFails.insert("enumError", 31);
    QJsonObject idFails = test::CorvaneTest::Disk(kPlain, 0);
    idFails.insert("hardwareIdError", 5);
    QJsonObject numberFails = test::CorvaneTest::Disk(kFlash, 1);
    numberFails.insert("uiNumberError", 1167);
    const struct {
        const char* name;
        QJsonArray disks;
        int expected;
        const char* logged;
    } cases[] = {
        {"no flash disk", {Disk(kPlain, 0)}, -1, "No more devices."},
        {"no disk at all", {}, -1, "No more devices."},
        {"prefix is case-sensitive", {Disk("IDE\\DiskVyk_Corvane_FC2G", 0)}, -1, "No more devices."},
        {"a disk without hardware IDs is skipped", {noIds, Disk(kFlash, 3)}, 3, "\nUINumber: 3\n"},
        {"the flash disk has no UI number", {Disk(kFlash, -1), Disk(kFlash, 4)}, -1, "\nHardwareID: IDE\\DiskVYK_CORVANE"},
        {"enumeration fails", {enumFails, Disk(kFlash, 1)}, -1, "SetupDiEnumDeviceInfo failed with error: 31"},
        {"hardware IDs unreadable", {idFails, Disk(kFlash, 1)}, -1, "SetupDiGetDeviceInterfaceDetail failed with error: 5\n"},
        {"UI number unreadable", {numberFails}, -1, "SetupDiGetDeviceInterfaceDetail failed with error: 1167\n"},
        {"a long ID is cut, its prefix still counts", {Disk(longPlain, 0), Disk(longFlash, 2)}, 2, "\nUINumber: 2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UseBoard(c.disks);
        test::LogCapture::Instance().Clear();
        QCorvane page;
        EXPECT_EQ(page.GetCorvaneDiskID(), c.expected);
        EXPECT_TRUE(test::LogContains(c.logged));
        EXPECT_EQ(plat::OpenDeviceInfoLists(), 0);
    }
}

TEST_F(CorvaneTest, NoFlashDiskMeansNoScript)
{
    UseBoard({Disk(kPlain, 0)});
    QCorvane page;
    EXPECT_FALSE(page.GenerateScriptFile(true));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(iCorvaneID >= 0)"));
    EXPECT_TRUE(test::LogContains("QCorvane::GenerateScriptFile"));
    EXPECT_FALSE(QFile::exists(QCorvane::ScriptFilePath()));

    vb::Machine::Instance().GetFaults().Set("setupapi-classdevs-fails");
    EXPECT_EQ(page.GetCorvaneDiskID(), -1);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(hDevInfo != INVALID_HANDLE_VALUE)"));
    EXPECT_TRUE(test::LogContains("QCorvane::GetCorvaneDiskID"));
}

TEST_F(CorvaneTest, AHardwareIdLongerThanTheBufferIsCutAndTerminated)
{
    UseBoard({Disk(QString(300, QLatin1Char('A')) + QChar(0x00C4), 5)});
    plat::HDEVINFO list = plat::SetupDiGetClassDevs(&plat::GUID_DEVCLASS_DISKDRIVE, plat::DIGCF_PRESENT);
    ASSERT_NE(list, plat::INVALID_HANDLE_VALUE);
    char16_t buffer[10];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    uint32_t number = 0;
    EXPECT_TRUE(QCorvane::ReadDiskInfo(list, 0, buffer, 8, &number));
    EXPECT_EQ(std::u16string(buffer), u"AAAAAAA");
    EXPECT_EQ(buffer[8], u'#') << "nothing written past the given size";
    EXPECT_EQ(number, 5u);
    // The wide ID reaches the log as UTF-8.
    EXPECT_TRUE(test::LogContains("AAAA\xC3\x84\n"));
    EXPECT_FALSE(QCorvane::ReadDiskInfo(list, 1, buffer, 8, &number));
    plat::SetupDiDestroyDeviceInfoList(list);
}
