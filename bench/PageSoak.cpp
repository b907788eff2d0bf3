#include "PageSoak.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimerEvent>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "MainWindow/ZAR.h"
#include "ProgramDriver.h"
#include "ResidentMemory.h"
#include "Shell/IQVXWidget.h"
#include "StatusMonitor/UsageLabel.h"

namespace bench {

namespace {

constexpr double kLimitKbPerShowing = 0.05;   // slope of the rounds after the first
constexpr int kReports = 10;                  // lines of growth while the soak goes on
constexpr int kShowingMs = 10;                // the program's own loop runs this long after each showing

struct SHOWING {
    QPushButton* pGroup;
    QPushButton* pPage;
    IQVXWidget* pWidget;
};

// Every page of the menu, group by group in the menu's order. The pages of the
// mode the Settings page does not show (Novice Mode, or Clock/Voltage and Memory)
// are made visible first, as switching that mode would.
std::vector<SHOWING> MenuPages(ZAR& window)
{
    std::vector<SHOWING> pages;
    for (const auto& [group, pMain] : window.MenuList())
        for (const auto& [name, pSub] : pMain->m_SubMenuList) {
            if (!pSub->m_bVisible)
                window.SetVisible(group, name, true);
            pages.push_back({pMain->m_pButton, pSub->m_pButton, pSub->m_pWidget});
        }
    return pages;
}

// The least-squares slope of y over x.
double Slope(const std::vector<double>& x, const std::vector<double>& y)
{
    const double n = static_cast<double>(x.size());
    const double mx = std::accumulate(x.begin(), x.end(), 0.0) / n;
    const double my = std::accumulate(y.begin(), y.end(), 0.0) / n;
    double sxy = 0, sxx = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
    }
    return sxx > 0 ? sxy / sxx : 0.0;
}

// The user's two clicks, one tick of the page's once-a-second refresh (and of its
// usage graphs'), then the program's own loop for a moment, as between two clicks.
void Show(const SHOWING& showing)
{
    showing.pGroup->click();
    showing.pPage->click();
    QTimerEvent tick(0);
    QCoreApplication::sendEvent(showing.pWidget, &tick);
    for (QUsageLabel* pGraph : showing.pWidget->findChildren<QUsageLabel*>())
        QCoreApplication::sendEvent(pGraph, &tick);
    Pump(kShowingMs);
}

} // namespace

bool SoakPages(ZAR& window, int nShowings)
{
    const std::vector<SHOWING> pages = MenuPages(window);
    if (pages.empty()) {
        std::printf("soak: the menu has no page.\n");
        return false;
    }
    const int nPages = static_cast<int>(pages.size());
    const int nRounds = std::max(3, (nShowings + nPages - 1) / nPages);
    std::printf("Program resident memory while every page of the menu is shown in turn (%d pages, %d rounds,\n"
                "%d showings, each with one refresh tick; limit: the rounds after the first grow by under\n"
                "%.2f kB a showing, the least-squares slope of each round's resident memory)\n",
                nPages, nRounds, nPages * nRounds, kLimitKbPerShowing);

    for (const SHOWING& showing : pages)
        Show(showing);
    Pump(100);
    const qint64 first = ResidentBytes();
    std::printf("%-8s %12s %12s\n", "round", "resident MB", "growth MB");
    std::printf("%-8d %12.1f\n", 1, Megabytes(first));
    std::vector<double> showingsDone, resident;   // after each round from the second on
    const int nReportEvery = std::max(1, (nRounds - 1) / kReports);
    for (int round = 2; round <= nRounds; ++round) {
        for (const SHOWING& showing : pages)
            Show(showing);
        const qint64 now = ResidentBytes();
        showingsDone.push_back(static_cast<double>(nPages) * (round - 1));
        resident.push_back(static_cast<double>(now));
        if ((round - 1) % nReportEvery == 0 || round == nRounds)
            std::printf("%-8d %12.1f %+12.2f\n", round, Megabytes(now), Megabytes(now - first));
    }
    const double kbPerShowing = Slope(showingsDone, resident) / 1e3;
    const bool bMet = kbPerShowing < kLimitKbPerShowing;
    std::printf("growth after the first round: %+.2f MB over %d showings; slope %+.3f kB a showing   %s\n\n",
                Megabytes(static_cast<qint64>(resident.back()) - first), nPages * (nRounds - 1), kbPerShowing,
                bMet ? "(limit met)" : "(ABOVE LIMIT)");
    return bMet;
}

} // namespace bench
