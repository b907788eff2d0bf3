// The Benchmark page with fixed-value testers: scores and total, the item choice
// and its registry key, abort, and runs that meet Discard, UnInit and teardown.
#include <QCheckBox>
#include <QLCDNumber>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include "Platform/Registry.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "Testing/PerformanceTest.h"
#include "SourceThreads/Testing/BenchmarkTestSupport.h"
#include "support/LogCapture.h"

namespace {

constexpr char16_t kMRUKey[] = u"Software\\Vyk\\Vyk Velocrest\\BenchmarkMRU";
const char* const kBoxes[] = {"checkBoxInteger", "checkBoxFP", "checkBoxMemory", "checkBoxCache"};
const char* const kLabels[] = {"labelInteger", "labelFP", "labelMemory", "labelCache"};
const char16_t* const kValues[] = {u"IntComputation", u"FPComputation", u"Memory", u"Cache"};

// Writes the item values as text (absent: nullptr), creating the key.
void WriteMRU(const std::vector<const char*>& texts)
{
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::CurrentUser, kMRUKey), plat::ERROR_SUCCESS);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i]) {
            ASSERT_EQ(key.SetString(kValues[i], QString::fromLatin1(texts[i])), plat::ERROR_SUCCESS);
        }
    }
}

class BenchmarkPageTest : public test::PageTest<QPerformanceTest> {
protected:
    QCheckBox* Box(int i) { return page->findChild<QCheckBox*>(QLatin1String(kBoxes[i])); }
    QString Label(int i) { return page->findChild<QLabel*>(QLatin1String(kLabels[i]))->text(); }
    QStringList Labels() { return {Label(0), Label(1), Label(2), Label(3)}; }
    QPushButton* RunButton() { return page->findChild<QPushButton*>(QStringLiteral("btnRun")); }
    QLCDNumber* Lcd() { return page->findChild<QLCDNumber*>(QStringLiteral("lcdNumber")); }
    QProgressBar* Bar() { return page->findChild<QProgressBar*>(QStringLiteral("progressBar")); }
    std::vector<bool> Checked() { return {Box(0)->isChecked(), Box(1)->isChecked(), Box(2)->isChecked(), Box(3)->isChecked()}; }
    bool BoxesEnabled() { return Box(0)->isEnabled() && Box(1)->isEnabled() && Box(2)->isEnabled() && Box(3)->isEnabled(); }

    // The 500 ms tick.
    void Tick() { QMetaObject::invokeMethod(page.get(), "UpdateProgressBar"); }
    bool WaitFinished() { return test::WaitFinished(page->MainThread()); }
    // Starts a run whose tester calls are held at the gate until the test opens it.
    void StartHeldRun(bool bHonourStop = true)
    {
        test::SetExampleValues(fixed);
        Create();
        fixed.CloseGate(bHonourStop);
        RunButton()->click();
    }
    void RunToEnd()
    {
        RunButton()->click();
        ASSERT_TRUE(WaitFinished());
        Tick();
        ASSERT_EQ(RunButton()->text(), QStringLiteral("Run"));
    }

    test::FixedTesters fixed;
};

TEST_F(BenchmarkPageTest, ScoresAndTotalFollowTheSelectedItems)
{
    test::SetExampleValues(fixed);
    Create();
    ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtCPU), 4u);
    struct CASE {
        std::vector<bool> checked;
        QStringList labels;
        int nLcd;
        bool bLcdEnabled;
    } cases[] = {
        {{true, true, true, true}, {"49360 ", "812 ", "2500 ", "7310 "}, 6729, true},
        {{true, true, true, false}, {"49360 ", "812 ", "2500 ", "0 "}, 0, false},
        {{false, true, false, false}, {"0 ", "812 ", "0 ", "0 "}, 0, false},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.nLcd);
        for (int i = 0; i < 4; ++i)
            Box(i)->setChecked(c.checked[i]);
        RunToEnd();
        EXPECT_EQ(Labels(), c.labels);
        EXPECT_EQ(Lcd()->intValue(), c.nLcd);
        EXPECT_EQ(Lcd()->isEnabled(), c.bLcdEnabled);
        EXPECT_EQ(Bar()->value(), Bar()->maximum()) << "a completed run leaves the bar full";
        EXPECT_TRUE(BoxesEnabled());
        EXPECT_FALSE(g_bBenchmarkRunning);
        EXPECT_FALSE(page->AnyThreadBusy());
    }
}

TEST_F(BenchmarkPageTest, ARunShowsActivityAndWaitsForTheMainThread)
{
    StartHeldRun();
    EXPECT_EQ(RunButton()->text(), QStringLiteral("Abort"));
    EXPECT_TRUE(RunButton()->isEnabled());
    EXPECT_FALSE(BoxesEnabled());
    EXPECT_TRUE(g_bBenchmarkRunning);
    ASSERT_TRUE(fixed.WaitHeld(1 + static_cast<int>(page->LoadThreadCount())));
    for (int tick = 1; tick <= 9; ++tick) {
        Tick();
        EXPECT_EQ(Bar()->value(), 10 * tick);
    }
    Tick();
    EXPECT_EQ(Bar()->value(), Bar()->minimum() - 1) << "emptied after 90";
    EXPECT_EQ(Labels(), (QStringList{"0", "0", "0", "0"}));
    fixed.OpenGate();
    ASSERT_TRUE(WaitFinished());
    Tick();
    EXPECT_EQ(Lcd()->intValue(), 6729);
}

// Abort ends every thread before it returns: the page is idle at once.
TEST_F(BenchmarkPageTest, AbortReturnsToIdleWithNoThreadLeft)
{
    StartHeldRun();
    ASSERT_TRUE(fixed.WaitHeld(1 + static_cast<int>(page->LoadThreadCount())));
    Tick();
    RunButton()->click();
    EXPECT_FALSE(page->AnyThreadBusy());
    EXPECT_FALSE(g_bBenchmarkRunning);
    EXPECT_EQ(RunButton()->text(), QStringLiteral("Run"));
    EXPECT_TRUE(RunButton()->isEnabled());
    EXPECT_TRUE(BoxesEnabled());
    EXPECT_EQ(Labels(), (QStringList{"0", "0", "0", "0"}));
    EXPECT_EQ(Lcd()->intValue(), 0);
    EXPECT_EQ(Bar()->value(), Bar()->minimum() - 1);
    EXPECT_FALSE(page->MainThread().IsFinished());
    Tick();
    EXPECT_EQ(Labels(), (QStringList{"0", "0", "0", "0"})) << "an aborted run never shows scores";

    // The next run measures afresh.
    fixed.OpenGate();
    RunToEnd();
    EXPECT_EQ(Lcd()->intValue(), 6729);
}

// A thread that has not ended keeps Run disabled; the tick gives it back.
TEST_F(BenchmarkPageTest, RunStaysDisabledUntilTheLastRunsThreadsHaveEnded)
{
    StartHeldRun(false);
    ASSERT_TRUE(fixed.WaitHeld(1));
    RunButton()->click();
    EXPECT_EQ(RunButton()->text(), QStringLiteral("Run"));
    EXPECT_TRUE(page->AnyThreadBusy());
    EXPECT_FALSE(RunButton()->isEnabled());
    RunButton()->click();
    EXPECT_FALSE(g_bBenchmarkRunning) << "no run while the last one's threads go on";
    fixed.OpenGate();
    while (page->AnyThreadBusy())
        QThread::yieldCurrentThread();
    Tick();
    EXPECT_TRUE(RunButton()->isEnabled());
}

// A poll that comes before the new run has stored anything must not take the last
// run's scores for new ones.
TEST_F(BenchmarkPageTest, APreviousRunsScoresAreNeverShownAsNew)
{
    test::SetExampleValues(fixed);
    Create();
    RunToEnd();
    EXPECT_EQ(Lcd()->intValue(), 6729);

    fixed.Set(tqFloatingPoint, 900.2);
    fixed.CloseGate();
    RunButton()->click();
    Tick();
    EXPECT_EQ(RunButton()->text(), QStringLiteral("Abort"));
    EXPECT_EQ(Labels(), (QStringList{"0", "0", "0", "0"}));
    fixed.OpenGate();
    ASSERT_TRUE(WaitFinished());
    Tick();
    EXPECT_EQ(Label(1), QStringLiteral("900 "));
    EXPECT_EQ(Lcd()->intValue(), 6817);
}

TEST_F(BenchmarkPageTest, CheckBoxesEnableRunAndTheTotal)
{
    Create();
    EXPECT_TRUE(RunButton()->isEnabled());
    EXPECT_TRUE(Lcd()->isEnabled());
    for (int i = 0; i < 4; ++i) {
        Box(i)->setChecked(false);
        EXPECT_FALSE(Lcd()->isEnabled());
        EXPECT_FALSE(page->findChild<QLabel*>(QStringLiteral("labelSysPerf"))->isEnabled());
        EXPECT_EQ(RunButton()->isEnabled(), i < 3) << i;
    }
    Box(2)->setChecked(true);
    EXPECT_TRUE(RunButton()->isEnabled());
    EXPECT_FALSE(Lcd()->isEnabled());
}

TEST_F(BenchmarkPageTest, ItemChoiceIsRestoredFromTheRegistry)
{
    struct CASE {
        const char* pszName;
        std::vector<const char*> stored;   // empty: no key
        std::vector<bool> checked;
        bool bRead;
    } cases[] = {
        {"all stored", {"1", "0", "1", "0"}, {true, false, true, false}, true},
        {"low byte decides", {"256", "257", "0x12345600", "0xFF"}, {false, true, false, true}, true},
        {"first missing", {nullptr, "0", "0", "0"}, {true, true, true, true}, false},
        {"eight bytes are unreadable", {"0", "0", "0x100000000", "0"}, {false, false, true, true}, false},
        {"text is unreadable", {"0", "yes", "0", "0"}, {false, true, true, true}, false},
        {"no key", {}, {true, true, true, true}, false},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszName);
        QFile::remove(plat::RegistryHiveFile(plat::RegistryHive::CurrentUser));
        if (!c.stored.empty())
            WriteMRU(c.stored);
        Create();
        EXPECT_EQ(Checked(), c.checked);
        EXPECT_EQ(page->Discard(), c.bRead);
        EXPECT_EQ(Checked(), c.checked);
        const int count = static_cast<int>(std::count(c.checked.begin(), c.checked.end(), true));
        EXPECT_EQ(Lcd()->isEnabled(), count == 4);
        EXPECT_EQ(RunButton()->isEnabled(), count != 0);
        page.reset();
    }
}

TEST_F(BenchmarkPageTest, ApplyStoresTheChoiceForTheNextStart)
{
    Create();
    Box(1)->setChecked(false);
    Box(3)->setChecked(false);
    EXPECT_TRUE(page->Apply());
    plat::RegistryKey key;
    ASSERT_EQ(key.Open(plat::RegistryHive::CurrentUser, kMRUKey), plat::ERROR_SUCCESS);
    const uint32_t expected[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        uint32_t value = 99;
        EXPECT_EQ(key.QueryDword(kValues[i], value), plat::ERROR_SUCCESS);
        EXPECT_EQ(value, expected[i]);
    }
    page.reset();
    Create();
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, true, false}));
}

TEST_F(BenchmarkPageTest, ApplyFailsWhenTheKeyCannotBeCreated)
{
    // A file where the registry's folder should be: nothing can be written there.
    ASSERT_TRUE(test::WriteFile(plat::RegistryRoot(), "not a folder"));
    Create();
    EXPECT_FALSE(page->Apply());
    EXPECT_FALSE(page->Discard());
}

// Discard during a run leaves the run's boxes alone and is carried out at its end.
TEST_F(BenchmarkPageTest, DiscardDuringARunWaitsForItsEnd)
{
    StartHeldRun();
    WriteMRU({"1", "0", "0", "0"});
    EXPECT_TRUE(page->Discard());
    EXPECT_EQ(Checked(), (std::vector<bool>{true, true, true, true}));
    EXPECT_FALSE(BoxesEnabled());
    EXPECT_TRUE(RunButton()->isEnabled()) << "Abort stays available";
    fixed.OpenGate();
    ASSERT_TRUE(WaitFinished());
    Tick();
    EXPECT_EQ(Lcd()->intValue(), 6729) << "the run measured all four items";
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false}));
    EXPECT_FALSE(Lcd()->isEnabled());
}

TEST_F(BenchmarkPageTest, UnInitAndTeardownDuringARunStopEveryThread)
{
    StartHeldRun();
    ASSERT_TRUE(fixed.WaitHeld(1));
    EXPECT_TRUE(page->UnInit());
    EXPECT_FALSE(page->AnyThreadBusy());
    EXPECT_EQ(page->LoadThreadCount(), 0u);
    EXPECT_FALSE(g_bBenchmarkRunning);
    EXPECT_EQ(RunButton()->text(), QStringLiteral("Run"));

    // Destroyed in the middle of a run, without UnInit.
    page.reset();
    Create();
    RunButton()->click();
    ASSERT_TRUE(fixed.WaitHeld(1));
    page.reset();
    EXPECT_FALSE(g_bBenchmarkRunning);
}

TEST_F(BenchmarkPageTest, LoadThreadsNeverOutnumberThisComputersProcessors)
{
    const unsigned host = static_cast<unsigned>(std::max(1, QThread::idealThreadCount()));
    struct CASE { int nPackages; unsigned nCPUs; } cases[] = {{1, 4}, {5, 20}};
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.nCPUs);
        UseBoardWith([&](QJsonObject& devices) { Edit(devices, "cpu", [&](QJsonObject& cpu) { cpu.insert(QStringLiteral("packages"), c.nPackages); }); });
        ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtCPU), c.nCPUs);
        fixed.Set(tqInteger, 100.5);
        Create();
        EXPECT_EQ(page->LoadThreadCount(), std::min(c.nCPUs, host) - 1);
        fixed.ForgetCalls();
        RunToEnd();
        EXPECT_EQ(fixed.Calls(tqInteger), static_cast<int>(page->LoadThreadCount()) + 1);
        EXPECT_EQ(Label(0), QStringLiteral("%1 ").arg(100 * c.nCPUs * 10)) << "scaled by every processor";
        page.reset();
    }
}

TEST_F(BenchmarkPageTest, OneProcessorHasNoLoadThread)
{
    QJsonObject processor = test::DefaultBoard().value(QStringLiteral("processor")).toObject();
    processor.insert(QStringLiteral("cores"), 1);
    g_DeviceManager.UnInit();
    ASSERT_TRUE(test::LoadDefaultBoardWith({{QStringLiteral("processor"), processor}}));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    fixed.Set(tqInteger, 1234.9);
    Create();
    EXPECT_EQ(page->LoadThreadCount(), 0u);
    RunToEnd();
    EXPECT_EQ(Label(0), QStringLiteral("12340 "));
    EXPECT_TRUE(page->UnInit());
}

TEST_F(BenchmarkPageTest, OnlyTheVendorsProcessorsHaveTheBenchmark)
{
    struct CASE { const char* pszVendor; bool bInit; } cases[] = {
        {"AuthenticVyk", true}, {"AuthenticOther", false}, {"authenticvyk", false}, {"AuthenticVyk ", false},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszVendor);
        QJsonObject processor = test::DefaultBoard().value(QStringLiteral("processor")).toObject();
        processor.insert(QStringLiteral("vendor"), QLatin1String(c.pszVendor));
        g_DeviceManager.UnInit();
        ASSERT_TRUE(test::LoadDefaultBoardWith({{QStringLiteral("processor"), processor}}));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
        test::LogCapture::Instance().Clear();
        QPerformanceTest benchmark;
        EXPECT_EQ(benchmark.Init(), c.bInit);
        EXPECT_TRUE(test::LogCapture::Instance().Lines().empty()) << "a foreign processor is not an error";
        benchmark.UnInit();
    }

    UseVariant("qvx-no-cpu");
    QPerformanceTest benchmark;
    EXPECT_FALSE(benchmark.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pCPU) at line "));
    EXPECT_TRUE(test::LogContains(" in QPerformanceTest::Init"));
}

} // namespace
