// Pictures of the Auto Clock page inside the main window, idle, in the middle of a
// search and after it, in each skin; its Reset in a window built anew, and what the
// pages beside it show after a Reset.
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>

#include "PerformanceControl/PState.h"
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

// Auto Clock beside the pages that show a core's state.
const char kCoreStatePages[] =
    "<PageList><Group Name=\"Performance\\nControl\">"
    "<Page Name=\"Clock/Voltage\"/><Page Name=\"JY Pstate\"/><Page Name=\"Auto Clock\"/></Group></PageList>";

ICPUDevice* Core(unsigned long i) { return QvxGetDevice<ICPUDevice>(dtCPU, i); }

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

TEST_F(MainWindowTest, AfterResetEveryPageShowsTheStateTheCoresAreIn)
{
    ASSERT_TRUE(Open(kCoreStatePages));
    window->resize(1000, 700);
    window->show();
    const QString pstateName = QStringLiteral("JY Pstate");
    auto* pstate = dynamic_cast<QJYPState*>(window->GetWidget(kGroup, pstateName));
    ASSERT_TRUE(pstate);
    // Core 0 steps to P1 on its page: 12.5 x at 1.25 V.
    ASSERT_TRUE(window->ShowWidget(kGroup, pstateName));
    pstate->Row(0).pRightButton->click();
    ASSERT_EQ(Core(0)->GetCurrentPstate(), 1);

    ASSERT_TRUE(window->ShowWidget(kGroup, kPage));
    auto* page = dynamic_cast<QAutoTune*>(window->GetWidget(kGroup, kPage));
    ASSERT_TRUE(page);
    answers.Queue(QMessageBox::Yes);
    page->findChild<QPushButton*>(QStringLiteral("btnReset"))->click();
    test::SendTick(page);
    EXPECT_EQ(page->findChild<QLineEdit*>(QStringLiteral("CPUMulNum"))->text(), "16.00 X");
    EXPECT_EQ(page->findChild<QLineEdit*>(QStringLiteral("CPUVolNum"))->text(), "1.325 V");

    const QString clockVoltageName = QStringLiteral("Clock/Voltage");
    ASSERT_TRUE(window->ShowWidget(kGroup, clockVoltageName));
    IQVXWidget* clockVoltage = window->GetWidget(kGroup, clockVoltageName);
    test::SendTick(clockVoltage);
    EXPECT_EQ(clockVoltage->findChild<QLineEdit*>(QStringLiteral("CurrentCPUSpeed"))->text(), "3200.00 MHz");
    EXPECT_EQ(clockVoltage->findChild<QLineEdit*>(QStringLiteral("CurrentCPUVid"))->text(), "1.3250 V");
    EXPECT_EQ(clockVoltage->findChild<QLineEdit*>(QStringLiteral("TargetCPUVid"))->text(), "1.3250 V");

    // The P-state page marks the P-state core 0 is in again.
    ASSERT_TRUE(window->ShowWidget(kGroup, pstateName));
    const auto colour = [pstate](int i) { return pstate->Row(0).pPstateLabel[i]->palette().color(QPalette::Window); };
    EXPECT_EQ(colour(0), QColor(Qt::green));
    EXPECT_EQ(colour(1), QColor(Qt::gray));
}

} // namespace
