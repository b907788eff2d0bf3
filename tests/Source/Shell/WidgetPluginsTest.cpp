#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include "Settings/MiscSettings.h"
#include "Settings/PageSettings.h"
#include "Source/Shell/FakePage.h"
#include "Shell/IQVXWidget.h"
#include "Shell/WidgetManager.h"
#include "Source/Files.h"
#include "support/LogCapture.h"

namespace {

struct PluginConfig {
    QStringList names;
    QStringList failInit = {};
    QString qm = {};            // empty: GetQmFile answers null
    int nullAt = -1;
};

// Copies the test plug-in into this test's "Widget" folder as "<stem>R.so".
void InstallPlugin(const QString& stem, const PluginConfig& config, const char* variant = "Full")
{
    QDir().mkpath("Widget");
    const QString target = QStringLiteral("Widget/%1R.so").arg(stem);
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELOCREST_TEST_PLUGINS "/TestPages%1R.so").arg(QLatin1String(variant)), target));
    QSettings ini(QStringLiteral("Widget/%1R.ini").arg(stem), QSettings::IniFormat);
    ini.setValue("names", config.names);
    ini.setValue("failInit", config.failInit);
    if (!config.qm.isEmpty())
        ini.setValue("qm", config.qm);
    ini.setValue("nullAt", config.nullAt);
}

bool IsLoaded(const QString& stem)
{
    const QByteArray path = QDir::current().absoluteFilePath(QStringLiteral("Widget/%1R.so").arg(stem)).toLocal8Bit();
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

QStringList Events(const QString& stem)
{
    return QString::fromUtf8(test::ReadFile(QStringLiteral("Widget/%1R.events").arg(stem))).split('\n', Qt::SkipEmptyParts);
}

void InstallPluginTranslation()
{
    ASSERT_TRUE(test::WriteFile("language/testpages_de.qm", test::ReadFile(VELOCREST_TEST_PLUGINS "/testpages_de.qm")));
}

class WidgetPluginsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::WriteFile("PageSettings.xml",
                                    "<PageList><Group Name=\"Plug\\nIns\">"
                                    "<Page Name=\"Basic\"/><Page Name=\"Plug A\"/><Page Name=\"Plug B\"/>"
                                    "<Page Name=\"Off\"><Enabled>0</Enabled></Page>"
                                    "</Group></PageList>"));
        ASSERT_TRUE(g_PageSettings.Load());
        g_MiscSettings.LanguageType = 5;
        ASSERT_TRUE(manager.Init());
    }
    void TearDown() override { g_MiscSettings.LanguageType = 0; }

    // What the main window does at the end of a pass: unregister and delete every page.
    void CloseWindow()
    {
        while (manager.GetWidgetCount() > 0) {
            IQVXWidget* page = manager.GetWidget(0u);
            ASSERT_TRUE(manager.DelWidget(page));
            if (page != &builtIn)
                delete page;
        }
    }

    CWidgetManager manager;
    test::FakePage builtIn{"Basic"};
};

QString Translated() { return QCoreApplication::translate("TestPages", "Plug A"); }

} // namespace

TEST_F(WidgetPluginsTest, PagesAreAdmittedOrRefusedAndTheLibraryLivesWithItsPages)
{
    InstallPlugin("Alpha", {{"Plug A", "Nowhere", "Off", "Plug B"}, {"Plug B"}, "testpages_de.qm"});
    InstallPluginTranslation();
    ASSERT_TRUE(manager.AddWidget(&builtIn));
    ASSERT_TRUE(manager.LoadPlugins());

    ASSERT_EQ(manager.GetWidgetCount(), 2u);
    IQVXWidget* page = manager.GetWidget("Plug A");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(manager.GetWidget(1u), page);
    EXPECT_EQ(Events("Alpha"), (QStringList{"qm 5", "create Plug A", "init Plug A Steckseite A", "create Nowhere",
                                            "delete Nowhere", "create Off", "delete Off", "create Plug B",
                                            "init Plug B Steckseite A", "delete Plug B"}));
    EXPECT_TRUE(test::LogContains("<4>: Cannot find page Nowhere in PageSettings.xml file."));
    EXPECT_TRUE(test::LogContains("<4>: Page Off is disabled."));
    EXPECT_TRUE(test::LogContains("<4>: Page Plug B initialization failed."));
    EXPECT_TRUE(IsLoaded("Alpha"));
    EXPECT_EQ(Translated(), QStringLiteral("Steckseite A"));

    CloseWindow();
    EXPECT_TRUE(IsLoaded("Alpha")) << "unloaded only by UnInit, after the pages are gone";
    EXPECT_TRUE(manager.UnInit());
    EXPECT_FALSE(IsLoaded("Alpha"));
    EXPECT_EQ(Translated(), QStringLiteral("Plug A")) << "the plug-in's translator is removed";
    EXPECT_EQ(Events("Alpha").mid(10), (QStringList{"uninit Plug A", "delete Plug A"}));
}

TEST_F(WidgetPluginsTest, LibraryWithNoAdmittedPageIsUnloadedAtOnce)
{
    InstallPlugin("Alpha", {{"Off", "Nowhere"}, {}, "testpages_de.qm"});
    InstallPluginTranslation();
    InstallPlugin("Beta", {{}, {}});
    ASSERT_TRUE(manager.LoadPlugins());
    EXPECT_EQ(manager.GetWidgetCount(), 0u);
    EXPECT_FALSE(IsLoaded("Alpha"));
    EXPECT_FALSE(IsLoaded("Beta"));
    EXPECT_EQ(Events("Alpha"), (QStringList{"qm 5", "create Off", "delete Off", "create Nowhere", "delete Nowhere"}));
    EXPECT_EQ(Translated(), QStringLiteral("Plug A"));
    EXPECT_EQ(Events("Beta"), QStringList{"qm 5"});
}

TEST_F(WidgetPluginsTest, FailingLibraryEndsTheSearchInNameOrder)
{
    struct Case {
        const char* name;
        PluginConfig config;
        const char* variant;    // null: a folder named like a plug-in
        const char* log;
        const char* why;        // the line that names the file says why it is not loaded
        qint64 cutTo = 0;       // the library's first bytes only, as a copy broken off
    };
    const Case cases[] = {
        {"missing translation", {{"Plug A"}, {}, "nowhere_de.qm"}, "Full", "LOG_PROCESS_ERROR(bRetCode) at line",
         "its translation language/nowhere_de.qm cannot be loaded"},
        {"missing export", {{"Plug A"}, {}}, "NoCount", "LOG_PROCESS_ERROR(GetWidgetCount) at line",
         "it has no entry point GetWidgetCount"},
        {"null first page", {{"Plug A"}, {}, QString(), 0}, "Full", "LOG_PROCESS_ERROR(pWidget) at line",
         "its CreateWidget made no page 0"},
        {"cut short", {{"Plug A"}, {}}, "Full", "LOG_PROCESS_ERROR(hModule) at line",
         "a loadable segment lies beyond the end of the file (the file is cut short)", 8192},
        {"a folder", {}, nullptr, "LOG_PROCESS_ERROR(hModule) at line", "it is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir("Widget").removeRecursively();
        test::LogCapture::Instance().Clear();
        if (c.variant) {
            InstallPlugin("Alpha", c.config, c.variant);
        } else {
            ASSERT_TRUE(QDir().mkpath("Widget/AlphaR.so"));
        }
        if (c.cutTo > 0) {
            ASSERT_TRUE(QFile::resize("Widget/AlphaR.so", c.cutTo));
        }
        InstallPlugin("beta", {{"Plug B"}, {}});           // after Alpha in name order, whatever the case
        EXPECT_FALSE(manager.LoadPlugins());
        EXPECT_TRUE(test::LogContains(c.log));
        EXPECT_TRUE(test::LogContains(std::string("Plug-in Widget/AlphaR.so is not loaded: ") + c.why + "."));
        EXPECT_TRUE(test::LogContains("CWidgetManager::_LoadWidgetLibrary"));
        EXPECT_TRUE(test::LogContains("CWidgetManager::LoadPlugins"));
        EXPECT_EQ(manager.GetWidgetCount(), 0u);
        EXPECT_FALSE(IsLoaded("Alpha"));
        EXPECT_FALSE(QFile::exists("Widget/betaR.events")) << "later libraries are not loaded";
        EXPECT_TRUE(manager.UnInit());
    }
}

// A library whose CreateWidget fails after it already gave an admitted page keeps
// that page's code (and translator) until the page is gone.
TEST_F(WidgetPluginsTest, NullPageAfterAnAdmittedOneKeepsTheLibrary)
{
    InstallPlugin("Alpha", {{"Plug A", "Plug B"}, {}, "testpages_de.qm", 1});
    InstallPluginTranslation();
    EXPECT_FALSE(manager.LoadPlugins());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pWidget) at line"));
    ASSERT_EQ(manager.GetWidgetCount(), 1u);
    IQVXWidget* page = manager.GetWidget(0u);
    EXPECT_TRUE(IsLoaded("Alpha"));
    EXPECT_TRUE(page->Apply());
    EXPECT_STREQ(page->GetName(), "Plug A");
    EXPECT_EQ(Translated(), QStringLiteral("Steckseite A"));
    CloseWindow();
    EXPECT_TRUE(manager.UnInit());
    EXPECT_FALSE(IsLoaded("Alpha"));
    EXPECT_EQ(Translated(), QStringLiteral("Plug A"));
}

TEST_F(WidgetPluginsTest, PagesStillRegisteredAtUnInitKeepTheirLibrary)
{
    InstallPlugin("Alpha", {{"Plug A"}, {}});
    ASSERT_TRUE(manager.LoadPlugins());
    IQVXWidget* page = manager.GetWidget(0u);
    EXPECT_FALSE(manager.UnInit());
    EXPECT_TRUE(IsLoaded("Alpha")) << "the page object still exists";
    EXPECT_STREQ(page->GetName(), "Plug A");
    delete page;
    EXPECT_EQ(Events("Alpha"), (QStringList{"qm 5", "create Plug A", "init Plug A Plug A", "uninit Plug A",
                                            "delete Plug A"}));
}

TEST_F(WidgetPluginsTest, EveryPassLoadsThePluginsAgain)
{
    InstallPlugin("Alpha", {{"Plug A"}, {}});
    for (int language : {5, 2}) {
        g_MiscSettings.LanguageType = language;
        ASSERT_TRUE(manager.Init());
        ASSERT_TRUE(manager.AddWidget(&builtIn));
        ASSERT_TRUE(manager.LoadPlugins());
        EXPECT_EQ(manager.GetWidgetCount(), 2u);
        CloseWindow();
        EXPECT_TRUE(manager.UnInit());
        EXPECT_FALSE(IsLoaded("Alpha"));
    }
    EXPECT_EQ(Events("Alpha").filter("qm "), (QStringList{"qm 5", "qm 2"}));
}
