// The P-state page through its buttons and table: stepping, cycling, the guard
// while a test runs, and the table written into every processor.
#include <QLabel>
#include <QTreeWidget>

#include "PerformanceControl/PState.h"
#include "QVXLogic/CpuDevice.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "support/LogCapture.h"

using test::PerformancePageTest;

namespace {

class PStateTest : public test::PageTest<QJYPState> {
protected:
    QTreeWidget* Table() const { return page->findChild<QTreeWidget*>(QStringLiteral("treeWidget")); }
    static ICPUDevice* Cpu(unsigned c) { return QvxGetDevice<ICPUDevice>(dtCPU, c); }
    bool IsGreen(unsigned c, int i) const
    {
        return page->Row(c).pPstateLabel[i]->palette().color(QPalette::Window) == QColor(Qt::green);
    }

    // P-states with the given enable flags (the default board's definitions otherwise).
    static void UseEnabled(std::vector<bool> enabled)
    {
        UseBoardWith([&](QJsonObject& devices) {
            Edit(devices, "cpu", [&](QJsonObject& cpu) {
                QJsonArray pstates = cpu.value("pstates").toArray();
                for (size_t i = 0; i < enabled.size(); ++i) {
                    QJsonObject p = pstates.at(static_cast<int>(i)).toObject();
                    p.insert("enabled", static_cast<bool>(enabled[i]));
                    pstates.replace(static_cast<int>(i), p);
                }
                cpu.insert("pstates", pstates);
            });
        });
    }

};

} // namespace

TEST(PStateText, HexadecimalCells)
{
    const struct { double value; const char* text; } cases[] = {{0, "00"}, {16, "10"}, {10, "0A"}, {300, "12C"}, {31.9, "1F"}};
    for (const auto& c : cases)
        EXPECT_EQ(QJYPState::ToHex(c.value), QLatin1String(c.text)) << c.value;
    double value = 0;
    EXPECT_TRUE(QJYPState::FromHex(QStringLiteral("1f"), value));
    EXPECT_EQ(value, 31);
    EXPECT_TRUE(QJYPState::FromHex(QStringLiteral(" 0A "), value));
    EXPECT_EQ(value, 10);
    for (const char* bad : {"zz", "", "-1", "1 2", "0x"})
        EXPECT_FALSE(QJYPState::FromHex(QLatin1String(bad), value)) << bad;
}

TEST_F(PStateTest, RowsAndTableShowEveryProcessorsPStates)
{
    Create();
    EXPECT_EQ(page->GetName(), std::string("JY Pstate"));
    for (unsigned c = 0; c < 4; ++c) {
        ASSERT_TRUE(page->Row(c).pPlayButton) << c;
        EXPECT_TRUE(IsGreen(c, 0));
        EXPECT_FALSE(IsGreen(c, 1));
    }
    ASSERT_EQ(Table()->topLevelItemCount(), 5);
    QTreeWidgetItem* p0 = Table()->topLevelItem(0);
    EXPECT_EQ(p0->text(0), QStringLiteral("Pstate 0"));
    EXPECT_EQ(p0->checkState(0), Qt::Checked);
    EXPECT_EQ(Table()->topLevelItem(3)->checkState(0), Qt::Unchecked);
    PSTATE_INFO info{};
    ASSERT_TRUE(Cpu(0)->GetPstateInfo(0, &info));
    EXPECT_EQ(p0->text(1), QJYPState::ToHex(info.CpuFid));
    EXPECT_EQ(p0->text(3), QJYPState::ToHex(info.CpuVid));
    // Every row's indicator i carries processor 0's P-state i.
    for (unsigned c = 0; c < 4; ++c)
        EXPECT_TRUE(page->Row(c).pPstateLabel[0]->toolTip().contains(QStringLiteral("%1 MHz").arg(info.dFrequency)));
}

TEST_F(PStateTest, StepsGoToTheNextEnabledPState)
{
    UseEnabled({true, false, true, false, false});
    Create();
    const double m0 = Cpu(0)->GetCurrentMultiplier();
    ForgetWrites();
    page->Row(0).pRightButton->click();
    EXPECT_EQ(Cpu(0)->GetCurrentPstate(), 2);
    EXPECT_TRUE(IsGreen(0, 2));
    EXPECT_FALSE(IsGreen(0, 0));
    EXPECT_LT(Cpu(0)->GetCurrentMultiplier(), m0);   // the processor follows its P-state
    page->Row(0).pRightButton->click();
    EXPECT_EQ(Cpu(0)->GetCurrentPstate(), 0);
    page->Row(0).pLeftButton->click();
    EXPECT_EQ(Cpu(0)->GetCurrentPstate(), 2);
    EXPECT_EQ(Writes(), (std::vector<std::string>{"CPU0.SetPstate(2)", "CPU0.SetPstate(0)", "CPU0.SetPstate(2)"}));
    EXPECT_EQ(Cpu(1)->GetCurrentPstate(), 0);   // other rows untouched
}

TEST_F(PStateTest, WithNoEnabledPStateNothingSwitches)
{
    UseEnabled({false, false, false, false, false});
    Create();
    ForgetWrites();
    page->Row(1).pRightButton->click();
    page->Row(1).pLeftButton->click();
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(bEnabled)"), 2);
}

TEST_F(PStateTest, CyclingStepsOncePerTickWhileVisibleAndNoTestRuns)
{
    Create();
    page->Row(1).pPlayButton->click();
    EXPECT_TRUE(page->Row(1).bCycling);
    ForgetWrites();
    Tick(page.get());   // hidden: nothing
    EXPECT_TRUE(Writes().empty());

    page->show();
    Tick(page.get());
    Tick(page.get());
    EXPECT_EQ(Writes(), (std::vector<std::string>{"CPU1.SetPstate(1)", "CPU1.SetPstate(2)"}));
    EXPECT_TRUE(IsGreen(1, 2));

    g_bTestRunning = true;   // a stability test owns the P-states now
    Tick(page.get());
    EXPECT_TRUE(Writes().empty());
    g_bTestRunning = false;
    Tick(page.get());
    EXPECT_EQ(Writes(), (std::vector<std::string>{"CPU1.SetPstate(4)"}));   // P3 is disabled

    page->Row(1).pPlayButton->click();
    EXPECT_FALSE(page->Row(1).bCycling);
    Tick(page.get());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(PStateTest, ShowingWhileATestRunsLocksThePage)
{
    Create();
    g_bTestRunning = true;
    page->show();
    EXPECT_FALSE(Table()->isEnabled());
    for (unsigned c = 0; c < 4; ++c)
        EXPECT_FALSE(page->Row(c).pRightButton->isEnabled());
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].title, QStringLiteral("Vyk Velocrest"));
    EXPECT_EQ(answers.Messages()[0].text, QStringLiteral("Pstate cannot be changed while stability test or auto clock is running."));
    page->hide();
    page->show();
    EXPECT_EQ(answers.Messages().size(), 2u);

    page->hide();
    g_bTestRunning = false;
    page->show();
    EXPECT_TRUE(Table()->isEnabled());
    EXPECT_TRUE(page->Row(3).pPlayButton->isEnabled());
    EXPECT_EQ(answers.Messages().size(), 2u);
}

TEST_F(PStateTest, AnUneditedTableIsNeverWritten)
{
    Create();
    ForgetWrites();
    EXPECT_TRUE(page->UnInit());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(PStateTest, AnEditedTableReachesEveryProcessor)
{
    Create();
    Table()->topLevelItem(0)->setText(1, QStringLiteral("1f"));
    Table()->topLevelItem(3)->setCheckState(0, Qt::Checked);
    ForgetWrites();
    EXPECT_TRUE(page->UnInit());
    const std::vector<std::string> writes = Writes();
    EXPECT_EQ(writes.size(), 4u * 5u);
    for (unsigned c = 0; c < 4; ++c) {
        const std::string cpu = "CPU" + std::to_string(c);
        EXPECT_NE(std::find_if(writes.begin(), writes.end(),
                               [&](const std::string& w) { return w.rfind(cpu + ".SetPstateInfo(0, fid=31 ", 0) == 0; }),
                  writes.end()) << cpu;
        EXPECT_NE(std::find_if(writes.begin(), writes.end(),
                               [&](const std::string& w) { return w.rfind(cpu + ".SetPstateInfo(3,", 0) == 0 && w.find(" on)") != std::string::npos; }),
                  writes.end()) << cpu;
    }
    PSTATE_INFO info{};
    ASSERT_TRUE(Cpu(2)->GetPstateInfo(0, &info));
    EXPECT_EQ(info.CpuFid, 31);
    // The tool tips show the clocks that follow from the written definition.
    EXPECT_TRUE(page->Row(3).pPstateLabel[0]->toolTip().contains(QStringLiteral("%1 MHz").arg(info.dFrequency)));
    EXPECT_EQ(Table()->topLevelItem(0)->text(1), QStringLiteral("1F"));
}

// The table is written long after it was read: a cell the user did not edit keeps
// what the processor holds by then.
TEST_F(PStateTest, OnlyTheEditedCellsAreWritten)
{
    Create();
    Table()->topLevelItem(0)->setText(1, QStringLiteral("11"));
    Table()->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    for (unsigned c = 0; c < 4; ++c) {   // meanwhile, behind the page
        PSTATE_INFO info{};
        ASSERT_TRUE(Cpu(c)->GetPstateInfo(1, &info));
        info.CpuFid = 12;
        ASSERT_TRUE(Cpu(c)->SetPstateInfo(1, &info));
    }
    EXPECT_TRUE(page->UnInit());
    for (unsigned c = 0; c < 4; ++c) {
        PSTATE_INFO info{};
        ASSERT_TRUE(Cpu(c)->GetPstateInfo(0, &info));
        EXPECT_EQ(info.CpuFid, 0x11);
        ASSERT_TRUE(Cpu(c)->GetPstateInfo(1, &info));
        EXPECT_EQ(info.CpuFid, 12);
        ASSERT_TRUE(Cpu(c)->GetPstateInfo(2, &info));
        EXPECT_FALSE(info.bEnabled);
    }
    EXPECT_EQ(Table()->topLevelItem(1)->text(1), QStringLiteral("0C"));   // reloaded
}

TEST_F(PStateTest, ACellThatIsNoNumberIsRefused)
{
    Create();
    QTreeWidgetItem* item = Table()->topLevelItem(1);
    item->setText(3, QStringLiteral("zz"));
    EXPECT_NE(item->background(3), QBrush());   // marked at once
    ForgetWrites();
    EXPECT_FALSE(page->UnInit());
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(item->text(3), QStringLiteral("zz"));   // kept for the user to mend
    item->setText(3, QStringLiteral("18"));
    EXPECT_EQ(item->background(3), QBrush());
    EXPECT_TRUE(page->UnInit());
    PSTATE_INFO info{};
    ASSERT_TRUE(Cpu(0)->GetPstateInfo(1, &info));
    EXPECT_EQ(info.CpuVid, 0x18);
}

TEST_F(PStateTest, ARefusedWriteReloadsTheTable)
{
    Create();
    const QString fid = Table()->topLevelItem(0)->text(1);
    Table()->topLevelItem(0)->setText(1, QStringLiteral("7F"));   // wider than the field
    EXPECT_FALSE(page->UnInit());
    EXPECT_TRUE(test::LogContains("in QJYPState::_WriteTable"));
    EXPECT_EQ(Table()->topLevelItem(0)->text(1), fid);

    Table()->topLevelItem(0)->setText(1, QStringLiteral("11"));
    Fault("qvx:CPU.SetPstateInfo");
    EXPECT_FALSE(page->UnInit());
    EXPECT_EQ(Table()->topLevelItem(0)->text(1), fid);
}

TEST_F(PStateTest, PagesRefusedForOtherProcessors)
{
    UseVariant("qvx-family11h");   // no family-10h processor
    page = std::make_unique<QJYPState>();
    EXPECT_FALSE(page->Init());
    UseVariant("qvx-two-packages");   // eight: more rows than the page has
    page = std::make_unique<QJYPState>();
    EXPECT_FALSE(page->Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uCPUIndex < CPU_COUNT)"));
}

TEST_F(PStateTest, MoreThanFivePStatesKeepFiveIndicators)
{
    UseBoardWith([](QJsonObject& devices) {
        Edit(devices, "cpu", [](QJsonObject& cpu) {
            QJsonArray pstates = cpu.value("pstates").toArray();
            pstates.append(pstates.at(4));
            pstates.append(pstates.at(4));
            cpu.insert("pstates", pstates);
        });
    });
    ASSERT_EQ(Cpu(0)->GetMaxPstateIndex(), 6);
    Create();
    EXPECT_EQ(Table()->topLevelItemCount(), 7);
    page->Row(0).pLeftButton->click();
    EXPECT_EQ(Cpu(0)->GetCurrentPstate(), 6);
    EXPECT_TRUE(IsGreen(0, 0) == false);
    Table()->topLevelItem(6)->setText(2, QStringLiteral("00"));
    EXPECT_TRUE(page->UnInit());
}
