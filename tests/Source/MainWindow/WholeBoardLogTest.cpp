// A board that has every device its pages ask for: a user who looks at every page
// and opens every dialog of the diagram finds no error line in the log. Components
// a board does not have (an empty memory slot, a second graphics chip, USB
// controllers beyond the first) are absent, not failing.
#include <QCoreApplication>
#include <QToolButton>

#include <string>
#include <vector>

#include "Diagram/BaseDialog.h"
#include "Diagram/DialogManager.h"
#include "Diagram/SysDiagram.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "support/LogCapture.h"

using test::MainWindowTest;

namespace {

const QString kSystem = QStringLiteral("System\nInformation");

// Every page the program has, each shown in the menu.
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

// Shows every page of the menu in turn, each ticked once as its timer would, and
// the window's own tick after it; returns how many pages were shown.
int ShowEveryPage(ZAR* window)
{
    int shown = 0;
    for (const auto& [group, pMain] : window->MenuList())
        for (const auto& [name, pSub] : pMain->m_SubMenuList) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_TRUE(window->ShowWidget(group, name));
            test::SendTick(pSub->m_pWidget);
            QTimerEvent tick(window->TimerId());
            QCoreApplication::sendEvent(window, &tick);
            ++shown;
        }
    return shown;
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

} // namespace

TEST_F(MainWindowTest, EveryPageAndDialogOfAWholeBoardShowsWithoutAnErrorLine)
{
    const struct {
        const char* variant;   // null: the default board
        int pages;             // the pages the board keeps
        int dialogs;           // the components the diagram can open
    } boards[] = {
        {nullptr, 21, 20},
        {"qvx-ddr", 21, 20},
        {"qvx-ddr3-external", 21, 20},
        // No family-10h processor: no P-state page. No memory modules, storage or
        // USB controllers: the diagram shows those buttons disabled.
        {"qvx-family11h", 20, 8},
    };
    for (const auto& b : boards) {
        SCOPED_TRACE(b.variant ? b.variant : "default");
        if (b.variant)
            test::LoadBoardOver(test::BoardVariant(b.variant));
        ASSERT_TRUE(Open(kEveryPage));
        // From here on the user only looks: pages refused at the start are no concern here.
        test::LogCapture::Instance().Clear();
        window->show();
        EXPECT_EQ(ShowEveryPage(window), b.pages);
        ASSERT_TRUE(window->ShowWidget(kSystem, QStringLiteral("Diagram")));
        auto* diagram = dynamic_cast<QSysDiagram*>(window->GetWidget(kSystem, QStringLiteral("Diagram")));
        ASSERT_TRUE(diagram);
        EXPECT_EQ(OpenEveryDialog(diagram), b.dialogs);
        // Each page shown again, after the dialogs.
        ShowEveryPage(window);
        EXPECT_EQ(test::LogCapture::Instance().ErrorLines(), std::vector<std::string>{});
        window->hide();
        TearDown();
        SetUp();
    }
}
