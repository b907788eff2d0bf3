// The south bridge's keep-alive watchdog: signs of life only in mode, from a live
// board; the recovery to safe clocks when they stop for longer than the timeout.
#include <QJsonObject>

#include <gtest/gtest.h>

#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Devices/KeepAliveWatchdog.h"
#include "VirtualBoard/Stability/StabilityModel.h"
#include "support/BoardEdits.h"
#include "support/TestEnvironment.h"

namespace {

vb::KeepAliveWatchdog& Watchdog() { return vb::Machine::Instance().Get<vb::KeepAliveWatchdog>(); }
vb::StabilityModel& Model() { return vb::Machine::Instance().Get<vb::StabilityModel>(); }

double Reference()
{
    vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    auto lock = board.Lock();
    return board.clock.htRef.value;
}

void SetReference(double mhz)
{
    vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
    auto lock = board.Lock();
    board.SetReference(mhz);
}

void AdvanceMs(uint64_t ms) { test::Clock().Advance(ms * 1'000'000); }

TEST(KeepAliveWatchdog, CountsSignsOfLifeOnlyInModeAndFromALiveBoard)
{
    vb::KeepAliveWatchdog& watchdog = Watchdog();
    EXPECT_FALSE(watchdog.Mode());
    watchdog.Pulse(true);                 // no mode: recorded, not counted
    ASSERT_TRUE(watchdog.SetMode(true));
    watchdog.Pulse(true);
    watchdog.Pulse(false);                // the last pulse of a run
    Model().NoteHang();
    watchdog.Pulse(true);                 // a hung board runs no software
    Model().Recover();
    ASSERT_TRUE(watchdog.SetMode(false));
    watchdog.Pulse(true);

    EXPECT_EQ(watchdog.Pulses(), 1);
    const std::vector<vb::KeepAlivePulse> pulses = watchdog.RecentPulses();
    ASSERT_EQ(pulses.size(), 5u);
    const bool alive[] = {true, true, false, true, true};
    const bool counted[] = {false, true, false, false, false};
    for (size_t i = 0; i < pulses.size(); ++i) {
        EXPECT_EQ(pulses[i].alive, alive[i]) << i;
        EXPECT_EQ(pulses[i].counted, counted[i]) << i;
        if (i > 0) {
            EXPECT_GT(pulses[i].ns, pulses[i - 1].ns);
        }
    }
    EXPECT_TRUE(watchdog.WaitForPulses(1, 0));
    EXPECT_FALSE(watchdog.WaitForPulses(2, 0));
}

TEST(KeepAliveWatchdog, RecoversTheBoardWhenSignsOfLifeStopForLongerThanTheTimeout)
{
    // The board file sets the timeout.
    QJsonObject devices = test::DefaultBoard().value(QStringLiteral("devices")).toObject();
    QJsonObject sb = devices.value(QStringLiteral("southBridge")).toObject();
    sb.insert(QStringLiteral("keepAliveTimeoutMs"), 1000);
    devices.insert(QStringLiteral("southBridge"), sb);
    ASSERT_TRUE(test::LoadDefaultBoardWith({{QStringLiteral("devices"), devices}}));
    vb::KeepAliveWatchdog& watchdog = Watchdog();
    EXPECT_EQ(watchdog.TimeoutNs(), 1'000'000'000u);

    // Out of mode nothing happens however long it is quiet.
    SetReference(240);
    AdvanceMs(5000);
    EXPECT_FALSE(watchdog.Poll());

    // In mode, pulses keep it quiet; the board runs where it was put.
    ASSERT_TRUE(watchdog.SetMode(true));
    for (int i = 0; i < 6; ++i) {
        AdvanceMs(500);
        watchdog.Pulse(true);
    }
    EXPECT_FALSE(watchdog.Poll());
    EXPECT_EQ(Reference(), 240);

    // The board hangs: its pulses no longer count, and after the timeout the
    // watchdog puts the default clock back and clears the hang.
    Model().NoteHang();
    AdvanceMs(600);
    watchdog.Pulse(true);
    EXPECT_EQ(watchdog.Recoveries(), 0);
    AdvanceMs(600);
    watchdog.Pulse(true);
    EXPECT_EQ(watchdog.Recoveries(), 1);
    EXPECT_EQ(Reference(), 200);
    EXPECT_FALSE(Model().IsHung());
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("keep-alive watchdog recovered the board"));
    // The timeout starts afresh.
    EXPECT_FALSE(watchdog.Poll());
}

TEST(KeepAliveWatchdog, ASouthBridgeWithoutKeepAliveRefusesTheMode)
{
    QJsonObject devices = test::DefaultBoard().value(QStringLiteral("devices")).toObject();
    QJsonObject sb = devices.value(QStringLiteral("southBridge")).toObject();
    sb.insert(QStringLiteral("keepAlive"), false);
    devices.insert(QStringLiteral("southBridge"), sb);
    ASSERT_TRUE(test::LoadDefaultBoardWith({{QStringLiteral("devices"), devices}}));
    EXPECT_FALSE(Watchdog().SetMode(true));
    EXPECT_FALSE(Watchdog().Mode());
    EXPECT_TRUE(Watchdog().SetMode(false));
}

} // namespace
