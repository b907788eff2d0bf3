#pragma once
// The Auto Clock page on the simulated board: the tuner's results go to the value
// store as in the program, the stability model answers the same way every time,
// and a test can hold the tuner at each step (the gate) and move the board clock.
#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>

#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/SystemTune.h"
#include "Settings/TuneResultSink.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "Testing/AutoTune.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Devices/KeepAliveWatchdog.h"
#include "VirtualBoard/Stability/StabilityModel.h"
#include "support/TestEnvironment.h"

namespace test {

// The default board's highest stable reference clock (its "stability" section):
// 16 x 211 MHz is the last clock its cores take once they have warmed up.
constexpr double kHighestStableClock = 211;
// A safety net for waits on other threads; nothing waits this long.
constexpr unsigned kThreadWaitMs = 30000;

class AutoTunePageTest : public PageTest<QAutoTune> {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        InstallTuneResultSink();
        vb::Machine::Instance().Get<vb::StabilityModel>().SetDeterministic(true);
    }

    void TearDown() override
    {
        CSystemTune::SetGated(false);
        PageTest::TearDown();
        RemoveTuneResultSink();
    }

    // A board changed before the page is made: the determinism goes with the old board.
    void UseBoard(const std::function<void(QJsonObject& devices)>& change)
    {
        UseBoardWith(change);
        vb::Machine::Instance().Get<vb::StabilityModel>().SetDeterministic(true);
    }

    // A variant from tests/fixtures/boards, as deterministic as the default board.
    void UseVariant(const char* name)
    {
        PageTest::UseVariant(name);
        vb::Machine::Instance().Get<vb::StabilityModel>().SetDeterministic(true);
    }

    template <class T = QWidget>
    T* W(const char* name) const { return page->findChild<T*>(QLatin1String(name)); }
    QPushButton* StartButton() const { return W<QPushButton>("btnAutoTune"); }
    QString Field(const char* name) const { return W<QLineEdit>(name)->text(); }
    QStringList Output() const { return W<QTextBrowser>("textBrowser")->toPlainText().split(QLatin1Char('\n')); }
    QString LastLine() const
    {
        QStringList lines = Output();
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines.isEmpty() ? QString() : lines.last();
    }

    void Show()
    {
        page->resize(819, 415);
        page->show();
        QCoreApplication::processEvents();
    }
    void Tick() { PerformancePageTest::Tick(page.get()); }
    void Poll() { QMetaObject::invokeMethod(page.get(), "UpdateResults"); }

    // Start through the button, the warning answered with Ok.
    void Start()
    {
        answers.Queue(QMessageBox::Ok);
        StartButton()->click();
    }
    // Waits for the tuning thread to end by itself, then polls as the timer would.
    void FinishRun()
    {
        CSystemTune::SetGated(false);
        ASSERT_TRUE(page->TuneThread().Join(kThreadWaitMs));
        Poll();
    }

    static vb::KeepAliveWatchdog& Watchdog() { return vb::Machine::Instance().Get<vb::KeepAliveWatchdog>(); }
    static IClockGeneratorDevice* ClockGen() { return QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0); }
    static ICPUDevice* Core(unsigned long i) { return QvxGetDevice<ICPUDevice>(dtCPU, i); }
};

} // namespace test
