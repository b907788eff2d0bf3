#include <QCoreApplication>
#include <QFile>
#include <QTranslator>

#include <utility>

#include <gtest/gtest.h>

#include "Settings/PageSettings.h"
#include "Source/Files.h"
#include "support/LogCapture.h"

namespace {

struct Row {
    std::string group, name;
    bool enabled, visible, editable;
    bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(CPageSettings& table)
{
    std::vector<Row> rows;
    for (int i = 0; i < table.GetPageCount(); ++i) {
        const PAGE_INFO* p = table.GetPage(i);
        rows.push_back({p->szGroupName, p->szPageName, p->Enabled, p->Visible, p->Editable});
    }
    return rows;
}

const std::vector<Row> kBuiltIn = {
    {"System\nInformation", "Basic", true, true, false},
    {"System\nInformation", "Detailed", true, true, true},
    {"System\nInformation", "Diagram", true, true, true},
    {"Status\nMonitor", "CPU Status", true, true, true},
    {"Status\nMonitor", "GPU Status", true, true, true},
    {"Status\nMonitor", "Board Status", true, true, true},
    {"Performance\nControl", "Novice Mode", true, true, false},
    {"Performance\nControl", "Clock/Voltage", true, false, false},
    {"Performance\nControl", "Memory", true, false, false},
    {"Performance\nControl", "Benchmark", true, true, true},
    {"Performance\nControl", "Stability Test", true, true, true},
    {"Performance\nControl", "Auto Clock", true, true, true},
    {"Preference", "Settings", true, true, false},
    {"Preference", "Page List", true, true, false},
    {"Preference", "Device List", true, true, false},
};

QByteArray PagesFile(int count)
{
    QByteArray xml = "<PageList><Group Name=\"G\">";
    for (int i = 0; i < count; ++i)
        xml += "<Page Name=\"P" + QByteArray::number(i) + "\"/>";
    return xml + "</Group></PageList>";
}

} // namespace

TEST(PageSettingsTest, NoFileGivesTheBuiltInTable)
{
    CPageSettings table;
    ASSERT_TRUE(table.Load());
    EXPECT_EQ(Rows(table), kBuiltIn);
    EXPECT_FALSE(QFile::exists("PageSettings.xml"));
    for (const char* refused : {"JY Pstate", "Fan Control", "Audio", "Storage", "USB", "Partners", "Debugger"})
        EXPECT_EQ(table.FindPage(QLatin1String(refused)), nullptr) << refused;
}

TEST(PageSettingsTest, FileOnDiskOverridesTheBuiltInTable)
{
    ASSERT_TRUE(test::WriteFile("PageSettings.xml",
                                "<!DOCTYPE PageSettings.xml><PageList><Group Name=\"Tools\">"
                                "<Page Name=\"Fan Control\"><Enabled>1</Enabled></Page></Group></PageList>"));
    CPageSettings table;
    ASSERT_TRUE(table.Load());
    EXPECT_EQ(Rows(table), (std::vector<Row>{{"Tools", "Fan Control", true, true, true}}));
}

TEST(PageSettingsTest, FlagsAsATable)
{
    struct Case {
        const char* page;
        Row expected;
    };
    const Case cases[] = {
        {"<Page Name=\"A\"/>", {"G", "A", true, true, true}},
        {"<Page Name=\"A\"><Visible>2</Visible><Enabled>0</Enabled></Page>", {"G", "A", false, true, true}},
        {"<Page Name=\"A\"><Visible>no</Visible><Editable> 0 </Editable></Page>", {"G", "A", true, false, false}},
        {"<Page Name=\"A\"><Enabled></Enabled><Other>0</Other></Page>", {"G", "A", true, true, true}},
        {"<Page><Enabled>1</Enabled></Page>", {"G", "", true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        ASSERT_TRUE(test::WriteFile("PageSettings.xml", QByteArray("<PageList><Group Name=\"G\">") + c.page +
                                                            "</Group></PageList>"));
        CPageSettings table;
        ASSERT_TRUE(table.Load());
        EXPECT_EQ(Rows(table), std::vector<Row>{c.expected});
    }
}

TEST(PageSettingsTest, DamagedFileFallsBackAndIsKeptAside)
{
    // Each copy set aside keeps a name of its own.
    const std::pair<QByteArray, const char*> cases[] = {
        {"<PageList><Group Name=\"G\"><Page Name=\"A\">", "PageSettings.xml.bad"}, {"", "PageSettings.xml.bad2"},
        {PagesFile(65), "PageSettings.xml.bad3"}};
    for (const auto& [content, aside] : cases) {
        ASSERT_TRUE(test::WriteFile("PageSettings.xml", content));
        CPageSettings table;
        ASSERT_TRUE(table.Load());
        EXPECT_EQ(Rows(table), kBuiltIn);
        EXPECT_FALSE(QFile::exists("PageSettings.xml"));
        EXPECT_EQ(test::ReadFile(aside), content);
    }
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(nIndex < MAX_WIDGET_COUNT) at line"));
    EXPECT_TRUE(test::LogContains("CPageHandler::endElement"));
}

TEST(PageSettingsTest, SixtyFourPagesLoad)
{
    ASSERT_TRUE(test::WriteFile("PageSettings.xml", PagesFile(64)));
    CPageSettings table;
    ASSERT_TRUE(table.Load());
    EXPECT_EQ(table.GetPageCount(), 64);
    EXPECT_STREQ(table.GetPage(63)->szPageName, "P63");
}

TEST(PageSettingsTest, SaveGathersGroupsAndRoundTrips)
{
    CPageSettings table;
    table.AddPage("System\nInformation", "Basic", true, true, false);
    table.AddPage("Tools", "Fan Control", false, false, true);
    table.AddPage("System\nInformation", "Detailed", true, true, true);
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(test::ReadFile("PageSettings.xml"),
              "<!DOCTYPE PageSettings.xml>\n"
              "<PageList>\n"
              " <Group Name=\"System\\nInformation\">\n"
              "  <Page Name=\"Basic\">\n"
              "   <Enabled>1</Enabled>\n"
              "   <Editable>0</Editable>\n"
              "  </Page>\n"
              "  <Page Name=\"Detailed\">\n"
              "   <Enabled>1</Enabled>\n"
              "  </Page>\n"
              " </Group>\n"
              " <Group Name=\"Tools\">\n"
              "  <Page Name=\"Fan Control\">\n"
              "   <Enabled>0</Enabled>\n"
              "   <Visible>0</Visible>\n"
              "  </Page>\n"
              " </Group>\n"
              "</PageList>\n");
    CPageSettings reloaded;
    ASSERT_TRUE(reloaded.Load());
    EXPECT_EQ(Rows(reloaded), (std::vector<Row>{{"System\nInformation", "Basic", true, true, false},
                                                {"System\nInformation", "Detailed", true, true, true},
                                                {"Tools", "Fan Control", false, false, true}}));
}

TEST(PageSettingsTest, BuiltInTableRoundTripsThroughSave)
{
    CPageSettings table;
    ASSERT_TRUE(table.Load());
    ASSERT_TRUE(table.Save());
    CPageSettings reloaded;
    ASSERT_TRUE(reloaded.Load());
    EXPECT_EQ(Rows(reloaded), kBuiltIn);
}

TEST(PageSettingsTest, SaveIntoAReadOnlyFolderReportsFailure)
{
    CPageSettings table;
    ASSERT_TRUE(table.Load());
    test::CurrentFolder folder(test::ReadOnlyFolder());
    EXPECT_FALSE(table.Save());
    EXPECT_TRUE(test::LogContains("CPageSettings::Save"));
    EXPECT_TRUE(table.Load()) << "the built-in table still loads";
    EXPECT_EQ(table.GetPageCount(), 15);
}

TEST(PageSettingsTest, GetPageOutOfRangeIsNullAndLogged)
{
    CPageSettings table;
    ASSERT_TRUE(table.Load());
    EXPECT_EQ(table.GetPage(-1), nullptr);
    EXPECT_EQ(table.GetPage(15), nullptr);
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(nIndex >= 0 && nIndex < m_nPageCount) at line"), 2u);
    EXPECT_TRUE(test::LogContains("CPageSettings::GetPage"));
    // Records are handed out for editing in place.
    table.GetPage(7)->Visible = true;
    EXPECT_TRUE(table.FindPage("Clock/Voltage")->Visible);
}

TEST(PageSettingsTest, FindPageByFixedNameOrTranslatedTitle)
{
    CPageSettings table;
    ASSERT_TRUE(table.Load());
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral(VELOCREST_TEST_PLUGINS "/testpages_de.qm")));
    QCoreApplication::installTranslator(&translator);
    const PAGE_INFO* byName = table.FindPage("Clock/Voltage");
    const PAGE_INFO* byTitle = table.FindPage(QStringLiteral("Takt/Spannung"));
    QCoreApplication::removeTranslator(&translator);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName, byTitle);
    EXPECT_EQ(table.FindPage("clock/voltage"), nullptr);
}
