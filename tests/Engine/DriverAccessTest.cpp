// Hardware access through the driver: bookkeeping of maps and allocations,
// physical reads, PCI configuration and the PCI device list.
#include "DriverTestSupport.h"

#include "Platform/Mmio.h"
#include "VirtualBoard/PhysicalMemory.h"

namespace {

using namespace drvtest;

class DriverAccess : public DriverTest {};

TEST_F(DriverAccess, MsrThatDoesNotExistFails)
{
    uint32_t low = 1, high = 1;
    EXPECT_FALSE(handler.RDMSR(0xC0011234, low, high));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
    EXPECT_TRUE(test::LogContains("in CDriverHandler::RDMSR"));
    EXPECT_FALSE(handler.WRMSR(0xC0011234, 0, 0));
    EXPECT_TRUE(test::LogContains("in CDriverHandler::WRMSR"));
}

TEST_F(DriverAccess, UnmapOfAnUnknownAddressSendsNothing)
{
    char somewhere = 0;
    EXPECT_FALSE(handler.UnmapPhysicalMemory(&somewhere));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(it != m_MapAddrList.end())"));
    EXPECT_FALSE(handler.FreePhysicalMemory(&somewhere));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(it != m_AllocateAddrList.end())"));
    EXPECT_TRUE(Driver().Trace().empty());
}

TEST_F(DriverAccess, FailedFreeAndUnmapKeepTheirEntriesForShutdown)
{
    char* mapped = handler.MapPhysicalMemory(0xE0000, 0x100);
    char* block = handler.AllocatePhysicalMemory(0x1000, 0, 0);
    ASSERT_NE(mapped, nullptr);
    ASSERT_NE(block, nullptr);
    Faults().Set("driver-refuse-5");
    Faults().Set("driver-refuse-13");
    EXPECT_FALSE(handler.UnmapPhysicalMemory(mapped));
    EXPECT_FALSE(handler.FreePhysicalMemory(block));
    Faults().Set("driver-refuse-5", false);
    Faults().Set("driver-refuse-13", false);
    test::LogCapture::Instance().Clear();
    // Shutdown names what was left and gives it back.
    EXPECT_TRUE(handler.UnInit());
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(m_MapAddrList.size() == 0)"));
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(m_AllocateAddrList.size() == 0)"));
    EXPECT_FALSE(test::LogContains("LOG_CHECK_ERROR(bRetCode)"));
    EXPECT_EQ(Driver().LiveMappings(), 0u);
    EXPECT_EQ(Driver().LiveAllocations(), 0u);
}

TEST_F(DriverAccess, MapWithAWrongReplySizeIsUndone)
{
    Faults().Set("driver-reply-short");
    EXPECT_EQ(handler.MapPhysicalMemory(0xE0000, 0x100), nullptr);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(dwBytesReturned == sizeof(MapMemoryParam))"));
    EXPECT_EQ(handler.AllocatePhysicalMemory(0x1000, 0, 0), nullptr);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(dwBytesReturned == sizeof(AllocateMemoryParam))"));
    EXPECT_EQ(Requests(drUnmapMemory).size(), 1u);
    EXPECT_EQ(Requests(drFreeMemory).size(), 1u);
    EXPECT_EQ(Driver().LiveMappings(), 0u);
    EXPECT_EQ(Driver().LiveAllocations(), 0u);
}

TEST_F(DriverAccess, ReadMemoryEdges)
{
    char out[8] = {};
    EXPECT_FALSE(handler.ReadMemory(0xE0000, 4, nullptr));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pData)"));
    EXPECT_TRUE(Driver().Trace().empty());

    // A length near 4 GiB would wrap the request size: refused before any request.
    EXPECT_FALSE(handler.ReadMemory(0xE0000, 0xFFFFFFF8u, out));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uSize <= MAX_MEMORY_TRANSFER)"));
    EXPECT_TRUE(Driver().Trace().empty());

    test::LogCapture::Instance().Clear();
    Faults().Set("driver-reply-length-zero");
    EXPECT_FALSE(handler.ReadMemory(0xE0000, 4, out));
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
    Faults().Set("driver-reply-length-zero", false);

    // Unbacked memory reads as all ones.
    ASSERT_TRUE(handler.ReadMemory(0x90000000ull, 4, out));
    EXPECT_EQ(static_cast<uint8_t>(out[0]), 0xFF);
}

TEST_F(DriverAccess, RegisterWindowsReachTheDeviceThroughTheAccessor)
{
    // A register whose read counts its own reads: plain memory could not do this.
    class Counter final : public vb::MemoryDevice {
    public:
        bool Read(uint64_t, uint8_t* data, size_t length) override
        {
            ++reads;
            std::memset(data, 0, length);
            data[0] = static_cast<uint8_t>(reads);
            return true;
        }
        bool Write(uint64_t, const uint8_t* data, size_t) override
        {
            written = data[0];
            return true;
        }
        int reads = 0;
        uint8_t written = 0;
    };
    auto device = std::make_shared<Counter>();
    ASSERT_TRUE(vb::Machine::Instance().Get<vb::PhysicalMemory>().AddRegion(0xFEA00000, 0x10000, "test-registers", device));
    char* window = handler.MapPhysicalMemory(0xFEA00000, 0x10000);
    ASSERT_NE(window, nullptr);
    const uint32_t first = plat::MmioRead32(window + 0x79C);
    const uint32_t second = plat::MmioRead32(window + 0x79C);
    EXPECT_EQ(second, first + 1);
    plat::MmioWrite32(window + 0x600, 0x42);
    EXPECT_EQ(device->written, 0x42);
    EXPECT_TRUE(handler.UnmapPhysicalMemory(window));
}

TEST_F(DriverAccess, PciConfigWays)
{
    struct Case {
        const char* name;
        std::vector<const char*> faults;
        bool ok;
        const char* line;                     // expected error line, or null for none
        size_t ecamReads, requests8, requests6;
    };
    const Case cases[] = {
        {"ECAM hit", {}, true, nullptr, 1, 0, 0},
        {"ECAM read fails, then request", {"driver-refuse-ecam-read"}, true, "in CDriverHandler::ReadMemory", 1, 1, 0},
        {"request 8 refused, then 6", {"driver-refuse-ecam-read", "driver-refuse-8"}, true, "in CDriverHandler::ReadMemory", 1, 1, 1},
        {"both refused", {"driver-refuse-ecam-read", "driver-refuse-8", "driver-refuse-6"}, false, "in CDriverHandler::GetPCIConfig", 1, 1, 1},
        {"reply length 0", {"driver-reply-length-zero"}, false, nullptr, 1, 1, 0},
    };
    for (const Case& c : cases) {
        Faults().Clear();
        for (const char* f : c.faults)
            Faults().Set(f);
        Driver().ClearTrace();
        test::LogCapture::Instance().Clear();
        uint32_t value = 0;
        EXPECT_EQ(handler.GetPCIConfig(0, 20, 0, 0x90, reinterpret_cast<char*>(&value), 4), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(value, 0x00000B01u) << c.name;
        }
        EXPECT_EQ(Requests(drReadMemory).size(), c.ecamReads) << c.name;
        EXPECT_EQ(Requests(drReadPCIConfig).size(), c.requests8) << c.name;
        EXPECT_EQ(Requests(drReadPCIConfig2).size(), c.requests6) << c.name;
        if (c.line) {
            EXPECT_TRUE(test::LogContains(c.line)) << c.name;
        } else {
            EXPECT_TRUE(test::LogCapture::Instance().Lines().empty()) << c.name;
        }
    }
    Faults().Clear();

    char* none = nullptr;
    EXPECT_FALSE(handler.GetPCIConfig(0, 0, 0, 0, none, 4));
    EXPECT_FALSE(handler.SetPCIConfig(0, 0, 0, 0, none, 4));
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(pData)"), 2u);
}

TEST_F(DriverAccess, PciAccessOutsideTheWindowUsesRequests)
{
    // Device 32, offset past 4 KB and too long a transfer must never be formed into
    // an ECAM address (they would alias into other functions or memory).
    std::vector<char> big(20000);
    EXPECT_FALSE(handler.GetPCIConfig(0, 0, 0, 0, big.data(), static_cast<uint32_t>(big.size())));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uSize <= PCI_AREA_DATA_SIZE)"));
    uint32_t value = 0;
    EXPECT_FALSE(handler.GetPCIConfig(0, 32, 0, 0, reinterpret_cast<char*>(&value), 4));
    EXPECT_FALSE(handler.GetPCIConfig(0, 0, 0, 4094, reinterpret_cast<char*>(&value), 4));
    EXPECT_TRUE(Requests(drReadMemory).empty());
}

TEST_F(DriverAccess, DeviceListMatchesTheBoard)
{
    const QJsonArray functions = vb::Machine::Instance().Section("pci").value("functions").toArray();
    for (const QJsonValue& v : functions) {
        const QJsonObject f = v.toObject();
        const uint32_t vendor = static_cast<uint32_t>(vb::ToU64(f.value("vendor")));
        const uint32_t device = static_cast<uint32_t>(vb::ToU64(f.value("device")));
        uint32_t count = 0;
        for (const QJsonValue& w : functions)
            if (vb::ToU64(w.toObject().value("vendor")) == vendor && vb::ToU64(w.toObject().value("device")) == device)
                ++count;
        EXPECT_EQ(handler.GetPCIDeviceCount(vendor, device), count) << f.value("at").toString().toStdString();
    }
    uint32_t bus = 9, dev = 9, fn = 9, rev = 9;
    ASSERT_TRUE(handler.FindPCIDevice(0x1002, 0x4385, bus, dev, fn, rev));
    EXPECT_EQ(bus, 0u);
    EXPECT_EQ(dev, 20u);
    EXPECT_EQ(fn, 0u);
    EXPECT_EQ(rev, 0x3Cu);
    EXPECT_EQ(handler.GetPCIDeviceCount(0x1002, 0x4385), 1u);
    EXPECT_FALSE(handler.FindPCIDevice(0x1002, 0x4385, 1, bus, dev, fn, rev));
    // Equal keys keep the scan order.
    ASSERT_TRUE(handler.FindPCIDevice(0x1002, 0x4397, 1, bus, dev, fn, rev));
    EXPECT_EQ(dev, 0x13u);
    EXPECT_FALSE(handler.FindPCIDevice(0x1234, 0x5678, bus, dev, fn, rev));
}

TEST_F(DriverAccess, PrintPCIDeviceGolden)
{
    handler.UnInit();
    LoadBoard([](QJsonObject& board) {
        QJsonObject pci = board.value("pci").toObject();
        pci.insert("functions", QJsonArray{
            QJsonObject{{"at", "00:14.0"}, {"vendor", "0x1002"}, {"device", "0x4385"}, {"class", "0x0C0500"}, {"revision", "0x3C"},
                        {"config", QJsonObject{{"0x90", "0x00000B01"}}}},
            QJsonObject{{"at", "00:00.0"}, {"vendor", "0x1002"}, {"device", "0x5956"}, {"class", "0x060000"}},
            QJsonObject{{"at", "00:18.0"}, {"vendor", "0x1022"}, {"device", "0x1200"}, {"class", "0x060000"}},
        });
        board.insert("pci", pci);
    });
    StartHandler();
    testing::internal::CaptureStdout();
    handler.PrintPCIDevice();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "DeviceID VendorID BusNum DevNum FuncNum RevisionID BaseClass SubClass\n"
              "4385      1002      00     14     00      003C       0C         05\n"
              "5956      1002      00     00     00      0000       06         00\n"
              "1200      1022      00     18     00      0000       06         00\n");
}

TEST_F(DriverAccess, ListOverSeveralRepliesAndCursorChecks)
{
    // More than 64 functions: the list takes several requests.
    handler.UnInit();
    LoadBoard([](QJsonObject& board) {
        for (int d = 0; d < 32; ++d)
            for (int f = 0; f < 3; ++f)
                AddPciFunction(board, QJsonObject{{"at", QString("05:%1.%2").arg(d, 2, 16, QChar('0')).arg(f)},
                                                  {"vendor", "0x1AF4"}, {"device", "0x1000"}, {"class", "0x020000"}});
    });
    StartHandler();
    EXPECT_EQ(handler.GetPCIDeviceCount(0x1AF4, 0x1000), 96u);
    uint32_t bus, dev, fn, rev;
    ASSERT_TRUE(handler.FindPCIDevice(0x1AF4, 0x1000, 95, bus, dev, fn, rev));
    EXPECT_EQ(dev, 31u);
    EXPECT_EQ(fn, 2u);
    handler.UnInit();

    CDriverHandler stuck;
    Faults().Set("driver-list-stuck");
    EXPECT_FALSE(stuck.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bCursorMoved)"));
    Faults().Set("driver-list-stuck", false);

    CDriverHandler overcount;
    Faults().Set("driver-list-overcount");
    test::LogCapture::Instance().Clear();
    EXPECT_TRUE(overcount.Init());
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(pParam->uCount <= PCI_HEADER_LIST_CAPACITY)"));
    overcount.UnInit();
    StartHandler();
}

TEST(DriverScan, WithoutEcamEveryFunctionIsAsked)
{
    ScopedExecutable exe;
    LoadBoard([](QJsonObject& board) {
        for (int f : {0, 2, 5})
            AddPciFunction(board, QJsonObject{{"at", QString("03:00.%1").arg(f)}, {"vendor", "0x1B21"},
                                              {"device", "0x0612"}, {"class", "0x010601"}});
    });
    CDriverHandler handler;
    ASSERT_TRUE(handler.Init());
    EXPECT_EQ(Requests(drReadPCIConfig).size(), 64u * 32u * 8u + 2u);     // + the SMBus id and base
    EXPECT_TRUE(Requests(drListPCIHeaders).empty());
    EXPECT_EQ(handler.GetPCIDeviceCount(0x1B21, 0x0612), 3u);
    uint32_t bus, dev, fn, rev;
    ASSERT_TRUE(handler.FindPCIDevice(0x1B21, 0x0612, 2, bus, dev, fn, rev));
    EXPECT_EQ(bus, 3u);
    EXPECT_EQ(fn, 5u);
    handler.UnInit();
}

} // namespace
