// Pictures of the Auto Clock page inside the main window, idle, in the middle of a
// search and after it, in each skin.
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>

#include "QVXLogic/SystemTune.h"
#include "Settings/TuneResultSink.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "Testing/AutoTune.h"
#include "VirtualBoard/Stability/StabilityModel.h"

using test::MainWindowTest;

namespace {

const QString kGroup = QStringLiteral("Performance\nControl");
const QString kPage = QStringLiteral("Auto Clock");
constexpr unsigned kWaitMs = 30000;   // a safety net only

TEST_F(MainWindowTest, TheAutoClockPageInTheWindowIdleRunningAndFinished)
{
    InstallTuneResultSink();
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open());
        vb::Machine::Instance().Get<vb::StabilityModel>().SetDeterministic(true);
        auto* page = dynamic_cast<QAutoTune*>(window->GetWidget(kGroup, kPage));
        ASSERT_TRUE(page);
        auto* start = page->findChild<QPushButton*>(QStringLiteral("btnAutoTune"));
        auto* output = page->findChild<QTextBrowser*>(QStringLiteral("textBrowser"));
        SavePageScreenshot(kGroup, kPage, QStringLiteral("auto-clock-idle"));

        // Held after a few steps: the progress and the values part of the way up.
        CSystemTune::SetGated(true);
        answers.Queue(QMessageBox::Ok);
        start->click();
        ASSERT_TRUE(page->IsRunning());
        ASSERT_TRUE(CSystemTune::WaitAtGate(kWaitMs));
        CSystemTune::ReleaseSteps(2);
        ASSERT_TRUE(CSystemTune::WaitAtGate(kWaitMs));
        QMetaObject::invokeMethod(page, "UpdateResults");
        SavePageScreenshot(kGroup, kPage, QStringLiteral("auto-clock-running"));
        EXPECT_EQ(start->text(), "Stop");
        EXPECT_EQ(page->findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 205);
        EXPECT_EQ(page->findChild<QLineEdit*>(QStringLiteral("ExtFreqNum"))->text(), "205.00 MHz");

        CSystemTune::SetGated(false);
        ASSERT_TRUE(page->TuneThread().Join(kWaitMs));
        QMetaObject::invokeMethod(page, "UpdateResults");
        SavePageScreenshot(kGroup, kPage, QStringLiteral("auto-clock-finished"));
        EXPECT_EQ(start->text(), "Start");
        EXPECT_TRUE(output->toPlainText().contains("AutoClock is finished successfully!"));
        EXPECT_EQ(page->findChild<QLineEdit*>(QStringLiteral("ExtFreqNum"))->text(), "211.00 MHz");
        EXPECT_EQ(page->findChild<QLineEdit*>(QStringLiteral("CPUFreqNum_4"))->text(), "3376 MHz");
        window->hide();
    });
    RemoveTuneResultSink();
}

} // namespace
