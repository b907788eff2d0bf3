// The Auto Clock page without a run: its set-up on the default board and on
// boards that lack devices, the live values of its tick, the last result, and the
// Reset and Apply Settings buttons on the stored results.
#include <QDir>
#include <QGroupBox>

#include "Platform/Registry.h"
#include "QVXLogic/MemoryDevices.h"
#include "QVXLogic/ProfileSettings.h"
#include "Source/Files.h"
#include "Source/ReadOnlyStore.h"
#include "Source/Testing/AutoTuneFixture.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "support/FileSaves.h"
#include "support/LogCapture.h"

using test::AutoTunePageTest;

namespace {

vb::DeviceBoard& Board() { return vb::Machine::Instance().Get<vb::DeviceBoard>(); }

void StoreText(const char* group, const char* subGroup, const char* item, const char* text)
{
    ASSERT_TRUE(CConfigParser::GetInstance()->SetValue(QString::fromLatin1(group), QString::fromLatin1(subGroup),
                                                       QString::fromLatin1(item), QString::fromLatin1(text), true));
}

constexpr const char* kClockGen = "Vyk Clock Generator";
constexpr const char* kCpu = "Vyk Tarrow T40 Quad-Core Processor";

QString Number(double value) { return QString::number(value, 'g', 15); }

TEST_F(AutoTunePageTest, InitOnTheDefaultBoardAndOnBoardsThatLackDevices)
{
    Create();
    EXPECT_EQ(StartButton()->text(), "Start");
    EXPECT_TRUE(StartButton()->isEnabled());
    EXPECT_EQ(W<QProgressBar>("progressBar")->minimum(), 150);
    EXPECT_EQ(W<QProgressBar>("progressBar")->maximum(), 300);
    EXPECT_FALSE(W<QProgressBar>("progressBar")->isTextVisible());
    for (const char* box : {"gbCPU0", "gbCPU1", "gbCPU2", "gbCPU3"})
        EXPECT_TRUE(W<QGroupBox>(box)->isEnabled()) << box;
    // Nothing stored yet: the heading alone.
    EXPECT_EQ(W<QTextBrowser>("textBrowser")->toPlainText().trimmed(), "The result of last successful tune is:");
    page.reset();

    // No clock generator: the page stays, with its live values and without tuning.
    UseBoard([](QJsonObject& devices) {
        devices.remove(QStringLiteral("clockGenerator"));
    });
    Create();
    EXPECT_FALSE(StartButton()->isEnabled());
    EXPECT_FALSE(W<QPushButton>("btnReset")->isEnabled());
    EXPECT_FALSE(W<QPushButton>("btnSave")->isEnabled());
    EXPECT_TRUE(W<QTextBrowser>("textBrowser")->toPlainText().isEmpty());
    EXPECT_TRUE(page->UnInit());
    EXPECT_FALSE(W<QPushButton>("btnReset")->isEnabled());
    page.reset();

    // A range with fractions is cut to whole MHz.
    UseBoard([](QJsonObject& devices) {
        Edit(devices, "clockGenerator", [](QJsonObject& cg) {
            cg.insert(QStringLiteral("htRef"), QJsonObject{{"default", 200}, {"min", 180.9}, {"max", 260.75}, {"step", 1}});
        });
    });
    Create();
    EXPECT_EQ(W<QProgressBar>("progressBar")->minimum(), 180);
    EXPECT_EQ(W<QProgressBar>("progressBar")->maximum(), 260);
}

TEST_F(AutoTunePageTest, LiveValuesWhileVisible)
{
    Create();
    Show();
    Tick();
    EXPECT_EQ(Field("CPUFreqNum"), "3200 MHz");
    EXPECT_EQ(Field("CPUMulNum_4"), "16.00 X");
    EXPECT_EQ(Field("CPUVolNum_2"), "1.325 V");
    EXPECT_EQ(Field("ExtFreqNum"), "200.00 MHz");
    EXPECT_EQ(Field("SBFreqNum"), "66.67 MHz");
    EXPECT_EQ(Field("PCIEFreqNum"), "100.00 MHz");
    EXPECT_EQ(Field("MemFreqNum"), "400.00 MHz");

    // The south-bridge and PCIe clocks are read once per showing.
    {
        auto lock = Board().Lock();
        Board().clock.sb.value = 70;
        Board().SetReference(210);
    }
    Tick();
    EXPECT_EQ(Field("SBFreqNum"), "66.67 MHz");
    EXPECT_EQ(Field("ExtFreqNum"), "210.00 MHz");
    EXPECT_EQ(Field("CPUFreqNum_3"), "3360 MHz");
    EXPECT_EQ(Field("MemFreqNum"), "420.00 MHz");

    // A hidden page calls no device.
    page->hide();
    const uint64_t before = Board().Accesses();
    Tick();
    EXPECT_EQ(Board().Accesses(), before);
    page->show();
    Tick();
    EXPECT_EQ(Field("SBFreqNum"), "70.00 MHz");
}

TEST_F(AutoTunePageTest, WithoutCoreZeroTheReferenceClockStaysEmptyAndMemoryIsAskedWithZero)
{
    UseBoard([](QJsonObject& devices) {
        Edit(devices, "cpu", [](QJsonObject& cpu) { cpu.insert(QStringLiteral("present"), false); });
    });
    Create();
    for (const char* box : {"gbCPU0", "gbCPU1", "gbCPU2", "gbCPU3"})
        EXPECT_FALSE(W<QGroupBox>(box)->isEnabled()) << box;
    Show();
    Tick();
    EXPECT_TRUE(Field("ExtFreqNum").isEmpty());
    EXPECT_TRUE(Field("CPUFreqNum").isEmpty());
    // Asked with (0, 0), the controller answers with its configured clock rather
    // than dividing by zero.
    EXPECT_EQ(Field("MemFreqNum"), "400.00 MHz");
    EXPECT_EQ(Field("SBFreqNum"), "66.67 MHz");
}

TEST_F(AutoTunePageTest, LastResultShowsTheStoredClocks)
{
    struct Case {
        const char* multiplierTune;   // null: not stored
        const char* expected;
    };
    const Case cases[] = {
        {"16", "Last CPU clock is: 3392 MHz|Last HT Link ref. clock is: 212 MHz"},
        {nullptr, "Last CPU clock is: 212 MHz|Last HT Link ref. clock is: 212 MHz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        StoreText("ClockGen", kClockGen, "CPUTune", "212");
        if (c.multiplierTune)
            StoreText("CPU", "Vyk Tarrow T40 Quad-Core Processor", "MultiplierTune", c.multiplierTune);
        Create();
        const QStringList lines = Output().filter(QStringLiteral("Last "));
        EXPECT_EQ(lines.join('|'), c.expected);
        page.reset();
        QFile::remove(CConfigParser::GetInstance()->GetFullPath());
        CConfigParser::ReleaseInstance();
    }
}

TEST_F(AutoTunePageTest, ResetPutsEveryCoreAndTheReferenceBackAndStoresTheStartValues)
{
    // The machine as the program found it: 16 x, but core 2 at 14 x.
    ASSERT_TRUE(Core(2)->SetMultiplier(14));
    Create();
    ASSERT_TRUE(ClockGen()->SetHTRefClock(212));
    for (unsigned long i = 0; i < 4; ++i)
        ASSERT_TRUE(Core(i)->SetMultiplier(12 + i));
    StoreText("ClockGen", kClockGen, "CPUTune", "212");
    ForgetWrites();

    // No: nothing changes.
    answers.Queue(QMessageBox::No);
    W<QPushButton>("btnReset")->click();
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Stored("ClockGen", kClockGen, "CPUTune"), "212");

    g_bModified = true;
    answers.Queue(QMessageBox::Yes);
    W<QPushButton>("btnReset")->click();
    ASSERT_EQ(answers.Messages().size(), 2u);
    EXPECT_EQ(answers.Messages()[1].title, "AutoClock");
    EXPECT_EQ(answers.Messages()[1].text, "Are you sure to roll back original settings?");
    EXPECT_EQ(answers.Messages()[1].buttons, QMessageBox::Yes | QMessageBox::No);
    // Every core back where it started (not core 0 four times, nor the lowest
    // multiplier).
    const std::vector<std::string> expected{"CG.SetHTRefClock(200)", "CPU0.SetMultiplier(16)", "CPU1.SetMultiplier(16)",
                                            "CPU2.SetMultiplier(14)", "CPU3.SetMultiplier(16)"};
    EXPECT_EQ(Writes(), expected);
    const double start[] = {16, 16, 14, 16};
    for (unsigned long i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(Core(i)->GetCurrentMultiplier(), start[i]) << i;
    const char* cpu = "Vyk Tarrow T40 Quad-Core Processor";
    EXPECT_EQ(Stored("ClockGen", kClockGen, "HTRefClock"), "200");
    EXPECT_EQ(Stored("ClockGen", kClockGen, "CPUTune"), "200");
    for (const char* item : {"Multiplier", "Multiplier2", "Multiplier4", "MultiplierTune"})
        EXPECT_EQ(Stored("CPU", cpu, item), "16") << item;
    EXPECT_EQ(Stored("CPU", cpu, "Multiplier3"), "14");
    EXPECT_TRUE(Stored("CPU", cpu, "Multiplier5").isEmpty());
    EXPECT_FALSE(g_bModified);   // the main window's Discard ran
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A refused write is logged; the store still records the start values.
    Fault("qvx:CG.SetHTRefClock");
    answers.Queue(QMessageBox::Yes);
    W<QPushButton>("btnReset")->click();
    EXPECT_TRUE(test::LogCapture::Instance().Contains(
        "LOG_PROCESS_ERROR(pClockGen->SetHTRefClock(dDefault)) at line"));
}

TEST_F(AutoTunePageTest, ApplySettingsGivesEachCoreTheMultiplierItHadForTheResult)
{
    // The machine as the program found it: cores at 16, 16, 14 and 15 x.
    const double start[] = {16, 16, 14, 15};
    for (unsigned long i = 0; i < 4; ++i)
        ASSERT_TRUE(Core(i)->SetMultiplier(start[i]));
    Create();
    struct Case {
        const char* name;
        bool bSearch;      // the result of a search, else of a Reset
        double reference;  // the result's reference clock
    };
    const Case cases[] = {{"after a Reset", false, 200}, {"after a search", true, test::kHighestStableClock}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bSearch) {
            Start();
            FinishRun();
            ASSERT_EQ(LastLine(), "AutoClock is finished successfully!");
        } else {
            ASSERT_TRUE(ClockGen()->SetHTRefClock(212));
            StoreText("ClockGen", kClockGen, "CPUTune", "212");
            answers.Queue(QMessageBox::Yes);
            W<QPushButton>("btnReset")->click();
        }
        // Another page moves every core before the result is applied.
        for (unsigned long i = 0; i < 4; ++i)
            ASSERT_TRUE(Core(i)->SetMultiplier(12));
        W<QPushButton>("btnSave")->click();

        EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), c.reference);
        const char* items[] = {"Multiplier", "Multiplier2", "Multiplier3", "Multiplier4"};
        for (unsigned long i = 0; i < 4; ++i) {
            EXPECT_DOUBLE_EQ(Core(i)->GetCurrentMultiplier(), start[i]) << i;
            EXPECT_EQ(Stored("CPU", kCpu, items[i]), Number(start[i])) << items[i];
        }
        // The result's own item keeps core 0's multiplier.
        EXPECT_EQ(Stored("CPU", kCpu, "MultiplierTune"), "16");
    }
}

TEST_F(AutoTunePageTest, ResetGivesBackTheStartOperatingPointAfterAPstateStep)
{
    Create();
    // Core 0 steps to P1, 12.5 x at 1.25 V (the one voltage plane of every core);
    // then the reference clock is raised.
    ASSERT_TRUE(Core(0)->SetPstate(1));
    ASSERT_DOUBLE_EQ(Core(0)->GetCurrentMultiplier(), 12.5);
    ASSERT_DOUBLE_EQ(Core(1)->GetCPUVid(), 1.25);
    ASSERT_TRUE(ClockGen()->SetHTRefClock(212));

    answers.Queue(QMessageBox::Yes);
    W<QPushButton>("btnReset")->click();
    // Each core at its start multiplier, with the start voltage, in the P-state it
    // started in: not 16 x on the step's lower voltage.
    for (unsigned long i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(Core(i)->GetCurrentMultiplier(), 16) << i;
        EXPECT_DOUBLE_EQ(Core(i)->GetCPUVid(), 1.325) << i;
        EXPECT_EQ(Core(i)->GetCurrentPstate(), 0) << i;
    }
    // The store holds that point too (the voltage as the Clock/Voltage page keeps
    // it), so that applying it gives the same.
    EXPECT_EQ(Stored("CPU", kCpu, "CPUVID"), "132500");
    W<QPushButton>("btnSave")->click();
    EXPECT_DOUBLE_EQ(Core(0)->GetCurrentMultiplier(), 16);
    EXPECT_DOUBLE_EQ(Core(0)->GetCPUVid(), 1.325);
}

TEST_F(AutoTunePageTest, ResetAndApplySettingsWriteTheStoreOnce)
{
    StoreText("ClockGen", kClockGen, "CPUTune", "212");
    StoreText("CPU", kCpu, "MultiplierTune", "16");
    StoreText("MemoryController", "Memory Controller", "MemoryClockTune", "424");
    Create();
    test::FileSaves saves(CConfigParser::GetInstance()->GetFullPath());
    W<QPushButton>("btnSave")->click();
    EXPECT_EQ(saves.Take(), 1) << "Apply Settings";
    EXPECT_EQ(Stored("ClockGen", kClockGen, "HTRefClock"), "212");
    answers.Queue(QMessageBox::Yes);
    W<QPushButton>("btnReset")->click();
    EXPECT_EQ(saves.Take(), 1) << "Reset";
    EXPECT_EQ(Stored("ClockGen", kClockGen, "HTRefClock"), "200");
}

TEST_F(AutoTunePageTest, ApplySettingsAppliesTheStoredResultThroughTheStoresOwnFile)
{
    // The store lives in the install folder; the program runs from elsewhere.
    const QString install = test::TestDir() + QStringLiteral("/install/");
    ASSERT_TRUE(QDir().mkpath(install));
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, plat::kProductKey), plat::ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(u"InstallDir", install + QStringLiteral("VykVelocrest")), plat::ERROR_SUCCESS);
    CConfigParser::ReleaseInstance();
    ASSERT_EQ(CConfigParser::GetInstance()->GetFullPath(), install + QStringLiteral("QVXConfig.xml"));

    const char* cpu = "Vyk Tarrow T40 Quad-Core Processor";
    StoreText("ClockGen", kClockGen, "CPUTune", "212");
    StoreText("CPU", cpu, "MultiplierTune", "16");
    StoreText("MemoryController", "Memory Controller", "MemoryClockTune", "424");
    Create();
    g_bModified = true;
    W<QPushButton>("btnSave")->click();

    EXPECT_EQ(Stored("ClockGen", kClockGen, "HTRefClock"), "212");
    for (const char* item : {"Multiplier", "Multiplier2", "Multiplier3", "Multiplier4"})
        EXPECT_EQ(Stored("CPU", cpu, item), "16") << item;
    EXPECT_EQ(Stored("MemoryController", "Memory Controller", "Memory_Clock"), "424");
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 212);
    EXPECT_DOUBLE_EQ(Core(3)->GetCurrentFrequency(), 16 * 212);
    EXPECT_FALSE(g_bModified);
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(QFile::exists(test::TestDir() + QStringLiteral("/QVXConfig.xml")));
}

TEST_F(AutoTunePageTest, AStoreThatCannotBeWrittenIsToldAndItsResultNotApplied)
{
    // The store lives in memory only: every save fails.
    const QString path = test::UseReadOnlyStore();
    ASSERT_EQ(CConfigParser::GetInstance()->GetFullPath(), path);
    ASSERT_TRUE(CConfigParser::GetInstance()->SetValue(u"ClockGen", u"Vyk Clock Generator", u"CPUTune", u"212", false));
    Create();

    // The profile object would apply the file as it was, not this result.
    W<QPushButton>("btnSave")->click();
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 200);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(answers.Messages()[0].text,
              QStringLiteral("The last result could not be saved to %1, so it was not applied.").arg(path));

    // Reset's start values are in force; the user learns they are not kept.
    ASSERT_TRUE(ClockGen()->SetHTRefClock(212));
    answers.Queue(QMessageBox::Yes);
    W<QPushButton>("btnReset")->click();
    EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 200);
    ASSERT_EQ(answers.Messages().size(), 3u);
    EXPECT_EQ(answers.Messages()[2].text,
              QStringLiteral("The start values are in force, but they could not be saved to %1.").arg(path));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AutoTunePageTest, ResetAndApplySettingsChangeNothingWithoutTheMemoryController)
{
    UseBoard([](QJsonObject& devices) { devices.remove(QStringLiteral("memoryController")); });
    StoreText("ClockGen", kClockGen, "CPUTune", "212");
    Create();
    ForgetWrites();
    answers.Queue(QMessageBox::Yes);
    W<QPushButton>("btnReset")->click();
    W<QPushButton>("btnSave")->click();
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(Stored("ClockGen", kClockGen, "HTRefClock").isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
}

std::vector<double> OfferedMemoryClocks()
{
    double list[256];
    unsigned count = 256;
    EXPECT_TRUE(QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0)->GetMemClkList(list, &count));
    return std::vector<double>(list, list + count);
}

double MemoryClock()
{
    MEMORY_CONFIG config{};
    EXPECT_TRUE(QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0)->GetConfig(&config));
    return config.MemClk;
}

TEST_F(AutoTunePageTest, ApplySettingsAfterResetAsksOnlyForAMemoryClockTheControllerOffers)
{
    struct Case {
        const char* board;      // a variant under tests/fixtures/boards; null: the default board
        double memoryClock;     // the one offered at the start clock nearest below the result's
    };
    const Case cases[] = {{nullptr, 400}, {"qvx-ddr3-external", 666.667}, {"qvx-ddr", 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.board ? c.board : "default");
        if (c.board)
            UseVariant(c.board);
        Create();
        // The result a search finds on this board, within the board's own limits.
        Start();
        FinishRun();
        ASSERT_EQ(LastLine(), "AutoClock is finished successfully!");
        ASSERT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), test::kHighestStableClock);
        answers.Queue(QMessageBox::Yes);
        W<QPushButton>("btnReset")->click();
        ASSERT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), 200);
        test::LogCapture::Instance().Clear();
        const size_t shown = answers.Messages().size();
        W<QPushButton>("btnSave")->click();

        // Nothing refused, so nothing to tell.
        EXPECT_FALSE(test::LogContains("refused"));
        EXPECT_EQ(answers.Messages().size(), shown);
        EXPECT_NEAR(MemoryClock(), c.memoryClock, 0.001);
        const std::vector<double> offered = OfferedMemoryClocks();
        double stored = 0;
        ASSERT_TRUE(CConfigParser::ToDouble(Stored("MemoryController", "Memory Controller", "Memory_Clock"), stored));
        EXPECT_TRUE(std::any_of(offered.begin(), offered.end(), [stored](double v) { return std::fabs(v - stored) < 0.001; }))
            << stored;
        page.reset();
    }
}

TEST_F(AutoTunePageTest, ApplySettingsNeverRunsTheMemoryFasterThanTheResult)
{
    // At 200 MHz the default board's controller offers 200, 266.667, 333.333, 400 and
    // 533.333 MHz and runs at 400; what it offers follows the reference clock, so at
    // 211 MHz it offers 211, 281.333, 351.667, 422 and 562.667.
    struct Case {
        double now;              // the reference clock the board runs at
        const char* reference;   // the result's, which Apply Settings applies
        const char* memory;      // the result's memory clock
        double expected;         // the memory clock afterwards
        bool refused;            // none offered at or below the result's: memory left as it is
    };
    const Case cases[] = {
        {200, "211", "422", 422, false},     {230, "211", "422", 422, false},
        {200, "211", "430", 422, false},     {230, "211", "400", 351.667, false},
        {200, "211", "200", 422, true},      {230, "200", "190", 400, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.now << " MHz, result " << c.memory << " MHz at " << c.reference);
        UseBoard([](QJsonObject&) {});   // the controller back at its start clock
        ASSERT_TRUE(ClockGen()->SetHTRefClock(c.now));
        StoreText("ClockGen", kClockGen, "CPUTune", c.reference);
        StoreText("MemoryController", "Memory Controller", "MemoryClockTune", c.memory);
        Create();
        ForgetWrites();
        const size_t shown = answers.Messages().size();
        W<QPushButton>("btnSave")->click();

        EXPECT_NEAR(MemoryClock(), c.expected, 0.001);
        double reference = 0;
        ASSERT_TRUE(CConfigParser::ToDouble(QString::fromLatin1(c.reference), reference));
        EXPECT_DOUBLE_EQ(ClockGen()->GetHTRefClock(), reference);
        if (c.refused) {
            const std::vector<std::string> writes = Writes();
            EXPECT_FALSE(std::any_of(writes.begin(), writes.end(), [](const std::string& w) {
                return w.rfind("MC.SetConfig(MemClk=", 0) == 0;
            }));
            ASSERT_EQ(answers.Messages().size(), shown + 1);
            EXPECT_EQ(answers.Messages().back().icon, QMessageBox::Warning);
            EXPECT_EQ(answers.Messages().back().title, "AutoClock");
            EXPECT_EQ(answers.Messages().back().text,
                      QStringLiteral("The memory clock of the last result, %1 MHz, was not applied: at the reference "
                                     "clock of %2 MHz the memory controller offers none at or below it. The memory "
                                     "keeps its present setting.")
                          .arg(QLatin1String(c.memory), QLatin1String(c.reference)));
        } else {
            EXPECT_EQ(answers.Messages().size(), shown);
        }
        page.reset();
    }
}

TEST_F(AutoTunePageTest, ApplySettingsTellsOfASettingTheHardwareRefused)
{
    // An offered memory clock, but the controller takes no configuration now.
    StoreText("MemoryController", "Memory Controller", "MemoryClockTune", "533.333");
    Fault("qvx:MC.SetConfig");
    Create();
    W<QPushButton>("btnSave")->click();
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(CProfileSettgins::m_Self.ApplySettings(path.c_str()))"));
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(answers.Messages()[0].title, "AutoClock");
    EXPECT_EQ(answers.Messages()[0].text,
              "Some settings could not be applied; the hardware keeps its current values for them.");
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
