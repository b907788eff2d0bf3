#include <QFile>
#include <QTranslator>

#include <gtest/gtest.h>

// The built-in resources must survive the static link into every program.
TEST(ResourcesTest, BuiltInPageTableAndQtTranslationsArePresent)
{
    EXPECT_TRUE(QFile::exists(":/Resources/PageSettings.xml"));
    for (const char* name : {"qt_zh_CN", "qt_zh_TW", "qt_fr", "qt_de", "qt_es", "qt_it", "qt_ja_jp", "qt_ko_KR", "qt_pt"}) {
        QTranslator translator;
        EXPECT_TRUE(translator.load(QStringLiteral(":/translation/%1.qm").arg(QLatin1String(name)))) << name;
        EXPECT_FALSE(translator.isEmpty()) << name;
    }
}
