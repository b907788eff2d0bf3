// The Clock/Voltage page inside the main window at its real size, in each skin,
// with the firmware's calibration items read as at start-up: its layout in every
// calibration mode, and pictures of it.
#include <QComboBox>

#include "Source/MainWindow/LayoutCheck.h"
#include "Source/MainWindow/MainWindowFixture.h"

namespace {

// The page is hidden in the built-in table until the Settings page shows it.
const char kTable[] =
    "<PageList><Group Name=\"Performance\\nControl\"><Page Name=\"Novice Mode\"/>"
    "<Page Name=\"Clock/Voltage\"/></Group></PageList>";

using ClockVoltageWindowTest = test::FirmwareWindowTest;

} // namespace

TEST_F(ClockVoltageWindowTest, EveryRowFitsInEachCalibrationModeAndSkin)
{
    const QString group = QStringLiteral("Performance\nControl"), page = QStringLiteral("Clock/Voltage");
    ForEachSkin([&](const QString&) {
        ASSERT_TRUE(Open(kTable));
        SavePageScreenshot(group, page, QStringLiteral("clock-voltage"));
        auto* widget = dynamic_cast<QWidget*>(window->GetWidget(group, page));
        ASSERT_NE(widget, nullptr);
        auto* mode = widget->findChild<QComboBox*>(QStringLiteral("DCEnableBox"));
        ASSERT_NE(mode, nullptr);
        ASSERT_EQ(mode->count(), 4);
        // The last mode shows the most rows: one per core.
        for (int index = 0; index < mode->count(); ++index) {
            SCOPED_TRACE(index);
            mode->setCurrentIndex(index);
            QCoreApplication::processEvents();
            test::ExpectReadableLayout(widget);
        }
        SavePageScreenshot(group, page, QStringLiteral("clock-voltage-per-core"));
        window->hide();
    });
}
