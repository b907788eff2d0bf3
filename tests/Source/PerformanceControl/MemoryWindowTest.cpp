// The Memory pages in the main window: the page of the board's memory type is the
// one accepted, a memory clock applied there shows on Board Status, a refused write
// is reported by the window, and pictures of each page in each skin.
#include <QComboBox>
#include <QLCDNumber>

#include "PerformanceControl/DDR2MC.h"
#include "PerformanceControl/DDRMC.h"
#include "QVXLogic/MemoryDevices.h"
#include "Shell/LcdText.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "support/LogCapture.h"

using test::MainWindowTest;

namespace {

const QString kPerformance = QStringLiteral("Performance\nControl");
const QString kStatus = QStringLiteral("Status\nMonitor");

// The built-in table lists "Memory" but hides it: this one shows it, beside Board Status.
const char kTable[] =
    "<PageList><Group Name=\"Status\\nMonitor\"><Page Name=\"Board Status\"/></Group>"
    "<Group Name=\"Performance\\nControl\"><Page Name=\"Memory\"/></Group></PageList>";

QString Variant(const char* name)
{
    return QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(name));
}

void Tick(QObject* object)
{
    QTimerEvent tick(0);
    QCoreApplication::sendEvent(object, &tick);
}

} // namespace

TEST_F(MainWindowTest, TheMemoryPageOfTheBoardsMemoryTypeIsTheOneAccepted)
{
    ASSERT_TRUE(Open());
    EXPECT_TRUE(dynamic_cast<QDDR2MC*>(window->GetWidget(kPerformance, QStringLiteral("Memory"))));
    TearDown();
    SetUp();

    test::LoadBoardOver(Variant("qvx-ddr"));
    ASSERT_TRUE(Open());
    EXPECT_TRUE(dynamic_cast<QDDRMC*>(window->GetWidget(kPerformance, QStringLiteral("Memory"))));
    EXPECT_TRUE(test::LogContains("Page Memory initialization failed."));
}

TEST_F(MainWindowTest, AMemoryClockAppliedOnTheMemoryPageShowsOnBoardStatus)
{
    test::LoadBoardOver(Variant("qvx-ddr3-external"));
    ASSERT_TRUE(Open(kTable));
    IQVXWidget* status = window->GetWidget(kStatus, QStringLiteral("Board Status"));
    IQVXWidget* memory = window->GetWidget(kPerformance, QStringLiteral("Memory"));
    ASSERT_TRUE(status && memory);
    window->show();
    ASSERT_TRUE(window->ShowWidget(kStatus, QStringLiteral("Board Status")));
    Tick(status);
    auto* lcd = status->findChild<QLCDNumber*>(QStringLiteral("MemFreqNum"));
    ASSERT_TRUE(lcd);
    EXPECT_EQ(LcdText(lcd), "666.67");

    auto* box = memory->findChild<QComboBox*>(QStringLiteral("MemClkBox"));
    ASSERT_TRUE(box && box->isEnabled());
    box->setCurrentIndex(box->findText(QStringLiteral("800 MHz")));
    EXPECT_TRUE(g_bModified);
    window->Apply();
    EXPECT_FALSE(g_bModified);
    Tick(status);
    EXPECT_EQ(LcdText(lcd), "800.00");
    // The modules run at the new clock too, as the information pages read them.
    auto* module = QvxGetDevice<IMemoryModuleDevice>(dtMemory, 0);
    ASSERT_TRUE(module);
    EXPECT_EQ(module->GetBusFrequency(), 800);
    window->hide();
}

TEST_F(MainWindowTest, ARefusedMemoryWriteIsReportedByTheWindow)
{
    ASSERT_TRUE(Open(kTable));
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
                test::LoadBoardOver(Variant(b.variant));
            ASSERT_TRUE(Open(kTable));
            SavePageScreenshot(kPerformance, QStringLiteral("Memory"), QLatin1String(b.stem));
            window->hide();
        });
    }
}
