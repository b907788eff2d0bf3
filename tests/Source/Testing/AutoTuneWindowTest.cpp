// Pictures of the Auto Clock page inside the main window, idle, in the middle of a
// search and after it, in each skin.
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>

#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/SystemTune.h"
#include "Settings/TuneResultSink.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "Source/Preferences/PreferencesFixture.h"
#include "Testing/AutoTune.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Stability/StabilityModel.h"

using test::MainWindowTest;
// The window closed and built anew, as after a change of language or of the page list.
using AutoClockRebuiltWindowTest = test::PreferencesTest;

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

TEST_F(AutoClockRebuiltWindowTest, ResetGivesBackTheMultipliersTheProgramStartedWith)
{
    // The machine as the program finds it.
    const double start[] = {16, 16, 14, 15};
    {
        vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();
        auto lock = board.Lock();
        for (int core = 0; core < 4; ++core)
            board.SetMultiplier(core, start[core]);
    }
    ASSERT_TRUE(Open());
    // Another page moves every core; then the window is built anew.
    for (unsigned long core = 0; core < 4; ++core)
        ASSERT_TRUE(QvxGetDevice<ICPUDevice>(dtCPU, core)->SetMultiplier(12));
    ASSERT_TRUE(Rebuild());

    auto* page = dynamic_cast<QAutoTune*>(window->GetWidget(kGroup, kPage));
    ASSERT_TRUE(page);
    answers.Queue(QMessageBox::Yes);
    page->findChild<QPushButton*>(QStringLiteral("btnReset"))->click();
    for (unsigned long core = 0; core < 4; ++core)
        EXPECT_DOUBLE_EQ(QvxGetDevice<ICPUDevice>(dtCPU, core)->GetCurrentMultiplier(), start[core]) << core;
}

} // namespace
