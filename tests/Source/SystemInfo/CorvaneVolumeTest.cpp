// The cache volume's runs against the stand-ins: the exact scripts and command
// lines, the drive letter kept for the driver, the policies, "EMD.dat", the
// refusals, and the restart that is only recorded.
#include <QFile>

#include "Platform/Drives.h"
#include "Platform/ResourceModule.h"
#include "Source/SystemInfo/CorvaneFixture.h"
#include "SystemInfo/Corvane.h"
#include "support/LogCapture.h"
#include "support/PlatformDoubles.h"

using test::CorvaneTest;

namespace {

const std::string kEnableScriptZ =
    "automount enable noerr\nselect disk 1\nconvert dynamic noerr\ncreate volume simple\n"
    "format quick FS=FAT noerr\nassign letter=Z\nExit\n";

bool HasDrive(char letter) { return plat::GetLogicalDrives() & (1u << (letter - 'A')); }

QByteArray EmdOn(char letter)
{
    QFile file(plat::LocalPathOfDrivePath(QStringLiteral("%1:\\EMD.dat").arg(QLatin1Char(letter))));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(CorvaneTest, EnableThenDisableMakesAndRemovesTheCacheVolume)
{
    QCorvane page;
    ASSERT_FALSE(HasDrive('Z'));
    ASSERT_TRUE(page.EnableReadyBoost(0x12345678, true));
    EXPECT_EQ(Commands(), (std::vector<std::string>{"diskpart /s diskpart.tmp", "attrib +A +S +H +R Z:\\EMD.dat"}));
    EXPECT_EQ(LastScript(), kEnableScriptZ);
    EXPECT_FALSE(QFile::exists(QCorvane::ScriptFilePath())) << "the script goes after its run";
    EXPECT_TRUE(HasDrive('Z'));
    EXPECT_EQ(page.DriveLetter(), 'Z');
    EXPECT_EQ(Value(test::kDriverKey, u"DriveLetter"), QStringLiteral("Z"));
    EXPECT_EQ(Value(test::kExplorerPoliciesKey, u"NoDrives"), QStringLiteral("33554432"));
    EXPECT_EQ(Value(test::kExplorerPoliciesKey, u"NoLowDiskSpaceChecks"), QStringLiteral("1"));
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10004u);
    EXPECT_EQ(Parameter(u"GlobalCapsMask"), 0x10000u);

    // The resource's bytes with the size in bytes 32-35, little-endian.
    const QByteArray emd = EmdOn('Z');
    ASSERT_EQ(emd.size(), 306);
    const std::vector<uint8_t>& resource = plat::BuiltInResourceModules().at(u"Corvane.dll").at({u"RT_EMD", 107});
    for (int i = 0; i < 306; ++i) {
        const uint8_t expected = i >= 32 && i < 36 ? static_cast<uint8_t>(0x12345678u >> (8 * (i - 32))) : resource[i];
        ASSERT_EQ(static_cast<uint8_t>(emd[i]), expected) << "byte " << i;
    }
    EXPECT_EQ(plat::LoadedResourceModules(), 0);

    vb::Machine::Instance().GetJournal().Clear();
    ASSERT_TRUE(page.EnableReadyBoost(0, false));
    EXPECT_EQ(Commands(), (std::vector<std::string>{"diskpart /s diskpart.tmp"}));
    EXPECT_EQ(LastScript(), "select volume=Z\ndelete volume override noerr\nExit\n");
    EXPECT_FALSE(HasDrive('Z'));
    EXPECT_EQ(Value(test::kDriverKey, u"DriveLetter"), QString());
}

TEST_F(CorvaneTest, TheCacheTakesTheLastFreeLetter)
{
    UseLetters(QStringLiteral("CDZ"));
    QCorvane page;
    ASSERT_TRUE(page.GenerateScriptFile(true));
    QFile script(QCorvane::ScriptFilePath());
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    EXPECT_EQ(script.readAll(), QByteArray("automount enable noerr\nselect disk 1\nconvert dynamic noerr\n"
                                           "create volume simple\nformat quick FS=FAT noerr\nassign letter=Y\nExit\n"));
    EXPECT_EQ(script.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther
                                      | QFileDevice::WriteOther),
              QFileDevice::Permissions()) << "nobody else may read or change what the system runs";
    EXPECT_EQ(Value(test::kDriverKey, u"DriveLetter"), QStringLiteral("Y"));
    EXPECT_TRUE(Commands().empty()) << "writing the script runs nothing";
}

TEST_F(CorvaneTest, WithEveryLetterInUseNothingRuns)
{
    UseLetters(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    QCorvane page;
    EXPECT_EQ(QCorvane::GetFreeDriveLetter(), 0);
    EXPECT_FALSE(page.GenerateScriptFile(true));
    QFile script(QCorvane::ScriptFilePath());
    ASSERT_TRUE(script.open(QIODevice::ReadOnly)) << "an empty script, never an old one";
    EXPECT_TRUE(script.readAll().isEmpty());
    EXPECT_FALSE(page.EnableReadyBoost(100, true));
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Value(test::kDriverKey, u"DriveLetter"), QStringLiteral("<missing>"));
}

TEST_F(CorvaneTest, DisableFindsTheStoredLetterAfterARestart)
{
    UseLetters(QStringLiteral("CDX"));
    SetValue(test::kDriverKey, u"DriveLetter", QStringLiteral("X"));
    QCorvane page;     // a new run of the program: the page knows no letter
    ASSERT_TRUE(page.EnableReadyBoost(0, false));
    EXPECT_EQ(LastScript(), "select volume=X\ndelete volume override noerr\nExit\n");
    EXPECT_FALSE(HasDrive('X'));
    EXPECT_EQ(Value(test::kDriverKey, u"DriveLetter"), QString());
}

TEST_F(CorvaneTest, DisableWithoutAKnownLetterRunsNothingAndKeepsTheStoredValue)
{
    for (const QString& stored : {QStringLiteral("<none>"), QString(), QStringLiteral("1"), QStringLiteral("z")}) {
        SCOPED_TRACE(stored.toStdString());
        SetUp();
        if (stored != QStringLiteral("<none>"))
            SetValue(test::kDriverKey, u"DriveLetter", stored);
        const QString before = Value(test::kDriverKey, u"DriveLetter");
        vb::Machine::Instance().GetJournal().Clear();
        QCorvane page;
        EXPECT_FALSE(page.EnableReadyBoost(0, false));
        EXPECT_TRUE(Commands().empty());
        EXPECT_FALSE(QFile::exists(QCorvane::ScriptFilePath()));
        EXPECT_EQ(Value(test::kDriverKey, u"DriveLetter"), before);
        EXPECT_TRUE(test::LogContains("QCorvane::GenerateScriptFile"));
    }
}

TEST_F(CorvaneTest, TheCacheDriveIsHiddenBesideTheDrivesTheUserHid)
{
    const struct { const char* letters; uint32_t before; const char* noDrives; } cases[] = {
        {"CD", 0, "33554432"},                        // Z: 0x2000000
        {"BCDEFGHIJKLMNOPQRSTUVWXYZ", 0, "1"},        // A: 1
        {"CD", 0x8, "33554440"},                      // D stays hidden
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.letters);
        UseLetters(QLatin1String(c.letters));
        if (c.before)
            SetValue(test::kExplorerPoliciesKey, u"NoDrives", QString::number(c.before));
        QCorvane page;
        ASSERT_TRUE(page.GenerateScriptFile(true));
        EXPECT_TRUE(page.ApplyCacheDrivePolicies());
        EXPECT_EQ(Value(test::kExplorerPoliciesKey, u"NoDrives"), QLatin1String(c.noDrives));
        plat::RegistryKey explorer;
        ASSERT_EQ(explorer.Open(plat::RegistryHive::LocalMachine, test::kExplorerPoliciesKey), plat::ERROR_SUCCESS);
        ASSERT_EQ(explorer.DeleteValue(u"NoDrives"), plat::ERROR_SUCCESS);
    }
}

TEST_F(CorvaneTest, PoliciesNeedALetterAndTheDriversValues)
{
    QCorvane page;
    EXPECT_FALSE(page.ApplyCacheDrivePolicies()) << "no letter: no bit to set";
    EXPECT_EQ(Value(test::kExplorerPoliciesKey, u"NoDrives"), QStringLiteral("<missing>"));
    EXPECT_TRUE(test::LogContains("QCorvane::ApplyCacheDrivePolicies"));

    ASSERT_TRUE(page.GenerateScriptFile(true));
    Fault("registry-read-fails:GlobalCapsMask");
    EXPECT_FALSE(page.ApplyCacheDrivePolicies());
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10004u) << "written only when both were read";
}

TEST_F(CorvaneTest, TheDescriptionFileNeedsTheModuleAndItsWholeResource)
{
    plat::ResourceModuleTable noModule;
    plat::ResourceModuleTable noResource{{u"Corvane.dll", {{{u"RT_EMD", 108}, std::vector<uint8_t>(306)}}}};
    plat::ResourceModuleTable shortResource{{u"Corvane.dll", {{{u"RT_EMD", 107}, std::vector<uint8_t>(36)}}}};
    for (const plat::ResourceModuleTable* table : {&noModule, &noResource, &shortResource}) {
        SetUp();
        UseLetters(QStringLiteral("CD"));
        plat::SetResourceModulesForTesting(table);
        QCorvane page;
        EXPECT_FALSE(page.EnableReadyBoost(64, true));
        plat::SetResourceModulesForTesting(nullptr);
        EXPECT_TRUE(HasDrive('Z')) << "the volume was made before";
        EXPECT_EQ(Commands(), (std::vector<std::string>{"diskpart /s diskpart.tmp"}));
        EXPECT_TRUE(EmdOn('Z').isEmpty());
        EXPECT_EQ(plat::LoadedResourceModules(), 0);
    }
}

TEST_F(CorvaneTest, ACommandThatCannotRunFailsTheRun)
{
    Fault("command-start-fails");
    QCorvane page;
    EXPECT_FALSE(page.EnableReadyBoost(64, true));
    EXPECT_FALSE(QFile::exists(QCorvane::ScriptFilePath()));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
}

TEST_F(CorvaneTest, TheRestartIsRequestedWithThePrivilegeAndOnlyRecorded)
{
    QCorvane page;
    EXPECT_TRUE(page.RebootSystem());
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("system: restart requested"));

    test::FakePrivileges privileges;
    privileges.enableOk = false;
    EXPECT_FALSE(page.RebootSystem());
    EXPECT_EQ(privileges.enabled, (std::vector<std::u16string>{u"SeShutdownPrivilege"}));
    EXPECT_TRUE(privileges.exits.empty());
}
