// The Settings page in the main window: the mode switches and their menu and page
// table, the preferences saved by Apply and the flags it raises, the enable rules.
#include <QCheckBox>
#include <QRadioButton>

#include "Preferences/SettingsPage.h"
#include "Source/Preferences/PreferencesFixture.h"
#include "support/LogCapture.h"

using test::MainWindowTest;
using test::kPerformanceGroup;
using test::LogCount;

namespace {

constexpr char kMissingEntry[] = "itSub != pMainMenuItem->m_SubMenuList.end()";

class SettingsPageTest : public test::PreferencesTest {
protected:
    // Preferences on disk before the window opens, the three boxes unchecked. Any
    // AutoStartOnBoot element in the file sets that flag, so it is left out for false.
    static void StorePreferences(bool bAutoStart)
    {
        ASSERT_TRUE(g_MiscSettings.Load());
        g_MiscSettings.AutoApplySettings = false;
        g_MiscSettings.FanBrokenDetectionEnabled = false;
        g_MiscSettings.LogFileEnabled = false;
        ASSERT_TRUE(g_MiscSettings.Save());
        if (!bAutoStart) {
            QByteArray text = test::ReadFile(QStringLiteral("Preference.xml"));
            text.replace(QByteArray("<AutoStartOnBoot>1</AutoStartOnBoot>"), QByteArray());
            ASSERT_TRUE(test::WriteFile(QStringLiteral("Preference.xml"), text));
            // Loading only ever sets the flag: start from a program that has not read it.
            g_MiscSettings.AutoStartOnBoot = false;
            ASSERT_TRUE(g_MiscSettings.Load());
            ASSERT_FALSE(g_MiscSettings.AutoStartOnBoot);
        }
    }

    QSettingsPage* OpenSettings(const QByteArray& table = QByteArray())
    {
        if (!Open(table))
            return nullptr;
        return Page<QSettingsPage>("Settings");
    }

    // Visible flags of Novice Mode, Clock/Voltage and Memory: in the menu, in memory, on disk.
    void ExpectMode(bool bNovice)
    {
        for (const char* page : {"Novice Mode", "Clock/Voltage", "Memory"}) {
            SCOPED_TRACE(page);
            const bool bVisible = (std::string(page) == "Novice Mode") == bNovice;
            ASSERT_TRUE(MenuEntry(kPerformanceGroup, page));
            EXPECT_EQ(MenuEntry(kPerformanceGroup, page)->m_bVisible, bVisible);
            EXPECT_EQ(g_PageSettings.FindPage(QLatin1String(page))->Visible, bVisible);
            ASSERT_TRUE(StoredRecord(page));
            EXPECT_EQ(StoredRecord(page)->Visible, bVisible);
        }
    }
};

} // namespace

TEST_F(SettingsPageTest, ModeSwitchesChangeTheMenuAndSaveThePageTableAtOnce)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    auto& ui = page->Form();
    EXPECT_TRUE(ui.radioButtonBasic->isChecked());
    EXPECT_EQ(ui.VerLabel->text(), QStringLiteral(" Vyk Velocrest™ Utility Ver %1").arg(window->m_szVersion));

    // Advanced with OK: the two pages the built-in table lacks are not in the menu,
    // so there is nothing to show and no error line.
    answers.Queue(QMessageBox::Ok);
    test::LogCapture::Instance().Clear();
    ui.radioButtonAdvanced->click();
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(answers.Messages()[0].title, QStringLiteral("Vyk Velocrest"));
    EXPECT_EQ(answers.Messages()[0].text, QStringLiteral("Modifying parameters in Advanced mode may cause your system "
                                                         "to be unstable.\nClick OK to continue to Advanced mode."));
    EXPECT_TRUE(ui.radioButtonAdvanced->isChecked());
    ExpectMode(false);
    EXPECT_EQ(LogCount(kMissingEntry), 0u);
    EXPECT_EQ(test::LogCapture::Instance().ErrorLines(), std::vector<std::string>{});

    // A second click on Advanced asks nothing and changes nothing.
    ui.radioButtonAdvanced->click();
    EXPECT_EQ(answers.Messages().size(), 1u);
    EXPECT_TRUE(ui.radioButtonAdvanced->isChecked());
    ExpectMode(false);

    // Novice asks nothing.
    ui.radioButtonBasic->click();
    EXPECT_EQ(answers.Messages().size(), 1u);
    ExpectMode(true);

    // The mode survives a rebuild of the window.
    answers.Queue(QMessageBox::Ok);
    ui.radioButtonAdvanced->click();
    ASSERT_TRUE(Rebuild());
    ASSERT_TRUE(Page<QSettingsPage>("Settings"));
    EXPECT_TRUE(Page<QSettingsPage>("Settings")->Form().radioButtonAdvanced->isChecked());
    ExpectMode(false);
}

TEST_F(SettingsPageTest, TheWindowOpensInTheModeOfThePageTableWithoutAnErrorLine)
{
    // Records without a Visible element are visible: the mode, which Novice Mode's
    // record decides, hides the pages of the other mode whatever their records say.
    const struct {
        const char* novice;    // Novice Mode's Visible element
        bool bNovice;
    } cases[] = {{"", true}, {"<Visible>0</Visible>", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bNovice ? "Novice" : "Advanced");
        const QByteArray table = QByteArray("<PageList><Group Name=\"Performance\\nControl\">"
                                            "<Page Name=\"Novice Mode\">") + c.novice + "</Page>"
                                 "<Page Name=\"Clock/Voltage\"/><Page Name=\"Memory\"/><Page Name=\"JY Pstate\"/>"
                                 "<Page Name=\"Benchmark\"/></Group>"
                                 "<Group Name=\"Preference\"><Page Name=\"Settings\"/></Group></PageList>";
        test::LogCapture::Instance().Clear();
        QSettingsPage* page = OpenSettings(table);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->Form().radioButtonBasic->isChecked(), c.bNovice);
        for (const char* name : {"Novice Mode", "Clock/Voltage", "Memory", "JY Pstate"}) {
            SCOPED_TRACE(name);
            ASSERT_TRUE(MenuEntry(kPerformanceGroup, name));
            EXPECT_EQ(MenuEntry(kPerformanceGroup, name)->m_bVisible, (std::string(name) == "Novice Mode") == c.bNovice);
        }
        EXPECT_TRUE(MenuEntry(kPerformanceGroup, "Benchmark")->m_bVisible);
        // The page table is the user's: showing its mode changes nothing in it.
        ASSERT_TRUE(StoredRecord("Clock/Voltage"));
        EXPECT_TRUE(StoredRecord("Clock/Voltage")->Visible);
        EXPECT_EQ(test::LogCapture::Instance().ErrorLines(), std::vector<std::string>{});
        TearDown();
        SetUp();
    }
}

TEST_F(SettingsPageTest, CancellingTheAdvancedWarningChangesNothing)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    const QByteArray before = test::ReadFile(QStringLiteral("PageSettings.xml"));
    answers.Queue(QMessageBox::Cancel);
    page->Form().radioButtonAdvanced->click();
    EXPECT_EQ(answers.Messages().size(), 1u);
    EXPECT_TRUE(page->Form().radioButtonBasic->isChecked());
    EXPECT_FALSE(page->Form().radioButtonAdvanced->isChecked());
    ExpectMode(true);
    EXPECT_EQ(test::ReadFile(QStringLiteral("PageSettings.xml")), before);
}

TEST_F(SettingsPageTest, ApplySavesThePreferencesAndRaisesTheRightFlags)
{
    struct Case {
        const char* box;
        bool bReboot;
    };
    for (const Case& c : {Case{"LogBox", false}, Case{"checkBoxApplySettings", false},
                          Case{"checkBoxFanBroken", true}}) {
        SCOPED_TRACE(c.box);
        StorePreferences(true);
        QSettingsPage* page = OpenSettings();
        ASSERT_TRUE(page);
        auto* box = page->findChild<QCheckBox*>(QLatin1String(c.box));
        ASSERT_TRUE(box && box->isEnabled());
        EXPECT_FALSE(box->isChecked());
        box->click();
        EXPECT_TRUE(box->isChecked());
        EXPECT_FALSE(g_bModified);
        ASSERT_TRUE(page->Apply());
        EXPECT_EQ(g_bRebootRequired, c.bReboot);
        EXPECT_EQ(g_nRestartRequest, 0);

        // The preference survives a restart of the program.
        CMiscSettings stored;
        ASSERT_TRUE(stored.Load());
        EXPECT_EQ(stored.LogFileEnabled, std::string(c.box) == "LogBox");
        EXPECT_EQ(stored.AutoApplySettings, std::string(c.box) == "checkBoxApplySettings");
        EXPECT_EQ(stored.FanBrokenDetectionEnabled, std::string(c.box) == "checkBoxFanBroken");
        ASSERT_TRUE(Rebuild());
        EXPECT_TRUE(Page<QSettingsPage>("Settings")->findChild<QCheckBox*>(QLatin1String(c.box))->isChecked());
        TearDown();
        SetUp();
    }
}

TEST_F(SettingsPageTest, DiscardDropsUnappliedPreferences)
{
    StorePreferences(true);
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    page->Form().LogBox->click();
    EXPECT_TRUE(g_MiscSettings.LogFileEnabled);
    window->Discard();
    EXPECT_FALSE(page->Form().LogBox->isChecked());
    EXPECT_FALSE(g_MiscSettings.LogFileEnabled);
}

TEST_F(SettingsPageTest, BootBoxesNeedAutoStartAndTheFanBoxAFanReading)
{
    StorePreferences(false);
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->Form().checkBoxApplySettings->isEnabled());
    EXPECT_FALSE(page->Form().checkBoxFanBroken->isEnabled());
    EXPECT_TRUE(page->Form().LogBox->isEnabled());
    TearDown();
    SetUp();

    // No sensor chip and no south-bridge fan: the fan box stays disabled, also
    // after the Discard that Apply ends with.
    test::LoadBoardWith([](QJsonObject& devices) {
        devices.remove(QStringLiteral("sensorChip"));
        QJsonObject sb = devices.value(QStringLiteral("southBridge")).toObject();
        sb.insert(QStringLiteral("fans"), QJsonArray());
        devices.insert(QStringLiteral("southBridge"), sb);
    });
    StorePreferences(true);
    page = OpenSettings();
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->Form().checkBoxApplySettings->isEnabled());
    EXPECT_FALSE(page->Form().checkBoxFanBroken->isEnabled());
    ASSERT_TRUE(page->Apply());
    EXPECT_FALSE(page->Form().checkBoxFanBroken->isEnabled());
}

TEST_F(SettingsPageTest, APageTableWithoutNoviceModeDropsThePage)
{
    const char table[] = "<PageList><Group Name=\"Preference\"><Page Name=\"Settings\"/></Group></PageList>";
    ASSERT_TRUE(Open(table));
    EXPECT_FALSE(Page<QSettingsPage>("Settings"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pPageSettings)"));
    EXPECT_TRUE(test::LogContains("Page Settings initialization failed."));
    // The page's lines name it as the class it stands for.
    EXPECT_EQ(test::LogCheckCount("LOG_PROCESS_ERROR(pPageSettings)", "QSettings::Discard"), 1u);
    EXPECT_EQ(test::LogCheckCount("LOG_PROCESS_ERROR(bRetCode)", "QSettings::Init"), 1u);
}

TEST_F(SettingsPageTest, SavesThatFailAreLoggedUnderThePagesMethods)
{
    QSettingsPage* page = OpenSettings();
    ASSERT_TRUE(page);
    {
        // Nothing can be written in this folder.
        test::CurrentFolder readOnly(test::ReadOnlyFolder());
        test::LogCapture::Instance().Clear();
        EXPECT_FALSE(page->Apply());
        page->Form().radioButtonBasic->click();
    }
    EXPECT_EQ(test::LogCheckCount("LOG_PROCESS_ERROR(bRetCode)", "QSettings::Apply"), 1u);
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(bRetCode)", "QSettings::on_radioButtonBasic_clicked"), 1u);
}

TEST_F(MainWindowTest, ScreenshotsOfTheSettingsPageInEachSkin)
{
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open());
        SavePageScreenshot(QStringLiteral("Preference"), QStringLiteral("Settings"), QStringLiteral("settings"));
        window->hide();
    });
}
