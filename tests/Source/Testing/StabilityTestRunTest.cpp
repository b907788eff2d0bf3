// The Stability Test page running, with the centre scripted: the countdown on the
// test's clock, errors and results as they are queued, stopping, and what a run
// leaves behind.
#include <QImage>

#include <cmath>
#include <functional>

#include "Source/Testing/StabilityTestFixture.h"
#include "support/LogCapture.h"

using test::StabilityPageTest;

namespace {

const QString kHangWarning = QStringLiteral(
    "This function may cause system hang, \nplease make sure all your important data is saved before running it!");

int CountStarting(const QStringList& lines, const QString& prefix)
{
    int n = 0;
    for (const QString& line : lines)
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

TEST_F(StabilityPageTest, AOneMinuteRunCountsDownAndEndsOnTime)
{
    Create();
    DurationSlider()->setValue(1);
    StartWith({{tctCPU, 0}, {tctMCA, -1}});
    EXPECT_EQ(answers.Texts(), QStringList{kHangWarning});
    EXPECT_TRUE(page->IsRunning());
    EXPECT_TRUE(g_bTestRunning);
    EXPECT_TRUE(g_TestCenter.IsRunning());
    EXPECT_EQ(RunButton()->text(), "Stop");
    EXPECT_TRUE(RunButton()->isEnabled());
    EXPECT_FALSE(DurationSlider()->isEnabled());
    EXPECT_FALSE(W<QPushButton>("SelectAllBtn")->isEnabled());
    EXPECT_FALSE(Row(tctCPU, 1).pCheckbox->isEnabled());
    EXPECT_EQ(Row(tctCPU, 0).pStatusLabel->text(), "Active");
    EXPECT_EQ(Row(tctCPU, 1).pStatusLabel->text(), "Inactive");
    EXPECT_TRUE(Output().last().startsWith("Stability test started at "));

    Tick();
    EXPECT_EQ(DurationLabel()->text(), "2 Minutes ");
    for (double step : {1.0, 29.0, 30.0}) {   // 1, 30 and 60 s after the start
        Advance(step);
        Tick();
        EXPECT_EQ(DurationLabel()->text(), "1 Minute ");
        EXPECT_TRUE(page->IsRunning());
    }
    Advance(1.0);   // 61 s
    Tick();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_FALSE(g_TestCenter.IsRunning());
    EXPECT_EQ(DurationLabel()->text(), "1 Minute ");
    EXPECT_TRUE(Output().last().startsWith("Stability test stopped at "));
    EXPECT_EQ(CountStarting(Output(), "Stability test stopped at "), 1);
    EXPECT_EQ(RunButton()->text(), "Start");
    EXPECT_TRUE(Row(tctCPU, 1).pCheckbox->isEnabled());
    EXPECT_EQ(Row(tctCPU, 0).pStatusLabel->text(), "Inactive");
    // Idle ticks do nothing.
    Advance(600);
    Tick();
    EXPECT_EQ(CountStarting(Output(), "Stability test stopped at "), 1);
}

TEST_F(StabilityPageTest, WhatTheLastSecondQueuedShowsBeforeTheStopLine)
{
    Create();
    Show();
    DurationSlider()->setValue(1);
    StartWith({{tctCPU, 0}, {tctFPU, 1}});
    Tick();
    // Queued in the run's last second; the tick that ends the run collects it.
    Advance(61);
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 0), 100));
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctFPU, 1), 5));
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 0), 150));
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctCPU, 0), 11));
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctFPU, 1), 80));
    Tick();
    EXPECT_FALSE(page->IsRunning());
    const QStringList out = Output();
    ASSERT_GE(out.size(), 3);
    EXPECT_EQ(out[out.size() - 3], "FPU Test > Illegal sumeout");
    EXPECT_EQ(out[out.size() - 2], "CPU Test > An error occurs in integer calculation");
    EXPECT_TRUE(out.last().startsWith("Stability test stopped at "));
    EXPECT_EQ(CountStarting(out, "Stability test stopped at "), 1);
    // The results in the order they came: 150 is the current value and the maximum.
    EXPECT_EQ(Row(tctCPU, 0).pCurrentLabel->text(), "150.000 Hz");
    EXPECT_EQ(Row(tctCPU, 0).pMinLabel->text(), "100");
    EXPECT_EQ(Row(tctCPU, 0).pMaxLabel->text(), "150");
    EXPECT_EQ(Row(tctFPU, 1).pCurrentLabel->text(), "80.000 Hz");
    EXPECT_EQ(Row(tctCPU, 0).pStatusLabel->text(), "Inactive");

    // Whatever comes later is not the next run's: that one starts from empty queues.
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 0), 5));
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctCPU, 0), 12));
    RunButton()->click();
    Tick();
    EXPECT_TRUE(page->IsRunning());
    EXPECT_EQ(Row(tctCPU, 0).pCurrentLabel->text(), "0");
    EXPECT_FALSE(Output().contains("CPU Test > An error occurs in unsigned integer calculation"));
}

TEST_F(StabilityPageTest, QueuedErrorsAllShowInOneTickAndStopTheRunOnce)
{
    Create();
    Show();
    StartWith({{tctCPU, 0}, {tctFPU, 1}, {tctCalculation, -1}});
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctFPU, 1), 5));
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 0), 120));
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctCPU, 0), 11));
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctCalculation), 22));
    Tick();
    const QStringList out = Output();
    const int first = static_cast<int>(out.indexOf("FPU Test > Illegal sumeout"));
    ASSERT_GE(first, 0) << out.join('|').toStdString();
    EXPECT_EQ(out[first + 1], "CPU Test > An error occurs in integer calculation");
    EXPECT_EQ(out[first + 2], "Calculation Test > An error occurs in calculation test");
    EXPECT_TRUE(out[first + 3].startsWith("Stability test stopped at "));
    EXPECT_EQ(CountStarting(out, "Stability test stopped at "), 1);
    // The tick's result still counted, before the run ended.
    EXPECT_EQ(Row(tctCPU, 0).pCurrentLabel->text(), "120.000 Hz");
    EXPECT_EQ(test::LogCount("Illegal sumeout"), 1u);
    EXPECT_EQ(test::LogCount("An error occurs in integer calculation"), 1u);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_EQ(RunButton()->text(), "Start");
    for (const auto& [pCase, row] : page->Rows()) {
        EXPECT_TRUE(row.pCheckbox->isEnabled());
        EXPECT_EQ(row.pStatusLabel->text(), "Inactive");
    }
}

TEST_F(StabilityPageTest, AnInvalidErrorCodeIsLoggedAndEndsTheTick)
{
    for (int code : {0, 28, -3}) {
        SCOPED_TRACE(code);
        Create();
        Show();
        StartWith({{tctCPU, 2}});
        test::LogCapture::Instance().Clear();
        ASSERT_TRUE(g_TestCenter.InjectError(Case(tctCPU, 2), code));
        ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 2), 10));
        const int lines = static_cast<int>(Output().size());
        Tick();
        EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(pErrorMessage->eErrorMessage > emcInvalid && "
                                 "pErrorMessage->eErrorMessage < emcTotal)"), 1u);
        EXPECT_EQ(test::LogCount("in QStabilityTest::timerEvent"), 1u);
        EXPECT_EQ(Output().size(), lines);
        EXPECT_TRUE(page->IsRunning());
        // The results wait for the next tick.
        EXPECT_EQ(Row(tctCPU, 2).pCurrentLabel->text(), "0");
        Tick();
        EXPECT_EQ(Row(tctCPU, 2).pCurrentLabel->text(), "10.000 Hz");
        page.reset();
    }
}

TEST_F(StabilityPageTest, ResultsSetMinimumMaximumAndTheBar)
{
    Create();
    Show();
    StartWith({{tctFPU, 3}});
    const QStabilityTest::TEST_CASE_ROW& row = Row(tctFPU, 3);
    const struct { double value; const char *min, *max, *current; double ratio; } steps[] = {
        {100, "100", "100", "100.000 Hz", 1.0},
        {150, "100", "150", "150.000 Hz", 1.0},
        {125, "100", "150", "125.000 Hz", 0.5},
        {50, "50", "150", "50.000 Hz", -1.0},   // measured against the minimum before it
        {1234567.891, "50", "1.23457e+06", "1234567.891 Hz", 1.0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.value);
        ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctFPU, 3), s.value));
        Tick();
        EXPECT_EQ(row.pMinLabel->text(), s.min);
        EXPECT_EQ(row.pMaxLabel->text(), s.max);
        EXPECT_EQ(row.pCurrentLabel->text(), s.current);
        EXPECT_DOUBLE_EQ(row.pStatusLabel->m_dRatio, s.ratio);
    }
    // Starting again resets the ticked row's texts; its bar, emptied when the run
    // ended, stays empty until a result.
    RunButton()->click();
    RunButton()->click();
    EXPECT_EQ(row.pMinLabel->text(), "999999999");
    EXPECT_EQ(row.pMaxLabel->text(), "0");
    EXPECT_EQ(row.pStatusLabel->text(), "Active");
    EXPECT_DOUBLE_EQ(row.pStatusLabel->m_dRatio, 0.0);
    // A value equal to both the shown minimum and maximum gives 0 / 0.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctFPU, 3), 100));
        Tick();
    }
    EXPECT_TRUE(std::isnan(row.pStatusLabel->m_dRatio));
}

TEST_F(StabilityPageTest, RestartResetsOnlyTheTickedRows)
{
    Create();
    Show();
    StartWith({{tctCPU, 0}, {tctCPU, 1}});
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 0), 42));
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 1), 43));
    Tick();
    RunButton()->click();   // stop
    Row(tctCPU, 1).pCheckbox->setChecked(false);
    RunButton()->click();   // start with CPU Test 0 only
    const QStringList out = Output();
    EXPECT_TRUE(out.last().startsWith("Stability test started at "));
    EXPECT_EQ(out[out.size() - 2], "");   // each run's lines start after an empty one
    EXPECT_EQ(Row(tctCPU, 0).pMaxLabel->text(), "0");
    EXPECT_EQ(Row(tctCPU, 0).pCurrentLabel->text(), "0");
    EXPECT_EQ(Row(tctCPU, 0).pStatusLabel->text(), "Active");
    EXPECT_EQ(Row(tctCPU, 1).pMaxLabel->text(), "43");
    EXPECT_EQ(Row(tctCPU, 1).pCurrentLabel->text(), "43.000 Hz");
    EXPECT_EQ(Row(tctCPU, 1).pStatusLabel->text(), "Inactive");
    EXPECT_EQ(Row(tctCPU, 1).pStatusLabel->m_dRatio, 0.0);
}

// The pixels of the label's bar, as the label paints itself.
int BarPixels(QStatusLabel* label)
{
    const QImage image = label->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == QStatusLabel::BarColor();
    return n;
}

TEST_F(StabilityPageTest, HoweverARunEndsItsBarsGoBackToEmptyWithInactive)
{
    const struct {
        const char* how;
        std::function<void()> end;
    } cases[] = {
        {"its time is up", [] { Advance(61); }},
        {"an error comes", [] { ASSERT_TRUE(g_TestCenter.InjectError(Case(tctFPU, 0), 5)); }},
        {"Stop is pressed", [this] { RunButton()->click(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        Create();
        Show();
        DurationSlider()->setValue(1);
        StartWith({{tctCPU, 0}, {tctFPU, 0}, {tctMCA, -1}});
        for (TEST_CASE_TYPE type : {tctCPU, tctFPU})
            ASSERT_TRUE(g_TestCenter.InjectResult(Case(type, 0), 100));
        Tick();
        ASSERT_GT(BarPixels(Row(tctCPU, 0).pStatusLabel), 0);
        ASSERT_GT(BarPixels(Row(tctFPU, 0).pStatusLabel), 0);

        c.end();
        Tick();
        ASSERT_FALSE(page->IsRunning());
        for (const auto& [pCase, row] : page->Rows()) {
            SCOPED_TRACE(qPrintable(row.pCheckbox->text()));
            EXPECT_EQ(row.pStatusLabel->text(), "Inactive");
            EXPECT_EQ(row.pStatusLabel->m_dRatio, 0.0);
            EXPECT_EQ(BarPixels(row.pStatusLabel), 0);
        }
        // What the run measured stays to be read.
        EXPECT_EQ(Row(tctCPU, 0).pCurrentLabel->text(), "100.000 Hz");
        page.reset();
    }
}

TEST_F(StabilityPageTest, AHiddenPageOrAnUnknownCaseChangesNothing)
{
    Create();
    StartWith({{tctMCA, -1}});
    ASSERT_FALSE(page->isVisible());
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctMCA), 7));
    Tick();
    EXPECT_EQ(Row(tctMCA).pCurrentLabel->text(), "0");
    EXPECT_FALSE(g_TestCenter.PopResult());   // taken and dropped

    Show();
    ASSERT_TRUE(g_TestCenter.InjectResult(nullptr, 9));
    Tick();
    for (const auto& [pCase, row] : page->Rows())
        EXPECT_EQ(row.pCurrentLabel->text(), "0");
    // An error without a case still shows and still ends the run.
    ASSERT_TRUE(g_TestCenter.InjectError(nullptr, 1));
    Tick();
    EXPECT_TRUE(Output().contains("Invalid test case > Unexpected result"));
    EXPECT_FALSE(page->IsRunning());
}

TEST_F(StabilityPageTest, AFailedStartReturnsToIdleWithAMessage)
{
    Create();
    vb::Machine::Instance().GetFaults().Set("qvx:TestCenter.Start");
    StartWith({{tctFPU, 0}});
    ASSERT_EQ(answers.Texts(), (QStringList{kHangWarning, "Stability test could not start!"}));
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_EQ(RunButton()->text(), "Start");
    EXPECT_TRUE(RunButton()->isEnabled());
    EXPECT_TRUE(DurationSlider()->isEnabled());
    EXPECT_TRUE(Row(tctFPU, 0).pCheckbox->isEnabled());
    EXPECT_EQ(Row(tctFPU, 0).pStatusLabel->text(), "Inactive");
    EXPECT_FALSE(Output().join('\n').contains("started at"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bStarted)"));
    // The next tick does not pretend a run is going.
    Tick();
    EXPECT_FALSE(Output().join('\n').contains("stopped at"));
}

TEST_F(StabilityPageTest, ErrorsBelongToTheirOwnRun)
{
    Create();
    Show();
    // Left over from before: cleared when the run starts, never shown in it.
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctCPU, 0), 11));
    StartWith({{tctCPU, 0}});
    Tick();
    EXPECT_TRUE(page->IsRunning());
    EXPECT_FALSE(Output().contains("CPU Test > An error occurs in integer calculation"));

    // Found after the last tick: shown when the user stops, before the stop line.
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctCPU, 0), 12));
    ASSERT_TRUE(g_TestCenter.InjectResult(Case(tctCPU, 0), 5));
    RunButton()->click();
    const QStringList out = Output();
    ASSERT_GE(out.size(), 2);
    EXPECT_EQ(out[out.size() - 2], "CPU Test > An error occurs in unsigned integer calculation");
    EXPECT_TRUE(out.last().startsWith("Stability test stopped at "));
    EXPECT_FALSE(g_TestCenter.PopError());
    EXPECT_FALSE(g_TestCenter.PopResult());
}

TEST_F(StabilityPageTest, UnInitDuringARunStopsItAndFreesTheFlag)
{
    g_TestCenter.SetScripted(false);   // real workers, which UnInit must join
    Create();
    StartWith({{tctCalculation, -1}});
    ASSERT_TRUE(g_bTestRunning);
    EXPECT_TRUE(page->UnInit());
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_TestCenter.IsRunning());
    EXPECT_FALSE(g_bTestRunning);

    // Deleted without UnInit: the destructor ends the run all the same.
    page = std::make_unique<QStabilityTest>();
    ASSERT_TRUE(page->Init());
    StartWith({{tctCalculation, -1}});
    ASSERT_TRUE(g_TestCenter.IsRunning());
    page.reset();
    EXPECT_FALSE(g_TestCenter.IsRunning());
    EXPECT_FALSE(g_bTestRunning);
}

} // namespace
