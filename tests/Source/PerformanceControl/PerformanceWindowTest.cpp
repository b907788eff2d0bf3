// The three pages in the main window: the page table that admits them, Novice
// Mode's Apply telling the Clock/Voltage page, the fan speeds written clear of their
// bars, and pictures of each page in each skin.
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTimerEvent>

#include "PerformanceControl/FanControl.h"
#include "PerformanceControl/NoviceMode.h"
#include "PerformanceControl/PState.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "Source/ReadOnlyStore.h"
#include "support/FileSaves.h"
#include "support/LogCapture.h"

using test::MainWindowTest;

namespace {

const QString kGroup = QStringLiteral("Performance\nControl");

// The three pages listed in the performance group, with Clock/Voltage shown too.
const char kTable[] =
    "<PageList><Group Name=\"Performance\\nControl\">"
    "<Page Name=\"Novice Mode\"/><Page Name=\"Clock/Voltage\"/>"
    "<Page Name=\"JY Pstate\"/><Page Name=\"Fan Control\"/></Group></PageList>";

// Stands in for the Clock/Voltage page: its Apply changes the reference clock,
// its Discard reads the clocks as that page would.
class ClockVoltageStandIn : public IQVXWidget {
public:
    bool Init() override { return true; }
    bool UnInit() override { return true; }
    bool Apply() override { return Generator()->SetHTRefClock(m_dApplyHTRef); }
    bool Discard() override
    {
        m_dShownHTRef = Generator()->GetHTRefClock();
        m_dShownPCIe = Generator()->GetPCIeClock();
        ++m_nDiscards;
        return true;
    }
    const char* GetName() override { return "Clock/Voltage"; }
    static IClockGeneratorDevice* Generator() { return QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0); }

    double m_dApplyHTRef = 200;
    double m_dShownHTRef = 0, m_dShownPCIe = 0;
    int m_nDiscards = 0;
};

} // namespace

TEST_F(MainWindowTest, PerformancePagesNeedAPageTableThatListsThem)
{
    ASSERT_TRUE(Open());
    EXPECT_TRUE(dynamic_cast<QBasicMode*>(window->GetWidget(kGroup, QStringLiteral("Novice Mode"))));
    for (unsigned i = 0; i < g_WidgetManager.GetWidgetCount(); ++i) {
        const std::string name = g_WidgetManager.GetWidget(i)->GetName();
        EXPECT_NE(name, "JY Pstate");
        EXPECT_NE(name, "Fan Control");
    }
    TearDown();
    SetUp();

    ASSERT_TRUE(Open(kTable));
    EXPECT_TRUE(dynamic_cast<QBasicMode*>(window->GetWidget(kGroup, QStringLiteral("Novice Mode"))));
    EXPECT_TRUE(dynamic_cast<QJYPState*>(window->GetWidget(kGroup, QStringLiteral("JY Pstate"))));
    EXPECT_TRUE(dynamic_cast<QFanControl*>(window->GetWidget(kGroup, QStringLiteral("Fan Control"))));
}

TEST_F(MainWindowTest, AnApplyWritesTheStoreOnceForEveryPage)
{
    ASSERT_TRUE(Open(kTable));
    // Core 0's multiplier moved on the Clock/Voltage page, so that page stores too.
    IQVXWidget* clockVoltage = window->GetWidget(kGroup, QStringLiteral("Clock/Voltage"));
    auto* slider = clockVoltage->findChild<QSlider*>(QStringLiteral("CPUMulSlider"));
    ASSERT_TRUE(slider);
    slider->setValue(slider->value() - 2);
    test::FileSaves saves(CConfigParser::GetInstance()->GetFullPath());
    answers.Queue(QMessageBox::Ok);
    window->Apply();
    EXPECT_EQ(saves.Take(), 1);
    // That one save holds what each page and the window stored.
    CConfigParser::ReleaseInstance();
    QString value;
    CConfigParser* store = CConfigParser::GetInstance();
    ASSERT_TRUE(store->GetValue(u"CPU", u"Vyk Tarrow T40 Quad-Core Processor", u"Multiplier", value));
    EXPECT_EQ(value, QStringLiteral("15"));
    EXPECT_TRUE(store->GetValue(u"CPU", u"Vyk Tarrow T40 Quad-Core Processor", u"TLBCaching", value));
    ASSERT_TRUE(store->GetValue(u"QVXAssist", u"ApplySettings", u"LastRunStatus", value));
    EXPECT_EQ(value, QStringLiteral("Succeeded"));
}

TEST_F(MainWindowTest, AnApplyWhoseStoreCannotBeWrittenSaysSo)
{
    // The store lives in memory only: every save fails.
    const QString path = test::UseReadOnlyStore();
    ASSERT_EQ(CConfigParser::GetInstance()->GetFullPath(), path);
    ASSERT_TRUE(Open(kTable));
    window->Apply();
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(answers.Messages()[0].text,
              QStringLiteral("The settings are in force, but they could not be saved to %1.").arg(path));
}

TEST_F(MainWindowTest, AnApplyOfPagesTheUserNeverOpenedSucceeds)
{
    // The window is never shown, so neither is any page.
    ASSERT_TRUE(Open(kTable));
    window->Apply();
    EXPECT_FALSE(test::LogContains("apply failed."));
    CConfigParser::ReleaseInstance();
    QString status;
    ASSERT_TRUE(CConfigParser::GetInstance()->GetValue(u"QVXAssist", u"ApplySettings", u"LastRunStatus", status));
    EXPECT_EQ(status, QStringLiteral("Succeeded"));
}

TEST_F(MainWindowTest, NoviceModeLevelReachesTheClocksAndTheClockVoltagePage)
{
    ClockVoltageStandIn* clockPage = nullptr;
    UsePages({{"QBasicMode", [] { return static_cast<IQVXWidget*>(new QBasicMode); }},
              {"QAdvancedMode", [&clockPage] { return static_cast<IQVXWidget*>(clockPage = new ClockVoltageStandIn); }}});
    ASSERT_TRUE(Open(kTable));
    ASSERT_TRUE(clockPage);
    window->show();
    ASSERT_TRUE(window->ShowWidget(kGroup, QStringLiteral("Novice Mode")));
    auto* slider = window->GetWidget(kGroup, QStringLiteral("Novice Mode"))->findChild<QSlider*>(QStringLiteral("ModeSlider"));
    ASSERT_TRUE(slider);

    // A change made on Clock/Voltage alone is not undone by Novice Mode's Apply.
    clockPage->m_dApplyHTRef = 210;
    g_bModified = true;
    window->Apply();
    EXPECT_EQ(ClockVoltageStandIn::Generator()->GetHTRefClock(), 210);

    // The level is written, and the Clock/Voltage page reads it at once.
    slider->setValue(4);
    clockPage->m_dApplyHTRef = 210;
    const int discards = clockPage->m_nDiscards;
    window->Apply();
    EXPECT_EQ(ClockVoltageStandIn::Generator()->GetHTRefClock(), 202);
    EXPECT_EQ(ClockVoltageStandIn::Generator()->GetPCIeClock(), 104);
    EXPECT_GT(clockPage->m_nDiscards, discards);
    EXPECT_EQ(clockPage->m_dShownHTRef, 202);
    EXPECT_EQ(clockPage->m_dShownPCIe, 104);
    window->hide();
}

// The rows of its parent that a one-line, vertically centred label's letters take,
// first and last, as the label's font sets them.
std::pair<int, int> InkRows(QLabel* label)
{
    label->ensurePolished();
    const QFontMetrics metrics(label->font());
    const QRect ink = metrics.tightBoundingRect(label->text());
    const QRect box = label->contentsRect();
    const int baseline = label->y() + box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
    return {baseline + ink.top(), baseline + ink.bottom()};
}

TEST_F(MainWindowTest, FanSpeedCaptionsKeepClearOfTheirBarsInsideTheDialInEachSkin)
{
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open(kTable));
        window->show();
        ASSERT_TRUE(window->ShowWidget(kGroup, QStringLiteral("Fan Control")));
        IQVXWidget* page = window->GetWidget(kGroup, QStringLiteral("Fan Control"));
        ASSERT_TRUE(page);
        test::SendTick(page);
        for (const char* gauge : {"Gauge0", "Gauge1", "Gauge2"}) {
            SCOPED_TRACE(gauge);
            auto* dial = page->findChild<QLabel*>(QLatin1String(gauge));
            ASSERT_TRUE(dial);
            auto* bar = dial->findChild<QProgressBar*>();
            QLabel* caption = nullptr;
            for (QLabel* label : dial->findChildren<QLabel*>())
                if (label->text().endsWith(QLatin1String(" rpm")))
                    caption = label;
            ASSERT_TRUE(bar && caption);
            ASSERT_EQ(caption->parentWidget(), bar->parentWidget());
            const auto [top, bottom] = InkRows(caption);
            // Two clear rows at least between the bar and the tops of the digits, and
            // the feet of the letters on the 120-pixel dial.
            EXPECT_GE(top - bar->geometry().bottom(), 3) << caption->text().toStdString();
            EXPECT_LE(bottom, 119);
        }
        window->hide();
    });
}

TEST_F(MainWindowTest, ScreenshotsOfThePerformancePagesInEachSkin)
{
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open(kTable));
        for (const char* page : {"Novice Mode", "JY Pstate", "Fan Control"})
            SavePageScreenshot(kGroup, QLatin1String(page), QString::fromLatin1(page).replace(' ', '-').toLower());
        window->hide();
    });
}
