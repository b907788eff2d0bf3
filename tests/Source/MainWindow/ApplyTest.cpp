// Apply, OK, Cancel and Discard: the order of the pages, the warning, the record
// of the run, the boost pair, the restart question and the rebuild request.
#include <QPushButton>

#include "Platform/Registry.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "VirtualBoard/Machine.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

using test::MainWindowTest;
using test::RecordingPage;

namespace {

// Two groups whose sorted order differs from their menu order, with a hidden page.
const char kTable[] =
    "<PageList><Group Name=\"Zulu\"><Page Name=\"Zb\"/><Page Name=\"Za\"/>"
    "<Page Name=\"Zhidden\"><Visible>0</Visible></Page></Group>"
    "<Group Name=\"Alpha\"><Page Name=\"Ay\"/><Page Name=\"Ax\"/></Group></PageList>";

class ApplyTest : public MainWindowTest {
protected:
    void OpenPages(const char* failing = "")
    {
        std::vector<BuiltInPage> pages;
        for (const char* name : {"Zb", "Za", "Zhidden", "Ay", "Ax"}) {
            const bool ok = std::string(name) != failing;
            pages.push_back({name, [this, name, ok] { return static_cast<IQVXWidget*>(new RecordingPage(name, &calls, ok)); }});
        }
        UsePages(std::move(pages));
        ASSERT_TRUE(Open(kTable));
        calls.clear();
    }

    QString Stored(const char* group, const QString& subGroup, const char* item)
    {
        CConfigParser::ReleaseInstance();
        QString value;
        CConfigParser::GetInstance()->GetValue(QString::fromLatin1(group), subGroup, QString::fromLatin1(item), value);
        return value;
    }

    static void SetCurrentUserValue(const char16_t* name, uint32_t value, bool createKey = true)
    {
        plat::RegistryKey key;
        if (createKey) {
            ASSERT_EQ(key.Create(plat::RegistryHive::CurrentUser, plat::kProductKey), plat::ERROR_SUCCESS);
        }
        if (name) {
            ASSERT_EQ(key.SetDword(QString::fromUtf16(name), value), plat::ERROR_SUCCESS);
        }
    }

    static bool UserAccepted(uint32_t& value)
    {
        plat::RegistryKey key;
        return key.Open(plat::RegistryHive::CurrentUser, plat::kProductKey) == plat::ERROR_SUCCESS
            && key.QueryDword(u"UserAccepted", value) == plat::ERROR_SUCCESS;
    }
};

} // namespace

TEST_F(ApplyTest, VisiblePagesAreAppliedInTheOrderOfTheirNamesAndAFailureDoesNotStopTheRest)
{
    OpenPages("Ax");
    window->Apply();
    EXPECT_EQ(calls, (std::vector<std::string>{"Apply Ax", "Apply Ay", "Apply Za", "Apply Zb"}));
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(nRetCode)"));
    EXPECT_TRUE(test::LogContains("Ax apply failed."));
    // A page that refused makes the run a failure in the record.
    EXPECT_EQ(Stored("QVXAssist", "ApplySettings", "LastRunStatus"), "Failed");
    EXPECT_FALSE(g_bModified);
}

TEST_F(ApplyTest, ARunWhereEveryPageAppliedIsRecordedAsSucceededWithTheBoostPair)
{
    OpenPages();
    window->Apply();
    EXPECT_EQ(Stored("QVXAssist", "ApplySettings", "LastRunStatus"), "Succeeded");
    IDevice* cpu = g_DeviceManager.GetDevice(dtCPU, 0);
    const QString name = QString::fromStdU16String(cpu->GetName());
    // The default board's boost pair is (0, 1).
    EXPECT_EQ(Stored("CPU", name, "ClockDivisor"), "0");
    EXPECT_EQ(Stored("CPU", name, "TLBCaching"), "1");
}

TEST_F(ApplyTest, TheWarningFollowsTheRegistrySettingAndTheModifiedFlag)
{
    // EnableWarningMsg: -1 missing value, -2 missing key.
    struct Case { int enable; bool modified; QMessageBox::StandardButton answer; bool warned; bool applied; bool accepted; };
    const Case cases[] = {
        {-2, true, QMessageBox::Ok, true, true, false},     // no key: nothing can be recorded
        {-1, true, QMessageBox::Ok, true, true, true},
        {-1, true, QMessageBox::Cancel, true, false, false},
        {-1, false, QMessageBox::Ok, false, true, false},
        {1, true, QMessageBox::Ok, true, true, true},
        {0x100, true, QMessageBox::Ok, false, true, false},   // only the lowest byte counts
        {0, true, QMessageBox::Ok, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enable << " " << c.modified << " " << c.answer);
        QDir(test::TestDir() + "/registry").removeRecursively();
        if (c.enable >= 0)
            SetCurrentUserValue(u"EnableWarningMsg", static_cast<uint32_t>(c.enable));
        else if (c.enable == -1)
            SetCurrentUserValue(nullptr, 0);
        OpenPages();
        test::MessageBoxAnswers local(c.answer);
        g_bModified = c.modified;
        window->Apply();
        EXPECT_EQ(local.Messages().size(), c.warned ? 1u : 0u);
        if (c.warned) {
            EXPECT_EQ(local.Messages()[0].title, "Vyk Velocrest");
        }
        EXPECT_EQ(!calls.empty(), c.applied);
        // Cancel leaves the change pending, so the next Apply warns again.
        EXPECT_EQ(g_bModified.load(), c.modified && !c.applied);
        uint32_t accepted = 0;
        EXPECT_EQ(UserAccepted(accepted), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(accepted, 1u);
        }
        TearDown();
        SetUp();
    }
}

TEST_F(ApplyTest, TheRestartQuestionIsAskedOnceAndTheRequestClearedEitherWay)
{
    for (auto answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
        SCOPED_TRACE(answer);
        OpenPages();
        vb::Machine::Instance().GetJournal().Clear();
        test::MessageBoxAnswers local(answer);
        g_bRebootRequired = true;
        window->Apply();
        ASSERT_EQ(local.Messages().size(), 1u);
        EXPECT_EQ(local.Messages()[0].text,
                  "System restart is required to apply some settings. Do you wish to restart the system now?");
        EXPECT_FALSE(g_bRebootRequired);
        // The stand-in only records the wish; this machine is never restarted.
        EXPECT_EQ(vb::Machine::Instance().GetJournal().Contains("system: restart requested"), answer == QMessageBox::Ok);
        window->Apply();
        EXPECT_EQ(local.Messages().size(), 1u);
        TearDown();
        SetUp();
    }
}

TEST_F(ApplyTest, ARebuildRequestClosesTheWindowAndOkReplacesItWithTwo)
{
    OpenPages();
    window->show();
    g_nRestartRequest = 1;
    window->Apply();
    EXPECT_FALSE(window->isVisible());

    window->show();
    g_nRestartRequest = 1;
    window->Form().okButton->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(g_nRestartRequest, 2);

    // Cancel closes without applying.
    window->show();
    calls.clear();
    window->Form().cancelButton->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(calls.empty());
}

TEST_F(ApplyTest, DiscardReachesVisiblePagesInNameOrderAndClearsTheModifiedFlag)
{
    OpenPages();
    g_bModified = true;
    window->Form().discardButton->click();
    EXPECT_EQ(calls, (std::vector<std::string>{"Discard Ax", "Discard Ay", "Discard Za", "Discard Zb"}));
    EXPECT_FALSE(g_bModified);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}
