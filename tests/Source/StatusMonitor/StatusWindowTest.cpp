// The three status pages in the main window: the built-in page table admits
// them, a clock applied on Clock/Voltage shows at the next tick, the usage graphs
// sample once a second however often their pages are shown, and pictures of
// each page in each skin (with moving graphs) on the default board and variants.
#include <QSlider>

#include <cmath>

#include "StatusMonitor/GPUStatus.h"
#include "StatusMonitor/Status.h"
#include "StatusMonitor/UsageLabel.h"
#include "StatusMonitor/VoltageStatus.h"
#include "Shell/LcdText.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "Source/StatusMonitor/StatusFixture.h"
#include "support/PaintCount.h"

using test::MainWindowTest;

namespace {

const QString kStatus = QStringLiteral("Status\nMonitor");
const QString kPerformance = QStringLiteral("Performance\nControl");

const char kTable[] =
    "<PageList><Group Name=\"Status\\nMonitor\">"
    "<Page Name=\"CPU Status\"/><Page Name=\"GPU Status\"/><Page Name=\"Board Status\"/></Group>"
    "<Group Name=\"Performance\\nControl\"><Page Name=\"Clock/Voltage\"/></Group></PageList>";

void Tick(QObject* object) { test::SendTick(object); }

// A minute of made-up load on every core and chip, sampled by the page's graphs.
void FeedGraphs(QWidget* page)
{
    vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    for (int second = 0; second < 60; ++second) {
        {
            auto lock = board.Lock();
            board.cpu.usage.clear();
            for (int core = 0; core < 4; ++core)
                board.cpu.usage.push_back(50 + 45 * std::sin((second + 17 * core) / 7.0));
            for (size_t i = 0; i < board.gpus.size(); ++i)
                board.gpus[i].usage = 30 + 25 * std::cos((second + 11.0 * static_cast<double>(i)) / 5.0);
        }
        for (QUsageLabel* label : page->findChildren<QUsageLabel*>())
            Tick(label);
    }
}

} // namespace

TEST_F(MainWindowTest, TheBuiltInTableListsTheStatusPages)
{
    ASSERT_TRUE(Open());
    EXPECT_TRUE(dynamic_cast<QStatus*>(window->GetWidget(kStatus, QStringLiteral("CPU Status"))));
    EXPECT_TRUE(dynamic_cast<QGPUStatus*>(window->GetWidget(kStatus, QStringLiteral("GPU Status"))));
    EXPECT_TRUE(dynamic_cast<QVoltageStatus*>(window->GetWidget(kStatus, QStringLiteral("Board Status"))));
    // The timer handler (and the labels' painting) stand in the meta-objects as slots.
    for (const QMetaObject* meta : {&QStatus::staticMetaObject, &QGPUStatus::staticMetaObject,
                                    &QVoltageStatus::staticMetaObject, &QCPUUsageLabel::staticMetaObject,
                                    &QGPUUsageLabel::staticMetaObject})
        EXPECT_GE(meta->indexOfSlot("timerEvent(QTimerEvent*)"), 0) << meta->className();
    EXPECT_GE(QGPUUsageLabel::staticMetaObject.indexOfSlot("paintEvent(QPaintEvent*)"), 0);
}

TEST_F(MainWindowTest, AClockAppliedOnClockVoltageShowsOnCpuStatusAtTheNextTick)
{
    ASSERT_TRUE(Open(kTable));
    window->show();
    ASSERT_TRUE(window->ShowWidget(kStatus, QStringLiteral("CPU Status")));
    IQVXWidget* status = window->GetWidget(kStatus, QStringLiteral("CPU Status"));
    ASSERT_TRUE(status);
    Tick(status);
    auto* freq = status->findChild<QLCDNumber*>(QStringLiteral("CPUFreqNum_3"));
    ASSERT_TRUE(freq);
    EXPECT_EQ(LcdText(freq), QStringLiteral("3200"));

    ASSERT_TRUE(window->ShowWidget(kPerformance, QStringLiteral("Clock/Voltage")));
    IQVXWidget* clocks = window->GetWidget(kPerformance, QStringLiteral("Clock/Voltage"));
    ASSERT_TRUE(clocks);
    clocks->findChild<QSlider*>(QStringLiteral("ExtSlider"))->setValue(220);
    clocks->findChild<QSlider*>(QStringLiteral("CPUMulSlider"))->setValue(23);   // 11.5, every core
    window->Apply();

    // Hidden, CPU Status has not looked yet; shown, it does at its next tick.
    Tick(status);
    EXPECT_EQ(LcdText(freq), QStringLiteral("3200"));
    ASSERT_TRUE(window->ShowWidget(kStatus, QStringLiteral("CPU Status")));
    Tick(status);
    EXPECT_EQ(LcdText(freq), QStringLiteral("2530"));
    EXPECT_EQ(LcdText(status->findChild<QLCDNumber*>(QStringLiteral("CPUMulNum_3"))), QStringLiteral("11.50"));
    window->hide();
}

TEST_F(MainWindowTest, SwitchingPagesQuicklyAddsNoSampleToTheUsageGraphs)
{
    ASSERT_TRUE(Open(kTable));
    window->resize(1000, 700);
    window->show();
    std::vector<QUsageLabel*> graphs;
    for (const char* page : {"CPU Status", "GPU Status"}) {
        ASSERT_TRUE(window->ShowWidget(kStatus, QLatin1String(page)));
        for (QUsageLabel* graph : window->GetWidget(kStatus, QLatin1String(page))->findChildren<QUsageLabel*>())
            if (graph->isEnabled())
                graphs.push_back(graph);
    }
    ASSERT_EQ(graphs.size(), 5u);   // four cores and the graphics chip
    std::vector<size_t> before;
    for (QUsageLabel* graph : graphs)
        before.push_back(test::Samples(graph->m_UsageList).size());

    // The user clicks through the pages, faster than once a second: each showing
    // draws the history as it stands, and no sample comes of it.
    std::vector<std::unique_ptr<test::PaintCount>> paints;
    for (QUsageLabel* graph : graphs)
        paints.push_back(std::make_unique<test::PaintCount>(graph));
    const std::pair<QString, QString> kRound[] = {
        {kStatus, QStringLiteral("CPU Status")}, {kStatus, QStringLiteral("Board Status")},
        {kStatus, QStringLiteral("GPU Status")}, {kPerformance, QStringLiteral("Clock/Voltage")}};
    for (int round = 0; round < 10; ++round)
        for (const auto& [group, page] : kRound) {
            ASSERT_TRUE(window->ShowWidget(group, page));
            QCoreApplication::processEvents();
        }
    for (size_t i = 0; i < graphs.size(); ++i) {
        EXPECT_EQ(test::Samples(graphs[i]->m_UsageList).size(), before[i]) << i;
        EXPECT_GT(paints[i]->n, 0) << i;
    }

    // Shown, a graph samples once a second.
    ASSERT_TRUE(window->ShowWidget(kStatus, QStringLiteral("CPU Status")));
    for (size_t i = 0; i < graphs.size(); ++i)
        if (graphs[i]->isVisible())
            Tick(graphs[i]);
    for (size_t i = 0; i < graphs.size(); ++i)
        EXPECT_EQ(test::Samples(graphs[i]->m_UsageList).size(), before[i] + (graphs[i]->isVisible() ? 1 : 0)) << i;
    window->hide();
}

TEST_F(MainWindowTest, ScreenshotsOfTheStatusPagesInEachSkin)
{
    // The default board, then four graphics chips and the south bridge's monitor.
    const auto fourChips = [](QJsonObject& devices) { test::WithGraphicsChips(devices, 4); };
    struct Shot {
        const char* page;
        const char* stem;
        std::function<void()> board;
    };
    const Shot shots[] = {
        {"CPU Status", "cpu-status", [] {}},
        {"GPU Status", "gpu-status", [] {}},
        {"Board Status", "board-status", [] {}},
        {"GPU Status", "gpu-status-four-chips", [&] { test::LoadBoardWith(fourChips); }},
        {"Board Status", "board-status-mx310",
         [] { test::LoadBoardOver(QStringLiteral(VELOCREST_FIXTURES "/boards/qvx-mx310.json")); }},
    };
    for (const Shot& shot : shots) {
        SCOPED_TRACE(shot.stem);
        ForEachSkin([&](const QString&) {
            shot.board();
            ASSERT_TRUE(Open());
            window->resize(1000, 700);
            window->show();
            ASSERT_TRUE(window->ShowWidget(kStatus, QLatin1String(shot.page)));
            FeedGraphs(window->GetWidget(kStatus, QLatin1String(shot.page)));
            SavePageScreenshot(kStatus, QLatin1String(shot.page), QLatin1String(shot.stem));
            window->hide();
        });
        vb::Machine::Instance().LoadDefault();
    }
}
