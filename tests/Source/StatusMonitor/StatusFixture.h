#pragma once
// One status page on the simulated board: the board's state at hand to change
// between ticks, the page's LCDs by object name, and the device accesses a tick makes.
#include <QJsonArray>
#include <QLCDNumber>
#include <QLabel>

#include <functional>

#include "Shell/LcdText.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "StatusMonitor/CircleList.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "support/BoardEdits.h"

namespace test {

// A ring's samples, oldest first.
inline std::vector<double> Samples(CCircleList<double>& ring)
{
    std::vector<double> out;
    for (double* p = ring.GetFirst(); p; p = ring.GetNext())
        out.push_back(*p);
    return out;
}

// The default board's graphics chip count times over: the first integrated, the
// others not, each with its own name and usage.
inline void WithGraphicsChips(QJsonObject& devices, int count)
{
    const QJsonObject first = devices.value("gpus").toArray().at(0).toObject();
    QJsonArray gpus;
    for (int i = 0; i < count; ++i) {
        QJsonObject g = first;
        g.insert("name", QStringLiteral("Vyk Graphics %1").arg(3300 + 100 * i));
        g.insert("integrated", i == 0);
        g.insert("usage", 10 * (i + 1));
        gpus.append(g);
    }
    devices.insert("gpus", gpus);
}

template <class P>
class StatusPageTest : public PageTest<P> {
protected:
    static vb::DeviceBoard& Board() { return vb::Machine::Instance().Get<vb::DeviceBoard>(); }

    // Changes the board's state as the hardware would change under the page.
    static void Change(const std::function<void(vb::DeviceBoard&)>& change)
    {
        auto lock = Board().Lock();
        change(Board());
    }

    // A processor temperature pair and the sensor chip's temperatures, and what the
    // named LCDs show after the next tick.
    struct TemperatureCase {
        std::vector<double> pair;
        std::vector<double> sensors;
        const char* shown;
    };
    void ExpectTemperatures(const std::vector<TemperatureCase>& cases, const QStringList& lcds)
    {
        for (const TemperatureCase& c : cases) {
            SCOPED_TRACE(testing::PrintToString(c.pair) + " " + testing::PrintToString(c.sensors));
            Change([&](vb::DeviceBoard& b) {
                b.cpu.temperaturePair = c.pair;
                b.sensors.temperatures = c.sensors;
            });
            Tick();
            for (const QString& lcd : lcds)
                EXPECT_EQ(Shown(lcd), QLatin1String(c.shown)) << lcd.toStdString();
        }
    }

    // The default board with another number of processor cores.
    static void UseCores(int cores)
    {
        g_DeviceManager.UnInit();
        QJsonObject processor = DefaultBoard().value("processor").toObject();
        processor.insert("cores", cores);
        ASSERT_TRUE(LoadDefaultBoardWith({{"processor", processor}}));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }

    // The usage labels over the graph areas <prefix>0 to <prefix>3, in area order.
    template <class L>
    std::vector<L*> LabelsIn(const char* prefix) const
    {
        std::vector<L*> labels;
        for (int n = 0; n < 4; ++n)
            for (L* l : Get<QLabel>(QLatin1String(prefix) + QString::number(n))->template findChildren<L*>())
                labels.push_back(l);
        return labels;
    }

    // Every device access one tick of the page makes (the board counts them).
    uint64_t TickAccesses()
    {
        const uint64_t before = Board().Accesses();
        PerformancePageTest::Tick(this->page.get());
        return Board().Accesses() - before;
    }
    void Tick() { PerformancePageTest::Tick(this->page.get()); }

    template <class W>
    W* Get(const QString& name) const
    {
        W* w = this->page->template findChild<W*>(name);
        EXPECT_TRUE(w) << name.toStdString();
        return w;
    }
    QLCDNumber* Lcd(const QString& name) const { return Get<QLCDNumber>(name); }
    // The text the page put on an LCD.
    QString Shown(const QString& name) const { return LcdText(Lcd(name)); }
    bool Enabled(const QString& name) const { return Get<QWidget>(name)->isEnabled(); }
};

} // namespace test
