// The HyperTransport link dialog: each link's column from its own record, the
// speeds in whole MHz, links that cannot be read keeping their column, and a
// processor multiplier of 0 that gives no reference clock.
#include "Diagram/HTLinkDialog.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::Board;
using test::DiagramTest;

namespace {

QStringList Column(HTLinkDialog& dialog, int k)
{
    QStringList texts;
    for (const char* row : {"Speed", "MaxSpeed", "WidthIn", "WidthOut", "MaxWidthIn", "MaxWidthOut", "Revision",
                            "CRCFlood", "Isochronous", "Tristate"})
        texts << dialog.findChild<QLabel*>(QStringLiteral("%1%2").arg(QLatin1String(row)).arg(k))->text();
    return texts;
}

void EditLinks(const std::function<void(std::vector<vb::HtLinkDef>&)>& change)
{
    auto lock = Board().Lock();
    change(Board().ht.links);
}

} // namespace

TEST_F(DiagramTest, HtLinkButtonOpensTheLinksOfTheBoard)
{
    Open();
    ASSERT_EQ(Title(dnHTLink), "HyperTransport(TM) Link");
    auto& dialog = dynamic_cast<HTLinkDialog&>(*g_DialogManager.Frame(dnHTLink)->Dialog());
    EXPECT_EQ(Column(dialog, 0), QStringList({"2000 MHz", "2000 MHz", "16 bits", "16 bits", "16 bits", "16 bits",
                                              "3.0", "Disabled", "Disabled", "Enabled"}));
    // Links 1 to 3 are present but not in use (a width of -1): no value of theirs is shown.
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(Column(dialog, k), QStringList(10, QString())) << k;
}

TEST_F(DiagramTest, HtLinkColumnsByTable)
{
    EditLinks([](std::vector<vb::HtLinkDef>& links) {
        links.resize(4);
        links[0] = {16, 16, 5, 5, 3, 0, false, true, false};
        links[1] = {8, 16, 5.003, 10, 1, 5, true, false, true};
        links[2] = {-1, 32, 0.5, 0, 2, 10, false, false, false};
        links[3] = vb::HtLinkDef{};
    });
    HTLinkDialog dialog;
    ASSERT_TRUE(dialog.Init());
    EXPECT_EQ(Column(dialog, 0), QStringList({"1000 MHz", "1000 MHz", "16 bits", "16 bits", "16 bits", "16 bits",
                                              "3.0", "Enabled", "Disabled", "Disabled"}));
    EXPECT_EQ(Column(dialog, 1), QStringList({"1001 MHz", "2000 MHz", "8 bits", "8 bits", "16 bits", "16 bits", "1.5",
                                              "Disabled", "Enabled", "Enabled"}));
    // Not in use: the record's other fields mean nothing, so nothing is shown.
    EXPECT_EQ(Column(dialog, 2), QStringList(10, QString()));
    EXPECT_EQ(Column(dialog, 3)[0], "2000 MHz");

    // Links that read no more keep their columns; a link taken out of use empties
    // its column; a show reads the others again.
    EditLinks([](std::vector<vb::HtLinkDef>& links) {
        links.resize(2);
        links[0].width = 8;
        links[1].width = -1;
    });
    dialog.show();
    EXPECT_EQ(Column(dialog, 0)[2], "8 bits");
    EXPECT_EQ(Column(dialog, 1), QStringList(10, QString()));
    EXPECT_EQ(Column(dialog, 3)[0], "2000 MHz");
    dialog.hide();

    // A processor multiplier of 0: no reference clock, so the speed shown stands.
    {
        auto lock = Board().Lock();
        Board().cpu.multiplier[0] = 0;
    }
    EditLinks([](std::vector<vb::HtLinkDef>& links) { links[0].multiplier = 7; });
    EXPECT_TRUE(dialog.Refresh());
    EXPECT_EQ(Column(dialog, 0)[0], "1000 MHz");
}

TEST_F(DiagramTest, HtLinkDialogWithoutReadableLinksIsStillOfferedEmpty)
{
    vb::Machine::Instance().GetFaults().Set("qvx:HT.GetLinkInfo");
    Open();
    ASSERT_EQ(Title(dnHTLink), "HyperTransport(TM) Link");
    auto& dialog = dynamic_cast<HTLinkDialog&>(*g_DialogManager.Frame(dnHTLink)->Dialog());
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Column(dialog, k).join(QString()), "") << k;

    // Only link 0 present on the board: the other three columns stay empty.
    vb::Machine::Instance().GetFaults().Set("qvx:HT.GetLinkInfo", false);
    EditLinks([](std::vector<vb::HtLinkDef>& links) { links.resize(1); });
    EXPECT_TRUE(dialog.Refresh());
    EXPECT_EQ(Column(dialog, 0)[6], "3.0");
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(Column(dialog, k).join(QString()), "") << k;
}
