// The Memory pages in the main window: the page of the board's memory type is the
// one accepted on every board, a memory clock applied there shows on Board Status
// and Basic, a refused write is reported by the window, and pictures of each page
// in each skin.
#include <QComboBox>
#include <QDir>
#include <QLCDNumber>
#include <QLineEdit>
#include <QSlider>

#include <cstring>

#include "PerformanceControl/DDR2MC.h"
#include "PerformanceControl/DDRMC.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/MemoryDevices.h"
#include "Shell/LcdText.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "SystemInfo/BasicInfo.h"
#include "support/LogCapture.h"

using test::BoardVariant;
using test::MainWindowTest;
using test::SendTick;

namespace {

const QString kPerformance = QStringLiteral("Performance\nControl");
const QString kStatus = QStringLiteral("Status\nMonitor");
const QString kSystem = QStringLiteral("System\nInformation");

// The built-in table lists "Memory" but hides it: this one shows it, beside Board Status.
const char kTable[] =
    "<PageList><Group Name=\"Status\\nMonitor\"><Page Name=\"Board Status\"/></Group>"
    "<Group Name=\"Performance\\nControl\"><Page Name=\"Memory\"/></Group></PageList>";
// Advanced Mode: Clock/Voltage and Memory both shown, applied in this order.
const char kAdvancedTable[] =
    "<PageList><Group Name=\"Performance\\nControl\">"
    "<Page Name=\"Clock/Voltage\"/><Page Name=\"Memory\"/></Group></PageList>";
// The same with Basic, which reads the memory clock as the information pages do.
const char kTableWithBasic[] =
    "<PageList><Group Name=\"System\\nInformation\"><Page Name=\"Basic\"/></Group>"
    "<Group Name=\"Status\\nMonitor\"><Page Name=\"Board Status\"/></Group>"
    "<Group Name=\"Performance\\nControl\"><Page Name=\"Memory\"/></Group></PageList>";

} // namespace

TEST_F(MainWindowTest, TheMemoryPageOfTheBoardsMemoryTypeIsTheOneAccepted)
{
    ASSERT_TRUE(Open());
    EXPECT_TRUE(dynamic_cast<QDDR2MC*>(window->GetWidget(kPerformance, QStringLiteral("Memory"))));
    TearDown();
    SetUp();

    test::LoadBoardOver(BoardVariant("qvx-ddr"));
    ASSERT_TRUE(Open());
    EXPECT_TRUE(dynamic_cast<QDDRMC*>(window->GetWidget(kPerformance, QStringLiteral("Memory"))));
    // The DDR2/DDR3 page was not built only to be refused.
    EXPECT_FALSE(test::LogContains("Page Memory initialization failed."));
}

TEST_F(MainWindowTest, AMemoryClockAppliedOnTheMemoryPageShowsOnBoardStatusAndBasic)
{
    test::LoadBoardOver(BoardVariant("qvx-ddr3-external"));
    ASSERT_TRUE(Open(kTableWithBasic));
    IQVXWidget* status = window->GetWidget(kStatus, QStringLiteral("Board Status"));
    IQVXWidget* basic = window->GetWidget(kSystem, QStringLiteral("Basic"));
    IQVXWidget* memory = window->GetWidget(kPerformance, QStringLiteral("Memory"));
    ASSERT_TRUE(status && basic && memory);
    auto* lcd = status->findChild<QLCDNumber*>(QStringLiteral("MemFreqNum"));
    auto* frequency = basic->findChild<QLineEdit*>(QStringLiteral("FrequencyEdit"));
    auto* trcd = basic->findChild<QLineEdit*>(QStringLiteral("TrcdEdit"));
    ASSERT_TRUE(lcd && frequency && trcd);
    // Each page reads the controller only while it is the one shown.
    auto readBoth = [&] {
        EXPECT_TRUE(window->ShowWidget(kStatus, QStringLiteral("Board Status")));
        SendTick(status);
        EXPECT_TRUE(window->ShowWidget(kSystem, QStringLiteral("Basic")));
        SendTick(basic);
    };
    window->show();
    readBoth();
    EXPECT_EQ(LcdText(lcd), "666.67");
    EXPECT_EQ(frequency->text(), "666.67 MHz");
    EXPECT_EQ(trcd->text(), "9 clock");

    auto* box = memory->findChild<QComboBox*>(QStringLiteral("MemClkBox"));
    auto* trcdBox = memory->findChild<QComboBox*>(QStringLiteral("TrcdBox"));
    ASSERT_TRUE(box && box->isEnabled() && trcdBox);
    box->setCurrentIndex(box->findText(QStringLiteral("800 MHz")));
    EXPECT_TRUE(g_bModified);
    trcdBox->setCurrentIndex(trcdBox->findText(QStringLiteral("10 bus clock")));
    window->Apply();
    EXPECT_FALSE(g_bModified);
    readBoth();
    EXPECT_EQ(LcdText(lcd), "800.00");
    EXPECT_EQ(frequency->text(), "800.00 MHz");
    EXPECT_EQ(trcd->text(), "10 clock");
    // The modules run at the new clock too, as the information pages read them.
    auto* module = QvxGetDevice<IMemoryModuleDevice>(dtMemory, 0);
    ASSERT_TRUE(module);
    EXPECT_EQ(module->GetBusFrequency(), 800);
    window->hide();
}

// Every board: the page of the controller's memory type (none without a DDR, DDR2 or
// DDR3 controller), and an Apply with nothing changed leaves the controller's records
// as they are, whatever its lists and values.
TEST_F(MainWindowTest, EveryBoardGetsItsMemoryPageAndAnUnchangedApplyLeavesTheRecordsAsTheyAre)
{
    QStringList boards = QDir(QStringLiteral(VELOCREST_FIXTURES "/boards"))
                             .entryList({QStringLiteral("qvx-*.json")}, QDir::Files, QDir::Name);
    boards.removeOne(QStringLiteral("qvx-init-fails.json"));   // no device library, no window
    boards.prepend(QString());                                  // the default board
    for (const QString& board : boards) {
        SCOPED_TRACE(board.toStdString());
        if (!board.isEmpty())
            test::LoadBoardOver(QStringLiteral(VELOCREST_FIXTURES "/boards/") + board);
        ASSERT_TRUE(Open(kTable));
        IQVXWidget* page = window->GetWidget(kPerformance, QStringLiteral("Memory"));
        auto* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
        const int type = pMC ? static_cast<int>(pMC->GetMemoryType()) : -1;
        EXPECT_EQ(dynamic_cast<QDDRMC*>(page) != nullptr, type == mtDDR_SDRAM);
        EXPECT_EQ(dynamic_cast<QDDR2MC*>(page) != nullptr, type == mtDDR2_SDRAM || type == mtDDR3_SDRAM);
        if (page) {
            MEMORY_TIMING timing{}, timingAfter{};
            MEMORY_CONFIG config{}, configAfter{};
            ASSERT_TRUE(pMC->GetTimings(&timing) && pMC->GetConfig(&config));
            EXPECT_TRUE(page->Apply());
            ASSERT_TRUE(pMC->GetTimings(&timingAfter) && pMC->GetConfig(&configAfter));
            EXPECT_EQ(std::memcmp(&timing, &timingAfter, sizeof timing), 0);
            EXPECT_EQ(std::memcmp(&config, &configAfter, sizeof config), 0);
        }
        TearDown();
        SetUp();
    }
}

// A new reference clock moves the controller's memory clocks with it. The Memory page
// applied in the same run must neither trip over the memory clock it read before nor
// lose the user's own change, and then shows the clock in force with its new list.
TEST_F(MainWindowTest, OneApplyOfAReferenceClockAndMemoryChangesAppliesThemAll)
{
    const struct {
        const char* variant;
        const char* configBox;
        const char* configChoice;
        uint8_t MEMORY_CONFIG::*flag;
        const char* memClk;     // shown after the run
        double memClkMHz;
        const char* nextClock;  // the list's last entry now
        bool memClkEnabled;
    } cases[] = {
        {nullptr, "DCC_ENBox", "Disabled", &MEMORY_CONFIG::DCC_EN, "410 MHz", 410, "546.666 MHz", false},
        {"qvx-ddr3-external", "PowerDownEnBox", "Enabled", &MEMORY_CONFIG::PowerDownEn, "683.334 MHz",
         666.667 * 205 / 200, "820 MHz", true},
        {"qvx-ddr", "D_DRV_WeakBox", "Enabled", &MEMORY_CONFIG::D_DRV_Weak, "205 MHz", 205, "205 MHz", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant ? c.variant : "default");
        if (c.variant)
            test::LoadBoardOver(BoardVariant(c.variant));
        ASSERT_TRUE(Open(kAdvancedTable));
        window->show();
        ASSERT_TRUE(window->ShowWidget(kPerformance, QStringLiteral("Clock/Voltage")));
        auto* ext = window->GetWidget(kPerformance, QStringLiteral("Clock/Voltage"))->findChild<QSlider*>("ExtSlider");
        ASSERT_TRUE(ext);
        ext->setValue(205);
        ASSERT_TRUE(window->ShowWidget(kPerformance, QStringLiteral("Memory")));
        IQVXWidget* memory = window->GetWidget(kPerformance, QStringLiteral("Memory"));
        auto* trcd = memory->findChild<QComboBox*>("TrcdBox");
        auto* config = memory->findChild<QComboBox*>(QLatin1String(c.configBox));
        auto* memClk = memory->findChild<QComboBox*>("MemClkBox");
        ASSERT_TRUE(trcd && config && memClk);
        trcd->setCurrentIndex(trcd->count() - 1);
        const double trcdChosen = trcd->currentData().toDouble();
        config->setCurrentIndex(config->findText(QLatin1String(c.configChoice)));
        ASSERT_GE(config->currentIndex(), 0);
        test::LogCapture::Instance().Clear();

        window->Apply();
        EXPECT_FALSE(test::LogContains("apply failed."));
        EXPECT_FALSE(test::LogContains("refused"));
        auto* pMC = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0);
        MEMORY_TIMING timing{};
        MEMORY_CONFIG record{};
        ASSERT_TRUE(pMC->GetTimings(&timing) && pMC->GetConfig(&record));
        EXPECT_EQ(timing.Trcd, trcdChosen);
        EXPECT_EQ(record.*c.flag, config->currentData().toBool() ? 1 : 0);
        EXPECT_EQ(config->currentText().toStdString(), c.configChoice);
        EXPECT_DOUBLE_EQ(record.MemClk, c.memClkMHz);
        EXPECT_EQ(memClk->currentText().toStdString(), c.memClk);
        EXPECT_EQ(memClk->itemText(memClk->count() - 1).toStdString(), c.nextClock);
        EXPECT_EQ(memClk->isEnabled(), c.memClkEnabled);
        EXPECT_EQ(QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0)->GetHTRefClock(), 205);
        window->hide();
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindowTest, ARefusedMemoryWriteIsReportedByTheWindow)
{
    ASSERT_TRUE(Open(kTable));
    // A change of the user's, which the controller refuses.
    auto* box = window->GetWidget(kPerformance, QStringLiteral("Memory"))->findChild<QComboBox*>("DramTermBox");
    ASSERT_TRUE(box && box->count() > 1);
    box->setCurrentIndex((box->currentIndex() + 1) % box->count());
    vb::Machine::Instance().GetFaults().Set("qvx:MC.SetConfig");
    test::LogCapture::Instance().Clear();
    window->Apply();
    EXPECT_TRUE(test::LogContains("Memory apply failed."));
    EXPECT_TRUE(test::LogContains(" in QDDR2MC::WriteMemoryConfig\n"));
}

TEST_F(MainWindowTest, ScreenshotsOfTheMemoryPagesInEachSkin)
{
    const struct { const char* variant; const char* stem; } boards[] = {
        {nullptr, "memory-ddr2"},
        {"qvx-ddr3-external", "memory-ddr3-external"},
        {"qvx-ddr", "memory-ddr"},
    };
    for (const auto& b : boards) {
        SCOPED_TRACE(b.stem);
        ForEachSkin([&](const QString&) {
            if (b.variant)
                test::LoadBoardOver(BoardVariant(b.variant));
            ASSERT_TRUE(Open(kTable));
            SavePageScreenshot(kPerformance, QStringLiteral("Memory"), QLatin1String(b.stem));
            window->hide();
        });
    }
}
