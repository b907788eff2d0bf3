// A board that has every device its pages ask for: a user who starts the program,
// looks at every page in both modes and opens every dialog of the diagram finds no
// error line in the log, from its first line on. Components a board does not have
// (an empty memory slot, a second graphics chip, USB controllers beyond the first)
// are absent, not failing; so is what a first start on this system lacks (page
// plug-ins, an install folder in the registry, another user of the driver). A board
// without a device every real machine has logs the lines that name it, and no other.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QRegularExpression>

#include <set>
#include <string>
#include <vector>

#include "Diagram/BaseDialog.h"
#include "Diagram/DialogManager.h"
#include "Diagram/SysDiagram.h"
#include "Preferences/SettingsPage.h"
#include "Source/Files.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "Source/Startup/StartupFixture.h"
#include "support/LogCapture.h"

using test::StartupTest;

namespace {

const QString kSystem = QStringLiteral("System\nInformation");
const QString kPreference = QStringLiteral("Preference");

// Every page the program has, each listed in the menu.
const char kEveryPage[] =
    "<PageList>"
    "<Group Name=\"System\\nInformation\"><Page Name=\"Basic\"/><Page Name=\"Detailed\"/>"
    "<Page Name=\"Diagram\"/><Page Name=\"Audio\"/><Page Name=\"Storage\"/><Page Name=\"USB\"/></Group>"
    "<Group Name=\"Status\\nMonitor\"><Page Name=\"CPU Status\"/><Page Name=\"GPU Status\"/>"
    "<Page Name=\"Board Status\"/></Group>"
    "<Group Name=\"Performance\\nControl\"><Page Name=\"Novice Mode\"/><Page Name=\"Clock/Voltage\"/>"
    "<Page Name=\"Memory\"/><Page Name=\"JY Pstate\"/><Page Name=\"Fan Control\"/><Page Name=\"Benchmark\"/>"
    "<Page Name=\"Stability Test\"/><Page Name=\"Auto Clock\"/></Group>"
    "<Group Name=\"Preference\"><Page Name=\"Settings\"/><Page Name=\"Page List\"/><Page Name=\"Device List\"/>"
    "<Page Name=\"Debugger\"/><Page Name=\"Partners\"/></Group>"
    "</PageList>";

// Shows every page the menu offers in turn, each ticked once as its timer would, and
// the window's own tick after it; adds the pages shown to shown.
void ShowEveryPage(ZAR& window, std::set<QString>* shown)
{
    for (const auto& [group, pMain] : window.MenuList())
        for (const auto& [name, pSub] : pMain->m_SubMenuList) {
            if (!pSub->m_bVisible)
                continue;
            SCOPED_TRACE(name.toStdString());
            EXPECT_TRUE(window.ShowWidget(group, name));
            test::SendTick(pSub->m_pWidget);
            QTimerEvent tick(window.TimerId());
            QCoreApplication::sendEvent(&window, &tick);
            shown->insert(group + QLatin1Char('/') + name);
        }
}

// Opens the dialog of every component the diagram shows, ticks it, closes it again;
// returns how many were opened.
int OpenEveryDialog(QSysDiagram* diagram)
{
    int opened = 0;
    for (int slot = 0; slot < dnTotal; ++slot) {
        QBaseDialog* frame = g_DialogManager.Frame(slot);
        if (!frame)
            continue;
        SCOPED_TRACE(slot);
        diagram->Button(slot)->click();
        EXPECT_TRUE(frame->isVisible());
        test::SendTick(frame->Dialog());
        frame->Form().OKButton->click();
        ++opened;
    }
    return opened;
}

// The error lines of the log, each without its time and source line:
// "LOG_PROCESS_ERROR(pMemory) in QBasicInfo::_UpdateSPDInfo".
std::vector<std::string> Faults()
{
    std::vector<std::string> faults;
    for (const std::string& line : test::LogCapture::Instance().ErrorLines()) {
        QString text = QString::fromStdString(line).trimmed();
        text.remove(QRegularExpression(QStringLiteral("^\\d{4}-\\d{6}<1>: ")));
        text.remove(QRegularExpression(QStringLiteral(" at line \\d+")));
        faults.push_back(text.toStdString());
    }
    return faults;
}

} // namespace

TEST_F(StartupTest, AWholeBoardLogsNoErrorLineFromTheStartThroughEveryPageAndDialog)
{
    const struct {
        const char* variant;   // null: the default board
        size_t pages;          // the pages the board keeps
        int dialogs;           // the components the diagram can open
        std::vector<std::string> faults;   // what a board that lacks devices logs for them
    } boards[] = {
        {nullptr, 22, 20, {}},
        {"qvx-ddr", 22, 20, {}},
        {"qvx-ddr3-external", 22, 20, {}},
        // No family-10h processor: no P-state page. No memory modules, storage or
        // USB controllers: the diagram shows those buttons disabled. Neither memory
        // modules nor a BIOS: a real machine has both, and the pages say so.
        {"qvx-family11h", 21, 8,
         {"LOG_PROCESS_ERROR(pMemory) in QBasicInfo::_UpdateSPDInfo", "LOG_CHECK_ERROR(pBIOS) in QAdvancedMode::Init"}},
    };
    // The program's folder as the build lays it out: the device plug-in in Device/,
    // no page plug-ins.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Device")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELOCREST_DEVICE_PLUGIN), QStringLiteral("Device/VykDevices.so")));
    for (const auto& b : boards) {
        SCOPED_TRACE(b.variant ? b.variant : "default");
        vb::Machine::Instance().LoadDefault();
        if (b.variant)
            test::LoadBoardOver(test::BoardVariant(b.variant));
        ASSERT_TRUE(test::WriteFile(QStringLiteral("PageSettings.xml"), kEveryPage));
        std::set<QString> shown;
        int dialogs = 0;
        onPass = [&](ZAR& window, int) {
            // The start shows the mode the page table gives (Novice); the Settings
            // page switches to the other one, whose pages are then looked at too.
            ShowEveryPage(window, &shown);
            auto* settings = dynamic_cast<QSettingsPage*>(window.GetWidget(kPreference, QStringLiteral("Settings")));
            ASSERT_TRUE(settings);
            settings->Form().radioButtonAdvanced->click();
            ShowEveryPage(window, &shown);
            ASSERT_TRUE(window.ShowWidget(kSystem, QStringLiteral("Diagram")));
            auto* diagram = dynamic_cast<QSysDiagram*>(window.GetWidget(kSystem, QStringLiteral("Diagram")));
            ASSERT_TRUE(diagram);
            dialogs = OpenEveryDialog(diagram);
            // Each page shown again, after the dialogs.
            ShowEveryPage(window, &shown);
        };
        test::LogCapture::Instance().Clear();
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(passes, 1);
        EXPECT_EQ(shown.size(), b.pages);
        EXPECT_EQ(dialogs, b.dialogs);
        EXPECT_EQ(Faults(), b.faults);
        passes = 0;
        Reset();
    }
}
