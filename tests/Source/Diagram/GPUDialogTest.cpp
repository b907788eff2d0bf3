// The graphics dialog: titles by index, power-state names, the static values of
// Refresh (again at every show), the live values of its tick with the values that
// are kept when they read 0 or less, the performance-level rows by level count,
// a hidden tick that reads nothing, and the four-chip board.
#include <functional>

#include "Diagram/GPUDialog.h"
#include "QVXLogic/GpuDevice.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::Board;
using test::DiagramTest;
using test::Tick;

namespace {

void EditGpu(const std::function<void(vb::GpuState&)>& change)
{
    auto lock = Board().Lock();
    change(Board().gpus.at(0));
}

// For what the device library takes once, when it makes its devices (the level count).
void WithGpu(const std::function<void(vb::GpuState&)>& change)
{
    test::RemakeDevicesAfter([&](vb::DeviceBoard& board) { change(board.gpus.at(0)); });
}

QStringList Texts(std::initializer_list<QLabel*> labels)
{
    return test::Texts(labels);
}

QStringList Live(Ui::GPUDialogClass& f)
{
    return Texts({f.BusSpeed, f.CurrentBusLane, f.SleepOnTimestamp, f.LoadingBalance, f.Activity, f.PowerState,
                  f.CurrentLevel, f.FanSpeed, f.Temperature, f.CurrentCoreFreq, f.CurrentMemFreq, f.CurrentCoreVol});
}

QStringList Levels(Ui::GPUDialogClass& f)
{
    return Texts({f.CoreFreq1, f.MemFreq1, f.CoreVol1, f.CoreFreq2, f.MemFreq2, f.CoreVol2, f.CoreFreq3, f.MemFreq3,
                  f.CoreVol3});
}

} // namespace

TEST(GPUDialogTest, TitlesByIndexAndPowerStateNames)
{
    const char* const kTitles[] = {"GPU 0", "GPU 1", "GPU 2", "GPU 3", "Unknown GPU", "Unknown GPU"};
    const uint32_t kIndexes[] = {0, 1, 2, 3, 4, 0xFFFFFFFF};
    for (int i = 0; i < 6; ++i) {
        GPUDialog dialog;
        dialog.SetIndex(kIndexes[i]);
        EXPECT_EQ(std::string(dialog.GetName()), kTitles[i]);
    }
    const std::pair<int, const char*> kStates[] = {
        {0, "Invalid State"}, {1, "Optimal Battery"}, {2, "High Battery"}, {3, "Balanced"},
        {4, "High Performance"}, {5, "Optimal Performance"}, {6, "Invalid State"}, {-1, "Invalid State"}};
    for (const auto& [state, text] : kStates)
        EXPECT_EQ(GPUDialog::PowerStateText(state), text) << state;
}

TEST_F(DiagramTest, GpuStaticValuesAreReadAtInitAndAgainAtEveryShow)
{
    GPUDialog dialog;
    ASSERT_TRUE(dialog.Init());
    Ui::GPUDialogClass& f = dialog.Form();
    auto* gpu = QvxGetDevice<IGPUDevice>(dtGPU, 0);
    ASSERT_NE(gpu, nullptr);
    EXPECT_EQ(f.Model->text(), QString::fromUtf16(gpu->GetName()));
    EXPECT_EQ(Texts({f.BIOSVersion, f.BIOSDate, f.PartNumber, f.MemType, f.MemCapacity, f.MemBitwidth,
                     f.MaxBusLane}),
              QStringList({"011.012.000.003", "2009/06/15", "113-B27601-101", "DDR3 Side-port",
                           "256 MB", "64 bits", "16"}));
    EXPECT_EQ(Texts({f.MinCoreFreq, f.MaxCoreFreq, f.CoreFreqStep, f.MinMemFreq, f.MaxMemFreq, f.MemFreqStep,
                     f.MinCoreVol, f.MaxCoreVol, f.CoreVolStep}),
              QStringList({"300 MHz", "1300 MHz", "5 MHz", "200 MHz", "800 MHz", "1 MHz", "0.9 V", "1.3 V", "0.025 V"}));
    EXPECT_TRUE(Live(f).join(QString()).isEmpty());

    // A show reads again; ranges that read 0 or less keep their text.
    EditGpu([](vb::GpuState& g) {
        g.memoryBytes = 1.5 * 1024 * 1024;
        g.engine.min = 0;
        g.voltage.step = -1;
        g.maxBusLanes = 0;
        g.biosVersion = std::string(40, 'V');   // longer than its field: cut at the field's end
    });
    dialog.show();
    EXPECT_EQ(f.MemCapacity->text(), "1.5 MB");
    EXPECT_EQ(f.MinCoreFreq->text(), "300 MHz");
    EXPECT_EQ(f.CoreVolStep->text(), "0.025 V");
    EXPECT_EQ(f.MaxBusLane->text(), "16");
    EXPECT_LE(f.BIOSVersion->text().size(), 24);
    dialog.hide();

    // Without a video BIOS record the chip counts as absent.
    vb::Machine::Instance().GetFaults().Set("qvx:GPU.GetVideoBIOSInfo");
    GPUDialog noBios;
    EXPECT_FALSE(noBios.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pVBI)"));
    EXPECT_TRUE(noBios.Form().Model->text().isEmpty());
    // A chip the board does not have is absent, which is no failure: no error line.
    GPUDialog noChip;
    noChip.SetIndex(1);
    EXPECT_FALSE(noChip.Init());
    EXPECT_FALSE(test::LogContains("pGPU"));
}

TEST_F(DiagramTest, GpuTickShowsLiveValuesAndKeepsThoseThatReadNothing)
{
    GPUDialog dialog;
    ASSERT_TRUE(dialog.Init());
    Ui::GPUDialogClass& f = dialog.Form();
    const uint64_t before = Board().Accesses();
    Tick(dialog);
    EXPECT_EQ(Board().Accesses(), before);
    EXPECT_TRUE(Live(f).join(QString()).isEmpty());

    dialog.show();
    Tick(dialog);
    EXPECT_EQ(Live(f), QStringList({"100 MHz", "16", "Disabled", "Disabled", "2%", "Balanced", "Level 2", "0%",
                                    "48 C", "500 MHz", "400 MHz", "1.1 V"}));
    EXPECT_EQ(Levels(f), QStringList({"300 MHz", "400 MHz", "0.95 V", "400 MHz", "400 MHz", "1 V", "500 MHz",
                                      "400 MHz", "1.1 V"}));

    // Readings of 0 or less keep the last text; a usage of 0 and a temperature of 0 do show.
    EditGpu([](vb::GpuState& g) {
        g.busSpeed = 0;
        g.busLanes = -1;
        g.engine.value = 0;
        g.memory.value = -5;
        g.voltage.value = 0;
        g.usage = 0;
        g.fanPercent = 35;
        g.powerState = 7;
        g.sleepOnTimestamp = true;
        g.loadBalancing = true;
        g.currentLevel = 0;
    });
    vb::Machine::Instance().GetFaults().Set("qvx:GPU.GetTemperature");   // the sensor answers 0
    Tick(dialog);
    EXPECT_EQ(Live(f), QStringList({"100 MHz", "16", "Enabled", "Enabled", "0%", "Invalid State", "Level 0", "35%",
                                    "0 C", "500 MHz", "400 MHz", "1.1 V"}));
    // No usage reading and no sensor: activity, fan and temperature stand.
    EditGpu([](vb::GpuState& g) {
        g.usage = -1;
        g.sensors = 0;
        g.fanPercent = 90;
        g.temperature = 70;
    });
    Tick(dialog);
    EXPECT_EQ(Texts({f.Activity, f.FanSpeed, f.Temperature}), QStringList({"0%", "35%", "0 C"}));

    // Levels that cannot be read change no row.
    EditGpu([](vb::GpuState& g) { g.levels[0].engine = 350; });
    vb::Machine::Instance().GetFaults().Set("qvx:GPU.GetLevelInfo");
    Tick(dialog);
    EXPECT_EQ(f.CoreFreq1->text(), "300 MHz");
    dialog.hide();
}

TEST_F(DiagramTest, GpuLevelRowsFollowTheLevelCount)
{
    const struct {
        int levels;
        int rows;
    } kCases[] = {{0, 0}, {1, 1}, {2, 2}, {5, 3}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.levels);
        WithGpu([&](vb::GpuState& g) {
            g.levels.clear();
            for (int i = 0; i < c.levels; ++i)
                g.levels.push_back({100.0 + i, 200.0 + i, 1.0 + i / 10.0});
        });
        GPUDialog dialog;
        ASSERT_TRUE(dialog.Init());
        dialog.show();
        Tick(dialog);
        const QStringList rows = Levels(dialog.Form());
        for (int r = 0; r < 3; ++r) {
            const bool filled = r < c.rows;
            EXPECT_EQ(rows[3 * r], filled ? QStringLiteral("%1 MHz").arg(100 + r) : QString()) << r;
            EXPECT_EQ(rows[3 * r + 2], filled ? QStringLiteral("%1 V").arg(1.0 + r / 10.0) : QString()) << r;
        }
        dialog.hide();
    }
}

TEST_F(DiagramTest, FourGraphicsChipsGetADialogEachButTheOneWithoutVideoBios)
{
    UseVariant("qvx-four-gpus");
    Open();
    EXPECT_EQ(Title(dnGPU0), "GPU 0");
    EXPECT_EQ(Title(dnGPU1), "GPU 1");
    EXPECT_EQ(Title(dnGPU2), "GPU 2");
    EXPECT_EQ(Title(dnGPU3), "");
    EXPECT_FALSE(Button(dnGPU3)->isEnabled());
    auto& dialog = dynamic_cast<GPUDialog&>(*g_DialogManager.Frame(dnGPU1)->Dialog());
    EXPECT_EQ(dialog.Form().Model->text(), "Vyk Graphics Q30");
    Button(dnGPU2)->click();
    auto& noUsage = dynamic_cast<GPUDialog&>(*g_DialogManager.Frame(dnGPU2)->Dialog());
    Tick(noUsage);
    EXPECT_TRUE(noUsage.Form().Activity->text().isEmpty());
    EXPECT_EQ(noUsage.Form().Model->text(), "Vyk Graphics Q20");
    Button(dnGPU2)->click();
}
