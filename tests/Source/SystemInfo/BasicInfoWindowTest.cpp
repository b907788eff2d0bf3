// "Basic" in the main window: the built-in page table makes it the first page, a
// reference clock applied on Clock/Voltage shows at its next tick, a hidden Basic
// page reads no device, and pictures of it in each skin on the default board and
// variants.
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include "Source/MainWindow/MainWindowFixture.h"
#include "SystemInfo/BasicInfo.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "support/ReservedCodes.h"

using test::MainWindowTest;

namespace {

const QString kSystem = QStringLiteral("System\nInformation");
const QString kPerformance = QStringLiteral("Performance\nControl");

void Tick(QObject* object) { test::SendTick(object); }

QString Text(QWidget* page, const char* name) { return page->findChild<QLineEdit*>(QLatin1String(name))->text(); }

uint64_t Accesses() { return vb::Machine::Instance().Get<vb::DeviceBoard>().Accesses(); }

} // namespace

TEST_F(MainWindowTest, TheBuiltInTableMakesBasicTheFirstPage)
{
    ASSERT_TRUE(Open());
    auto* basic = dynamic_cast<QBasicInfo*>(window->GetWidget(kSystem, QStringLiteral("Basic")));
    ASSERT_TRUE(basic);
    EXPECT_EQ(window->Form().stackedWidget->currentWidget(), basic);
}

TEST_F(MainWindowTest, BasicFollowsAReferenceClockAppliedOnClockVoltage)
{
    ASSERT_TRUE(Open("<PageList><Group Name=\"System\\nInformation\"><Page Name=\"Basic\"/></Group>"
                     "<Group Name=\"Performance\\nControl\"><Page Name=\"Clock/Voltage\"/></Group></PageList>"));
    window->show();
    auto* basic = dynamic_cast<QBasicInfo*>(window->GetWidget(kSystem, QStringLiteral("Basic")));
    ASSERT_TRUE(basic);
    Tick(basic);
    EXPECT_EQ(Text(basic, "BusSpeedEdit"), "200.00 MHz");
    EXPECT_EQ(Text(basic, "CoreSpeedEdit"), "3200.00 MHz");

    // Clock/Voltage raises the reference clock; meanwhile Basic is hidden and reads nothing.
    ASSERT_TRUE(window->ShowWidget(kPerformance, QStringLiteral("Clock/Voltage")));
    IQVXWidget* clocks = window->GetWidget(kPerformance, QStringLiteral("Clock/Voltage"));
    ASSERT_TRUE(clocks);
    clocks->findChild<QSlider*>(QStringLiteral("ExtSlider"))->setValue(220);
    window->Apply();
    const uint64_t before = Accesses();
    Tick(basic);
    EXPECT_EQ(Accesses(), before);
    EXPECT_EQ(Text(basic, "BusSpeedEdit"), "200.00 MHz");

    // Shown again, its next tick has the new clocks.
    ASSERT_TRUE(window->ShowWidget(kSystem, QStringLiteral("Basic")));
    Tick(basic);
    EXPECT_EQ(Text(basic, "BusSpeedEdit"), "220.00 MHz");
    EXPECT_EQ(Text(basic, "CoreSpeedEdit"), "3520.00 MHz");
    EXPECT_EQ(Text(basic, "HTSpeedEdit"), "2200.00 MHz");
    EXPECT_EQ(Text(basic, "NBSpeedEdit"), "2200.00 MHz");
    EXPECT_EQ(Text(basic, "FrequencyEdit"), "440.00 MHz");
    window->hide();
}

TEST_F(MainWindowTest, ScreenshotsOfTheBasicPageInEachSkin)
{
    struct Shot {
        const char* stem;
        const char* variant;   // laid over the default board; none: the default board
        int slot;
        bool reservedCodes = false;   // the DDR3 board whose first module leaves its sizes unknown
    };
    const Shot shots[] = {
        {"basic", nullptr, 0},
        {"basic-ddr-profile", "qvx-ddr", 1},
        {"basic-family11h", "qvx-family11h", 0},
        {"basic-no-modules", "qvx-no-modules", 0},
        {"basic-reserved-codes", nullptr, 0, true},
    };
    for (const Shot& shot : shots) {
        SCOPED_TRACE(shot.stem);
        ForEachSkin([&](const QString&) {
            if (shot.variant)
                test::LoadBoardOver(QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(shot.variant)));
            if (shot.reservedCodes) {
                ASSERT_TRUE(test::LoadDdr3Board(test::Ddr3SpdOfReservedCodes()));
            }
            ASSERT_TRUE(Open());
            IQVXWidget* basic = window->GetWidget(kSystem, QStringLiteral("Basic"));
            ASSERT_TRUE(basic);
            if (shot.slot)
                basic->findChild<QComboBox*>(QStringLiteral("SlotBox"))->setCurrentIndex(shot.slot);
            SavePageScreenshot(kSystem, QStringLiteral("Basic"), QLatin1String(shot.stem));
            window->hide();
        });
        vb::Machine::Instance().LoadDefault();
    }
}
