#pragma once
// One status page on the simulated board: the board's state at hand to change
// between ticks, the page's LCDs by object name, and the device accesses a tick makes.
#include <QJsonArray>
#include <QLCDNumber>
#include <QLabel>

#include <functional>

#include "Shell/LcdText.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "VirtualBoard/Devices/DeviceBoard.h"

namespace test {

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
