// The Stability Test page with the real stress work: clean on the default board,
// failing where Clock/Voltage pushed a core past its limit; and pictures of the
// page inside the main window, idle and running, in each skin.
#include <QJsonObject>

#include "QVXLogic/TestCenter.h"
#include "Source/PerformanceControl/AdvancedModeFixture.h"
#include "Testing/StabilityTest.h"
#include "Testing/StatusLabel.h"
#include "VirtualBoard/Stability/StabilityModel.h"
#include "support/MessageBoxAnswers.h"
#include "VirtualBoard/Clock.h"
#include "support/TestEnvironment.h"

using test::AdvancedModeTest;
using test::MainWindowTest;

namespace {

constexpr unsigned kWaitMs = 30000;   // a safety net only: each case's first batch comes at once

class StabilityAfterClockVoltageTest : public AdvancedModeTest {
protected:
    void TearDown() override
    {
        stability.reset();
        AdvancedModeTest::TearDown();
    }

    void OpenStability()
    {
        stability = std::make_unique<QStabilityTest>();
        ASSERT_TRUE(stability->Init());
        stability->resize(754, 440);
        stability->show();
    }

    // A run of the ticked cases for one minute, on the test's clock; the output lines
    // it added.
    QStringList RunOneMinute(const std::vector<std::pair<TEST_CASE_TYPE, int>>& cases)
    {
        for (const auto& [pCase, row] : stability->Rows())
            row.pCheckbox->setChecked(false);
        for (const auto& [type, processor] : cases)
            stability->Rows().at(g_TestCenter.GetTestCase(type, processor)).pCheckbox->setChecked(true);
        auto* output = stability->findChild<QTextBrowser*>(QStringLiteral("textBrowser"));
        const int before = static_cast<int>(output->toPlainText().split('\n').size());
        stability->findChild<QSlider*>(QStringLiteral("DurationSlider"))->setValue(1);
        stability->findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
        EXPECT_TRUE(stability->IsRunning());
        EXPECT_TRUE(g_TestCenter.WaitForBatches(1, kWaitMs));
        Tick();
        test::Clock().Advance(61'000'000'000ull);
        Tick();
        EXPECT_FALSE(stability->IsRunning());
        EXPECT_FALSE(g_bTestRunning);
        return output->toPlainText().split('\n').mid(before);
    }

    void Tick() { test::SendTick(stability.get()); }

    static QStringList ErrorLines(const QStringList& lines) { return lines.filter(QStringLiteral(" > ")); }

    std::unique_ptr<QStabilityTest> stability;
    test::MessageBoxAnswers answers;
};

TEST_F(StabilityAfterClockVoltageTest, CleanAtDefaultClocksAndFailingWhereACoreIsPushed)
{
    // The default board, every case for a minute: results, no error.
    ASSERT_TRUE(Open());
    vb::Machine::Instance().Get<vb::StabilityModel>().SetDeterministic(true);
    OpenStability();
    std::vector<std::pair<TEST_CASE_TYPE, int>> all;
    for (const auto& [pCase, row] : stability->Rows())
        all.emplace_back(pCase->GetType(), pCase->GetProcessor());
    QStringList lines = RunOneMinute(all);
    EXPECT_TRUE(ErrorLines(lines).isEmpty()) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.last().startsWith("Stability test stopped at "));
    for (const auto& [pCase, row] : stability->Rows())
        EXPECT_TRUE(row.pCurrentLabel->text().endsWith(" Hz")) << row.pCheckbox->text().toStdString();
    TearDown();
    SetUp();

    // The same board with its multiplier unlocked: Clock/Voltage raises core 1 only.
    test::LoadBoardWith([](QJsonObject& devices) {
        QJsonObject cpu = devices.value(QStringLiteral("cpu")).toObject();
        cpu.insert(QStringLiteral("maxMultiplier"), 20);
        devices.insert(QStringLiteral("cpu"), cpu);
    });
    ASSERT_TRUE(Open());
    vb::Machine::Instance().Get<vb::StabilityModel>().SetDeterministic(true);
    Show();
    W<QCheckBox>("checkBox_SelectAll")->setChecked(false);
    Slider("CPUMulSlider_2")->setValue(36);   // half steps: 18
    ASSERT_TRUE(page->Apply());
    ASSERT_EQ(Only(Writes(), "CPU1.SetMultiplier"), std::vector<std::string>{"CPU1.SetMultiplier(18)"});
    OpenStability();

    lines = RunOneMinute(all);
    const QStringList errors = ErrorLines(lines);
    EXPECT_EQ(errors.filter(QRegularExpression("^CPU Test > An error occurs in (integer|unsigned integer|recursive)")).size(), 1)
        << errors.join('|').toStdString();
    EXPECT_EQ(errors.filter(QRegularExpression("^FPU Test > An error occurs in the Taylor Series")).size(), 1);
    EXPECT_EQ(errors.filter(QStringLiteral("MCA Test > MCA Error")).size(), 1);
    EXPECT_EQ(errors.filter(QRegularExpression("^Calculation Test > ")).size(), 1);
    EXPECT_EQ(errors.size(), 4);

    // Core 0's cases alone run clean; core 1's alone fail.
    EXPECT_TRUE(ErrorLines(RunOneMinute({{tctCPU, 0}, {tctFPU, 0}})).isEmpty());
    EXPECT_EQ(ErrorLines(RunOneMinute({{tctCPU, 1}})).size(), 1);
}

const QString kGroup = QStringLiteral("Performance\nControl");
const QString kPage = QStringLiteral("Stability Test");

TEST_F(MainWindowTest, TheStabilityTestPageInTheWindowIdleAndRunning)
{
    ForEachSkin([this](const QString&) {
        ASSERT_TRUE(Open());
        auto* stability = dynamic_cast<QStabilityTest*>(window->GetWidget(kGroup, kPage));
        ASSERT_TRUE(stability);
        SavePageScreenshot(kGroup, kPage, QStringLiteral("stability-test-idle"));

        // A run with results in every row (the centre scripted, so the picture is the same each time).
        g_TestCenter.SetScripted(true);
        stability->findChild<QPushButton*>(QStringLiteral("SelectAllBtn"))->click();
        stability->findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
        ASSERT_TRUE(stability->IsRunning());
        for (const auto& [pCase, row] : stability->Rows()) {
            const double value = 1000 + 150.25 * pCase->GetProcessor() + 40 * pCase->GetType();
            g_TestCenter.InjectResult(pCase, value * 0.8);
            g_TestCenter.InjectResult(pCase, value * 1.2);
            g_TestCenter.InjectResult(pCase, value);
        }
        SavePageScreenshot(kGroup, kPage, QStringLiteral("stability-test-running"));
        EXPECT_TRUE(stability->Rows().begin()->second.pCurrentLabel->text().endsWith(" Hz"));
        window->hide();
        g_TestCenter.SetScripted(false);
    });
}

} // namespace
