// The Novice Mode page through its slider: the level table, list mode, Apply's
// writes and what it stores, Discard, the detail refresh.
#include <QLabel>
#include <QSlider>

#include "PerformanceControl/NoviceMode.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "support/LogCapture.h"

using test::PerformancePageTest;

namespace {

class NoviceModeTest : public test::PageTest<QBasicMode> {
protected:
    // A page as the main window makes it, shown once (which loads it).
    void Open(const char* storedLevel = nullptr)
    {
        if (storedLevel) {
            ASSERT_TRUE(CConfigParser::GetInstance()->SetValue(u"Performance Control", u"Basic Mode", u"Level",
                                                               QString::fromLatin1(storedLevel), true));
        }
        page = std::make_unique<QBasicMode>();
        ASSERT_TRUE(page->Init());
        page->show();
    }

    QSlider* Slider() const { return page->findChild<QSlider*>(QStringLiteral("ModeSlider")); }
    QString Text(const char* name) const { return page->findChild<QLabel*>(QLatin1String(name))->text(); }

    static void SetLists(QJsonObject& devices, QJsonArray htRef, QJsonArray pcie)
    {
        Edit(devices, "clockGenerator", [&](QJsonObject& cg) {
            cg.insert("ranges", false);
            QJsonObject ref = cg.value("htRef").toObject();
            ref.insert("list", htRef);
            cg.insert("htRef", ref);
            QJsonObject p = cg.value("pcie").toObject();
            p.insert("list", pcie);
            cg.insert("pcie", p);
        });
    }

};

} // namespace

TEST_F(NoviceModeTest, EachLevelIsAPairOfClocks)
{
    Open();
    const double pcie[] = {100, 102, 102, 104, 104, 106, 106, 108, 108, 110, 110};
    const double ref[] = {200, 200, 201, 201, 202, 202, 203, 203, 204, 204, 205};
    for (int level : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}) {
        Slider()->setValue(level);
        EXPECT_EQ(page->TargetPCIeClock(), pcie[level]) << level;
        EXPECT_EQ(page->TargetHTRefClock(), ref[level]) << level;
        EXPECT_EQ(Text("labelCurrLevel"), QString::number(level));
    }
    EXPECT_TRUE(g_bModified);
}

TEST_F(NoviceModeTest, TheStoredLevelIsShownWithoutCountingAsAChange)
{
    Open("3");
    EXPECT_EQ(Slider()->value(), 3);
    EXPECT_EQ(Text("labelCurrLevel"), QStringLiteral("3"));
    EXPECT_EQ(page->TargetPCIeClock(), 104);
    EXPECT_EQ(page->TargetHTRefClock(), 201);
    EXPECT_FALSE(g_bModified);
    // Nothing was chosen: Apply leaves the clocks alone.
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(NoviceModeTest, WithoutAStoredLevelTheTargetsAreTheCurrentClocks)
{
    IClockGeneratorDevice* cg = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0);
    ASSERT_TRUE(cg->SetHTRefClock(207));
    Open();
    EXPECT_EQ(Slider()->value(), 0);
    EXPECT_EQ(page->TargetHTRefClock(), 207);
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(cg->GetHTRefClock(), 207);
}

TEST_F(NoviceModeTest, ApplyWritesTheReferenceThenPCIeAndStoresTheLevel)
{
    Open();
    Slider()->setValue(3);
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), (std::vector<std::string>{"CG.SetHTRefClock(201)", "CG.SetPCIeClock(104)"}));
    EXPECT_EQ(Stored("Performance Control", "Basic Mode", "Level"), QStringLiteral("3"));
    // Without a main window there is no Clock/Voltage page to tell; that is only logged.
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(pWidget)"));
    // A second Apply has nothing new to write.
    EXPECT_TRUE(page->Apply());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(NoviceModeTest, ARefusedReferenceClockStopsApply)
{
    Open();
    Slider()->setValue(4);
    Fault("qvx:CG.SetHTRefClock");
    ForgetWrites();
    EXPECT_FALSE(page->Apply());
    EXPECT_TRUE(Writes().empty());   // the PCIe clock was not written either
    EXPECT_TRUE(Stored("Performance Control", "Basic Mode", "Level").isEmpty());
}

TEST_F(NoviceModeTest, DiscardReturnsToTheStoredLevel)
{
    Open("2");
    Slider()->setValue(6);
    EXPECT_EQ(page->TargetPCIeClock(), 106);
    EXPECT_TRUE(page->Discard());
    EXPECT_EQ(Slider()->value(), 2);
    EXPECT_EQ(page->TargetPCIeClock(), 102);
    EXPECT_EQ(page->TargetHTRefClock(), 201);
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(NoviceModeTest, ListModeTakesTheGeneratorsEntries)
{
    UseVariant("qvx-list-clocks");   // reference 200, 205 ... 230; PCIe 100, 102 ... 110
    Open();
    Slider()->setValue(5);
    EXPECT_EQ(page->TargetPCIeClock(), 110);
    EXPECT_EQ(page->TargetHTRefClock(), 205);
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), (std::vector<std::string>{"CG.SetHTRefClock(205)", "CG.SetPCIeClock(110)"}));

    UseBoardWith([](QJsonObject& d) { SetLists(d, {200, 201, 202}, {100, 101, 102, 103, 104, 105}); });
    page.reset();
    Open();
    Slider()->setValue(8);
    EXPECT_EQ(page->TargetPCIeClock(), 105);   // past the end: the last entry
    EXPECT_EQ(page->TargetHTRefClock(), 202);
}

TEST_F(NoviceModeTest, ALevelWithoutListEntryKeepsTheTargets)
{
    UseBoardWith([](QJsonObject& d) { SetLists(d, {200, 201}, {100, 101, 102, 103, 104, 105}); });
    Open();
    Slider()->setValue(3);
    EXPECT_EQ(page->TargetPCIeClock(), 103);
    g_bModified = false;
    Slider()->setValue(8);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(idx < m_nExtFreqCount)"));
    EXPECT_FALSE(g_bModified);
    EXPECT_EQ(page->TargetPCIeClock(), 103);
    EXPECT_EQ(page->TargetHTRefClock(), 200);

    // Lists without the base clocks: no level can be mapped.
    UseBoardWith([](QJsonObject& d) { SetLists(d, {210, 220}, {110, 120}); });
    page.reset();
    Open();
    Slider()->setValue(1);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(nStartIndex < m_nPCIeFreqCount)"));
    EXPECT_FALSE(g_bModified);
}

TEST_F(NoviceModeTest, WithoutAClockGeneratorTheSliderIsOff)
{
    UseVariant("qvx-no-clockgen");
    Open();
    EXPECT_FALSE(Slider()->isEnabled());
    // No level can be chosen, so there is nothing to apply.
    EXPECT_TRUE(page->Apply());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(NoviceModeTest, DetailsAreRefreshedOnlyWhileVisible)
{
    page = std::make_unique<QBasicMode>();
    ASSERT_TRUE(page->Init());
    Tick(page.get());
    EXPECT_TRUE(Text("labelCPUCoreClock").isEmpty());

    page->show();
    Slider()->setValue(1);
    Tick(page.get());
    EXPECT_TRUE(Text("labelCPUCoreClock").endsWith(QStringLiteral(" MHz")));
    EXPECT_TRUE(Text("labelCPUMul").endsWith(QStringLiteral(" X")));
    EXPECT_EQ(Text("labelTcl"), QStringLiteral("5 clocks"));
    EXPECT_EQ(Text("labelTras"), QStringLiteral("18 clocks"));
    EXPECT_EQ(Text("labelCMDRate"), QStringLiteral("1T"));
    EXPECT_TRUE(Text("labelMemoryClock").contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d\\d MHz$"))));
    EXPECT_EQ(Text("labelPCIEClock"), QStringLiteral("102 MHz"));   // the pending target
    EXPECT_EQ(Text("labelHTRefClock"), QStringLiteral("200 MHz"));
    EXPECT_EQ(Text("labelHTLinkMul"), QStringLiteral("10 X"));
    EXPECT_EQ(Text("labelHTBusSpeed"), QStringLiteral("2000 MHz"));
}
