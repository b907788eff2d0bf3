// "CPU Status" through its widgets: the columns of the cores present, the usage
// graphs, the one-second refresh while shown, and the temperature's sources.
#include <QAbstractEventDispatcher>

#include "StatusMonitor/Status.h"
#include "StatusMonitor/UsageLabel.h"
#include "Source/StatusMonitor/StatusFixture.h"
#include "support/LogCapture.h"

namespace {

const QStringList kColumnNames = {"CPUFreqLabel", "CPUFreqNum", "CPUFreqUnit", "CPUMulLabel", "CPUMulNum",
                                  "CPUMulUnit",   "CPUVolLabel", "CPUVolNum", "CPUVolUnit"};
const QStringList kTemperatureNames = {"CPUTempLabel", "CPUTempNum", "CPUTempUnit"};

QString Name(const QString& base, int column) { return column == 0 ? base : QStringLiteral("%1_%2").arg(base).arg(column + 1); }

class CpuStatusTest : public test::StatusPageTest<QStatus> {
protected:
    std::vector<QCPUUsageLabel*> Labels() const { return LabelsIn<QCPUUsageLabel>("CPULabel"); }

    // Whether every widget of core n's column is enabled (true) or disabled (false).
    void ExpectColumn(int n, bool enabled) const
    {
        EXPECT_EQ(Enabled(QStringLiteral("CPULabel%1").arg(n)), enabled) << n;
        for (const QString& base : kColumnNames + kTemperatureNames) {
            if (QWidget* w = page->findChild<QWidget*>(Name(base, n))) {
                EXPECT_EQ(w->isEnabled(), enabled) << Name(base, n).toStdString();
            }
        }
    }
};

TEST_F(CpuStatusTest, ShowsEveryCoreOnceASecondWhileShown)
{
    UseBoardWith([](QJsonObject& devices) {
        Edit(devices, "cpu", [](QJsonObject& cpu) { cpu.insert("usage", QJsonArray{12, 34, 56, 78}); });
    });
    Create();
    EXPECT_EQ(page->GetName(), std::string("CPU Status"));
    for (int n = 0; n < 4; ++n)
        ExpectColumn(n, true);
    // One graph per core, in its own area, sampling with its own timer while shown.
    const auto timers = [](QObject* object) { return QAbstractEventDispatcher::instance()->registeredTimers(object).size(); };
    const std::vector<QCPUUsageLabel*> labels = Labels();
    ASSERT_EQ(labels.size(), 4u);
    for (unsigned n = 0; n < 4; ++n) {
        EXPECT_EQ(labels[n]->m_uIndex, n);
        EXPECT_EQ(labels[n]->parentWidget()->objectName(), QStringLiteral("CPULabel%1").arg(n));
        EXPECT_EQ(timers(labels[n]), 0);
    }
    EXPECT_EQ(timers(page.get()), 0);

    // Hidden, a tick reads nothing.
    EXPECT_EQ(TickAccesses(), 0u);
    EXPECT_TRUE(Shown("CPUFreqNum").isEmpty());

    page->show();
    for (QCPUUsageLabel* label : labels)
        EXPECT_EQ(timers(label), 1);
    EXPECT_EQ(timers(page.get()), 1);
    Tick();
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(Shown(Name("CPUFreqNum", n)), QStringLiteral("3200"));
        EXPECT_EQ(Shown(Name("CPUMulNum", n)), QStringLiteral("16.00"));
        EXPECT_DOUBLE_EQ(Lcd(Name("CPUVolNum", n))->value(), 1.325);
        EXPECT_EQ(Shown(Name("CPUTempNum", n)), QStringLiteral("41.0"));
    }
    // The graphs sample while the page is shown.
    for (QCPUUsageLabel* label : labels)
        test::PerformancePageTest::Tick(label);
    EXPECT_EQ(*labels[2]->m_UsageList.GetFirst(), 56);

    // Core 1 runs slower; the clock is truncated, the multiplier has two decimals.
    Change([](vb::DeviceBoard& b) {
        b.SetReference(199.99);
        b.SetMultiplier(1, 11);
    });
    Tick();
    EXPECT_EQ(Shown("CPUFreqNum_2"), QStringLiteral("2199"));
    EXPECT_EQ(Shown("CPUMulNum_2"), QStringLiteral("11.00"));
    EXPECT_EQ(Shown("CPUFreqNum"), QStringLiteral("3199"));

    // Cores that leave the board keep their last values and stay enabled.
    Change([](vb::DeviceBoard& b) { b.cpu.id.present = false; });
    ASSERT_TRUE(g_DeviceManager.Refresh());
    EXPECT_EQ(TickAccesses(), 1u);   // the sensor chip's first sensor alone
    EXPECT_EQ(Shown("CPUFreqNum_2"), QStringLiteral("2199"));
    ExpectColumn(1, true);

    page->hide();
    EXPECT_EQ(TickAccesses(), 0u);
}

TEST_F(CpuStatusTest, TemperatureComesFromThePairThenTheBoardSensors)
{
    Create();
    page->show();
    ExpectTemperatures({
        {{0, 41}, {38, 33, 45}, "41.0"},
        {{45, 41}, {38, 33, 45}, "45.0"},
        {{-5, 41}, {38, 33, 45}, "-5.0"},       // any reading but 0.0 is shown
        {{0, 0}, {38, 33, 45}, "38"},
        {{0, 0}, {-9999, -9999, -9999}, "38"},  // nothing to show: the last value stays
        {{0, 0}, {-9999, 35, 40}, "35"},
        {{0, 0}, {-9999, -9999, 0}, "35"},      // a fallback of 0 shows nothing either
    }, {"CPUTempNum", "CPUTempNum_4"});

    // The sensors are read in order up to the first one with a reading.
    const auto accessesWith = [&](std::vector<double> sensors) {
        Change([&](vb::DeviceBoard& b) { b.sensors.temperatures = sensors; });
        return TickAccesses();
    };
    const uint64_t first = accessesWith({38, 33, 45});
    EXPECT_EQ(accessesWith({-9999, 35, 40}), first + 1);
    EXPECT_EQ(accessesWith({-9999, -9999, 40}), first + 2);
    EXPECT_EQ(accessesWith({-9999, -9999, -9999}), first + 2);
}

TEST_F(CpuStatusTest, TwoCoresWithoutATemperatureSensor)
{
    UseVariant("qvx-family11h");
    Create();
    ExpectColumn(0, true);
    ExpectColumn(1, true);
    ExpectColumn(2, false);
    ExpectColumn(3, false);
    EXPECT_EQ(Labels().size(), 2u);
    // The temperature row is gone for every core.
    for (int n = 0; n < 4; ++n)
        for (const QString& base : kTemperatureNames)
            EXPECT_FALSE(page->findChild<QWidget*>(Name(base, n))) << Name(base, n).toStdString();

    // A sensor that shows up later is never asked.
    Change([](vb::DeviceBoard& b) { b.cpu.hasTemperature = true; });
    Fault("qvx:CPU.GetTemperature");
    page->show();
    Tick();
    EXPECT_FALSE(test::LogContains("CPU.GetTemperature"));
    EXPECT_EQ(Shown("CPUFreqNum_2"), QStringLiteral("2200"));
    EXPECT_TRUE(Shown("CPUFreqNum_3").isEmpty());
}

TEST_F(CpuStatusTest, OneCoreAndMoreCoresThanColumns)
{
    UseCores(1);
    Create();
    ExpectColumn(0, true);
    for (int n = 1; n < 4; ++n)
        ExpectColumn(n, false);
    EXPECT_EQ(Labels().size(), 1u);
    page.reset();

    // Six cores: four columns and four graphs; cores 4 and 5 are shown nowhere.
    UseCores(6);
    Create();
    const std::vector<QCPUUsageLabel*> labels = Labels();
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels.back()->m_uIndex, 3u);
    page->show();
    Tick();
    EXPECT_EQ(Shown("CPUFreqNum_4"), QStringLiteral("3200"));
}

TEST_F(CpuStatusTest, NoProcessorRefusesThePage)
{
    UseVariant("qvx-no-cpu");
    page = std::make_unique<QStatus>();
    EXPECT_FALSE(page->Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pCPU) at line "));
    EXPECT_TRUE(test::LogContains(" in QStatus::Init\n"));
    for (int n = 0; n < 4; ++n)
        ExpectColumn(n, false);
}

} // namespace
