// A core's usage: the busy share of a host processor between two readings, or
// the values a board file pins.
#include <QFile>
#include <QJsonArray>

#include "QvxTestSupport.h"

#include "VirtualBoard/Devices/HostLoad.h"
#include "support/BoardEdits.h"
#include "support/TestEnvironment.h"

namespace {

using test::QvxTest;

// Host counters: "cpuN user nice system idle iowait irq softirq steal guest guest_nice".
void WriteCounters(const QString& path, const char* lines)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("cpu  1 2 3 4 5 6 7 8 0 0\n");
    file.write(lines);
    file.write("intr 12345 0 0\nctxt 999\n");
}

TEST_F(QvxTest, UsageFollowsTheHostsProcessors)
{
    const QString path = test::TestDir() + QStringLiteral("/stat");
    vb::HostLoad::SetCounterFile(path.toStdString());
    // Two host processors under four simulated cores: cores 2 and 3 read them again.
    WriteCounters(path, "cpu0 100 0 100 800 0 0 0 0 0 0\n"
                        "cpu1 50 0 40 900 10 0 0 0 0 0\n");
    // The first reading is the share since the host started; waiting for I/O is idle.
    EXPECT_DOUBLE_EQ(Cpu(0)->GetUsage(), 20);
    EXPECT_DOUBLE_EQ(Cpu(1)->GetUsage(), 9);
    EXPECT_DOUBLE_EQ(Cpu(2)->GetUsage(), 20);

    // A second later: host processor 0 was busy for 75 of 100 ticks; processor 1
    // has moved by too few ticks to tell, so its share stays.
    WriteCounters(path, "cpu0 150 0 125 825 0 0 0 0 0 0\n"
                        "cpu1 52 0 40 903 10 0 0 0 0 0\n");
    EXPECT_DOUBLE_EQ(Cpu(0)->GetUsage(), 75);
    EXPECT_DOUBLE_EQ(Cpu(1)->GetUsage(), 9);
    EXPECT_DOUBLE_EQ(Cpu(2)->GetUsage(), 75);   // from its own previous reading
    EXPECT_DOUBLE_EQ(Cpu(0)->GetUsage(), 75);   // no ticks since: the share stays

    WriteCounters(path, "cpu0 150 0 125 925 0 0 0 0 0 0\n"
                        "cpu1 52 0 40 1003 10 0 0 0 0 0\n");
    EXPECT_DOUBLE_EQ(Cpu(0)->GetUsage(), 0);
    EXPECT_NEAR(Cpu(1)->GetUsage(), 100.0 * 2 / 105, 1e-9);
    EXPECT_NEAR(Cpu(3)->GetUsage(), 100.0 * 92 / 1105, 1e-9);   // its first reading

    // No counters: no load.
    vb::HostLoad::SetCounterFile((path + QStringLiteral(".missing")).toStdString());
    EXPECT_EQ(Cpu(0)->GetUsage(), 0);

    // This computer's own counters give a share.
    vb::HostLoad::SetCounterFile({});
    const double usage = Cpu(1)->GetUsage();
    EXPECT_GE(usage, 0);
    EXPECT_LE(usage, 100);
}

TEST_F(QvxTest, TheCoresOfOnePassShareOneReadingOfTheHostsCounters)
{
    // The four usage graphs of a tick read their cores one after another: one
    // reading of the counters serves them all, and a core read again starts the
    // next pass with a new reading.
    const QString path = test::TestDir() + QStringLiteral("/stat");
    vb::HostLoad::SetCounterFile(path.toStdString());
    WriteCounters(path, "cpu0 100 0 100 800 0 0 0 0 0 0\n"
                        "cpu1 50 0 40 900 10 0 0 0 0 0\n");
    EXPECT_DOUBLE_EQ(Cpu(0)->GetUsage(), 20);
    WriteCounters(path, "cpu0 150 0 125 825 0 0 0 0 0 0\n"
                        "cpu1 80 0 40 950 10 0 0 0 0 0\n");
    EXPECT_DOUBLE_EQ(Cpu(1)->GetUsage(), 9);    // the pass's reading, taken before the change
    EXPECT_DOUBLE_EQ(Cpu(2)->GetUsage(), 20);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetUsage(), 75);   // the next pass reads again
    EXPECT_DOUBLE_EQ(Cpu(1)->GetUsage(), 37.5);
    // Another file is read at once, whichever core comes next.
    vb::HostLoad::SetCounterFile((path + QStringLiteral(".missing")).toStdString());
    EXPECT_EQ(Cpu(3)->GetUsage(), 0);
}

TEST_F(QvxTest, ABoardFilePinsTheUsage)
{
    const auto useCpu = [this](const QJsonValue& usage) {
        g_DeviceManager.UnInit();
        QJsonObject devices = test::DefaultBoard().value("devices").toObject();
        QJsonObject cpu = devices.value("cpu").toObject();
        cpu.insert("usage", usage);
        devices.insert("cpu", cpu);
        ASSERT_TRUE(test::LoadDefaultBoardWith({{"devices", devices}}));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    };
    useCpu(7.5);
    for (unsigned long i = 0; i < 4; ++i)
        EXPECT_EQ(Cpu(i)->GetUsage(), 7.5);
    // A list is taken core by core, from its start again when it runs out.
    useCpu(QJsonArray{10, 20, 30});
    EXPECT_EQ(Cpu(1)->GetUsage(), 20);
    EXPECT_EQ(Cpu(3)->GetUsage(), 10);

    // "host" follows the computer.
    const QString path = test::TestDir() + QStringLiteral("/stat");
    WriteCounters(path, "cpu0 30 0 0 70 0 0 0 0 0 0\n");
    vb::HostLoad::SetCounterFile(path.toStdString());
    useCpu(QStringLiteral("host"));
    EXPECT_EQ(Cpu(3)->GetUsage(), 30);
}

} // namespace
