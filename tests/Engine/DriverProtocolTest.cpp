// The bytes of every request record, as the simulated driver received them.
#include "DriverTestSupport.h"

namespace {

using namespace drvtest;
using Bytes8 = std::vector<uint8_t>;

class DriverProtocol : public DriverTest {};

TEST_F(DriverProtocol, MsrRecords)
{
    uint32_t low = 0, high = 0;
    ASSERT_TRUE(handler.RDMSR(0xC0010071, low, high));
    EXPECT_EQ(low, 0x2410u);
    EXPECT_EQ(high, 0u);
    ASSERT_TRUE(handler.WRMSR(0xC0010071, 0x11223344, 0x55667788));
    ASSERT_TRUE(handler.RDMSR(0xC0010071, low, high));
    EXPECT_EQ(low, 0x11223344u);
    EXPECT_EQ(high, 0x55667788u);

    const auto reads = Requests(drReadMSR);
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].in, Bytes({{0xC0010071, 4}, {0, 4}, {0, 4}}));
    EXPECT_EQ(reads[0].outLength, 12u);
    EXPECT_EQ(reads[1].out, Bytes({{0xC0010071, 4}, {0x11223344, 4}, {0x55667788, 4}}));
    const auto writes = Requests(drWriteMSR);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].in, Bytes({{0xC0010071, 4}, {0x11223344, 4}, {0x55667788, 4}}));
    EXPECT_EQ(writes[0].outLength, 0u);
}

TEST_F(DriverProtocol, PortRecordsCarryWidthAndZeroExtendedValue)
{
    ASSERT_TRUE(handler.WritePort(uint16_t(0x0B05), uint8_t(0xA5)));
    ASSERT_TRUE(handler.WritePort(uint16_t(0x0B05), uint16_t(0x1234)));
    ASSERT_TRUE(handler.WritePort(uint16_t(0x0B04), uint32_t(0x89ABCDEF)));
    const auto outs = Requests(drWritePort);
    ASSERT_EQ(outs.size(), 3u);
    EXPECT_EQ(outs[0].in, Bytes({{0x0B05, 2}, {1, 2}, {0xA5, 4}}));
    EXPECT_EQ(outs[1].in, Bytes({{0x0B05, 2}, {2, 2}, {0x1234, 4}}));
    EXPECT_EQ(outs[2].in, Bytes({{0x0B04, 2}, {4, 2}, {0x89ABCDEF, 4}}));

    // Reads take the low bits of the reply's data: an unmodelled port reads all ones.
    uint8_t b = 0;
    uint16_t w = 0;
    uint32_t d = 0;
    ASSERT_TRUE(handler.ReadPort(uint16_t(0x0B05), d));
    EXPECT_EQ(d, 0xFFFFABCDu);                // data 0 and 1, then two ports nobody answers
    ASSERT_TRUE(handler.ReadPort(uint16_t(0x0080), b));
    ASSERT_TRUE(handler.ReadPort(uint16_t(0x0080), w));
    EXPECT_EQ(b, 0xFF);
    EXPECT_EQ(w, 0xFFFF);
    const auto ins = Requests(drReadPort);
    ASSERT_EQ(ins.size(), 3u);
    EXPECT_EQ(ins[1].in, Bytes({{0x0080, 2}, {1, 2}, {0, 4}}));
    EXPECT_EQ(ins[1].out, Bytes({{0x0080, 2}, {1, 2}, {0xFF, 4}}));
    EXPECT_EQ(ins[2].in, Bytes({{0x0080, 2}, {2, 2}, {0, 4}}));
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("read of unmodelled port 0x80"));
}

TEST_F(DriverProtocol, MapAndUnmapRecords)
{
    char* p = handler.MapPhysicalMemory(0xE0000, 0x1000);
    ASSERT_NE(p, nullptr);
    const auto maps = Requests(drMapMemory);
    ASSERT_EQ(maps.size(), 1u);
    EXPECT_EQ(maps[0].in, Bytes({{0xE0000, 8}, {0, 4}, {0x1000, 4}, {0, 8}, {0, 8}}));
    ASSERT_EQ(maps[0].out.size(), 32u);
    uint64_t user = 0, handle = 0;
    std::memcpy(&user, maps[0].out.data() + 16, 8);
    std::memcpy(&handle, maps[0].out.data() + 24, 8);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p), user);
    EXPECT_NE(handle, 0u);

    ASSERT_TRUE(handler.UnmapPhysicalMemory(p));
    const auto unmaps = Requests(drUnmapMemory);
    ASSERT_EQ(unmaps.size(), 1u);
    EXPECT_EQ(unmaps[0].in, maps[0].out);     // the record as the map returned it
    EXPECT_EQ(unmaps[0].outLength, 0u);
}

TEST_F(DriverProtocol, AllocateAndFreeRecords)
{
    char* p = handler.AllocatePhysicalMemory(0x2000, 0xFFFFFFFF, 0x1000);
    ASSERT_NE(p, nullptr);
    const auto allocs = Requests(drAllocateMemory);
    ASSERT_EQ(allocs.size(), 1u);
    EXPECT_EQ(allocs[0].in,
              Bytes({{0x2000, 8}, {0xFFFFFFFF, 8}, {0, 4}, {0x1000, 4}, {0, 8}, {0, 8}, {0, 8}}));
    std::memset(p, 0x5A, 0x2000);             // the block is ours to use
    ASSERT_TRUE(handler.FreePhysicalMemory(p));
    const auto frees = Requests(drFreeMemory);
    ASSERT_EQ(frees.size(), 1u);
    EXPECT_EQ(frees[0].in, allocs[0].out);
    EXPECT_EQ(Driver().LiveAllocations(), 0u);
}

TEST_F(DriverProtocol, PhysicalMemoryRecords)
{
    char data[4] = {1, 2, 3, 4};
    ASSERT_TRUE(handler.WriteMemory(0x20000010, 4, data));
    char back[4] = {};
    ASSERT_TRUE(handler.ReadMemory(0x20000010, 4, back));
    EXPECT_EQ(std::memcmp(back, data, 4), 0);
    const auto writes = Requests(drWriteMemory);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].in, Bytes({{0x20000010, 8}, {4, 4}, {0x04030201, 4}}));
    EXPECT_EQ(writes[0].outLength, 0u);
    const auto reads = Requests(drReadMemory);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].in, Bytes({{0x20000010, 8}, {4, 4}, {0, 4}}));
    EXPECT_EQ(reads[0].outLength, 16u);
}

TEST_F(DriverProtocol, PciConfigRecordsAndTheSecondWay)
{
    // Bus 1 lies outside the window this board's MCFG covers in this test.
    handler.UnInit();
    {
        ScopedMCFG narrow(MakeMCFG({{0xE0000000ull, 0, 0, 0}}));
        StartHandler();
    }
    uint32_t id = 0;
    ASSERT_TRUE(handler.GetPCIConfig(1, 5, 0, 0, reinterpret_cast<char*>(&id), 4));
    EXPECT_EQ(id, 0x96101002u);
    auto reads = Requests(drReadPCIConfig);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].in, Bytes({{1, 4}, {5, 4}, {0, 4}, {0, 4}, {4, 4}, {0, 4}}));

    char data[2] = {0x34, 0x12};
    ASSERT_TRUE(handler.SetPCIConfig(1, 5, 0, 0x4C, data, 2));
    const auto writes = Requests(drWritePCIConfig);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].in, Bytes({{1, 4}, {5, 4}, {0, 4}, {0x4C, 4}, {2, 4}, {0x1234, 2}}));

    // A driver that refuses 8 and 9 gets the same records as 6 and 7.
    Faults().Set("driver-refuse-8");
    Faults().Set("driver-refuse-9");
    Driver().ClearTrace();
    uint16_t value = 0;
    ASSERT_TRUE(handler.GetPCIConfig(1, 5, 0, 0x4C, reinterpret_cast<char*>(&value), 2));
    EXPECT_EQ(value, 0x1234);
    ASSERT_TRUE(handler.SetPCIConfig(1, 5, 0, 0x4C, data, 2));
    ASSERT_EQ(Requests(drReadPCIConfig2).size(), 1u);
    EXPECT_EQ(Requests(drReadPCIConfig2)[0].in, Requests(drReadPCIConfig)[0].in);
    ASSERT_EQ(Requests(drWritePCIConfig2).size(), 1u);
    EXPECT_EQ(Requests(drWritePCIConfig2)[0].in, Requests(drWritePCIConfig)[0].in);
    EXPECT_FALSE(test::LogContains("LOG_PROCESS_ERROR"));
}

TEST_F(DriverProtocol, PciListRecord)
{
    CDriverHandler again;                      // a second start, traced from its beginning
    ASSERT_TRUE(again.Init());
    const auto lists = Requests(drListPCIHeaders);
    ASSERT_EQ(lists.size(), 1u);
    Bytes8 expected = Bytes({{0xE0000000ull, 8}, {0, 4}, {0, 4}, {0, 4}, {64, 4}, {64, 4}});
    expected.resize(3356, 0);
    EXPECT_EQ(lists[0].in, expected);
    EXPECT_EQ(lists[0].outLength, 3356u);
    again.UnInit();
}

TEST_F(DriverProtocol, UnknownCodesAndBadRecordsAreRefusedAndReported)
{
    vb::KernelDriver& d = Driver();
    uint32_t returned = 99;
    uint8_t buf[64] = {};
    EXPECT_FALSE(d.Control(0x81112F1C, buf, 12, buf, 12, &returned));   // n = 15
    EXPECT_EQ(returned, 0u);
    EXPECT_TRUE(test::LogContains("QVXDriver: unknown request code 0x81112F1C"));
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadMSR), buf, 11, buf, 12, &returned));
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadPort), Bytes({{0x80, 2}, {3, 2}, {0, 4}}).data(), 8, buf, 8, &returned));
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadPort), Bytes({{0xFFFF, 2}, {2, 2}, {0, 4}}).data(), 8, buf, 8, &returned));
    // Length fields that do not match the record, or overflow.
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadMemory), Bytes({{0, 8}, {8, 4}}).data(), 12, buf, 20, &returned));
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadMemory), Bytes({{0, 8}, {0xFFFFFFF8, 4}, {0, 4}}).data(), 16, buf, 16,
                           &returned));
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadPCIConfig), Bytes({{0, 4}, {32, 4}, {0, 4}, {0, 4}, {4, 4}, {0, 4}}).data(),
                           24, buf, 24, &returned));
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadPCIConfig),
                           Bytes({{0, 4}, {0, 4}, {0, 4}, {4094, 4}, {4, 4}, {0, 4}}).data(), 24, buf, 24, &returned));
    // A free or unmap of something never handed out.
    EXPECT_FALSE(d.Control(QVXDriverCode(drFreeMemory), buf, 48, nullptr, 0, &returned));
    EXPECT_FALSE(d.Control(QVXDriverCode(drUnmapMemory), buf, 32, nullptr, 0, &returned));
    // The reply must fit the caller's buffer.
    EXPECT_FALSE(d.Control(QVXDriverCode(drReadMSR), Bytes({{0xC0010071, 4}, {0, 8}}).data(), 12, buf, 8, &returned));
}

} // namespace
