#include <QFile>

#include <utility>

#include <gtest/gtest.h>

#include "Settings/MiscSettings.h"
#include "Source/Files.h"
#include "support/LogCapture.h"

namespace {

const QByteArray kDefaultsFile =
    "<!DOCTYPE Preference.xml>\n"
    "<Preference>\n"
    " <AutoStartOnBoot>1</AutoStartOnBoot>\n"
    " <NeedConfirmOnBoot>0</NeedConfirmOnBoot>\n"
    " <AutoApplySettings>0</AutoApplySettings>\n"
    " <FanBrokenDetectionEnabled>0</FanBrokenDetectionEnabled>\n"
    " <LogFileEnabled>0</LogFileEnabled>\n"
    " <LanguageType>0</LanguageType>\n"
    " <BoardVendor></BoardVendor>\n"
    " <SkinScheme></SkinScheme>\n"
    " <MaximumVCoreEnabled>1</MaximumVCoreEnabled>\n"
    "</Preference>\n";

struct Fields {
    bool autoStart, confirm, autoApply, fanBroken, logFile;
    int language;
    std::string vendor, skin;
    bool maxVCore;
    bool operator==(const Fields&) const = default;
};

Fields Of(const CMiscSettings& s)
{
    return {s.AutoStartOnBoot, s.NeedConfirmOnBoot, s.AutoApplySettings, s.FanBrokenDetectionEnabled, s.LogFileEnabled,
            s.LanguageType, s.BoardVendor, s.SkinScheme, s.MaximumVCoreEnabled};
}

// Fields that differ from both the defaults and zero, so "kept" is visible.
void Preset(CMiscSettings& s)
{
    s.AutoStartOnBoot = false;
    s.NeedConfirmOnBoot = true;
    s.AutoApplySettings = true;
    s.FanBrokenDetectionEnabled = true;
    s.LogFileEnabled = true;
    s.LanguageType = 7;
    strcpy(s.BoardVendor, "Preset Vendor");
    strcpy(s.SkinScheme, "skin-red");
    s.MaximumVCoreEnabled = false;
}

const Fields kPreset{false, true, true, true, true, 7, "Preset Vendor", "skin-red", false};
const Fields kDefaults{true, false, false, false, false, 0, "", "", true};

} // namespace

TEST(MiscSettingsTest, NoFileGivesTheDefaultsAndWritesThem)
{
    CMiscSettings settings;
    Preset(settings);
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(Of(settings), kDefaults);
    EXPECT_EQ(test::ReadFile("Preference.xml"), kDefaultsFile);
    EXPECT_FALSE(QFile::exists("Preference.xml.bad"));
}

TEST(MiscSettingsTest, FileContentsAsATable)
{
    struct Case {
        const char* name;
        QByteArray file;
        Fields expected;
    };
    const Case cases[] = {
        {"only LanguageType keeps the rest", "<Preference><LanguageType>5</LanguageType></Preference>",
         {false, true, true, true, true, 5, "Preset Vendor", "skin-red", false}},
        {"AutoStartOnBoot 0 still sets the flag", "<Preference><AutoStartOnBoot>0</AutoStartOnBoot></Preference>",
         {true, true, true, true, true, 7, "Preset Vendor", "skin-red", false}},
        {"so does an empty AutoStartOnBoot", "<Preference><AutoStartOnBoot/></Preference>",
         {true, true, true, true, true, 7, "Preset Vendor", "skin-red", false}},
        {"flags: 2 is true, text is false, empty keeps",
         "<Preference><NeedConfirmOnBoot>no</NeedConfirmOnBoot><LogFileEnabled>2</LogFileEnabled>"
         "<AutoApplySettings/><LanguageType>x</LanguageType></Preference>",
         {false, false, true, true, true, 0, "Preset Vendor", "skin-red", false}},
        {"elements at any depth, others ignored",
         "<Root><Other>1</Other><Inner><BoardVendor>Acme &amp; Co</BoardVendor></Inner>"
         "<SkinScheme>skin-blue</SkinScheme><MaximumVCoreEnabled>1</MaximumVCoreEnabled></Root>",
         {false, true, true, true, true, 7, "Acme & Co", "skin-blue", true}},
        {"a skin name that leaves the resource folder is ignored",
         "<Preference><SkinScheme>../../etc</SkinScheme></Preference>", kPreset},
        {"a skin name with a slash is ignored", "<Preference><SkinScheme>a/b</SkinScheme></Preference>", kPreset},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(test::WriteFile("Preference.xml", c.file));
        CMiscSettings settings;
        Preset(settings);
        EXPECT_TRUE(settings.Load());
        EXPECT_EQ(Of(settings), c.expected);
        EXPECT_EQ(test::ReadFile("Preference.xml"), c.file) << "a readable file is not rewritten";
    }
}

TEST(MiscSettingsTest, DamagedFileIsKeptAsideAndReplacedByTheDefaults)
{
    const QByteArray damaged = "<Preference><LanguageType>5</LanguageType><BoardVendor>Half";
    // Each copy set aside keeps a name of its own.
    const std::pair<QByteArray, const char*> cases[] = {{damaged, "Preference.xml.bad"}, {{}, "Preference.xml.bad2"}};
    for (const auto& [content, aside] : cases) {
        ASSERT_TRUE(test::WriteFile("Preference.xml", content));
        CMiscSettings settings;
        Preset(settings);
        EXPECT_TRUE(settings.Load());
        EXPECT_EQ(Of(settings), kDefaults) << "values of a partial parse are overwritten";
        EXPECT_EQ(test::ReadFile("Preference.xml"), kDefaultsFile);
        EXPECT_EQ(test::ReadFile(aside), content);
    }
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode) at line"));
    EXPECT_TRUE(test::LogContains("CMiscSettings::Load"));
}

TEST(MiscSettingsTest, LoadSaveLoadRoundTrip)
{
    CMiscSettings first;
    Preset(first);
    first.AutoStartOnBoot = true;          // a cleared flag cannot survive: any element sets it
    strcpy(first.BoardVendor, "Vyk <\"Board\"> & Sons \xc3\xa9");
    ASSERT_TRUE(first.Save());
    CMiscSettings second;
    ASSERT_TRUE(second.Load());
    EXPECT_EQ(Of(second), Of(first));
    ASSERT_TRUE(second.Save());
    const QByteArray text = test::ReadFile("Preference.xml");
    CMiscSettings third;
    ASSERT_TRUE(third.Load());
    EXPECT_EQ(Of(third), Of(first));
    // Element order as the file has always had it.
    const char* order[] = {"AutoStartOnBoot", "NeedConfirmOnBoot", "AutoApplySettings", "FanBrokenDetectionEnabled",
                           "LogFileEnabled", "LanguageType", "BoardVendor", "SkinScheme", "MaximumVCoreEnabled"};
    qsizetype at = text.indexOf("<Preference>");
    for (const char* name : order) {
        const qsizetype next = text.indexOf(QByteArray(" <") + name + ">", at);
        EXPECT_GT(next, at) << name;
        at = next;
    }
}

TEST(MiscSettingsTest, LongTextsAreCutOnACharacterBoundary)
{
    const QString vendor = QString(254, QLatin1Char('v')) + QStringLiteral("\u00e9x");   // 'é' would straddle byte 255
    ASSERT_TRUE(test::WriteFile("Preference.xml",
                                "<Preference><BoardVendor>" + vendor.toUtf8() + "</BoardVendor></Preference>"));
    CMiscSettings settings;
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(std::string(settings.BoardVendor), std::string(254, 'v'));
}

TEST(MiscSettingsTest, ReadOnlyFolderStillLoadsButSaveReportsTheFailure)
{
    test::CurrentFolder folder(test::ReadOnlyFolder());
    CMiscSettings settings;
    Preset(settings);
    EXPECT_TRUE(settings.Load()) << "a folder that cannot be written must not stop the program";
    EXPECT_EQ(Of(settings), kDefaults);
    EXPECT_FALSE(settings.Save());
    EXPECT_TRUE(test::LogContains("CMiscSettings::Save"));
}
