// The Settings page's buttons that act at once: the outside tools found in the
// registry, hardware profiles, and Clear Log.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Platform/Registry.h"
#include "Preferences/SettingsPage.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "Source/Preferences/PreferencesFixture.h"
#include "support/FileDialogAnswers.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

using test::LogContains;
using test::LogCount;

namespace {

constexpr char16_t kRaidKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5A3C91E2-7D40-4B8F-9E21-6C0D2F8A4B17}";
constexpr char16_t kSecondRaidKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{C29E0B74-1F6A-4D53-8B90-3E7A5D1C6F08}";

void SetValue(const char16_t* keyPath, const char16_t* name, const QString& value)
{
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, keyPath), plat::ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(name, value), plat::ERROR_SUCCESS);
}

IClockGeneratorDevice* Generator() { return QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0); }
ICPUDevice* Cpu(unsigned long core) { return QvxGetDevice<ICPUDevice>(dtCPU, core); }

class SettingsToolsTest : public test::PreferencesTest {
protected:
    QSettingsPage* OpenSettings()
    {
        if (!Open())
            return nullptr;
        QSettingsPage* page = Page<QSettingsPage>("Settings");
        Journal("launch: ");
        return page;
    }

    test::FileDialogAnswers dialogs;
};

} // namespace

TEST_F(SettingsToolsTest, WithoutRegistryEntriesBothToolButtonsAreDisabled)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->Form().btnWebPAM->isEnabled());
    EXPECT_FALSE(page->Form().btnLCC->isEnabled());
}

TEST_F(SettingsToolsTest, UnusableRegistryValuesDisableTheButtons)
{
    const QString tooLong = QStringLiteral("C:\\") + QString(125, QLatin1Char('a'));   // 128 characters
    for (const QString& folder : {tooLong, QStringLiteral("relative\\folder"), QStringLiteral("C:\\a\nb"), QString()}) {
        SCOPED_TRACE(folder.toStdString());
        SetValue(kRaidKey, u"InstallLocation", folder);
        SetValue(u"SOFTWARE\\Juv", u"Path", folder);
        QSettingsPage* page = OpenSettings();
        ASSERT_TRUE(page);
        EXPECT_FALSE(page->Form().btnWebPAM->isEnabled());
        EXPECT_FALSE(page->Form().btnLCC->isEnabled());
        TearDown();
        SetUp();
    }
    // 127 characters still fit.
    SetValue(kRaidKey, u"InstallLocation", tooLong.left(127));
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->Form().btnWebPAM->isEnabled());
}

TEST_F(SettingsToolsTest, RaidToolStartsThroughTheShortcutOfItsPackage)
{
    // First package: the folder, a separator and the WebPAM shortcut; the file does not exist.
    SetValue(kRaidKey, u"InstallLocation", QStringLiteral("C:\\Program Files\\ArrayKeel"));
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    ASSERT_TRUE(page->Form().btnWebPAM->isEnabled());
    page->Form().btnWebPAM->click();
    EXPECT_EQ(Journal("launch: "), std::vector<std::string>{"launch: |C:\\Program Files\\ArrayKeel\\WebPAM.URL|"});
    EXPECT_TRUE(LogContains("<2>: Failed to start WebPAM, return code is: 2"));
    TearDown();
    SetUp();

    // Only the second package: the folder text directly followed by "ArrayKeel.URL".
    plat::RegistryKey first;
    ASSERT_EQ(first.Open(plat::RegistryHive::LocalMachine, kRaidKey), plat::ERROR_SUCCESS);
    ASSERT_EQ(first.DeleteValue(u"InstallLocation"), plat::ERROR_SUCCESS);
    const QString folder = test::TestDir() + QStringLiteral("/raid/");
    ASSERT_TRUE(test::WriteFile(folder + QStringLiteral("ArrayKeel.URL"), "[InternetShortcut]\n"));
    SetValue(kSecondRaidKey, u"InstallLocation", folder);
    test::LogCapture::Instance().Clear();
    page = OpenSettings();
    ASSERT_TRUE(page);
    // The first key still opens, without its value: that is not the second package.
    EXPECT_FALSE(page->Form().btnWebPAM->isEnabled());
}

TEST_F(SettingsToolsTest, SecondRaidPackageAndControlCentreUnderTheSecondKey)
{
    // The test's folder named through the link to the current folder: both tool folders
    // fit the 127 characters a registry value may give, however deep that folder lies.
    const QString here = QStringLiteral("/proc/self/cwd");
    const QString raid = here + QStringLiteral("/raid/");
    ASSERT_TRUE(test::WriteFile(raid + QStringLiteral("ArrayKeel.URL"), "[InternetShortcut]\n"));
    SetValue(kSecondRaidKey, u"InstallLocation", raid);
    const QString centre = here + QStringLiteral("/juv");
    ASSERT_TRUE(test::WriteFile(centre + QStringLiteral("/Tov.exe"), "x"));
    plat::RegistryKey juv;
    ASSERT_EQ(juv.Create(plat::RegistryHive::LocalMachine, u"SOFTWARE\\Juv"), plat::ERROR_SUCCESS);
    SetValue(u"SOFTWARE\\Juv\\Zel", u"Path", centre);

    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    ASSERT_TRUE(page->Form().btnWebPAM->isEnabled());
    ASSERT_TRUE(page->Form().btnLCC->isEnabled());
    page->Form().btnWebPAM->click();
    page->Form().btnLCC->click();
    EXPECT_EQ(Journal("launch: "),
              (std::vector<std::string>{("launch: |" + raid + "ArrayKeel.URL|").toStdString(),
                                        ("launch: open|" + centre + "\\Tov.exe|Start LCC").toStdString()}));
    EXPECT_FALSE(LogContains("Failed to start"));

    vb::Machine::Instance().GetFaults().Set("launch-fails");
    page->Form().btnLCC->click();
    EXPECT_TRUE(LogContains("<2>: Failed to start LCC, return code is: 5"));
}

TEST_F(SettingsToolsTest, ProfileSavedChangedAndLoadedRestoresClocksAndMultipliers)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    const double refClock = Generator()->GetHTRefClock();
    const double multiplier = Cpu(0)->GetCurrentMultiplier();

    // Cancelled dialogs do nothing.
    page->Form().btnSaveAs->click();
    page->Form().btnLoad->click();
    ASSERT_EQ(dialogs.Dialogs().size(), 2u);
    EXPECT_EQ(dialogs.Dialogs()[0].caption, QStringLiteral("Save As"));
    EXPECT_EQ(dialogs.Dialogs()[1].caption, QStringLiteral("Load Profile"));
    EXPECT_EQ(dialogs.Dialogs()[1].dir, QStringLiteral("myProfile.xml"));
    EXPECT_EQ(dialogs.Dialogs()[1].filter, QStringLiteral("Profile (*.xml)"));
    EXPECT_FALSE(QFile::exists(QStringLiteral("myProfile.xml")));
    EXPECT_TRUE(answers.Messages().empty());

    const QString profile = test::TestDir() + QStringLiteral("/mine.xml");
    dialogs.Queue(profile);
    page->Form().btnSaveAs->click();
    ASSERT_TRUE(QFile::exists(profile));

    ASSERT_TRUE(Generator()->SetHTRefClock(refClock + 10));
    ASSERT_TRUE(Cpu(0)->SetMultiplier(multiplier - 1));
    // An unapplied edit on the page shows whether the window discarded its pages.
    page->Form().LogBox->click();
    dialogs.Queue(profile);
    page->Form().btnLoad->click();
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_EQ(Generator()->GetHTRefClock(), refClock);
    EXPECT_EQ(Cpu(0)->GetCurrentMultiplier(), multiplier);
    EXPECT_FALSE(page->Form().LogBox->isChecked());
}

TEST_F(SettingsToolsTest, FailedProfileLoadsTellTheUserAndChangeNothing)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    const QString profile = test::TestDir() + QStringLiteral("/mine.xml");
    dialogs.Queue(profile);
    page->Form().btnSaveAs->click();
    const double refClock = Generator()->GetHTRefClock();
    const double multiplier = Cpu(0)->GetCurrentMultiplier();
    ASSERT_TRUE(Generator()->SetHTRefClock(refClock + 10));
    ASSERT_TRUE(Cpu(0)->SetMultiplier(multiplier - 1));
    page->Form().LogBox->click();

    const QString damaged = test::TestDir() + QStringLiteral("/damaged.xml");
    ASSERT_TRUE(test::WriteFile(damaged, "<Configuration><unclosed>"));
    // Unreadable, missing, a folder, and one that applies only in part (the
    // multipliers are refused after the reference clock was written).
    for (const QString& path : {damaged, test::TestDir() + QStringLiteral("/none.xml"), test::TestDir(), profile}) {
        SCOPED_TRACE(path.toStdString());
        if (path == profile)
            vb::Machine::Instance().GetFaults().Set("qvx:CPU.SetMultiplier");
        dialogs.Queue(path);
        const size_t shown = answers.Messages().size();
        page->Form().btnLoad->click();
        ASSERT_EQ(answers.Messages().size(), shown + 1);
        EXPECT_EQ(answers.Messages().back().title, QStringLiteral("Profile"));
        EXPECT_EQ(answers.Messages().back().text, QStringLiteral("Failed to load the profile!"));
        EXPECT_EQ(Generator()->GetHTRefClock(), refClock + 10);
        EXPECT_EQ(Cpu(0)->GetCurrentMultiplier(), multiplier - 1);
        EXPECT_TRUE(page->Form().LogBox->isChecked());   // no page was discarded
    }
}

TEST_F(SettingsToolsTest, AFailedSaveKeepsTheOldProfileAndSaysSo)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    const QString profile = test::TestDir() + QStringLiteral("/mine.xml");
    ASSERT_TRUE(test::WriteFile(profile, "old profile"));
    vb::Machine::Instance().GetFaults().Set("qvx:Profile.SaveSettings");
    for (const QString& path : {profile, test::TestDir() + QStringLiteral("/no/such/folder.xml"), test::TestDir()}) {
        SCOPED_TRACE(path.toStdString());
        dialogs.Queue(path);
        const size_t shown = answers.Messages().size();
        page->Form().btnSaveAs->click();
        ASSERT_EQ(answers.Messages().size(), shown + 1);
        EXPECT_EQ(answers.Messages().back().text, QStringLiteral("Failed to save the profile!"));
    }
    EXPECT_EQ(test::ReadFile(profile), QByteArray("old profile"));
    EXPECT_FALSE(QFileInfo::exists(test::TestDir() + QStringLiteral("/no")));

    // Saving over an existing profile replaces it.
    vb::Machine::Instance().GetFaults().Set("qvx:Profile.SaveSettings", false);
    dialogs.Queue(profile);
    page->Form().btnSaveAs->click();
    EXPECT_EQ(answers.Messages().size(), 3u);
    EXPECT_TRUE(test::ReadFile(profile).contains("Configuration"));
}

TEST_F(SettingsToolsTest, DefaultRestoresTheDefaultProfileOnlyAfterYes)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    ASSERT_TRUE(QFile::exists(QStringLiteral("DefaultConfig.xml")));   // written by the window
    const double refClock = Generator()->GetHTRefClock();
    ASSERT_TRUE(Generator()->SetHTRefClock(refClock + 10));

    answers.Queue(QMessageBox::No);
    page->Form().btnDefault->click();
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].icon, QMessageBox::Question);
    EXPECT_EQ(answers.Messages()[0].text, QStringLiteral("Are you sure to restore default settings?"));
    EXPECT_EQ(Generator()->GetHTRefClock(), refClock + 10);

    answers.Queue(QMessageBox::Yes);
    page->Form().btnDefault->click();
    EXPECT_EQ(answers.Messages().size(), 2u);
    EXPECT_EQ(Generator()->GetHTRefClock(), refClock);

    ASSERT_TRUE(QFile::remove(QStringLiteral("DefaultConfig.xml")));
    answers.Queue(QMessageBox::Yes);
    page->Form().btnDefault->click();
    ASSERT_EQ(answers.Messages().size(), 4u);
    EXPECT_EQ(answers.Messages()[3].text, QStringLiteral("Failed to restore default settings!"));
}
