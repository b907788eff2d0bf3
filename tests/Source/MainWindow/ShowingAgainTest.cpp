// Showing the pages again and again keeps nothing per showing. The simulated
// machine's journal kept a line for every firmware call, reads too, and showing
// the Clock/Voltage page reads its CMOS items: the program grew by those lines for
// as long as the user clicked through the pages. Reads that change nothing now go
// to a short trace of the newest calls; the journal keeps changes and failures.
#include <QCoreApplication>

#include <string>
#include <vector>

#include "Source/MainWindow/MainWindowFixture.h"
#include "VirtualBoard/VykAcpi.h"

using test::FirmwareWindowTest;
using test::SendTick;

namespace {

// Every page of the menu (the hidden ones made visible), each with one tick.
void ShowEveryPage(ZAR* window)
{
    for (const auto& [group, pMain] : window->MenuList())
        for (const auto& [name, pSub] : pMain->m_SubMenuList) {
            window->SetVisible(group, name, true);
            ASSERT_TRUE(window->ShowWidget(group, name));
            SendTick(pSub->m_pWidget);
            QCoreApplication::processEvents();
        }
}

std::vector<std::string> Journal() { return vb::Machine::Instance().GetJournal().Entries(); }

} // namespace

TEST_F(FirmwareWindowTest, ShowingPagesAgainAddsNothingToTheMachinesJournal)
{
    ASSERT_TRUE(Open());
    window->resize(1000, 700);
    window->show();
    ShowEveryPage(window);
    vb::Machine::Instance().GetJournal().Clear();
    const int nCalls = vb::Machine::Instance().Get<vb::VykAcpi>().CallCount(QStringLiteral("RunCMD"));
    for (int round = 0; round < 3; ++round)
        ShowEveryPage(window);
    EXPECT_GT(vb::Machine::Instance().Get<vb::VykAcpi>().CallCount(QStringLiteral("RunCMD")), nCalls)
        << "the pages read the firmware again";
    const std::vector<std::string> journal = Journal();
    EXPECT_TRUE(journal.empty()) << journal.size() << " lines, the first: " << journal.front().substr(0, 120);
}
