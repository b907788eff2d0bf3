#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTranslator>

#include <gtest/gtest.h>

#include "Platform/Locale.h"
#include "Settings/MiscSettings.h"
#include "Source/Files.h"
#include "support/LogCapture.h"

namespace {

// Leaves the application without the translators a test installed, and the
// default locale and resource folder as they were.
class LanguageTest : public testing::Test {
protected:
    void TearDown() override
    {
        for (QTranslator** p : {&settings.m_pTranslator, &settings.m_pQtTranslator}) {
            if (*p) {
                QCoreApplication::removeTranslator(*p);
                delete *p;
                *p = nullptr;
            }
        }
        QLocale::setDefault(QLocale::system());
        CMiscSettings::SetQtTranslationFolder(QStringLiteral(":/translation"));
    }

    // A program translation file: any valid .qm does.
    static void InstallProgramTranslation(const char* name)
    {
        ASSERT_TRUE(test::WriteFile(QStringLiteral("language/%1").arg(QLatin1String(name)),
                                    test::ReadFile(QStringLiteral(":/translation/qt_de.qm"))));
    }

    CMiscSettings settings;
};

QString QtYes() { return QCoreApplication::translate("QPlatformTheme", "&Yes"); }

} // namespace

TEST(LanguageIdTest, WindowsLanguageIdentifiersMapToLanguageNumbers)
{
    const std::pair<uint16_t, int> cases[] = {
        {0x0807, 5}, {0x0407, 5}, {0x1004, 2}, {0x0804, 2}, {0x0404, 3}, {0x0C04, 3}, {0x1404, 3},
        {0x0413, 1}, {0x0409, 1}, {0x040C, 4}, {0x0C0A, 6}, {0x0410, 7}, {0x0411, 8}, {0x0412, 9},
        {0x0416, 10}, {0x0816, 10}, {0x0004, 1}, {0x0000, 1},
    };
    for (const auto& [langId, language] : cases)
        EXPECT_EQ(LanguageFromLangId(langId), language) << std::hex << langId;
}

TEST(LanguageIdTest, SystemLocalesGiveTheirWindowsIdentifiers)
{
    const std::pair<const char*, uint16_t> cases[] = {
        {"de_CH", 0x0807}, {"de_DE", 0x0407}, {"zh_SG", 0x1004}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404},
        {"zh_HK", 0x0C04}, {"zh_MO", 0x1404}, {"nl_NL", 0x0413}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
        {"en_US", 0x0409}, {"ja_JP", 0x0411}, {"sw_KE", 0x0400},
    };
    for (const auto& [name, langId] : cases)
        EXPECT_EQ(plat::LangIdFromLocale(QLocale(QLatin1String(name))), langId) << name;
}

TEST_F(LanguageTest, EachLanguageNumberInstallsItsTranslators)
{
    InstallProgramTranslation("velocrest_fr_FR.qm");
    struct Case {
        int language;
        const char* qt;          // built-in Qt translation, or null
        bool program;            // program translation installed
        const char* yes;         // Qt's "&Yes" afterwards
    };
    const Case cases[] = {
        {1, nullptr, false, "&Yes"},
        {5, ":/translation/qt_de.qm", false, "&Ja"},
        {4, ":/translation/qt_fr.qm", true, nullptr},
        {11, nullptr, false, "&Yes"},
        {2, ":/translation/qt_zh_CN.qm", false, nullptr},
        {3, ":/translation/qt_zh_TW.qm", false, nullptr},
        {6, ":/translation/qt_es.qm", false, nullptr},
        {7, ":/translation/qt_it.qm", false, nullptr},
        {8, ":/translation/qt_ja_jp.qm", false, nullptr},
        {9, ":/translation/qt_ko_KR.qm", false, nullptr},
        {10, ":/translation/qt_pt.qm", false, nullptr},
        {-3, nullptr, false, "&Yes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        settings.LanguageType = c.language;
        ASSERT_TRUE(settings.LoadLanguage());
        EXPECT_EQ(settings.LanguageType, c.language);
        ASSERT_NE(settings.m_pQtTranslator, nullptr);
        if (c.qt) {
            EXPECT_EQ(settings.m_pQtTranslator->filePath(), QLatin1String(c.qt));
            EXPECT_FALSE(settings.m_pQtTranslator->isEmpty());
        } else {
            EXPECT_TRUE(settings.m_pQtTranslator->isEmpty());
        }
        EXPECT_EQ(settings.m_pTranslator != nullptr, c.program);
        if (c.yes)
            EXPECT_EQ(QtYes(), QLatin1String(c.yes));
        else
            EXPECT_NE(QtYes(), QLatin1String("&Yes"));
    }
}

TEST_F(LanguageTest, LanguageZeroTakesTheSystemLanguage)
{
    const std::pair<const char*, int> cases[] = {{"de_CH", 5}, {"zh_SG", 2}, {"nl_NL", 1}, {"pt_BR", 10}};
    for (const auto& [locale, language] : cases) {
        SCOPED_TRACE(locale);
        QLocale::setDefault(QLocale(QLatin1String(locale)));
        settings.LanguageType = 0;
        ASSERT_TRUE(settings.LoadLanguage());
        EXPECT_EQ(settings.LanguageType, language);
    }
}

// Switching languages deletes the earlier translators exactly once (the sanitizer
// build catches a second delete).
TEST_F(LanguageTest, RepeatedCallsReplaceTheTranslatorsSafely)
{
    settings.LanguageType = 1;
    ASSERT_TRUE(settings.LoadLanguage());
    EXPECT_EQ(settings.m_pTranslator, nullptr);
    settings.LanguageType = 5;                  // no program translation for German
    ASSERT_TRUE(settings.LoadLanguage());
    EXPECT_EQ(settings.m_pTranslator, nullptr);
    InstallProgramTranslation("velocrest_zh_CN.qm");
    settings.LanguageType = 2;
    ASSERT_TRUE(settings.LoadLanguage());
    ASSERT_NE(settings.m_pTranslator, nullptr);
    EXPECT_EQ(settings.m_pTranslator->filePath(), QStringLiteral("language/velocrest_zh_CN.qm"));
    settings.LanguageType = 1;
    ASSERT_TRUE(settings.LoadLanguage());
    EXPECT_EQ(QtYes(), QStringLiteral("&Yes")) << "the earlier translators are no longer installed";
}

TEST_F(LanguageTest, MissingBuiltInQtTranslationFails)
{
    CMiscSettings::SetQtTranslationFolder(QStringLiteral(":/no-such-folder"));
    settings.LanguageType = 5;
    EXPECT_FALSE(settings.LoadLanguage());
    EXPECT_EQ(settings.m_pTranslator, nullptr);
    EXPECT_EQ(settings.m_pQtTranslator, nullptr);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
    EXPECT_TRUE(test::LogContains("CMiscSettings::LoadLanguage"));
    // And the next call after such a failure is safe.
    CMiscSettings::SetQtTranslationFolder(QStringLiteral(":/translation"));
    EXPECT_TRUE(settings.LoadLanguage());
}
