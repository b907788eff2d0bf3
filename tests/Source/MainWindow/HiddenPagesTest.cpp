// Hidden pages wake nothing: a page's once-a-second refresh (and its usage graphs')
// runs only while the page is shown, and a page shown again refreshes at once, so
// it never shows what the board held before. The main window's own one-second timer
// (it notes the devices that came and went) is not a page's and goes on.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <set>

#include "Shell/LcdText.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "StatusMonitor/UsageLabel.h"
#include "QVXLogic/TestCenter.h"
#include "Testing/StabilityTest.h"
#include "VirtualBoard/Devices/DeviceBoard.h"

using test::MainWindowTest;

namespace {

// Every built-in page in the menu, the P-state and fan pages too.
const char kAllPages[] =
    "<PageList>"
    "<Group Name=\"System\\nInformation\"><Page Name=\"Basic\"/><Page Name=\"Detailed\"/><Page Name=\"Diagram\"/></Group>"
    "<Group Name=\"Status\\nMonitor\"><Page Name=\"CPU Status\"/><Page Name=\"GPU Status\"/>"
    "<Page Name=\"Board Status\"/></Group>"
    "<Group Name=\"Performance\\nControl\"><Page Name=\"Novice Mode\"/><Page Name=\"Clock/Voltage\"/>"
    "<Page Name=\"Memory\"/><Page Name=\"JY Pstate\"/><Page Name=\"Benchmark\"/><Page Name=\"Stability Test\"/>"
    "<Page Name=\"Auto Clock\"/></Group>"
    "<Group Name=\"Environment\\nControl\"><Page Name=\"Fan Control\"/></Group>"
    "<Group Name=\"Preference\"><Page Name=\"Settings\"/><Page Name=\"Page List\"/><Page Name=\"Device List\"/></Group>"
    "</PageList>";

// The pages that refresh once a second while shown.
const std::set<QString> kRefreshingPages = {
    QStringLiteral("Basic"),        QStringLiteral("CPU Status"),    QStringLiteral("GPU Status"),
    QStringLiteral("Board Status"), QStringLiteral("Novice Mode"),   QStringLiteral("Clock/Voltage"),
    QStringLiteral("JY Pstate"),    QStringLiteral("Fan Control"),   QStringLiteral("Auto Clock")};

bool HasTimers(QObject* object)
{
    return !QAbstractEventDispatcher::instance()->registeredTimers(object).isEmpty();
}

// Timers of whole-second precision all fire at the turn of a second: the shown
// page, its graphs and the main window wake the program once a second together.
bool OnTheSecond(QObject* object)
{
    for (const QAbstractEventDispatcher::TimerInfo& timer : QAbstractEventDispatcher::instance()->registeredTimers(object))
        if (timer.timerType != Qt::VeryCoarseTimer)
            return false;
    return true;
}

// The program's own widgets that have a timer running: pages, device dialogs and
// usage graphs (Qt's own widgets keep theirs, such as a caret's).
std::set<QWidget*> Ticking()
{
    std::set<QWidget*> ticking;
    for (QWidget* w : QApplication::allWidgets())
        if ((dynamic_cast<IQVXWidget*>(w) || qobject_cast<QUsageLabel*>(w)) && HasTimers(w))
            ticking.insert(w);
    return ticking;
}

class HiddenPagesTest : public MainWindowTest {
protected:
    void OpenAll()
    {
        ASSERT_TRUE(Open(kAllPages));
        window->resize(1000, 700);
        window->show();
        for (const auto& [group, pMain] : window->MenuList())
            for (const auto& [name, pSub] : pMain->m_SubMenuList) {
                window->SetVisible(group, name, true);
                m_pages.push_back({group, name});
            }
    }

    void ShowEveryPage()
    {
        for (const auto& [group, name] : m_pages)
            ASSERT_TRUE(window->ShowWidget(group, name));
    }

    std::vector<std::pair<QString, QString>> m_pages;
};

TEST_F(HiddenPagesTest, AfterEveryPageOnlyTheShownPagesTimersRun)
{
    OpenAll();
    std::set<QString> names;
    for (const auto& page : m_pages)
        names.insert(page.second);
    for (const QString& name : kRefreshingPages)
        ASSERT_TRUE(names.count(name)) << name.toStdString();
    for (const auto& [group, name] : m_pages) {
        SCOPED_TRACE(name.toStdString());
        ShowEveryPage();
        ASSERT_TRUE(window->ShowWidget(group, name));
        IQVXWidget* pShown = window->GetWidget(group, name);
        for (QWidget* w : Ticking())
            EXPECT_TRUE(w == pShown || pShown->isAncestorOf(w))
                << w->metaObject()->className() << " " << w->objectName().toStdString() << " ticks while hidden";
        EXPECT_EQ(HasTimers(pShown), kRefreshingPages.count(name) == 1);
        EXPECT_TRUE(OnTheSecond(pShown));
        // The usage graphs of a shown status page sample with it.
        for (QUsageLabel* pGraph : pShown->findChildren<QUsageLabel*>()) {
            EXPECT_TRUE(HasTimers(pGraph));
            EXPECT_TRUE(OnTheSecond(pGraph));
        }
    }
    // The main window's device-change timer is not a page's.
    EXPECT_TRUE(HasTimers(window));
    EXPECT_TRUE(OnTheSecond(window));
    window->hide();
    EXPECT_TRUE(Ticking().empty());
}

// The text a field shows: a line edit's, a label's, an LCD's (its number when it was given one).
QString Shown(QWidget* w)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    auto* lcd = qobject_cast<QLCDNumber*>(w);
    const QString text = LcdText(lcd);
    return text.isEmpty() ? QString::number(lcd->value()) : text;
}

TEST_F(HiddenPagesTest, APageShownAgainShowsTheBoardAsItIsNow)
{
    OpenAll();
    auto& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    const auto reference = [&board](double mhz) {
        return [&board, mhz] {
            auto lock = board.Lock();
            board.SetReference(mhz);
        };
    };
    const auto gpuTemperature = [&board](double degrees) {
        return [&board, degrees] {
            auto lock = board.Lock();
            board.gpus.at(0).temperature = degrees;
        };
    };
    struct Case {
        const char* group;
        const char* page;
        const char* field;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"System\nInformation", "Basic", "CoreSpeedEdit", reference(210)},
        {"Status\nMonitor", "CPU Status", "CPUFreqNum", reference(205)},
        {"Status\nMonitor", "GPU Status", "GPUTempNum", gpuTemperature(71)},
        {"Status\nMonitor", "Board Status", "MemFreqNum", reference(212)},
        {"Performance\nControl", "Novice Mode", "labelCPUCoreClock", reference(207)},
        {"Performance\nControl", "Clock/Voltage", "CurrentCPUSpeed", reference(203)},
        {"Performance\nControl", "Auto Clock", "CPUFreqNum", reference(209)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const QString group = QString::fromUtf8(c.group), page = QString::fromUtf8(c.page);
        ASSERT_TRUE(window->ShowWidget(group, page));
        IQVXWidget* pPage = window->GetWidget(group, page);
        test::SendTick(pPage);
        QWidget* pField = pPage->findChild<QWidget*>(QLatin1String(c.field));
        ASSERT_TRUE(pField);
        const std::string before = Shown(pField).toStdString();
        ASSERT_FALSE(before.empty());
        ASSERT_TRUE(window->ShowWidget(QStringLiteral("Preference"), QStringLiteral("Settings")));
        c.change();
        // Shown again, with no tick of its timer sent.
        ASSERT_TRUE(window->ShowWidget(group, page));
        EXPECT_NE(Shown(pField).toStdString(), before);
    }
}

TEST_F(HiddenPagesTest, ARunningStabilityTestKeepsCountingWhileHidden)
{
    OpenAll();
    const QString group = QStringLiteral("Performance\nControl"), name = QStringLiteral("Stability Test");
    auto* pPage = dynamic_cast<QStabilityTest*>(window->GetWidget(group, name));
    ASSERT_TRUE(pPage);
    g_TestCenter.SetScripted(true);
    ASSERT_TRUE(window->ShowWidget(group, name));
    EXPECT_FALSE(HasTimers(pPage)) << "idle, its tick has nothing to do";
    pPage->findChild<QPushButton*>(QStringLiteral("SelectAllBtn"))->click();
    pPage->findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    ASSERT_TRUE(pPage->IsRunning());
    ASSERT_TRUE(window->ShowWidget(QStringLiteral("Status\nMonitor"), QStringLiteral("CPU Status")));
    EXPECT_TRUE(HasTimers(pPage)) << "the run ends by its time or an error, shown or not";
    pPage->findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    ASSERT_FALSE(pPage->IsRunning());
    EXPECT_FALSE(HasTimers(pPage));
    g_TestCenter.SetScripted(false);
}

} // namespace
