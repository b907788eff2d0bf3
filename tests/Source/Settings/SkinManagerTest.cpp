#include <gtest/gtest.h>

#include "Settings/SkinManager.h"
#include "Source/Files.h"
#include "support/LogCapture.h"

TEST(SkinManagerTest, PathsPreferTheDiskCopyAtEveryCall)
{
    CSkinManager skins;
    skins.SetSkin("skin-red");
    struct Case {
        const char* name;
        const char* before;      // no resource folder
        const char* after;       // with ./resource/skin-red/qss/main_style.qss on disk
    };
    const Case cases[] = {
        {"qss/main_style.qss", ":/skin-red/qss/main_style.qss", "./resource/skin-red/qss/main_style.qss"},
        {"qss/menu_button.qss", ":/skin-red/qss/menu_button.qss", ":/skin-red/qss/menu_button.qss"},
        {"images/gauge.png", ":/skin-red/images/gauge.png", ":/skin-red/images/gauge.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(skins.GetFilePath(c.name), QLatin1String(c.before)) << c.name;
    ASSERT_TRUE(test::WriteFile("resource/skin-red/qss/main_style.qss", "QWidget { color: red; }"));
    ASSERT_TRUE(test::WriteFile("resource/skin-black/qss/menu_button.qss", "other skin"));
    for (const Case& c : cases)
        EXPECT_EQ(skins.GetFilePath(c.name), QLatin1String(c.after)) << c.name;
    EXPECT_EQ(skins.GetQssFile("main_style.qss"), QStringLiteral("QWidget { color: red; }"));
}

TEST(SkinManagerTest, SkinThatOnlyExistsOnDisk)
{
    ASSERT_TRUE(test::WriteFile("resource/skin-blue/qss/dialog_style.qss", "caf\xe9"));   // Latin-1
    ASSERT_TRUE(test::WriteFile("resource/skin-blue/images/Component/cdrom.png", "png"));
    CSkinManager skins;
    skins.SetSkin("skin-blue");
    EXPECT_EQ(skins.GetQssFile("dialog_style.qss"), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(skins.GetFilePath("images/Component/cdrom.png"), QStringLiteral("./resource/skin-blue/images/Component/cdrom.png"));
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR"), 0u);
}

TEST(SkinManagerTest, MissingStyleSheetIsEmptyAndLogged)
{
    CSkinManager skins;
    skins.SetSkin("skin-blue");
    EXPECT_EQ(skins.GetQssFile("main_style.qss"), QString());
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(bRetCode) at line"), 1u);
    EXPECT_TRUE(test::LogContains("CSkinManager::GetQssFile"));
}

TEST(SkinManagerTest, EachStyleSheetIsReadOncePerSkin)
{
    CSkinManager skins;
    skins.SetSkin("skin-red");
    ASSERT_TRUE(test::WriteFile("resource/skin-red/qss/dialog_style.qss", "QLabel { color: red; }"));
    EXPECT_EQ(skins.GetQssFile("dialog_style.qss"), QStringLiteral("QLabel { color: red; }"));
    // Every window asks again: the text read first is shared, the file is not read again.
    ASSERT_TRUE(test::WriteFile("resource/skin-red/qss/dialog_style.qss", "QLabel { color: blue; }"));
    EXPECT_EQ(skins.GetQssFile("dialog_style.qss"), QStringLiteral("QLabel { color: red; }"));
    // A sheet the skin lacks is told once.
    EXPECT_EQ(skins.GetQssFile("missing.qss"), QString());
    EXPECT_EQ(skins.GetQssFile("missing.qss"), QString());
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(bRetCode) at line"), 1u);
    // The skin set (again) is read anew.
    skins.SetSkin("skin-red");
    EXPECT_EQ(skins.GetQssFile("dialog_style.qss"), QStringLiteral("QLabel { color: blue; }"));
}
