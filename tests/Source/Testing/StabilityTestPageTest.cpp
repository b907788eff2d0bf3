// The Stability Test page idle: its rows, the duration, the boxes and Select All,
// translations, and the refusal while Auto Clock holds the test flag.
#include <QJsonObject>
#include <QTranslator>

#include "Source/Testing/StabilityTestFixture.h"
#include "Testing/StabilityTexts.h"
#include "support/BoardEdits.h"
#include "support/LogCapture.h"

using test::StabilityPageTest;

namespace {

TEST(StabilityTestText, FormatDuration)
{
    const struct { int minutes; const char* text; } cases[] = {
        {0, ""}, {1, "1 Minute "}, {59, "59 Minutes "}, {60, "1 Hour "}, {61, "1 Hour 1 Minute "},
        {120, "2 Hours "}, {1440, "1 Day "}, {1501, "1 Day 1 Hour 1 Minute "}, {2880, "2 Days "},
        {2940, "2 Days 1 Hour "}, {10080, "7 Days "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QStabilityTest::FormatDuration(c.minutes), QLatin1String(c.text)) << c.minutes;
}

TEST_F(StabilityPageTest, OneRowPerCaseInTheCentresOrder)
{
    Create();
    EXPECT_EQ(page->GetName(), std::string("Stability Test"));
    QStringList names, descriptions;
    auto* grid = static_cast<QGridLayout*>(W<QFrame>("CaseFrame")->layout());
    ASSERT_EQ(grid->rowCount(), 11);
    for (int r = 1; r < grid->rowCount(); ++r) {
        names << static_cast<QCheckBox*>(grid->itemAtPosition(r, 0)->widget())->text();
        descriptions << static_cast<QLabel*>(grid->itemAtPosition(r, 1)->widget())->text();
    }
    EXPECT_EQ(names, (QStringList{"CPU Test 0", "FPU Test 0", "CPU Test 1", "FPU Test 1", "CPU Test 2", "FPU Test 2",
                                  "CPU Test 3", "FPU Test 3", "Calculation Test", "MCA Test"}));
    EXPECT_EQ(descriptions[0], "Test integer calculation and stack operation");
    EXPECT_EQ(descriptions[1], "Test floating point calculation");
    EXPECT_EQ(descriptions[8], "Calculation Test");
    EXPECT_EQ(descriptions[9], "Check MCA registers");

    const QStabilityTest::TEST_CASE_ROW& row = Row(tctFPU, 2);
    EXPECT_FALSE(row.pCheckbox->isChecked());
    EXPECT_EQ(row.pMinLabel->text(), "999999999");
    EXPECT_EQ(row.pMaxLabel->text(), "0");
    EXPECT_EQ(row.pCurrentLabel->text(), "0");
    EXPECT_EQ(row.pStatusLabel->text(), "Inactive");
    EXPECT_EQ(row.pStatusLabel->m_dRatio, 0.0);
    EXPECT_EQ(row.pStatusLabel->frameShadow(), QFrame::Sunken);
    EXPECT_FALSE(RunButton()->isEnabled());
    EXPECT_EQ(RunButton()->text(), "Start");

    // The form's own text until the slider moves; then every part ends in a blank.
    EXPECT_EQ(DurationLabel()->text(), "1 Hour");
    EXPECT_EQ(DurationSlider()->minimum(), 1);
    EXPECT_EQ(DurationSlider()->maximum(), 10080);
    DurationSlider()->setValue(61);
    EXPECT_EQ(DurationLabel()->text(), "1 Hour 1 Minute ");
    DurationSlider()->setValue(60);
    EXPECT_EQ(DurationLabel()->text(), "1 Hour ");
}

TEST_F(StabilityPageTest, TwoCoresGiveSixRows)
{
    QJsonObject processor = test::DefaultBoard().value(QStringLiteral("processor")).toObject();
    processor.insert(QStringLiteral("cores"), 2);
    g_DeviceManager.UnInit();
    ASSERT_TRUE(test::LoadDefaultBoardWith({{QStringLiteral("processor"), processor}}));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    Create();
    QStringList names;
    for (const auto& [pCase, row] : page->Rows())
        names << row.pCheckbox->text();
    names.sort();
    EXPECT_EQ(names, (QStringList{"CPU Test 0", "CPU Test 1", "Calculation Test", "FPU Test 0", "FPU Test 1", "MCA Test"}));
}

TEST_F(StabilityPageTest, TheRunButtonFollowsTheTickedBoxes)
{
    Create();
    Row(tctCPU, 1).pCheckbox->setChecked(true);
    EXPECT_TRUE(RunButton()->isEnabled());
    Row(tctMCA).pCheckbox->setChecked(true);
    Row(tctCPU, 1).pCheckbox->setChecked(false);
    EXPECT_TRUE(RunButton()->isEnabled());
    Row(tctMCA).pCheckbox->setChecked(false);
    EXPECT_FALSE(RunButton()->isEnabled());

    W<QPushButton>("SelectAllBtn")->click();
    EXPECT_TRUE(RunButton()->isEnabled());
    for (const auto& [pCase, row] : page->Rows())
        EXPECT_TRUE(row.pCheckbox->isChecked());

    // A page built afresh (as after a change of language) counts its own boxes.
    page = std::make_unique<QStabilityTest>();
    ASSERT_TRUE(page->Init());
    EXPECT_FALSE(RunButton()->isEnabled());
    Row(tctFPU, 0).pCheckbox->setChecked(true);
    Row(tctFPU, 0).pCheckbox->setChecked(false);
    EXPECT_FALSE(RunButton()->isEnabled());
}

TEST_F(StabilityPageTest, RefusedWhileAutoClockRuns)
{
    Create();
    g_bTestRunning = true;   // as Auto Clock sets it
    StartWith({{tctCPU, 0}});
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].title, "Stability Test");
    EXPECT_EQ(answers.Messages()[0].text, "Auto Clock is running, please stop it first!");
    EXPECT_FALSE(page->IsRunning());
    EXPECT_FALSE(g_TestCenter.IsRunning());
    EXPECT_EQ(RunButton()->text(), "Start");
    EXPECT_TRUE(Row(tctCPU, 0).pCheckbox->isEnabled());
    // Auto Clock's flag is Auto Clock's: the page's teardown leaves it.
    EXPECT_TRUE(page->UnInit());
    EXPECT_TRUE(g_bTestRunning);
}

TEST_F(StabilityPageTest, EveryBoardVariantGetsARowPairPerCore)
{
    for (const char* variant : {"qvx-two-packages", "qvx-family11h", "qvx-single-control", "qvx-no-cpu", "qvx-mx310"}) {
        SCOPED_TRACE(variant);
        page.reset();
        UseVariant(variant);
        Create();
        EXPECT_EQ(page->Rows().size(), 2 * g_DeviceManager.GetDeviceCount(dtCPU) + 2);
    }
}

TEST_F(StabilityPageTest, WithoutProcessorsOnlyTheSystemWideRows)
{
    g_DeviceManager.UnInit();
    Create();
    EXPECT_EQ(page->Rows().size(), 2u);
    EXPECT_EQ(Row(tctMCA).pCheckbox->text(), "MCA Test");
}

// Wraps every text of the page's own context, so a test sees what went through tr().
class BracketTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (QLatin1String(context) != QLatin1String("QStabilityTest"))
            return QString();
        // One translation that would wreck a printf format.
        if (QLatin1String(source) == QLatin1String("Illegal sumeout"))
            return QStringLiteral("[Illegal sumeout %s%n]");
        return QStringLiteral("[%1]").arg(QLatin1String(source));
    }
    bool isEmpty() const override { return false; }
};

TEST_F(StabilityPageTest, TextsAreTranslatedAtUseAndTheTablesStayAsTheyAre)
{
    BracketTranslator translator;
    QCoreApplication::installTranslator(&translator);
    Create();
    Show();
    EXPECT_EQ(Row(tctCPU, 1).pCheckbox->text(), "[CPU Test] 1");
    EXPECT_EQ(Row(tctCalculation).pCheckbox->text(), "[Calculation Test]");
    EXPECT_EQ(Row(tctMCA).pStatusLabel->text(), "[Inactive]");
    StartWith({{tctFPU, 0}});
    EXPECT_EQ(RunButton()->text(), "[Stop]");
    ASSERT_TRUE(g_TestCenter.InjectError(Case(tctFPU, 0), 5));
    Tick();
    EXPECT_TRUE(Output().contains("[FPU Test] > [Illegal sumeout %s%n]")) << Output().join('|').toStdString();
    EXPECT_TRUE(test::LogContains("[Illegal sumeout %s%n]"));
    EXPECT_EQ(RunButton()->text(), "[Start]");
    QCoreApplication::removeTranslator(&translator);
    EXPECT_STREQ(g_TestCaseName[tctFPU], "FPU Test");
    EXPECT_STREQ(g_ErrorMessageText[5], "Illegal sumeout");
}

} // namespace
