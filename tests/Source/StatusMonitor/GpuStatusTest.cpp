// "GPU Status" through its widgets: the columns of the chips present, the rows a
// chip does not report, the usage graphs, the refresh while shown, and more chips
// than columns.
#include <QAbstractEventDispatcher>

#include <cmath>
#include <limits>

#include "StatusMonitor/GPUStatus.h"
#include "StatusMonitor/UsageLabel.h"
#include "Source/StatusMonitor/StatusFixture.h"

namespace {

const QStringList kRowNames = {"GPUFreqLabel", "GPUCoreNum", "GPUFreqUnit", "GPUMulLabel", "GPUMemNum", "GPUMulUnit"};
const QStringList kVoltageNames = {"GPUVolLabel", "GPUVolNum", "GPUVolUnit"};
const QStringList kTemperatureNames = {"GPUTempLabel", "GPUTempNum", "GPUTempUnit"};

QString Name(const QString& base, int column) { return column == 0 ? base : QStringLiteral("%1_%2").arg(base).arg(column + 1); }

class GpuStatusTest : public test::StatusPageTest<QGPUStatus> {
protected:
    static void UseGpus(int count)
    {
        UseBoardWith([count](QJsonObject& devices) { test::WithGraphicsChips(devices, count); });
    }

    std::vector<QGPUUsageLabel*> Labels() const { return LabelsIn<QGPUUsageLabel>("GPULabel"); }

    static bool Sampling(QObject* label) { return QAbstractEventDispatcher::instance()->registeredTimers(label).size() == 1; }

    bool RowEnabled(const QStringList& names, int n) const
    {
        bool all = true, none = true;
        for (const QString& base : names) {
            const bool on = Enabled(Name(base, n));
            all = all && on;
            none = none && !on;
        }
        EXPECT_TRUE(all || none) << names.join(' ').toStdString() << " " << n;
        return all;
    }
};

TEST_F(GpuStatusTest, ShowsTheChipWhileShown)
{
    Create();
    EXPECT_EQ(page->GetName(), std::string("GPU Status"));
    EXPECT_TRUE(Enabled("GPULabel0"));
    EXPECT_TRUE(RowEnabled(kRowNames + kVoltageNames + kTemperatureNames, 0));
    for (int n = 1; n < 4; ++n) {
        EXPECT_FALSE(Enabled(QStringLiteral("GPULabel%1").arg(n)));
        EXPECT_FALSE(RowEnabled(kRowNames + kVoltageNames + kTemperatureNames, n));
    }
    const std::vector<QGPUUsageLabel*> labels = Labels();
    ASSERT_EQ(labels.size(), 1u);
    // Hidden, nothing ticks; shown, the page and its graph do.
    EXPECT_FALSE(Sampling(labels[0]));
    EXPECT_FALSE(Sampling(page.get()));

    EXPECT_EQ(TickAccesses(), 0u);
    page->show();
    EXPECT_TRUE(Sampling(labels[0]));
    EXPECT_TRUE(Sampling(page.get()));
    EXPECT_EQ(TickAccesses(), 5u);
    EXPECT_EQ(Lcd("GPUCoreNum")->value(), 500);
    EXPECT_EQ(Lcd("GPUMemNum")->value(), 400);
    EXPECT_DOUBLE_EQ(Lcd("GPUVolNum")->value(), 1.1);
    EXPECT_EQ(Shown("GPUTempNum"), QStringLiteral("48"));
    test::PerformancePageTest::Tick(labels[0]);
    EXPECT_EQ(*labels[0]->m_UsageList.GetFirst(), 2);

    // The integrated chip's engine clock is its whole-number reading.
    Change([](vb::DeviceBoard& b) { b.gpus[0].engine.value = 512.4; });
    Tick();
    EXPECT_EQ(Lcd("GPUCoreNum")->value(), 512);

    page->hide();
    EXPECT_EQ(TickAccesses(), 0u);
    EXPECT_FALSE(Sampling(labels[0]));
    EXPECT_FALSE(Sampling(page.get()));
}

TEST_F(GpuStatusTest, RowsAChipDoesNotReportAreDisabledAtInit)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double usage : {-1.0, 0.0, 50.0, nan})
        for (double voltage : {0.0, 1.1})
            for (unsigned sensors : {0u, 1u}) {
                SCOPED_TRACE(testing::Message() << "usage " << usage << ", voltage " << voltage << ", sensors " << sensors);
                Change([&](vb::DeviceBoard& b) {
                    b.gpus[0].usage = usage;
                    b.gpus[0].voltage.value = voltage;
                    b.gpus[0].voltage.def = 1.1;
                    b.gpus[0].sensors = sensors;
                    b.gpus[0].temperature = 55;
                });
                page.reset();
                Create();
                // Only a usage below 0 means none; 0.0 and a value that is not a number keep the graph.
                const bool graph = !(usage < 0);
                EXPECT_EQ(Enabled("GPULabel0"), graph);
                ASSERT_EQ(Labels().size(), 1u);
                EXPECT_EQ(RowEnabled(kVoltageNames, 0), voltage > 0);
                EXPECT_EQ(RowEnabled(kTemperatureNames, 0), sensors > 0);
                EXPECT_TRUE(RowEnabled(kRowNames, 0));

                // A row disabled at Init is never written, whatever the chip says later.
                Change([](vb::DeviceBoard& b) {
                    b.gpus[0].voltage.value = 1.2;
                    b.gpus[0].sensors = 1;
                });
                page->show();
                EXPECT_EQ(Sampling(Labels()[0]), graph);
                Tick();
                EXPECT_DOUBLE_EQ(Lcd("GPUVolNum")->value(), voltage > 0 ? 1.2 : 0.0);
                EXPECT_EQ(Shown("GPUTempNum").isEmpty(), sensors == 0);
            }
}

TEST_F(GpuStatusTest, FourChips)
{
    UseGpus(4);
    Change([](vb::DeviceBoard& b) {
        for (vb::GpuState& g : b.gpus) {
            g.engine.value = g.engine.def = 512.4;   // at its default: the temperature as set
            g.temperature = 123456.7;
        }
    });
    Create();
    const std::vector<QGPUUsageLabel*> labels = Labels();
    ASSERT_EQ(labels.size(), 4u);
    for (unsigned n = 0; n < 4; ++n)
        EXPECT_EQ(labels[n]->m_uIndex, n);
    page->show();
    for (QGPUUsageLabel* label : labels)
        EXPECT_TRUE(Sampling(label));
    Tick();
    // The integrated chip shows its whole clock, the others theirs as it comes.
    EXPECT_EQ(Lcd("GPUCoreNum")->value(), 512);
    EXPECT_DOUBLE_EQ(Lcd("GPUCoreNum_4")->value(), 512.4);
    // Chip 0's temperature has six significant digits; the others go to the LCD as numbers.
    EXPECT_EQ(Shown("GPUTempNum"), QStringLiteral("123457"));
    EXPECT_TRUE(Shown("GPUTempNum_2").isEmpty());
    EXPECT_DOUBLE_EQ(Lcd("GPUTempNum_2")->value(), 123456.7);
    test::PerformancePageTest::Tick(labels[3]);
    EXPECT_EQ(*labels[3]->m_UsageList.GetFirst(), 40);
}

TEST_F(GpuStatusTest, AFifthChipIsNeverShownOrRead)
{
    UseGpus(5);
    Create();
    const std::vector<QGPUUsageLabel*> labels = Labels();
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels.back()->m_uIndex, 3u);
    page->show();
    // Five readings of each of the first four chips.
    EXPECT_EQ(TickAccesses(), 20u);
}

TEST_F(GpuStatusTest, NoGraphics)
{
    UseVariant("qvx-no-gpu");
    Create();
    int disabled = 0;
    for (int n = 0; n < 4; ++n) {
        disabled += Enabled(QStringLiteral("GPULabel%1").arg(n)) ? 0 : 1;
        for (const QString& base : kRowNames + kVoltageNames + kTemperatureNames)
            disabled += Enabled(Name(base, n)) ? 0 : 1;
    }
    EXPECT_EQ(disabled, 52);
    EXPECT_TRUE(Labels().empty());
    page->show();
    EXPECT_TRUE(Sampling(page.get()));
    EXPECT_EQ(TickAccesses(), 0u);
}

} // namespace
