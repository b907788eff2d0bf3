// What a usage label draws for its samples, and the label itself: sampling only
// while visible, a device that is gone, and the pixels it leaves on its picture.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QImage>
#include <QTimerEvent>

#include <cmath>
#include <limits>

#include "Source/StatusMonitor/StatusFixture.h"
#include "StatusMonitor/StatusSupport.h"
#include "StatusMonitor/UsageGraph.h"
#include "StatusMonitor/UsageLabel.h"
#include "support/PaintCount.h"

namespace {

using test::Samples;

TEST(UsageGraph, PictureOfItsSamples)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::vector<double> samples;
        std::vector<QLine> lines;
        QRect mask;
        const char* value;
    };
    const Case cases[] = {
        {{50}, {}, QRect(14, 24, 35, 37), "50%"},
        {{100}, {}, QRect(), "100%"},
        {{0}, {}, QRect(14, 24, 35, 75), "0%"},
        {{0, 100}, {QLine(74, 99, 75, 26)}, QRect(), "100%"},
        {{33.3, 33.3}, {QLine(74, 74, 75, 74)}, QRect(14, 24, 35, 50), "33%"},
        {{98.5}, {}, QRect(14, 24, 35, 1), "98%"},
        // Readings that are not a number count as 0; the rest is held to 0-100.
        {{nan, inf, -inf, -20, 150}, {QLine(74, 99, 75, 26), QLine(75, 26, 76, 99), QLine(76, 99, 77, 99),
                                      QLine(77, 99, 78, 26)}, QRect(), "100%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.samples));
        const UsageGraphPicture picture = UsageGraphOf(c.samples);
        EXPECT_TRUE(picture.bDrawn);
        EXPECT_EQ(picture.lines, c.lines);
        EXPECT_EQ(picture.mask, c.mask);
        EXPECT_EQ(picture.value, QLatin1String(c.value));
    }
    const UsageGraphPicture empty = UsageGraphOf({});
    EXPECT_FALSE(empty.bDrawn);
    EXPECT_TRUE(empty.lines.empty());
    EXPECT_TRUE(empty.mask.isEmpty());
    EXPECT_TRUE(empty.value.isEmpty());
}

TEST(UsageGraph, AFullRingDrawsNinetyThreeSegmentsAndLongerHistoriesStopAtNinetyFive)
{
    std::vector<double> samples;
    for (int i = 0; i < 94; ++i)
        samples.push_back(i);
    UsageGraphPicture picture = UsageGraphOf(samples);
    ASSERT_EQ(picture.lines.size(), 93u);
    EXPECT_EQ(picture.lines.front().p1(), QPoint(74, 99));
    EXPECT_EQ(picture.lines.back().p2().x(), 167);
    EXPECT_EQ(picture.value, QStringLiteral("93%"));   // the newest sample

    // Only a longer list than a ring holds reaches the last column.
    samples.resize(120, 10);
    picture = UsageGraphOf(samples);
    ASSERT_EQ(picture.lines.size(), 95u);
    EXPECT_EQ(picture.lines.back().p1().x(), 168);
    EXPECT_EQ(picture.value, QStringLiteral("10%"));
}

class UsageLabelTest : public test::PerformancePageTest {
protected:
    // A processor label over a picture-sized area, its ring ready.
    std::unique_ptr<QCPUUsageLabel> MakeLabel(unsigned index)
    {
        auto label = std::make_unique<QCPUUsageLabel>();
        EXPECT_TRUE(label->m_UsageList.Init(95));
        label->m_uIndex = index;
        label->resize(183, 131);
        return label;
    }

    static void PinUsage(const QJsonArray& usage)
    {
        UseBoardWith([&](QJsonObject& devices) {
            Edit(devices, "cpu", [&](QJsonObject& cpu) { cpu.insert("usage", usage); });
        });
    }
};

TEST_F(UsageLabelTest, SamplesItsDeviceOnlyWhileVisible)
{
    PinUsage({10, 20, 30.5, QJsonValue()});
    auto label = MakeLabel(2);
    Tick(label.get());                       // hidden: no sample
    EXPECT_TRUE(Samples(label->m_UsageList).empty());
    label->show();
    Tick(label.get());
    Tick(label.get());
    label->hide();
    Tick(label.get());
    label->show();
    Tick(label.get());
    // The history goes on where it paused, with no gap.
    EXPECT_EQ(Samples(label->m_UsageList), (std::vector<double>{30.5, 30.5, 30.5}));

    // A reading that is not a number (core 3) enters the ring as 0.
    auto third = MakeLabel(3);
    third->show();
    Tick(third.get());
    EXPECT_EQ(Samples(third->m_UsageList), (std::vector<double>{0}));
}

TEST_F(UsageLabelTest, ADeviceThatIsGoneGivesZero)
{
    PinUsage({40});
    auto label = MakeLabel(1);
    label->show();
    Tick(label.get());
    QGPUUsageLabel gpu;
    ASSERT_TRUE(gpu.m_UsageList.Init(95));
    gpu.m_uIndex = 0;
    gpu.show();
    Tick(&gpu);
    // The processors and the graphics chip leave the board.
    {
        vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
        auto lock = board.Lock();
        board.cpu.id.present = false;
        board.gpus.at(0).id.present = false;
    }
    ASSERT_TRUE(g_DeviceManager.Refresh());
    Tick(label.get());
    Tick(&gpu);
    EXPECT_EQ(Samples(label->m_UsageList), (std::vector<double>{40, 0}));
    EXPECT_EQ(Samples(gpu.m_UsageList), (std::vector<double>{2, 0}));
}

TEST_F(UsageLabelTest, PaintsTheMaskAndTheLineOverWhatLiesBeneath)
{
    PinUsage({0});
    auto label = MakeLabel(0);
    label->show();
    // An empty ring paints nothing: every pixel is the label's plain background.
    QImage image = label->grab().toImage();
    const QRgb ground = image.pixel(20, 30);
    EXPECT_EQ(image.pixel(74, 99), ground);

    label->m_UsageList.Push(0);
    label->m_UsageList.Push(100);
    label->m_UsageList.Push(50);
    image = label->grab().toImage();
    // The bar is hidden above 50 %: black from y = 24 for 37 rows.
    EXPECT_EQ(image.pixel(20, 24), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(48, 60), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 61), ground);
    // The history: (74, 99) up to (75, 26), then down to (76, 62).
    const QRgb green = QColor(Qt::green).rgb();
    EXPECT_EQ(image.pixel(74, 99), green);
    EXPECT_EQ(image.pixel(74, 90), green);
    EXPECT_EQ(image.pixel(75, 40), green);
    EXPECT_EQ(image.pixel(76, 62), green);
    EXPECT_NE(image.pixel(76, 40), green);
    EXPECT_NE(image.pixel(77, 62), green);
}

TEST_F(UsageLabelTest, ATickThatLeavesThePictureAsItWasDrawsNothing)
{
    // Left alone on a quiet machine, a full graph of a steady usage looks the same
    // from one second to the next: drawing it again would only wake the display.
    PinUsage({5});
    auto label = MakeLabel(0);
    label->show();
    for (unsigned i = 0; i < kUsageSlots - 1; ++i)
        Tick(label.get());
    QCoreApplication::processEvents();
    test::PaintCount paints(label.get());
    Tick(label.get());
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.n, 0);
    {
        vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
        auto lock = board.Lock();
        board.cpu.usage = {60};
    }
    Tick(label.get());
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.n, 1);
}

TEST_F(UsageLabelTest, TheCaptionNamesTheDeviceAndTheTimerIsThePages)
{
    struct Captions : QCPUUsageLabel {
        using QCPUUsageLabel::_Caption;
    } cpu;
    cpu.m_uIndex = 2;
    EXPECT_EQ(cpu._Caption(), QStringLiteral("CPU2"));
    struct GpuCaptions : QGPUUsageLabel {
        using QGPUUsageLabel::_Caption;
    } gpu;
    gpu.m_uIndex = 1;
    EXPECT_EQ(gpu._Caption(), QStringLiteral("GPU1"));
    // The label starts no timer of its own.
    EXPECT_TRUE(QAbstractEventDispatcher::instance()->registeredTimers(&cpu).isEmpty());
}

} // namespace
