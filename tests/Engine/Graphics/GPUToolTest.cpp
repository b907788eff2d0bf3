// The graphics clock tool on the simulated board: detection, the video BIOS copy,
// clocks through the chip's command tables, the clock counter, the register window.
#include <gtest/gtest.h>

#include "Engine/Engine.h"
#include "GpuTestSupport.h"
#include "support/LogCapture.h"

extern BASEADDRTYPE RegisterBaseAddress;

namespace {

using gputest::EditGraphics;
using gputest::GpuTest;

class GPUTool : public GpuTest {};

QJsonObject DisplayChip(const char* at, const char* device, QJsonArray bars)
{
    return QJsonObject{{"at", at}, {"vendor", "0x1002"}, {"device", device}, {"class", "0x030000"},
                       {"bars", bars}, {"subsystem", "0x12341002"}};
}

TEST_F(GPUTool, FindsTheIntegratedChipAndItsVideoBios)
{
    Start();
    CGPUTool* tool = CGPUTool::GetInstance();
    ASSERT_NE(tool, nullptr);
    ASSERT_NE(CGPUTool::m_pDeviceData, nullptr);
    EXPECT_STREQ(CGPUTool::m_pDeviceData->szDescription, "VendorID: 0x1002 DeviceID: 0x9610 SubsystemID: 0x9610 (BN:1, DN:5)");
    EXPECT_EQ(CGPUTool::m_pDeviceData->usDeviceID, 0x9610);
    EXPECT_TRUE(CGPUTool::m_pDeviceData->bVideoBiosValid);
    EXPECT_EQ(tool->ReferenceClock(), 2700u);
    EXPECT_EQ(RegisterBaseAddress.Value(), 0xFEBF0000u);
    EXPECT_EQ(CGPUTool::GetInstance(), tool);
}

TEST_F(GPUTool, DetectionOverBoardVariants)
{
    struct Case {
        const char* name;
        std::function<void(QJsonObject&)> edit;
        const char* description;       // null: no chip
        uint64_t registerBase;
        bool imageValid;
    };
    const Case cases[] = {
        {"lower device on the same bus wins",
         [](QJsonObject& b) { drvtest::AddPciFunction(b, DisplayChip("01:03.0", "0x9612", {0, 0, "0xFE000000"})); },
         "VendorID: 0x1002 DeviceID: 0x9612 SubsystemID: 0x1234 (BN:1, DN:3)", 0xFE000000, false},
        {"lower bus wins",
         [](QJsonObject& b) { drvtest::AddPciFunction(b, DisplayChip("02:00.0", "0x9500", {0, 0, "0xFE000000"})); },
         "VendorID: 0x1002 DeviceID: 0x9610 SubsystemID: 0x9610 (BN:1, DN:5)", 0xFEBF0000, true},
        {"64-bit register BAR",
         [](QJsonObject& b) {
             drvtest::EditPciFunction(b, "01:05.0", [](QJsonObject& f) {
                 f.insert("bars", QJsonArray{"0xD000000C", "0", "0xFEBF0004", "0x00000001", "0xC001", "0"});
             });
         },
         "VendorID: 0x1002 DeviceID: 0x9610 SubsystemID: 0x9610 (BN:1, DN:5)", 0x1FEBF0000, true},
        {"prefetchable 32-bit register BAR loses its flag bits",
         [](QJsonObject& b) {
             drvtest::EditPciFunction(b, "01:05.0", [](QJsonObject& f) {
                 f.insert("bars", QJsonArray{"0xD000000C", "0", "0xFEBF0008", "0", "0xC001", "0"});
             });
         },
         "VendorID: 0x1002 DeviceID: 0x9610 SubsystemID: 0x9610 (BN:1, DN:5)", 0xFEBF0000, true},
        {"no chip", [](QJsonObject& b) { drvtest::EditPciFunction(b, "01:05.0", [](QJsonObject& f) { f = {}; }); },
         nullptr, 0, false},
        {"no video BIOS", [](QJsonObject& b) { EditGraphics(b, [](QJsonObject& g) { g.remove("videoBios"); }); },
         "VendorID: 0x1002 DeviceID: 0x9610 SubsystemID: 0x9610 (BN:1, DN:5)", 0xFEBF0000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.edit);
        CGPUTool* tool = CGPUTool::GetInstance();
        ASSERT_NE(tool, nullptr);
        uint32_t engine = 7, memory = 7;
        if (!c.description) {
            EXPECT_EQ(CGPUTool::m_pDeviceData, nullptr);
        } else {
            ASSERT_NE(CGPUTool::m_pDeviceData, nullptr);
            EXPECT_STREQ(CGPUTool::m_pDeviceData->szDescription, c.description);
            EXPECT_EQ(RegisterBaseAddress.Value(), c.registerBase);
            EXPECT_EQ(CGPUTool::m_pDeviceData->bVideoBiosValid, c.imageValid);
        }
        const uint32_t result = tool->GetClocks(&engine, &memory, 0);
        if (c.imageValid) {
            EXPECT_EQ(result, TOOLLIB_SUCCESS);
            EXPECT_EQ(engine, 50000u);
        } else {
            // Another chip's image (or none) runs no tables: not supported, outputs 0.
            EXPECT_EQ(result, TOOLLIB_NOT_SUPPORTED);
            EXPECT_EQ(engine, 0u);
            EXPECT_EQ(memory, 0u);
            EXPECT_FALSE(tool->SetEngineClock(60000));
        }
        EXPECT_EQ(CGPUTool::m_pDeviceData ? Gpu().engine.value : 500.0, 500.0);
        TearDown();
    }
}

TEST_F(GPUTool, ClocksReadAndSetThroughTheChipsTables)
{
    Start();
    uint32_t engine = 0, memory = 0;
    ASSERT_TRUE(g_KESTBIOS_GetGPUClocks(&engine, &memory, 0));
    EXPECT_EQ(engine, 50000u);
    EXPECT_EQ(memory, 53333u) << "the integrated chip's memory clock is the side-port clock";

    EXPECT_TRUE(g_KESTBIOS_SetGPUEngineClock(60000));
    EXPECT_DOUBLE_EQ(Gpu().engine.value, 600.0) << "the device library sees the new clock";
    EXPECT_TRUE(g_KESTBIOS_SetGPUMemoryClock(45000));
    EXPECT_DOUBLE_EQ(Gpu().memory.value, 450.0);
    ASSERT_TRUE(g_KESTBIOS_GetGPUClocks(&engine, nullptr, 0));
    EXPECT_EQ(engine, 60000u);
    // The set tables address the registers through the block base and call a nested table.
    EXPECT_EQ(Chip().Writes().back(), std::make_pair(uint32_t(vb::GraphicsChip::kMemoryClock), 45000u));

    CGPUTool* tool = CGPUTool::GetInstance();
    EXPECT_EQ(tool->SetClocks(55000, nullptr, 40000, nullptr, 0), TOOLLIB_SUCCESS);
    EXPECT_DOUBLE_EQ(Gpu().engine.value, 550.0);
}

TEST_F(GPUTool, NothingAskedRunsNothing)
{
    Start();
    CGPUTool* tool = CGPUTool::GetInstance();
    drvtest::Driver().ClearTrace();
    EXPECT_EQ(tool->GetClocks(nullptr, nullptr, 0), TOOLLIB_SUCCESS);
    EXPECT_TRUE(Chip().Writes().empty());
    EXPECT_TRUE(drvtest::Requests(4).empty()) << "not even the window is mapped";
    // The dynamic-clock flag without an engine clock to replace: nothing to do.
    uint32_t memory = 0;
    EXPECT_EQ(tool->GetClocks(nullptr, &memory, INCLUDE_DPM_CLOCKS), TOOLLIB_SUCCESS);
}

TEST_F(GPUTool, MissingTablesAreNotSupported)
{
    Start([](QJsonObject& b) {
        EditGraphics(b, [](QJsonObject& g) { g.insert("omitTables", QJsonArray{10, 48}); });
    });
    CGPUTool* tool = CGPUTool::GetInstance();
    uint32_t engine = 7, memory = 0;
    EXPECT_EQ(tool->GetClocks(&engine, &memory, 0), TOOLLIB_NOT_SUPPORTED);
    EXPECT_EQ(engine, 0u) << "never the caller's own value";
    EXPECT_EQ(memory, 53333u);
    EXPECT_FALSE(g_KESTBIOS_SetGPUEngineClock(60000));
    EXPECT_DOUBLE_EQ(Gpu().engine.value, 500.0);
    EXPECT_TRUE(g_KESTBIOS_SetGPUMemoryClock(45000));
    EXPECT_EQ(tool->SetClocks(60000, nullptr, 45000, nullptr, 0), TOOLLIB_FAIL);
}

TEST_F(GPUTool, DynamicEngineClock)
{
    Start();
    uint32_t engine = 0;
    EXPECT_EQ(CGPUTool::GetInstance()->GetClocks(&engine, nullptr, INCLUDE_DPM_CLOCKS), TOOLLIB_SUCCESS);
    EXPECT_EQ(engine, 67500u) << "2700 x 100 / 2 / 2";
    // Scaled by the low byte of 0x3084 when its bit 20 is set and 0x3078 is not 0.
    CGPUTool* tool = CGPUTool::GetInstance();
    tool->_WriteMMReg32(0x3084, 1u << 20 | 0x80);
    tool->_WriteMMReg32(0x3078, 1);
    EXPECT_EQ(tool->GetClocks(&engine, nullptr, INCLUDE_DPM_CLOCKS), TOOLLIB_SUCCESS);
    EXPECT_EQ(engine, 33750u);
    // Off (bit 28 clear): the table's clock.
    tool->_WriteMMReg32(0x3000, 1u << 27);
    EXPECT_EQ(tool->GetClocks(&engine, nullptr, INCLUDE_DPM_CLOCKS), TOOLLIB_SUCCESS);
    EXPECT_EQ(engine, 50000u);
}

TEST_F(GPUTool, ClockCounter)
{
    Start();
    // Integrated chip: reference 1250; the count settles after a few reads.
    EXPECT_EQ(CGPUTool::GetInstance()->GetClockCounter(0), 12u * (500 * 127 / 12) / 127);
    TearDown();

    Start([](QJsonObject& b) {
        drvtest::EditPciFunction(b, "01:05.0", [](QJsonObject& f) { f.insert("device", "0x9500"); });
    });
    Gpu().engine.value = 540;
    ASSERT_NE(CGPUTool::GetInstance(), nullptr);
    ASSERT_NE(CGPUTool::m_pDeviceData, nullptr);
    EXPECT_STREQ(CGPUTool::m_pDeviceData->szDescription, "VendorID: 0x1002 DeviceID: 0x9500 SubsystemID: 0x9610 (BN:1, DN:5)");
    EXPECT_EQ(CGPUTool::GetInstance()->GetClockCounter(0), 540u) << "27 x 2540 / 127";
}

TEST_F(GPUTool, RefusedMapFallsBackToPhysicalRequests)
{
    Start();
    drvtest::Faults().Set("driver-refuse-4");
    uint32_t engine = 0;
    ASSERT_TRUE(g_KESTBIOS_GetGPUClocks(&engine, nullptr, 0));
    EXPECT_EQ(engine, 50000u);
    EXPECT_FALSE(CGPUTool::IsRegisterWindowMapped());
    EXPECT_FALSE(drvtest::Requests(10).empty());
    EXPECT_TRUE(g_KESTBIOS_SetGPUEngineClock(61000));
    EXPECT_DOUBLE_EQ(Gpu().engine.value, 610.0);
    EXPECT_FALSE(drvtest::Requests(11).empty());
}

TEST_F(GPUTool, EngineShutdownUnmapsTheWindow)
{
    Start();
    uint32_t engine = 0;
    ASSERT_TRUE(g_KESTBIOS_GetGPUClocks(&engine, nullptr, 0));
    ASSERT_TRUE(CGPUTool::IsRegisterWindowMapped());
    EXPECT_EQ(drvtest::Driver().LiveMappings(), 1u);
    test::LogCapture::Instance().Clear();
    EXPECT_TRUE(g_UnInitEngine());
    EXPECT_FALSE(CGPUTool::IsRegisterWindowMapped());
    EXPECT_EQ(drvtest::Driver().LiveMappings(), 0u);
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR"), 0u) << "the window was gone before the driver closed";
}

} // namespace
