#include "FirmwareFixture.h"
#include "support/LogCapture.h"

#include "Engine/BIOSMiscInfo.h"
#include "Engine/Engine.h"
#include "Engine/VykBIOS.h"
#include "Platform/Wmi.h"

namespace {

using test::FirmwareTest;

TEST_F(FirmwareTest, EngineStartsOnTheDefaultBoardAndStopsCleanly)
{
    const int com = plat::WmiComInitCount();
    ASSERT_TRUE(g_InitEngine());
    EXPECT_TRUE(test::LogContains("Engine library initialized successfully."));
    EXPECT_TRUE(g_CIMHandler.IsConnected());
    EXPECT_TRUE(g_WMIHandler.IsConnected());
    EXPECT_TRUE(CVykBIOSHandler::m_Self.GetWmiHandler().IsConnected());
    EXPECT_TRUE(g_VykBIOS.IsValidCommand(0x30002));
    EXPECT_EQ(g_CMOSItemList.GetItemCount(), 6);
    EXPECT_STREQ(g_BIOSMiscInfo.GetVendorName(), "Vyk Velocrest Firmware Inc.");
    EXPECT_FALSE(g_BIOSMiscInfo.GetEngineClockOverride());
    EXPECT_TRUE(CVykBIOSHandler::m_Self.IsAvailable());
    EXPECT_EQ(plat::WmiComInitCount(), com + 3);

    EXPECT_TRUE(g_UnInitEngine());
    EXPECT_EQ(g_CMOSItemList.GetItemCount(), 0);
    EXPECT_FALSE(g_CIMHandler.IsConnected());
    EXPECT_FALSE(g_WMIHandler.IsConnected());
    EXPECT_FALSE(CVykBIOSHandler::m_Self.GetWmiHandler().IsConnected());
    EXPECT_EQ(plat::WmiComInitCount(), com);
}

TEST_F(FirmwareTest, AFailedConnectionStopsTheStartAndClosesWhatWasOpened)
{
    struct Case {
        const char* name;
        void (*arrange)();
    };
    const Case cases[] = {
        {"first connection", [] { vb::Machine::Instance().GetFaults().Set("wmi-connect:root\\cimv2"); }},
        {"second connection", [] { vb::Machine::Instance().GetFaults().Set("wmi-connect:root\\wmi"); }},
        // The thermal handler already connected: its Connect refuses a second one.
        {"third connection", [] { ASSERT_TRUE(CVykBIOSHandler::m_Self.GetWmiHandler().Connect(u"root\\wmi")); }},
    };
    for (const Case& c : cases) {
        vb::Machine::Instance().LoadDefault();
        test::LogCapture::Instance().Clear();
        const int com = plat::WmiComInitCount();
        c.arrange();
        EXPECT_FALSE(g_InitEngine()) << c.name;
        EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(bRetCode)"), 1u) << c.name;
        EXPECT_TRUE(test::LogContains("in g_InitEngine")) << c.name;
        EXPECT_FALSE(test::LogContains("initialized successfully")) << c.name;
        EXPECT_FALSE(g_CIMHandler.IsConnected()) << c.name;
        EXPECT_FALSE(g_WMIHandler.IsConnected()) << c.name;
        EXPECT_FALSE(CVykBIOSHandler::m_Self.GetWmiHandler().IsConnected()) << c.name;
        EXPECT_EQ(plat::WmiComInitCount(), com) << c.name;
        EXPECT_EQ(vb::Machine::Instance().Get<vb::VykAcpi>().CallCount(QStringLiteral("QueryVersion")), 0) << c.name;
    }
}

TEST_F(FirmwareTest, MissingFirmwareClassIsOnlyLogged)
{
    SetFault("vyk-acpi-absent");
    ASSERT_TRUE(g_InitEngine());
    EXPECT_TRUE(test::LogContains("Engine library initialized successfully."));
    // Steps 5 to 8 each leave one check line.
    size_t stepLines = 0;
    for (const std::string& line : test::LogCapture::Instance().Lines())
        stepLines += line.find("LOG_CHECK_ERROR(bRetCode)") != std::string::npos &&
                     line.find(" in g_InitEngine\n") != std::string::npos;
    EXPECT_EQ(stepLines, 4u);
    EXPECT_FALSE(CVykBIOSHandler::m_Self.IsAvailable());
    EXPECT_EQ(g_CMOSItemList.GetItemCount(), 0);
    g_UnInitEngine();
}

} // namespace
