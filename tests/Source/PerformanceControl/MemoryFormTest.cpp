// The two Memory forms: every box and label in its grid cell with its text, the
// boxes that start disabled, their widths, and row 8 of the DDR2/DDR3 form after
// the page removed the pair its controller does not have.
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "PerformanceControl/DDR2MC.h"
#include "PerformanceControl/DDRMC.h"
#include "Source/PerformanceControl/MemoryFixture.h"

namespace {

struct Cell {
    int row, column;
    const char* label;
    const char* text;
    const char* box;
};

const Cell kDDR2Grid[] = {
    {0, 0, "label_17", "CAS Latency", "TclBox"},
    {0, 2, "label_26", "Write to Write Timing", "TwrwrBox"},
    {0, 4, "label_41", "Refresh Rate", "TrefBox"},
    {1, 0, "label_22", "RAS to CAS Delay", "TrcdBox"},
    {1, 2, "label_27", "Read to Read Timing", "TrdrdBox"},
    {1, 4, "label_25", "Idle Cycle Limit", "ILD_lmtBox"},
    {2, 0, "label_37", "RAS Active Time", "TrasBox"},
    {2, 2, "label_39", "Write-to-Read Delay", "TwtrBox"},
    {2, 4, "label_19", "RAS-to-RAS Delay", "TrrdBox"},
    {3, 0, "label_20", "Row Precharge Time", "TrpBox"},
    {3, 2, "label_38", "Write Recovery Time", "TwrBox"},
    {3, 4, "label_48", "Command Rate", "En2TBox"},
    {4, 0, "label_18", "Row Cycle Time", "TrcBox"},
    {4, 2, "label_23", "Read CAS to Precharge Time", "TrtpBox"},
    {4, 4, "label_42", "DcqBypassMax", "DcqBypassMaxBox"},
    {5, 0, "label_24", "Band Swizzle Mode", "BankSwizzleModeBox"},
    {5, 2, "label_47", "Power Down Mode Enable", "PowerDownEnBox"},
    {5, 4, "label_28", "DCC Enable", "DCC_ENBox"},
    {6, 0, "label_46", "W to R DIMM Term.", "TwrrdBox"},
    {6, 2, "label_59", "DRAM Drivers Weak Mode", "D_DRV_WeakBox"},
    {6, 4, "label_58", "DRAM Termination", "DramTermBox"},
    {7, 0, "label_29", "R-to-W DQS Cont.", "TrwtTOBox"},
    {7, 2, "label_49", "4 Bank Act. Window", "FourActWindowBox"},
    {7, 4, "label_45", "Memory Clock", "MemClkBox"},
    {8, 0, "GangedModeLabel", "Ganged Mode", "GangedModeBox"},
    {8, 2, "MaxAsyncLatLabel", "MaxAsyncLat", "MaxAsyncLatBox"},
    {10, 0, "label_52", "CKE Drive Strength A", "CkeDrvStrengthBox"},
    {10, 2, "label_65", "CKE Drive Strength B", "CkeDrvStrengthBox_2"},
    {10, 4, "label_51", "DQS RecEnDelay A0", "DqsRcvEnDelayABox"},
    {11, 0, "label_53", "CS/ODT Drive Strength A", "CsOdtDrvStrengthBox"},
    {11, 2, "label_62", "CS/ODT Drive Strength B", "CsOdtDrvStrengthBox_2"},
    {11, 4, "label_67", "DQS RecEnDelay A1", "DqsRcvEnDelayABox_2"},
    {12, 0, "label_54", "Addr/CMD Drive Strength A", "AddrCmdDrvStrenBox"},
    {12, 2, "label_64", "Addr/CMD Drive Strength B", "AddrCmdDrvStrenBox_2"},
    {12, 4, "label_68", "DQS RecEnDelay A2", "DqsRcvEnDelayABox_3"},
    {13, 0, "label_55", "MemClk Drive Strength A", "ClkDrvStrenBox"},
    {13, 2, "label_60", "MemClk Drive Strength B", "ClkDrvStrenBox_2"},
    {13, 4, "label_69", "DQS RecEnDelay A3", "DqsRcvEnDelayABox_4"},
    {14, 0, "label_56", "Data Drive Strength A", "DataDrvStrenBox"},
    {14, 2, "label_63", "Data Drive Strength B", "DataDrvStrenBox_2"},
    {14, 4, "label_70", "DQS RecEnDelay B0", "DqsRcvEnDelayBBox"},
    {15, 0, "label_43", "DQS Drive Strength A", "DqsDrvStrenBox"},
    {15, 2, "label_44", "DQS Drive Strength B", "DqsDrvStrenBox_2"},
    {15, 4, "label_71", "DQS RecEnDelay B1", "DqsRcvEnDelayBBox_2"},
    {16, 0, "label_57", "Processor On-die Term A", "ProcOdtBox"},
    {16, 2, "label_66", "Processor On-die Term B", "ProcOdtBox_2"},
    {16, 4, "label_72", "DQS RecEnDelay B2", "DqsRcvEnDelayBBox_3"},
    {17, 0, "label_21", "Row Refresh Cycle Time 0", "TrfcBox"},
    {17, 2, "label_31", "Row Refresh Cycle Time 1", "TrfcBox_2"},
    {17, 4, "label_73", "DQS RecEnDelay B3", "DqsRcvEnDelayBBox_4"},
    {18, 0, "label_30", "Row Refresh Cycle Time 2", "TrfcBox_3"},
    {18, 2, "label_32", "Row Refresh Cycle Time 3", "TrfcBox_4"},
};

const Cell kDDRGrid[] = {
    {0, 0, "label_17", "CAS Latency", "TclBox"},          {0, 2, "label_41", "Refresh Rate", "TrefBox"},
    {1, 0, "label_18", "Row Cycle Time", "TrcBox"},       {1, 2, "label_27", "Write CAS Latency", "TwclBox"},
    {2, 0, "label_21", "Row Refresh Cycle Time", "TrfcBox"}, {2, 2, "label_61", "MaxAsyncLat", "MaxAsyncLatBox"},
    {3, 0, "label_22", "RAS to CAS Delay", "TrcdBox"},    {3, 2, "label_26", "Read Preamble", "RdPreambleBox"},
    {4, 0, "label_19", "RAS-to-RAS Delay", "TrrdBox"},    {4, 2, "label_59", "DRAM Drivers Weak Mode", "D_DRV_WeakBox"},
    {5, 0, "label_37", "RAS Active Time", "TrasBox"},     {5, 2, "label_42", "DcqBypassMax", "DcqBypassMaxBox"},
    {6, 0, "label_20", "Row Precharge Time", "TrpBox"},   {6, 2, "label_48", "Enable 2T Timing", "En2TBox"},
    {7, 0, "label_38", "Write Recovery Time", "TwrBox"},  {7, 2, "label_28", "DCC Enable", "DCC_ENBox"},
    {8, 0, "label_39", "Write-to-Read Delay", "TwtrBox"}, {8, 2, "label_25", "Idle Cycle Limit", "ILD_lmtBox"},
    {9, 0, "label_40", "Read-to-Write Delay", "TrwtBox"}, {9, 2, "label_45", "Memory Clock", "MemClkBox"},
};

QWidget* At(QGridLayout* grid, int row, int column)
{
    QLayoutItem* item = grid->itemAtPosition(row, column);
    return item ? item->widget() : nullptr;
}

// Each cell's label and box, and that the grid holds nothing else.
template <size_t N>
void ExpectGrid(QWidget* page, const Cell (&cells)[N], int extraItems)
{
    auto* group = page->findChild<QGroupBox*>(QStringLiteral("MemTimingBox"));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->title(), "Memory Timings && Configuration");
    auto* grid = qobject_cast<QGridLayout*>(group->layout());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->objectName(), "gridLayout1");
    for (const Cell& c : cells) {
        SCOPED_TRACE(c.box);
        auto* label = qobject_cast<QLabel*>(At(grid, c.row, c.column));
        auto* box = qobject_cast<QComboBox*>(At(grid, c.row, c.column + 1));
        ASSERT_TRUE(label && box);
        EXPECT_EQ(label->objectName(), c.label);
        EXPECT_EQ(label->text(), c.text);
        EXPECT_EQ(box->objectName(), c.box);
        EXPECT_EQ(box->count(), 0);
        EXPECT_FALSE(box->isEditable());
        EXPECT_TRUE(box->whatsThis().endsWith(' '));
    }
    EXPECT_EQ(grid->count(), static_cast<int>(2 * N) + extraItems);
}

} // namespace

TEST(MemoryForms, DDR2FormHasEveryPairInItsCell)
{
    QDDR2MC page;
    EXPECT_EQ(page.objectName(), "DDR2MCClass");
    EXPECT_EQ(page.windowTitle(), "DDR2MC");
    EXPECT_EQ(page.size(), QSize(842, 517));
    ExpectGrid(&page, kDDR2Grid, 1);

    const Ui::DDR2MCClass& ui = page.Form();
    EXPECT_EQ(ui.gridLayout1->horizontalSpacing(), 8);
    EXPECT_EQ(ui.gridLayout1->verticalSpacing(), 4);
    EXPECT_EQ(ui.gridLayout1->contentsMargins(), QMargins(8, 4, 8, 4));
    EXPECT_EQ(ui.gridLayout->contentsMargins(), QMargins(4, 4, 4, 4));
    EXPECT_EQ(ui.gridLayout1->itemAtPosition(9, 0)->widget(), ui.line);
    int row, column, rowSpan, columnSpan;
    ui.gridLayout1->getItemPosition(ui.gridLayout1->indexOf(ui.line), &row, &column, &rowSpan, &columnSpan);
    EXPECT_EQ(columnSpan, 6);
    EXPECT_EQ(ui.line->frameShape(), QFrame::HLine);

    for (QComboBox* box : page.findChildren<QComboBox*>()) {
        SCOPED_TRACE(box->objectName().toStdString());
        const bool startsDisabled = box == ui.TclBox || box == ui.BankSwizzleModeBox || box == ui.GangedModeBox;
        EXPECT_EQ(box->isEnabled(), !startsDisabled);
        EXPECT_EQ(box->minimumWidth(), box == ui.GangedModeBox ? 0 : 100);
    }
    EXPECT_EQ(ui.label_23->sizePolicy().horizontalPolicy(), QSizePolicy::MinimumExpanding);
    EXPECT_EQ(ui.label_17->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    EXPECT_EQ(ui.label_17->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    // The help texts keep their blanks: they are what the translations are found by.
    EXPECT_TRUE(ui.TrrdBox->whatsThis().endsWith(QLatin1String("banks  ")));
    EXPECT_TRUE(ui.DCC_ENBox->whatsThis().endsWith(QLatin1String("traffic  ")));
}

TEST(MemoryForms, DDRFormHasTwentyPairsOfLimitedWidth)
{
    QDDRMC page;
    EXPECT_EQ(page.objectName(), "DDRMCClass");
    EXPECT_EQ(page.windowTitle(), "DDRMC");
    EXPECT_EQ(page.size(), QSize(765, 305));
    ExpectGrid(&page, kDDRGrid, 0);
    for (QComboBox* box : page.findChildren<QComboBox*>()) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_EQ(box->isEnabled(), box->objectName() != "TclBox");
        EXPECT_EQ(box->minimumWidth(), 100);
        EXPECT_EQ(box->maximumWidth(), 160);
    }
    EXPECT_EQ(page.Form().gridLayout1->spacing(), 6);
    EXPECT_EQ(page.Form().gridLayout1->contentsMargins(), QMargins(9, 9, 9, 9));
}

namespace {
class DDR2FormRowTest : public test::MemoryPageTest<QDDR2MC> {};
} // namespace

TEST_F(DDR2FormRowTest, RowEightKeepsThePairTheControllerHas)
{
    // The internal controller: no asynchronous latency; another controller: no ganged mode.
    const struct { const char* variant; int column; const char* label; } cases[] = {
        {nullptr, 0, "GangedModeLabel"},
        {"qvx-ddr3-external", 2, "MaxAsyncLatLabel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant ? c.variant : "default");
        if (c.variant)
            UseVariant(c.variant);
        Create();
        QGridLayout* grid = page->Form().gridLayout1;
        for (int column = 0; column < 6; ++column) {
            QWidget* w = At(grid, 8, column);
            const bool kept = column == c.column || column == c.column + 1;
            EXPECT_EQ(w != nullptr, kept) << column;
        }
        EXPECT_EQ(At(grid, 8, c.column)->objectName(), c.label);
        // Nothing else moved.
        EXPECT_EQ(At(grid, 10, 1)->objectName(), "CkeDrvStrengthBox");
        EXPECT_EQ(At(grid, 18, 3)->objectName(), "TrfcBox_4");
        page.reset();
    }
}
