#include "FirmwareFixture.h"
#include "support/LogCapture.h"

#include <QJsonArray>

#include <cstring>

#include "Engine/BIOSMiscInfo.h"

namespace {

class CMOSItemListTest : public test::FirmwareTest {
protected:
    void SetUp() override
    {
        FirmwareTest::SetUp();
        Connect();
    }
    static int Commands() { return Firmware().CallCount(QStringLiteral("RunCMD")); }
};

TEST_F(CMOSItemListTest, DefaultBoardHasTheSixCalibrationItems)
{
    ASSERT_TRUE(g_CMOSItemList.Init());
    ASSERT_EQ(g_CMOSItemList.GetItemCount(), 6);
    const char* names[] = {"Tidewell Clock Calibration", "Value (All Cores)", "Value (Core 0)",
                           "Value (Core 1)", "Value (Core 2)", "Value (Core 3)"};
    for (uint16_t i = 0; i < 6; ++i)
        EXPECT_EQ(g_CMOSItemList.FindItem(names[i]), i) << names[i];

    const ABR_CMOS_GET_ITEM_INFO* mode = g_CMOSItemList.GetItemInfo(0);
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->uStatus, 0u);
    EXPECT_STREQ(mode->szName, "Tidewell Clock Calibration");
    EXPECT_EQ(mode->ucRuleCount, 5);
    EXPECT_EQ(mode->Rules[0][0], 130);
    EXPECT_EQ(mode->Rules[4][2], 6);
    ASSERT_EQ(mode->ucOptionCount, 4);
    EXPECT_STREQ(mode->szOptions[2], "All Cores");
    EXPECT_STREQ(mode->szOptions[3], "Per Core");
    EXPECT_EQ(mode->szOptions[4][0], '\0');
    EXPECT_EQ(g_CMOSItemList.GetItemInfo(1)->ucOptionCount, 7);
    EXPECT_EQ(g_CMOSItemList.GetItemInfo(6), nullptr);
    EXPECT_EQ(g_CMOSItemList.GetItemValue(0), 1);
}

TEST_F(CMOSItemListTest, FindItemComparesThirtyTwoCharacters)
{
    const QString full = QString(32, QLatin1Char('F'));
    LoadFirmware({{"cmosItems", QJsonArray{
        QJsonObject{{"name", "Alpha"}, {"options", QJsonArray{"a", "RESERVED", "c"}}},
        QJsonObject{{"name", "Alpha"}, {"options", QJsonArray{"x"}}},
        QJsonObject{{"name", full + "tail"}, {"options", QJsonArray{"x"}}},
    }}});
    EXPECT_EQ(g_CMOSItemList.FindItem("Alpha"), 0xFFFF);          // empty list
    ASSERT_TRUE(g_CMOSItemList.Init());
    EXPECT_STREQ(g_CMOSItemList.GetItemInfo(0)->szOptions[1], "RESERVED");
    const struct {
        const char* name;
        uint16_t index;
    } cases[] = {
        {"Alpha", 0}, {"Beta", 0xFFFF}, {"", 0xFFFF}, {nullptr, 0xFFFF}, {"Alph", 0xFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(g_CMOSItemList.FindItem(c.name), c.index) << (c.name ? c.name : "null");
    EXPECT_EQ(g_CMOSItemList.FindItem(full.toLatin1().constData()), 2);
    EXPECT_EQ(std::memchr(g_CMOSItemList.GetItemInfo(2)->szName, 0, 32), nullptr);
}

TEST_F(CMOSItemListTest, ValuesGoToTheFirmwareAndSurviveARestart)
{
    ASSERT_TRUE(g_CMOSItemList.Init());
    const int before = Commands();
    for (int bad : {256, -1}) {
        EXPECT_FALSE(g_CMOSItemList.SetItemValue(0, bad));
        EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(nNewValue >= 0 && nNewValue < 256)"));
    }
    EXPECT_FALSE(g_CMOSItemList.SetItemValue(6, 1));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(usItemIndex < m_ItemList.size())"));
    EXPECT_EQ(Commands(), before);

    EXPECT_FALSE(g_CMOSItemList.SetItemValue(0, 4));            // no fifth option
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uRetCode == briSuccess)"));
    ASSERT_TRUE(g_CMOSItemList.SetItemValue(0, 3));
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("firmware: CMOS item 1 = 3"));
    EXPECT_EQ(g_CMOSItemList.GetItemValue(0), 3);
    EXPECT_EQ(Firmware().CmosValue(1), 3);

    // Past the list the firmware still answers (here: with a failure).
    const int asked = Commands();
    EXPECT_EQ(g_CMOSItemList.GetItemValue(6), -1);
    EXPECT_EQ(Commands(), asked + 1);

    // The next start reads what was written; the rest of the board starts afresh.
    vb::Machine::Instance().LoadDefault();
    DisconnectAll();
    Connect();
    ASSERT_TRUE(g_CMOSItemList.Init());
    EXPECT_EQ(g_CMOSItemList.GetItemValue(0), 3);
    EXPECT_EQ(g_CMOSItemList.GetItemValue(1), 0);
}

TEST_F(CMOSItemListTest, FailurePartWayKeepsOnlyWholeItems)
{
    SetFault("bios-command-fail:0x30002:3");
    EXPECT_FALSE(g_CMOSItemList.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uRetCode == briSuccess)"));
    EXPECT_EQ(g_CMOSItemList.GetItemCount(), 2);
    EXPECT_EQ(g_CMOSItemList.FindItem(""), 0xFFFF);
    EXPECT_EQ(g_CMOSItemList.GetItemInfo(2), nullptr);

    vb::Machine::Instance().GetFaults().Clear();
    SetFault("bios-command-fail:0x30001");
    EXPECT_FALSE(g_CMOSItemList.Init());
    EXPECT_EQ(g_CMOSItemList.GetItemCount(), 2);                // a failed count leaves the list
    EXPECT_TRUE(g_CMOSItemList.UnInit());
    EXPECT_EQ(g_CMOSItemList.GetItemCount(), 0);
}

TEST_F(CMOSItemListTest, BiosInformation)
{
    CBIOSMiscInfo info;
    ASSERT_TRUE(info.Init());
    EXPECT_STREQ(info.GetVendorName(), "Vyk Velocrest Firmware Inc.");
    EXPECT_EQ(info.GetIGPMode(), 1);
    EXPECT_FALSE(info.GetEngineClockOverride());

    struct Case {
        const char* name;
        QJsonObject board;
        const char* fault;
        const char* vendor;
        int mode;
        bool override;
    };
    const std::string longName(64, 'V');
    const Case cases[] = {
        {"vendor fails", {}, "bios-command-fail:0x40001", "", -1, false},
        {"IGP fails", {}, "bios-command-fail:0x40002", "Vyk Velocrest Firmware Inc.", -1, false},
        {"mode 0xFF, override 2", {{"igpMode", -1}, {"engineClockOverride", 2}}, nullptr, "Vyk Velocrest Firmware Inc.", -1, false},
        {"64-character vendor", {{"vendor", QString::fromStdString(longName + "tail")}}, nullptr, longName.c_str(), 1, false},
        {"override 1", {{"engineClockOverride", 1}}, nullptr, "Vyk Velocrest Firmware Inc.", 1, true},
    };
    for (const Case& c : cases) {
        vb::Machine::Instance().LoadDefault();
        LoadFirmware(c.board);
        if (c.fault)
            SetFault(c.fault);
        CBIOSMiscInfo fresh;
        EXPECT_EQ(fresh.Init(), c.fault == nullptr) << c.name;
        EXPECT_STREQ(fresh.GetVendorName(), c.vendor) << c.name;
        EXPECT_EQ(fresh.GetIGPMode(), c.mode) << c.name;
        EXPECT_EQ(fresh.GetEngineClockOverride(), c.override) << c.name;
    }
}

} // namespace
