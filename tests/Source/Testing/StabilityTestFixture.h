#pragma once
// The Stability Test page on the simulated board, with the test centre scripted
// (a run starts no work; the test queues the errors and results) unless a test
// switches the real work back on. Time moves on the test's clock.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTextBrowser>

#include "QVXLogic/TestCenter.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "Testing/StabilityTest.h"
#include "Testing/StatusLabel.h"
#include "VirtualBoard/Clock.h"
#include "support/TestEnvironment.h"

namespace test {

class StabilityPageTest : public PageTest<QStabilityTest> {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        g_TestCenter.SetScripted(true);
    }

    void TearDown() override
    {
        PageTest::TearDown();
        g_TestCenter.SetScripted(false);
    }

    template <class T = QWidget>
    T* W(const char* name) const { return page->findChild<T*>(QLatin1String(name)); }
    QPushButton* RunButton() const { return W<QPushButton>("btnRun"); }
    QLabel* DurationLabel() const { return W<QLabel>("DurationLabel"); }
    QSlider* DurationSlider() const { return W<QSlider>("DurationSlider"); }
    // The output box, one entry per line.
    QStringList Output() const { return W<QTextBrowser>("textBrowser")->toPlainText().split(QLatin1Char('\n')); }

    static IStabilityTestCase* Case(TEST_CASE_TYPE type, int processor = -1)
    {
        return g_TestCenter.GetTestCase(type, processor);
    }
    const QStabilityTest::TEST_CASE_ROW& Row(TEST_CASE_TYPE type, int processor = -1) const
    {
        return page->Rows().at(Case(type, processor));
    }

    void Show()
    {
        page->resize(754, 440);
        page->show();
        QCoreApplication::processEvents();
    }
    void Tick() { PerformancePageTest::Tick(page.get()); }
    static void Advance(double seconds) { Clock().Advance(static_cast<uint64_t>(seconds * 1e9)); }

    // Ticks the rows' boxes and presses Start.
    void StartWith(std::initializer_list<std::pair<TEST_CASE_TYPE, int>> cases)
    {
        for (const auto& [type, processor] : cases)
            Row(type, processor).pCheckbox->setChecked(true);
        RunButton()->click();
    }
};

} // namespace test
