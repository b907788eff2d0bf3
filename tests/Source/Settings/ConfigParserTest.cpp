#include <QDir>
#include <QFile>
#include <QLocale>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Platform/Registry.h"
#include "Settings/ConfigParser.h"
#include "Source/Files.h"
#include "support/FileSaves.h"
#include "support/Leftovers.h"
#include "support/LogCapture.h"
#include "VirtualBoard/Machine.h"

namespace {

const QByteArray kEmptyStore = "<?QVX_Configuration_File version = \"1.0\"?>\n<Configuration/>";

QByteArray Body(const QByteArray& file) { return file.mid(file.indexOf("<Configuration")); }

class ConfigParserTest : public testing::Test {
protected:
    void TearDown() override
    {
        CConfigParser::ReleaseInstance();
        QLocale::setDefault(QLocale::system());
    }
};

} // namespace

TEST_F(ConfigParserTest, FirstUseWritesAnEmptyStoreInTheCurrentFolder)
{
    CConfigParser* store = CConfigParser::GetInstance();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store, CConfigParser::GetInstance());
    EXPECT_EQ(store->GetFullPath(), QStringLiteral("./QVXConfig.xml"));
    EXPECT_EQ(test::ReadFile("QVXConfig.xml"), kEmptyStore);
    // No installer wrote an install folder into the registry, as on every system
    // that runs the program from where it was built: a note says where the store is,
    // and nothing is logged as an error.
    EXPECT_EQ(test::LogCapture::Instance().ErrorLines(), std::vector<std::string>{});
    EXPECT_TRUE(test::LogContains("<4>: No install folder in the registry (InstallDir): QVXConfig.xml is kept in "
                                  "the program's folder."));
}

TEST_F(ConfigParserTest, AnInstallFolderThatCannotBeReadIsAnError)
{
    // The product key without the value is the same first start; a value there that
    // cannot be read keeps its error line.
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, plat::kProductKey), plat::ERROR_SUCCESS);
    {
        CConfigParser store(u"QVXConfig.xml");
        EXPECT_EQ(store.GetFullPath(), QStringLiteral("./QVXConfig.xml"));
        EXPECT_EQ(test::LogCapture::Instance().ErrorLines(), std::vector<std::string>{});
    }
    ASSERT_EQ(key.SetString(u"InstallDir", QDir::currentPath() + "/"), plat::ERROR_SUCCESS);
    vb::Machine::Instance().GetFaults().Set("registry-read-fails:InstallDir");
    test::LogCapture::Instance().Clear();
    CConfigParser store(u"QVXConfig.xml");
    vb::Machine::Instance().GetFaults().Clear();
    EXPECT_EQ(store.GetFullPath(), QStringLiteral("./QVXConfig.xml"));
    EXPECT_EQ(test::LogCheckCount("LOG_PROCESS_ERROR(lRet == ERROR_SUCCESS)", "CConfigParser::_GetInstallDir"), 1u);
    EXPECT_FALSE(test::LogContains("No install folder"));
}

TEST_F(ConfigParserTest, InstallFolderComesFromTheRegistry)
{
    struct Case {
        QString installDir;
        QString expectedFolder;
        const char* log;
    };
    QDir().mkpath("inst");
    const QString inst = QDir::currentPath() + QStringLiteral("/inst");
    const Case cases[] = {
        {inst + QStringLiteral("/VykVelocrest"), inst + QStringLiteral("/"), nullptr},
        {inst + QStringLiteral("/"), inst + QStringLiteral("/"), nullptr},
        {QStringLiteral("C:\\Program Files\\Vyk\\VykVelocrest.exe"), QStringLiteral("C:\\Program Files\\Vyk\\"), nullptr},
        {QStringLiteral("nofolder"), QStringLiteral("./"), "LOG_PROCESS_ERROR(ch != NULL)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.installDir));
        test::LogCapture::Instance().Clear();
        plat::RegistryKey key;
        ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, plat::kProductKey), plat::ERROR_SUCCESS);
        ASSERT_EQ(key.SetString(u"InstallDir", c.installDir), plat::ERROR_SUCCESS);
        CConfigParser store(u"QVXConfig.xml");
        EXPECT_EQ(store.GetFullPath(), c.expectedFolder + QStringLiteral("QVXConfig.xml"));
        if (c.log)
            EXPECT_TRUE(test::LogContains(c.log));
        else
            EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR"), 0u);
    }
    EXPECT_EQ(test::ReadFile("inst/QVXConfig.xml"), kEmptyStore);
}

TEST_F(ConfigParserTest, GoldenExampleAndReplacement)
{
    CConfigParser* store = CConfigParser::GetInstance();
    ASSERT_TRUE(store->SetValue(u"Performance Control", u"Basic Mode", u"Level", 3.0, true));
    EXPECT_EQ(Body(test::ReadFile("QVXConfig.xml")),
              "<Configuration><Performance_Control><Basic_Mode><Level>3</Level></Basic_Mode></Performance_Control>"
              "</Configuration>");
    ASSERT_TRUE(store->SetValue(u"Performance Control", u"Basic Mode", u"Level", u"7", true));
    EXPECT_EQ(Body(test::ReadFile("QVXConfig.xml")),
              "<Configuration><Performance_Control><Basic_Mode><Level>7</Level></Basic_Mode></Performance_Control>"
              "</Configuration>");
    // The next start reads what was written.
    CConfigParser::ReleaseInstance();
    QString value;
    ASSERT_TRUE(CConfigParser::GetInstance()->GetValue(u"Performance Control", u"Basic Mode", u"Level", value));
    EXPECT_EQ(value, QStringLiteral("7"));
    ASSERT_TRUE(CConfigParser::GetInstance()->GetValue(u"Performance_Control", u"Basic_Mode", u"Level", value));
}

TEST_F(ConfigParserTest, NamesValuesAndRefusals)
{
    CConfigParser store(u"QVXConfig.xml");
    const QString longName = QString(300, QLatin1Char('n'));
    struct Case {
        QStringView group, subGroup, item, value;
        bool stored;
    };
    const Case cases[] = {
        {u"CPU", u"Vyk Tarrow (tm) T40/4+", u"CPUVID", u"1.25", true},
        {u"QVXAssist", u"ApplySettings", u"LastRunStatus", u"Succeeded", true},
        {u"G", u"S", u"EmptyValue", u"", true},
        {u"G", u"S", longName, u"long", true},
        {u"", u"S", u"I", u"x", false},
        {u"G", u"", u"I", u"x", false},
        {u"G", u"S", u"", u"x", false},
        {QStringView(), u"S", u"I", u"x", false},
        {u"G", u"S", u"I", QStringView(), false},
        {u"9Digits", u"S", u"I", u"x", false},          // not an XML name even after the rule
        {u"G", u"a<b", u"I", u"x", false},
        {u"G", u"S", u"I", u"bell\u0007", false},       // XML cannot carry it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.toString().left(20).toStdString() + " / " + c.group.toString().toStdString());
        EXPECT_EQ(store.SetValue(c.group, c.subGroup, c.item, c.value, true), c.stored);
        QString value = QStringLiteral("untouched");
        EXPECT_EQ(store.GetValue(c.group, c.subGroup, c.item, value), c.stored);
        EXPECT_EQ(value, c.stored ? c.value.toString() : QStringLiteral("untouched"));
    }
    // A name is stored under its first 259 characters.
    EXPECT_TRUE(test::ReadFile("QVXConfig.xml").contains("<" + QByteArray(259, 'n') + ">long<"));
    EXPECT_TRUE(test::ReadFile("QVXConfig.xml").contains("<Vyk_Tarrow__tm__T40_4_><CPUVID>1.25</CPUVID>"));
    // Whatever was refused, the file still loads on the next start.
    CConfigParser reloaded(u"QVXConfig.xml");
    QString value;
    EXPECT_TRUE(reloaded.GetValue(u"QVXAssist", u"ApplySettings", u"LastRunStatus", value));
    EXPECT_EQ(value, QStringLiteral("Succeeded"));
    EXPECT_FALSE(QFile::exists("QVXConfig.xml.bad"));
    EXPECT_FALSE(reloaded.GetValue(u"Never", u"Written", u"Item", value));
}

TEST_F(ConfigParserTest, NewItemMovesItsSubGroupAndGroupToTheEnd)
{
    CConfigParser store(u"QVXConfig.xml");
    ASSERT_TRUE(store.SetValue(u"A", u"S1", u"I", u"1", false));
    ASSERT_TRUE(store.SetValue(u"A", u"S2", u"I", u"2", false));
    ASSERT_TRUE(store.SetValue(u"B", u"S", u"I", u"3", false));
    ASSERT_TRUE(store.SetValue(u"A", u"S1", u"J", u"4", false));
    EXPECT_EQ(test::ReadFile("QVXConfig.xml"), kEmptyStore) << "nothing saved without the flag";
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(Body(test::ReadFile("QVXConfig.xml")),
              "<Configuration><B><S><I>3</I></S></B><A><S2><I>2</I></S2><S1><I>1</I><J>4</J></S1></A></Configuration>");
    // Replacing an existing item's text moves nothing.
    ASSERT_TRUE(store.SetValue(u"B", u"S", u"I", u"5", true));
    EXPECT_TRUE(Body(test::ReadFile("QVXConfig.xml")).startsWith("<Configuration><B><S><I>5</I></S></B><A>"));
}

TEST_F(ConfigParserTest, GroupsAreLookedUpAmongTheRootsChildrenOnly)
{
    CConfigParser store(u"QVXConfig.xml");
    ASSERT_TRUE(store.SetValue(u"CPU", u"Settings", u"Level", u"1", false));
    // "Settings" is a sub-group above; as a group it is a new element, and the tree stays intact.
    ASSERT_TRUE(store.SetValue(u"Settings", u"X", u"Y", u"2", true));
    EXPECT_EQ(Body(test::ReadFile("QVXConfig.xml")),
              "<Configuration><CPU><Settings><Level>1</Level></Settings></CPU><Settings><X><Y>2</Y></X></Settings>"
              "</Configuration>");
    QString value;
    EXPECT_FALSE(store.GetValue(u"Level", u"X", u"Y", value));
}

TEST_F(ConfigParserTest, NumbersAreWrittenInTheCLocaleWhateverTheUserLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    CConfigParser store(u"QVXConfig.xml");
    const std::pair<double, const char*> cases[] = {
        {3, "3"}, {1.25, "1.25"}, {0.1, "0.1"}, {135000, "135000"}, {-0.5, "-0.5"}, {1.0 / 3, "0.333333333333333"},
    };
    for (const auto& [number, text] : cases) {
        ASSERT_TRUE(store.SetValue(u"N", u"S", u"V", number, false));
        QString value;
        ASSERT_TRUE(store.GetValue(u"N", u"S", u"V", value));
        EXPECT_EQ(value, QLatin1String(text));
        double back = 0;
        ASSERT_TRUE(CConfigParser::ToDouble(value, back));
        EXPECT_NEAR(back, number, 1e-14);
    }
    // Files written under a decimal comma still read.
    double value = 0;
    EXPECT_TRUE(CConfigParser::ToDouble(u"1,25", value));
    EXPECT_EQ(value, 1.25);
    EXPECT_FALSE(CConfigParser::ToDouble(u"Succeeded", value));
}

TEST_F(ConfigParserTest, UnreadableFileIsKeptAsideAndReplaced)
{
    // Each copy set aside keeps a name of its own.
    const std::pair<QByteArray, const char*> cases[] = {
        {"<Configuration><CPU>", "QVXConfig.xml.bad"}, {"not xml at all", "QVXConfig.xml.bad2"}, {"", "QVXConfig.xml.bad3"}};
    for (const auto& [content, aside] : cases) {
        ASSERT_TRUE(test::WriteFile("QVXConfig.xml", content));
        CConfigParser store(u"QVXConfig.xml");
        EXPECT_EQ(test::ReadFile("QVXConfig.xml"), kEmptyStore);
        EXPECT_EQ(test::ReadFile(aside), content);
        EXPECT_TRUE(store.SetValue(u"G", u"S", u"I", u"v", true));
    }
}

TEST_F(ConfigParserTest, ReadOnlyFolderKeepsTheStoreInMemory)
{
    test::CurrentFolder folder(test::ReadOnlyFolder());
    CConfigParser store(u"QVXConfig.xml");
    EXPECT_FALSE(store.SetValue(u"G", u"S", u"I", u"v", true)) << "a failed save is a failed SetValue";
    QString value;
    EXPECT_TRUE(store.GetValue(u"G", u"S", u"I", value));
    EXPECT_TRUE(store.SetValue(u"G", u"S", u"I", u"w", false));
    EXPECT_FALSE(store.Save());
}

TEST_F(ConfigParserTest, ABatchWritesWhatItsValuesAskedForOnceAtTheEndOfTheOutermost)
{
    CConfigParser* store = CConfigParser::GetInstance();
    const QByteArray before = test::ReadFile("QVXConfig.xml");
    test::FileSaves saves(store->GetFullPath());
    {
        CConfigBatch outer;
        ASSERT_TRUE(store->SetValue(u"G", u"S", u"A", u"1", true));
        {
            CConfigBatch inner;
            ASSERT_TRUE(store->SetValue(u"G", u"S", u"B", 2.0, true));
            ASSERT_TRUE(store->Save());
            EXPECT_TRUE(inner.Commit());
        }
        // Neither the values nor the inner batch's end reached the file.
        EXPECT_EQ(test::ReadFile("QVXConfig.xml"), before);
        EXPECT_EQ(saves.Take(), 0);
        EXPECT_TRUE(outer.Commit());
        EXPECT_EQ(saves.Take(), 1);
        EXPECT_TRUE(outer.Commit()) << "a batch ends once";
    }
    EXPECT_EQ(saves.Take(), 0);
    EXPECT_EQ(Body(test::ReadFile("QVXConfig.xml")), "<Configuration><G><S><A>1</A><B>2</B></S></G></Configuration>");

    // Nothing asked to be saved: the end writes nothing.
    {
        CConfigBatch batch;
        ASSERT_TRUE(store->SetValue(u"G", u"S", u"C", u"3", false));
    }
    EXPECT_EQ(saves.Take(), 0);
    // Outside a batch every save is written at once again.
    ASSERT_TRUE(store->SetValue(u"G", u"S", u"D", u"4", true));
    EXPECT_EQ(saves.Take(), 1);
    EXPECT_TRUE(Body(test::ReadFile("QVXConfig.xml")).contains("<C>3</C><D>4</D>"));
}

TEST_F(ConfigParserTest, ABatchWhoseWriteFailsSaysSo)
{
    test::CurrentFolder folder(test::ReadOnlyFolder());
    CConfigBatch batch;
    EXPECT_TRUE(CConfigParser::GetInstance()->SetValue(u"G", u"S", u"I", u"v", true));
    EXPECT_FALSE(batch.Commit());
}

TEST_F(ConfigParserTest, TheStoreRemovesWhatASaveCutShortLeftBesideItsFile)
{
    QDir().mkpath("inst");
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, plat::kProductKey), plat::ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(u"InstallDir", QDir::currentPath() + "/inst/"), plat::ERROR_SUCCESS);
    test::PlantLeftover("inst/QVXConfig.xml.Ab12Cd");
    test::PlantLeftover("inst/QVXConfig.xml.N0wR1t", true);   // another process is saving right now
    test::PlantLeftover("inst/Other.xml.Ab12Cd");
    CConfigParser* store = CConfigParser::GetInstance();
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(QFile::exists("inst/QVXConfig.xml.Ab12Cd"));
    EXPECT_TRUE(QFile::exists("inst/QVXConfig.xml.N0wR1t"));
    EXPECT_TRUE(QFile::exists("inst/Other.xml.Ab12Cd"));
}
