#include "FirmwareFixture.h"
#include "support/LogCapture.h"

#include <QJsonArray>

#include <cmath>
#include <limits>

#include "Engine/Engine.h"

namespace {

class VykBIOSHandlerTest : public test::FirmwareTest {
protected:
    void SetUp() override
    {
        FirmwareTest::SetUp();
        Connect();
    }
    static CVykBIOSHandler& Handler() { return CVykBIOSHandler::GetHandler(); }
};

TEST_F(VykBIOSHandlerTest, InitSendsTheVidAndAnyStatusCountsAsAvailable)
{
    LoadFirmware({{"initStatus", 3}});
    ASSERT_TRUE(Handler().Init());
    EXPECT_TRUE(Handler().IsAvailable());
    const std::string x = "firmware: BiosRequest x=[" + std::to_string(g_GetVID()) + ",0,0,0,0,0,0,0,0]";
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains(x));
    EXPECT_FALSE(Handler().UnInit());            // non-zero status

    SetFault("vyk-acpi-empty:Init");
    EXPECT_FALSE(Handler().Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(varOut.vt != VT_EMPTY)"));
    EXPECT_FALSE(Handler().IsAvailable());
}

TEST_F(VykBIOSHandlerTest, Values)
{
    EXPECT_EQ(Handler().GetValue(1), 1325.0);
    EXPECT_EQ(Handler().GetValue(99), 0.0);      // firmware status 1: no line
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
    SetFault("vyk-acpi-fail:GetValue");
    EXPECT_EQ(Handler().GetValue(1), 0.0);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
    vb::Machine::Instance().GetFaults().Clear();

    struct Case {
        double value;
        bool ok;
        const char* sent;
    };
    const Case cases[] = {
        {2.9, true, "value=2"},
        {-2.9, true, "value=-2"},
        {2147483647.9, true, "value=2147483647"},
        {2147483648.0, false, nullptr},
        {-2147483649.0, false, nullptr},
        {std::numeric_limits<double>::quiet_NaN(), false, nullptr},
    };
    for (const Case& c : cases) {
        vb::Machine::Instance().GetJournal().Clear();
        EXPECT_EQ(Handler().SetValue(2, c.value), c.ok) << c.value;
        if (c.sent)
            EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains(std::string("SetValue id=2 ") + c.sent)) << c.value;
        else
            EXPECT_EQ(Firmware().CallCount(QStringLiteral("SetValue")), 3) << c.value;
    }
    EXPECT_EQ(Handler().GetValue(2), 2147483647.0);
    EXPECT_FALSE(Handler().SetValue(99, 1.0));  // unknown id: status 1
}

TEST_F(VykBIOSHandlerTest, InfoIsCappedAtTheCallersRoom)
{
    unsigned values[VYK_INFO_MAX_COUNT + 4];
    std::fill(std::begin(values), std::end(values), 0xEEEEEEEEu);
    ASSERT_TRUE(Handler().GetInfo(1, values));
    EXPECT_EQ(values[0], 1u);
    EXPECT_EQ(values[3], 4u);
    EXPECT_EQ(values[4], 0xEEEEEEEEu);

    SetFault("vyk-acpi-long:GetInfo");           // 64 words
    ASSERT_TRUE(Handler().GetInfo(1, values));
    EXPECT_EQ(values[VYK_INFO_MAX_COUNT], 0xEEEEEEEEu);
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(psa->Count() <= capacity)"));
    unsigned two[2], count = 0;
    ASSERT_TRUE(Handler().GetInfo(1, two, 2, &count));
    EXPECT_EQ(count, 2u);

    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-short:GetInfo");          // no words at all
    EXPECT_FALSE(Handler().GetInfo(1, values));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(psa->pvData)"));
    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-empty:GetInfo");
    EXPECT_FALSE(Handler().GetInfo(1, values));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(psa)"));
}

TEST_F(VykBIOSHandlerTest, DValues)
{
    int count = -1;
    ASSERT_TRUE(Handler().GetDValues(1, nullptr, count));
    EXPECT_EQ(count, 4);
    double values[4] = {};
    count = 3;
    EXPECT_FALSE(Handler().GetDValues(1, values, count));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(count >= iCount)"));
    EXPECT_EQ(count, 3);
    count = 4;
    ASSERT_TRUE(Handler().GetDValues(1, values, count));
    EXPECT_EQ(values[0], 45.0);
    EXPECT_EQ(values[3], 1800.0);

    // A buffer shorter than the announced length is not read past its end.
    SetFault("vyk-acpi-short:GetDValues");
    count = 4;
    EXPECT_FALSE(Handler().GetDValues(1, values, count));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(psa->Count() >= iCount)"));
}

TEST_F(VykBIOSHandlerTest, ObjectIdsAreClampedToTheRecord)
{
    _OIDPackage package{};
    ASSERT_TRUE(Handler().GetObjectID(package));
    ASSERT_EQ(package.length, 3);
    EXPECT_EQ(package.ID[2], 16u);
    EXPECT_EQ(package.property[2], 5u);
    EXPECT_EQ(std::u16string(package.IDstring[0]), u"CPU Temperature");

    struct Case {
        const char* fault;
        uint8_t length;
    };
    for (const Case& c : {Case{"vyk-acpi-long:GetObjectID", 9}, Case{"vyk-acpi-short:GetObjectID", 1}}) {
        vb::Machine::Instance().GetFaults().Clear();
        SetFault(c.fault);
        package = {};
        ASSERT_TRUE(Handler().GetObjectID(package)) << c.fault;
        EXPECT_EQ(package.length, c.length) << c.fault;
    }
    EXPECT_EQ(std::char_traits<char16_t>::length(package.IDstring[0]), 15u);

    // Long names are cut to 63 characters and terminated.
    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-long:GetObjectID");
    package = {};
    ASSERT_TRUE(Handler().GetObjectID(package));
    EXPECT_EQ(std::char_traits<char16_t>::length(package.IDstring[8]), 63u);

    // Without "ID" the property words of the entries are 1.
    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-no-id");
    SetFault("vyk-acpi-long:GetObjectID");
    package = {};
    ASSERT_TRUE(Handler().GetObjectID(package));
    EXPECT_EQ(package.length, 9);
    for (unsigned i = 0; i < 9; ++i)
        EXPECT_EQ(package.property[i], 1u);
}

TEST_F(VykBIOSHandlerTest, FunctionIdListIsReadOnItsOwnConnection)
{
    const int com = plat::WmiComInitCount();
    ASSERT_TRUE(Handler().InitFuncIDList());
    ASSERT_TRUE(Handler().GetFuncIDList());
    EXPECT_EQ(Handler().GetFuncIDList()[0], 256u);
    EXPECT_EQ(Handler().GetFuncIDList()[53], 309u);
    EXPECT_EQ(plat::WmiComInitCount(), com);

    SetFault("vyk-acpi-short:GetObjectID");      // only 10 ids: the rest are 0
    ASSERT_TRUE(Handler().InitFuncIDList());
    EXPECT_EQ(Handler().GetFuncIDList()[9], 265u);
    EXPECT_EQ(Handler().GetFuncIDList()[10], 0u);

    vb::Machine::Instance().GetFaults().Clear();
    LoadFirmware({{"instances", 0}});
    EXPECT_FALSE(Handler().InitFuncIDList());
    EXPECT_TRUE(test::LogContains("LOG_COM_PROCESS_ERROR(hRetCode)"));
    EXPECT_EQ(plat::WmiComInitCount(), com);
}

TEST_F(VykBIOSHandlerTest, ThermalZonesAndFanTables)
{
    _ZONE_INFO zone{};
    ASSERT_TRUE(Handler().GetZoneInfo(zone));
    EXPECT_EQ(zone.ZoneStatus, 1);
    EXPECT_EQ(zone.ThermBufSize, 30);
    EXPECT_EQ(zone.Zone1Mode, 1);
    zone.Zone2Mode = 2;
    ASSERT_TRUE(Handler().SetZoneInfo(zone));
    _ZONE_INFO back{};
    ASSERT_TRUE(Handler().GetZoneInfo(back));
    EXPECT_EQ(back.Zone2Mode, 2);

    _THERM_INFO therm{};
    therm.TblVer = 7;
    therm.TCRT = 95;
    ASSERT_TRUE(Handler().GetThermInfo(1, 0, therm));
    EXPECT_EQ(therm.CurTemp, 38);
    EXPECT_EQ(therm.CurFanSpd, 1800);
    EXPECT_EQ(therm.TblVer, 7);                  // the caller's fields stay
    EXPECT_EQ(therm.TCRT, 95);
    EXPECT_FALSE(Handler().GetThermInfo(5, 0, therm));

    therm.ZoneNum = 1;
    therm.CurFanSpd = 0x1234;
    therm.TSP = 600;
    therm.PWM7 = 200;
    ASSERT_TRUE(Handler().SetThermInfo(therm));
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains(
        "SetThermInfo pack=ThermInfoPackage{ZoneNum=UI1:1,TblVer=UI1:7,ThermMode=UI1:0,CurTemp=UI1:38,CurPWM=UI1:0,"
        "CurFanSpd=UI2:4660,TCRT=UI1:95,TPSV=UI1:0,TC1=UI1:0,TC2=UI1:0,TSP=UI2:600,TAC0=UI1:0,PWM0=UI1:0"));
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("TAC7=UI1:0,PWM7=UI1:200}"));

    DisconnectAll();
    EXPECT_FALSE(Handler().GetZoneInfo(zone));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_pIWbemServices) at line"));
}

} // namespace
