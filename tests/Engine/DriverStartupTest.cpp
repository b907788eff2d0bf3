// What start-up settles besides the service: the ECAM window from the MCFG table
// and the SMBus controller.
#include "DriverTestSupport.h"

namespace {

using namespace drvtest;

TEST(DriverStartup, McfgVariants)
{
    struct Case {
        const char* name;
        bool present;
        std::vector<uint8_t> table;
        const char* fault;
        bool ok;
        const char* line;
        bool ecamUsed;
    };
    std::vector<uint8_t> shortTable = DefaultMCFG();
    shortTable.resize(51);                       // the base address cut short
    const Case cases[] = {
        {"absent", false, {}, nullptr, true, nullptr, false},
        {"shorter than one base address", true, shortTable, nullptr, false, "LOG_PROCESS_ERROR(uSize > sizeof(MCFG))", false},
        {"base 0", true, MakeMCFG({{0, 0, 0, 63}}), nullptr, false, "LOG_PROCESS_ERROR(m_ullPCIBaseAddress)", false},
        {"no segment 0", true, MakeMCFG({{0xE0000000ull, 1, 0, 63}}), nullptr, false, "LOG_PROCESS_ERROR(m_ullPCIBaseAddress)", false},
        {"probe reads all ones", true, DefaultMCFG(), "pci-ecam-off", true, "Found PCI MMIO base address 0\n", false},
        {"probe cannot be read", true, DefaultMCFG(), "driver-refuse-ecam-read", true, "Found PCI MMIO base address 0\n", false},
        {"good", true, DefaultMCFG(), nullptr, true, "Found PCI MMIO base address E0000000", true},
        {"segment 0 second", true, MakeMCFG({{0xD0000000ull, 1, 0, 63}, {0xE0000000ull, 0, 0, 63}}), nullptr, true,
         "Found PCI MMIO base address E0000000", true},
    };
    ScopedExecutable exe;
    for (const Case& c : cases) {
        vb::Machine::Instance().LoadDefault();
        if (c.fault)
            Faults().Set(c.fault);
        test::LogCapture::Instance().Clear();
        ScopedMCFG mcfg(c.table, c.present);
        CDriverHandler handler;
        EXPECT_EQ(handler.Init(), c.ok) << c.name;
        if (c.line) {
            EXPECT_TRUE(test::LogContains(c.line)) << c.name;
        }
        if (c.ok) {
            EXPECT_EQ(Requests(drListPCIHeaders).empty(), !c.ecamUsed) << c.name;
            EXPECT_EQ(handler.GetPCIDeviceCount(0x1002, 0x9610), 1u) << c.name;
        }
        handler.UnInit();
        EXPECT_FALSE(DriverService().exists) << c.name;
    }
}

TEST(DriverStartup, EcamIsUsedOnlyForTheBusesItCovers)
{
    ScopedExecutable exe;
    ScopedMCFG mcfg(MakeMCFG({{0xE0000000ull, 0, 0, 0}}));
    CDriverHandler handler;
    ASSERT_TRUE(handler.Init());
    Driver().ClearTrace();
    uint32_t id = 0;
    ASSERT_TRUE(handler.GetPCIConfig(0, 24, 0, 0, reinterpret_cast<char*>(&id), 4));
    EXPECT_EQ(id, 0x12001022u);
    ASSERT_TRUE(handler.GetPCIConfig(1, 5, 0, 0, reinterpret_cast<char*>(&id), 4));
    EXPECT_EQ(id, 0x96101002u);
    EXPECT_EQ(Requests(drReadMemory).size(), 1u);
    EXPECT_EQ(Requests(drReadPCIConfig).size(), 1u);
    handler.UnInit();
}

TEST(DriverStartup, SmbusDiscovery)
{
    struct Case {
        const char* name;
        std::function<void(QJsonObject&)> edit;
        bool ok;
        const char* line;
        uint16_t expectedBase;                   // where the SPD bytes must come from; 0: none
    };
    const auto noSouthBridge = [](QJsonObject& f) { f = QJsonObject(); };
    const Case cases[] = {
        {"south bridge register 0x90", [](QJsonObject&) {}, true, nullptr, 0x0B00},
        {"SMBus disabled", [](QJsonObject& b) {
             EditPciFunction(b, "00:14.0", [](QJsonObject& f) { f.insert("config", QJsonObject{{"0x90", "0x00000B00"}}); });
         }, false, "LOG_PROCESS_ERROR(ulData & 0x01)", 0},
        {"class 0C/05 with an I/O BAR", [&](QJsonObject& b) {
             EditPciFunction(b, "00:14.0", noSouthBridge);
             AddPciFunction(b, QJsonObject{{"at", "00:1F.3"}, {"vendor", "0x8086"}, {"device", "0x1234"}, {"class", "0x0C0500"},
                                           {"bars", QJsonArray{"0xFE000000", 0, 0, 0, "0x00000401", 0}}});
             b.insert("smbus", QJsonObject{{"base", "0x0400"}, {"devices", b.value("smbus").toObject().value("devices")}});
         }, true, nullptr, 0x0400},
        {"none", [&](QJsonObject& b) { EditPciFunction(b, "00:14.0", noSouthBridge); }, true, nullptr, 0},
    };
    ScopedExecutable exe;
    ScopedMCFG mcfg(DefaultMCFG());
    for (const Case& c : cases) {
        vb::Machine::Instance().LoadDefault();
        LoadBoard(c.edit);
        test::LogCapture::Instance().Clear();
        CDriverHandler handler;
        EXPECT_EQ(handler.Init(), c.ok) << c.name;
        if (c.line) {
            EXPECT_TRUE(test::LogContains(c.line)) << c.name;
        }
        if (c.ok) {
            uint8_t value = 0;
            EXPECT_EQ(handler.AccessSMBus(0x50 << 1 | 1, 2, value), c.expectedBase != 0) << c.name;
            if (c.expectedBase) {
                EXPECT_EQ(value, 0x08) << c.name;
            }
        }
        handler.UnInit();
    }
}

} // namespace
