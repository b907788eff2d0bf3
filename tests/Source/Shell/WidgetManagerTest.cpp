#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Settings/PageSettings.h"
#include "Source/Shell/FakePage.h"
#include "Shell/WidgetManager.h"
#include "Source/Files.h"
#include "support/LogCapture.h"

namespace {

class WidgetManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::WriteFile("PageSettings.xml",
                                    "<PageList><Group Name=\"G\">"
                                    "<Page Name=\"Basic\"/><Page Name=\"Off\"><Enabled>0</Enabled></Page>"
                                    "<Page Name=\"Hidden\"><Visible>0</Visible></Page>"
                                    "</Group></PageList>"));
        ASSERT_TRUE(g_PageSettings.Load());
        ASSERT_TRUE(manager.Init());
    }

    CWidgetManager manager;
};

} // namespace

TEST_F(WidgetManagerTest, AdmissionAsATable)
{
    struct Case {
        const char* name;
        bool initOk;
        bool admitted;
        int inits;
        const char* log;
    };
    const Case cases[] = {
        {"Nowhere", true, false, 0, "Cannot find page Nowhere in PageSettings.xml file."},
        {"Off", true, false, 0, "Page Off is disabled."},
        {"Basic", false, false, 1, "Page Basic initialization failed."},
        {"Basic", true, true, 1, nullptr},
        {"Hidden", true, true, 1, nullptr},          // Visible does not matter here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LogCapture::Instance().Clear();
        auto page = std::make_unique<test::FakePage>(c.name, c.initOk);
        const unsigned int before = manager.GetWidgetCount();
        EXPECT_EQ(manager.AddWidget(page.get()), c.admitted);
        EXPECT_EQ(page->inits, c.inits);
        EXPECT_EQ(manager.GetWidgetCount(), before + (c.admitted ? 1 : 0));
        if (c.log) {
            EXPECT_EQ(test::LogCount(std::string("<4>: ") + c.log), 1u) << "one information line";
        }
        if (c.admitted) {
            EXPECT_TRUE(manager.DelWidget(page.get()));
            EXPECT_EQ(page->unInits, 1);
        }
    }
    EXPECT_FALSE(manager.AddWidget(nullptr));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pWidget) at line"));
    test::FakePage nameless(nullptr);
    EXPECT_FALSE(manager.AddWidget(&nameless));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pszName) at line"));
    EXPECT_TRUE(test::LogContains("CWidgetManager::AddWidget"));
}

TEST_F(WidgetManagerTest, LookUpByPositionAndName)
{
    test::FakePage first("Basic"), second("Hidden"), twin("Basic");
    ASSERT_TRUE(manager.AddWidget(&first));
    ASSERT_TRUE(manager.AddWidget(&second));
    ASSERT_TRUE(manager.AddWidget(&twin));
    EXPECT_EQ(manager.GetWidgetCount(), 3u);
    EXPECT_EQ(manager.GetWidget(0u), &first);
    EXPECT_EQ(manager.GetWidget(2u), &twin);
    EXPECT_EQ(manager.GetWidget(3u), nullptr);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uIndex < m_WidgetList.size()) at line"));
    EXPECT_EQ(manager.GetWidget("Basic"), &first) << "the first of two pages of one name";
    EXPECT_EQ(manager.GetWidget("basic"), nullptr);
    EXPECT_EQ(manager.GetWidget(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pszName) at line"));
    EXPECT_TRUE(test::LogContains("CWidgetManager::GetWidget"));

    ASSERT_TRUE(manager.DelWidget(&first));
    EXPECT_EQ(manager.GetWidget("Basic"), &twin);
    EXPECT_FALSE(manager.DelWidget(&first)) << "no longer registered";
    EXPECT_EQ(first.unInits, 1);
    ASSERT_TRUE(manager.DelWidget(&second));
    ASSERT_TRUE(manager.DelWidget(&twin));
    EXPECT_TRUE(manager.UnInit());
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR"), 0u);
}

TEST_F(WidgetManagerTest, FailedUnInitIsOnlyLogged)
{
    test::FakePage page("Basic", true, false);
    ASSERT_TRUE(manager.AddWidget(&page));
    EXPECT_TRUE(manager.DelWidget(&page));
    EXPECT_EQ(manager.GetWidgetCount(), 0u);
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(bRetCode) at line"));
    EXPECT_TRUE(test::LogContains("CWidgetManager::DelWidget"));
}

TEST_F(WidgetManagerTest, UnInitWithPagesStillRegistered)
{
    test::FakePage page("Basic");
    ASSERT_TRUE(manager.AddWidget(&page));
    EXPECT_FALSE(manager.UnInit());
    EXPECT_EQ(page.unInits, 1);
    EXPECT_EQ(manager.GetWidgetCount(), 0u);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_WidgetList.size() == 0) at line"));
    EXPECT_TRUE(manager.UnInit()) << "a second call finds nothing left";
}

TEST_F(WidgetManagerTest, NoWidgetFolderLeavesTheBuiltInPages)
{
    // Page plug-ins are optional: no folder, or a folder without one, is a note.
    test::FakePage page("Basic");
    ASSERT_TRUE(manager.AddWidget(&page));
    EXPECT_FALSE(manager.LoadPlugins());
    ASSERT_TRUE(test::WriteFile("Widget/readme.txt", "no libraries here"));
    EXPECT_FALSE(manager.LoadPlugins());
    EXPECT_EQ(test::LogCount("<4>: No page plug-ins (Widget/*R.so)."), 2u);
    EXPECT_EQ(test::LogCapture::Instance().ErrorLines(), std::vector<std::string>{});
    EXPECT_EQ(manager.GetWidgetCount(), 1u);
    EXPECT_EQ(manager.GetWidget(0u), &page);

    // A Widget that is no folder cannot be searched: that is an error.
    ASSERT_TRUE(QDir("Widget").removeRecursively());
    ASSERT_TRUE(test::WriteFile("Widget", "not a folder"));
    EXPECT_FALSE(manager.LoadPlugins());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(hFind != INVALID_HANDLE_VALUE) at line"));
    EXPECT_EQ(manager.GetWidgetCount(), 1u);
    ASSERT_TRUE(manager.DelWidget(&page));
}
