// The Auto Clock page's run with its tuning and keep-alive threads: start, the
// poll, the end, Stop and UnInit in the middle of a run, a restart after a finished
// run, the failures, the refusal beside the Stability Test and what a Stability
// run before the search left on the board. The tuner is held at each step by the
// test gate; board time moves only when the test moves it.
// In a program of its own, so that the ThreadSanitizer run covers it.
#include <QCheckBox>
#include <QTextBrowser>
#include <QTimer>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "Platform/Registry.h"
#include "QVXLogic/TestCenter.h"
#include "Shell/GlobalFlags.h"
#include "Source/Testing/AutoTuneFixture.h"
#include "Testing/StabilityTest.h"

using test::AutoTunePageTest;
using test::kThreadWaitMs;

namespace {

const char* const kCpu = "Vyk Tarrow T40 Quad-Core Processor";

bool UserAccepted(uint32_t& value)
{
    plat::RegistryKey key;
    return key.Open(plat::RegistryHive::CurrentUser, plat::kProductKey) == plat::ERROR_SUCCESS
        && key.QueryDword(u"UserAccepted", value) == plat::ERROR_SUCCESS;
}

class AutoTuneRunTest : public AutoTunePageTest {
protected:
    void SetUp() override
    {
        AutoTunePageTest::SetUp();
        CSystemTune::SetGated(true);
    }

    // Releases one step and waits until the tuner is at the gate again.
    void Step()
    {
        CSystemTune::ReleaseSteps(1);
        ASSERT_TRUE(CSystemTune::WaitAtGate(kThreadWaitMs));
    }

    // A run past its first step whose search then no longer heeds its abort, as
    // one stuck in a device call would; stop() runs while the page's 20-s wait
    // for it passes with the reads of board time.
    void StopAStuckRun(const std::function<void()>& stop)
    {
        Create();
        Start();
        ASSERT_TRUE(CSystemTune::WaitAtGate(kThreadWaitMs));
        Step();   // the default clock applied, waiting before 205
        CSystemTune::SetHeldThroughAbort(true);
        test::Clock().SetStepPerRead(1'000'000'000);
        stop();
        test::Clock().SetStepPerRead(1000);
        ASSERT_TRUE(page->TuneThread().isRunning());
    }

    double Progress() const { return W<QProgressBar>("progressBar")->value(); }
    bool StatusTimerActive() const
    {
        const auto timers = page->findChildren<QTimer*>();
        return !timers.isEmpty();
    }
};

TEST_F(AutoTuneRunTest, ARunFromStartToTheHighestStableClock)
{
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::CurrentUser, plat::kProductKey), plat::ERROR_SUCCESS);
    // Not shown: a visible page has Qt lay out its text on Qt's own pooled threads,
    // which ThreadSanitizer cannot see into. The live values are pictured in the
    // main window's test.
    Create();
    Start();
    // The warning first, as the main window's Apply shows it.
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].title, "Vyk Velocrest");
    EXPECT_TRUE(answers.Messages()[0].text.startsWith(
        "WARNING: Operating your processor outside of official Vyk specifications or outside of factory settings"));
    EXPECT_EQ(answers.Messages()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    uint32_t accepted = 0;
    EXPECT_TRUE(UserAccepted(accepted));
    EXPECT_EQ(accepted, 1u);

    EXPECT_TRUE(page->IsRunning());
    EXPECT_TRUE(g_bTestRunning);
    EXPECT_EQ(StartButton()->text(), "Stop");
    EXPECT_FALSE(W<QPushButton>("btnReset")->isEnabled());
    EXPECT_FALSE(W<QPushButton>("btnSave")->isEnabled());
    EXPECT_EQ(page->cursor().shape(), Qt::WaitCursor);
    EXPECT_TRUE(Watchdog().Mode());

    // The keep-alive thread pulses at once, then every 500 ms of board time.
    ASSERT_TRUE(Watchdog().WaitForPulses(1, kThreadWaitMs));
    for (int pulses = 2; pulses <= 3; ++pulses) {
        test::Clock().Advance(500'000'000);
        ASSERT_TRUE(Watchdog().WaitForPulses(pulses, kThreadWaitMs));
    }

    // Held before its first step: tuning, at the clock it started from.
    ASSERT_TRUE(CSystemTune::WaitAtGate(kThreadWaitMs));
    Poll();
    EXPECT_EQ(Output().first(), "System is tuning, and this may take several minutes to several hours.");
    EXPECT_TRUE(Output().join('|').contains(
        "Current CPU clock is: 3200 MHz|Current HT Link ref. clock is: 200 MHz")) << Output().join('|').toStdString();
    EXPECT_EQ(Progress(), 200);

    // Step by step, the progress and the live values climb.
    std::vector<double> progress;
    for (int i = 0; i < 4; ++i) {
        Step();
        Poll();
        progress.push_back(Progress());
    }
    EXPECT_EQ(progress, (std::vector<double>{200, 205, 210, 215}));
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 210);   // 215 failed: back at the last stable clock

    FinishRun();
    EXPECT_EQ(LastLine(), "AutoClock is finished successfully!");
    EXPECT_TRUE(Output().join('|').contains("Current HT Link ref. clock is: 215 MHz"));
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_EQ(StartButton()->text(), "Start");
    EXPECT_TRUE(W<QPushButton>("btnReset")->isEnabled());
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(Progress(), W<QProgressBar>("progressBar")->minimum() - 1);   // reset: no value shown
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), test::kHighestStableClock);

    // The keep-alive thread has ended with its last pulse; the mode is off.
    EXPECT_FALSE(Watchdog().Mode());
    EXPECT_FALSE(Watchdog().RecentPulses().back().alive);
    EXPECT_EQ(Watchdog().Recoveries(), 0);

    // The results are in the value store, in the form Apply Settings copies.
    EXPECT_EQ(Stored("ClockGen", "Vyk Clock Generator", "CPUTune"), "211");
    EXPECT_EQ(Stored("CPU", kCpu, "MultiplierTune"), "16");
    EXPECT_EQ(Stored("MemoryController", "Memory Controller", "MemoryClockTune"), "422");

    // As after a restart, the board at its start clock: Apply Settings moves it to
    // the result, and the applied items hold it.
    ASSERT_TRUE(ClockGen()->SetHTRefClock(200));
    W<QPushButton>("btnSave")->click();
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), test::kHighestStableClock);
    EXPECT_EQ(Stored("ClockGen", "Vyk Clock Generator", "HTRefClock"), "211");
    EXPECT_EQ(Stored("CPU", kCpu, "Multiplier4"), "16");
    EXPECT_DOUBLE_EQ(Core(3)->GetCurrentFrequency(), 16 * test::kHighestStableClock);

    // Reset gives back the machine the program started on, and stores it as the
    // result: the default reference clock, every core at 16 x as it started.
    answers.Queue(QMessageBox::Yes);
    W<QPushButton>("btnReset")->click();
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 200);
    EXPECT_EQ(Stored("ClockGen", "Vyk Clock Generator", "CPUTune"), "200");
    EXPECT_EQ(Stored("ClockGen", "Vyk Clock Generator", "HTRefClock"), "200");
    EXPECT_EQ(Stored("MemoryController", "Memory Controller", "MemoryClockTune"), "422");
    for (unsigned long i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(Core(i)->GetCurrentMultiplier(), 16) << i;
    for (const char* item : {"Multiplier", "Multiplier2", "Multiplier3", "Multiplier4", "MultiplierTune"})
        EXPECT_EQ(Stored("CPU", kCpu, item), "16") << item;
    EXPECT_DOUBLE_EQ(Core(3)->GetCurrentFrequency(), 3200);
}

TEST_F(AutoTuneRunTest, StopAndUnInitEndTheRunAtOnce)
{
    struct Case { const char* what; bool viaUnInit; bool atOnce; };
    // At once: before the tuning thread has even begun its run (a window closed, or a
    // signal, right after the start).
    const Case cases[] = {{"Stop", false, false}, {"UnInit", true, false}, {"UnInit at once", true, true}};
    for (const auto& [what, viaUnInit, atOnce] : cases) {
        SCOPED_TRACE(what);
        Create();
        Start();
        if (!atOnce) {
            ASSERT_TRUE(CSystemTune::WaitAtGate(kThreadWaitMs));
            Step();   // the default clock applied, waiting before 205
        }
        const auto start = std::chrono::steady_clock::now();
        if (viaUnInit)
            EXPECT_TRUE(page->UnInit());
        else
            StartButton()->click();
        // The gate never opens by itself: the run ended because Stop woke it. The loose
        // bound only tells that apart from giving up after the page's 20-second wait, and
        // holds on a loaded machine (how fast a stop is belongs to no test).
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_FALSE(page->TuneThread().isRunning());
        EXPECT_EQ(LastLine(), "AutoClock is aborted.");
        EXPECT_FALSE(page->IsRunning());
        EXPECT_FALSE(g_bTestRunning);
        EXPECT_FALSE(g_bStopKeepAlive == false);
        EXPECT_FALSE(Watchdog().Mode());
        EXPECT_FALSE(Watchdog().RecentPulses().back().alive);
        EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 200);
        page.reset();
    }
}

TEST_F(AutoTuneRunTest, ASearchThatOutlivesItsAbortKeepsThePageStoppingUntilItEnds)
{
    StopAStuckRun([this] { StartButton()->click(); });

    // Stopping: the search may still move the clock, so the page holds on to it.
    for (int poll = 0; poll < 2; ++poll) {
        SCOPED_TRACE(poll);
        EXPECT_TRUE(page->IsRunning());
        EXPECT_TRUE(g_bTestRunning);
        EXPECT_TRUE(Watchdog().Mode());
        EXPECT_FALSE(g_bStopKeepAlive);
        EXPECT_EQ(StartButton()->text(), "Start");
        EXPECT_FALSE(W<QPushButton>("btnReset")->isEnabled());
        EXPECT_FALSE(W<QPushButton>("btnSave")->isEnabled());
        EXPECT_FALSE(Output().contains("AutoClock is aborted."));
        // Start is refused with a message that says why; no warning, no run.
        const size_t shown = answers.Messages().size();
        StartButton()->click();
        ASSERT_EQ(answers.Messages().size(), shown + 1);
        EXPECT_EQ(answers.Messages().back().title, "Auto Clock");
        EXPECT_EQ(answers.Messages().back().text,
                  "AutoClock is still stopping, please wait until its search has ended!");
        EXPECT_EQ(StartButton()->text(), "Start");
        Poll();
    }

    // The search ends at last; the next poll finishes the stop.
    CSystemTune::SetHeldThroughAbort(false);
    ASSERT_TRUE(page->TuneThread().Join(kThreadWaitMs));
    Poll();
    EXPECT_EQ(LastLine(), "AutoClock is aborted.");
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_FALSE(Watchdog().Mode());
    EXPECT_TRUE(g_bStopKeepAlive);
    EXPECT_TRUE(W<QPushButton>("btnReset")->isEnabled());
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 200);
    Poll();
    EXPECT_EQ(Output().filter("AutoClock is aborted.").size(), 1);

    // A new search starts, and ends, as usual.
    Start();
    EXPECT_TRUE(page->IsRunning());
    FinishRun();
    EXPECT_EQ(LastLine(), "AutoClock is finished successfully!");
    EXPECT_FALSE(page->IsRunning());
}

TEST_F(AutoTuneRunTest, APageTornDownWhileStoppingLetsGoOnlyOnceTheSearchHasEnded)
{
    StopAStuckRun([this] { EXPECT_TRUE(page->UnInit()); });
    EXPECT_TRUE(g_bTestRunning);
    EXPECT_TRUE(Watchdog().Mode());
    EXPECT_FALSE(g_bStopKeepAlive);
    // Deleting the page (and its tuner) waits for the search, then lets go of all.
    CSystemTune::SetHeldThroughAbort(false);
    page.reset();
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_FALSE(Watchdog().Mode());
    EXPECT_TRUE(g_bStopKeepAlive);
    EXPECT_FALSE(Watchdog().RecentPulses().back().alive);
}

TEST_F(AutoTuneRunTest, ARestartAfterAFinishedRunDoesNotReportTheOldResult)
{
    Create();
    Start();
    FinishRun();
    ASSERT_EQ(LastLine(), "AutoClock is finished successfully!");
    ASSERT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), test::kHighestStableClock);

    // Again at once: the tuner still reports the first run's end until the new
    // search has begun (the gate holds it early in its first step). A poll in
    // between finds it either still at the old end or already tuning; neither
    // ends the new run.
    CSystemTune::SetGated(true);
    Start();
    Poll();
    EXPECT_TRUE(page->IsRunning());
    EXPECT_LE(Output().filter("AutoClock is finished successfully!").size(), 1);
    ASSERT_TRUE(CSystemTune::WaitAtGate(kThreadWaitMs));
    Poll();
    EXPECT_TRUE(page->IsRunning());
    EXPECT_TRUE(Output().join('|').contains("Current HT Link ref. clock is: 211 MHz"));
    FinishRun();
    EXPECT_EQ(LastLine(), "AutoClock is finished successfully!");
}

TEST_F(AutoTuneRunTest, ARefusedWriteFailsTheRun)
{
    Create();
    Fault("qvx:CG.SetHTRefClock");
    Start();
    FinishRun();
    EXPECT_EQ(LastLine(), "AutoClock failed.");
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_EQ(StartButton()->text(), "Start");
    EXPECT_TRUE(Stored("ClockGen", "Vyk Clock Generator", "CPUTune").isEmpty());
}

TEST_F(AutoTuneRunTest, WithoutKeepAliveTheSearchRunsAll_the_same)
{
    struct Case {
        const char* name;
        std::function<void(QJsonObject&)> change;
    };
    const Case cases[] = {
        {"no south bridge", [](QJsonObject& devices) { devices.remove(QStringLiteral("southBridge")); }},
        {"keep-alive refused", [](QJsonObject& devices) {
             Edit(devices, "southBridge", [](QJsonObject& sb) { sb.insert(QStringLiteral("keepAlive"), false); });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseBoard(c.change);
        CSystemTune::SetGated(true);
        Create();
        Start();
        EXPECT_TRUE(page->IsRunning());
        EXPECT_TRUE(g_bStopKeepAlive);   // no keep-alive thread
        FinishRun();
        EXPECT_EQ(LastLine(), "AutoClock is finished successfully!");
        EXPECT_EQ(Watchdog().Pulses(), 0);
        EXPECT_TRUE(Watchdog().RecentPulses().empty());
        page.reset();
    }
}

TEST_F(AutoTuneRunTest, RefusedWhileTheStabilityTestRunsAndTheOtherWayRound)
{
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::CurrentUser, plat::kProductKey), plat::ERROR_SUCCESS);
    g_TestCenter.SetScripted(true);
    QStabilityTest stability;
    ASSERT_TRUE(stability.Init());
    Create();

    // The Stability Test runs: Auto Clock refuses, writes nothing, starts nothing.
    stability.Rows().begin()->second.pCheckbox->setChecked(true);
    stability.findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    ASSERT_TRUE(stability.IsRunning());
    const size_t shown = answers.Messages().size();
    StartButton()->click();
    ASSERT_EQ(answers.Messages().size(), shown + 1);
    EXPECT_EQ(answers.Messages().back().title, "Auto Clock");
    EXPECT_EQ(answers.Messages().back().text, "Stability Test is running, please stop it first!");
    EXPECT_EQ(StartButton()->text(), "Start");
    EXPECT_FALSE(page->IsRunning());
    uint32_t accepted = 0;
    EXPECT_FALSE(UserAccepted(accepted));

    // An Auto Clock page torn down meanwhile leaves the Stability Test's flag alone.
    EXPECT_TRUE(page->UnInit());
    EXPECT_EQ(LastLine(), "AutoClock is aborted.");
    EXPECT_TRUE(g_bTestRunning);
    page.reset();
    Create();
    stability.findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    ASSERT_FALSE(g_bTestRunning);

    // Auto Clock runs: the Stability Test refuses.
    Start();
    ASSERT_TRUE(page->IsRunning());
    stability.findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    EXPECT_FALSE(stability.IsRunning());
    EXPECT_EQ(answers.Messages().back().text, "Auto Clock is running, please stop it first!");
    StartButton()->click();
    EXPECT_FALSE(g_bTestRunning);
    g_TestCenter.SetScripted(false);
}

TEST_F(AutoTuneRunTest, AMachineCheckOfAnUnstableRunIsNotReportedAgainAtAStableClock)
{
    vb::StabilityModel& model = vb::Machine::Instance().Get<vb::StabilityModel>();
    QStabilityTest stability;
    ASSERT_TRUE(stability.Init());
    stability.Rows().at(g_TestCenter.GetTestCase(tctMCA, -1)).pCheckbox->setChecked(true);
    auto* run = stability.findChild<QPushButton*>(QStringLiteral("btnRun"));
    const auto machineChecks = [&stability] {
        return stability.findChild<QTextBrowser*>(QStringLiteral("textBrowser"))
            ->toPlainText().split(QLatin1Char('\n')).filter(QStringLiteral("MCA Test > MCA Error")).size();
    };
    // One batch, its errors shown by the page's tick; true when the run goes on.
    const auto runOneBatch = [&] {
        run->click();
        EXPECT_TRUE(g_TestCenter.WaitForBatches(1, kThreadWaitMs));
        test::SendTick(&stability);
        const bool bRunning = stability.IsRunning();
        if (bRunning)
            run->click();
        return bRunning;
    };

    // At 231 MHz the cores and the north bridge are both past their limits (yet
    // the board does not hang): the batch finds what each left in its bank.
    const auto runUnstable = [&] {
        ASSERT_TRUE(ClockGen()->SetHTRefClock(231));
        ASSERT_EQ(model.CoreVerdict(0).state, vb::Stability::Errors);
        ASSERT_EQ(model.UncoreVerdict().state, vb::Stability::Errors);
        const qsizetype shown = machineChecks();
        EXPECT_FALSE(runOneBatch());
        EXPECT_EQ(machineChecks(), shown + 1);
        ASSERT_TRUE(ClockGen()->SetHTRefClock(200));
        ASSERT_EQ(model.BoardVerdict().state, vb::Stability::Stable);
    };

    // Auto Clock's probe at its first step, the stable default clock, finds
    // nothing of the earlier run.
    runUnstable();
    CSystemTune::SetGated(false);
    Create();
    Start();
    FinishRun();
    EXPECT_EQ(LastLine(), "AutoClock is finished successfully!");
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), test::kHighestStableClock);

    // Nor does a run of the Stability Test at that clock.
    runUnstable();
    EXPECT_TRUE(runOneBatch());
    EXPECT_EQ(machineChecks(), 2);
    EXPECT_FALSE(g_bTestRunning);
}

// Waits (a safety net only) until the keep-alive thread has pulsed at board time
// ns or later, whether the pulse counted or not.
bool PulsedAtOrAfter(uint64_t ns)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kThreadWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::vector<vb::KeepAlivePulse> pulses = vb::Machine::Instance().Get<vb::KeepAliveWatchdog>().RecentPulses();
        if (!pulses.empty() && pulses.back().ns >= ns)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST_F(AutoTuneRunTest, AHangOfAStabilityRunIsOverWhenTheSearchStarts)
{
    vb::StabilityModel& model = vb::Machine::Instance().Get<vb::StabilityModel>();
    QStabilityTest stability;
    ASSERT_TRUE(stability.Init());
    stability.Rows().at(g_TestCenter.GetTestCase(tctCPU, 0)).pCheckbox->setChecked(true);

    // A Stability run at 240 MHz hangs the board and ends with its error.
    ASSERT_TRUE(ClockGen()->SetHTRefClock(240));
    ASSERT_EQ(model.BoardVerdict().state, vb::Stability::Hang);
    stability.findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
    ASSERT_TRUE(g_TestCenter.WaitForBatches(1, kThreadWaitMs));
    test::SendTick(&stability);
    ASSERT_FALSE(stability.IsRunning());
    ASSERT_TRUE(model.IsHung());

    // Back to 200 MHz, Auto Clock searches with keep-alive. Board time passes while
    // it waits before its first step: the pulses of the live board keep the
    // watchdog quiet, so it puts no clock back in the middle of the search.
    ASSERT_TRUE(ClockGen()->SetHTRefClock(200));
    Create();
    Start();
    ASSERT_TRUE(CSystemTune::WaitAtGate(kThreadWaitMs));
    EXPECT_FALSE(model.IsHung());
    for (int i = 0; i < 6; ++i) {
        test::Clock().Advance(500'000'000);
        ASSERT_TRUE(PulsedAtOrAfter(test::Clock().NowNs()));
    }
    EXPECT_EQ(Watchdog().Recoveries(), 0);
    EXPECT_GE(Watchdog().Pulses(), 6);
    FinishRun();
    EXPECT_EQ(LastLine(), "AutoClock is finished successfully!");
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), test::kHighestStableClock);
    EXPECT_EQ(Watchdog().Recoveries(), 0);
}

TEST_F(AutoTuneRunTest, CancelOnTheWarningChangesNothing_andStopWritesTheAcceptanceAgain)
{
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::CurrentUser, plat::kProductKey), plat::ERROR_SUCCESS);
    Create();
    answers.Queue(QMessageBox::Cancel);
    StartButton()->click();
    uint32_t accepted = 0;
    EXPECT_FALSE(UserAccepted(accepted));
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_bTestRunning);
    EXPECT_TRUE(g_bStopKeepAlive);

    Start();
    ASSERT_TRUE(page->IsRunning());
    ASSERT_EQ(key.DeleteValue(u"UserAccepted"), plat::ERROR_SUCCESS);
    const size_t shown = answers.Messages().size();
    StartButton()->click();   // Stop: no warning, the acceptance written again
    EXPECT_EQ(answers.Messages().size(), shown);
    EXPECT_TRUE(UserAccepted(accepted));
    EXPECT_EQ(accepted, 1u);
    EXPECT_FALSE(page->IsRunning());
}

} // namespace
