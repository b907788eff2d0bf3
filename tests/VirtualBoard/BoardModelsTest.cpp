// The register-level models of the simulated board.
#include <QJsonDocument>

#include <cstring>

#include <gtest/gtest.h>

#include "VirtualBoard/IoPorts.h"
#include "VirtualBoard/PciBus.h"
#include "VirtualBoard/PhysicalMemory.h"
#include "VirtualBoard/Smbus.h"

namespace {

vb::Machine& M() { return vb::Machine::Instance(); }

TEST(PhysicalMemoryModel, RegionsUnbackedBytesAndThePool)
{
    vb::PhysicalMemory& memory = M().Get<vb::PhysicalMemory>();
    uint8_t bytes[8] = {};
    // Across the end of the BIOS area: ROM bytes, then nothing (all ones).
    ASSERT_TRUE(memory.Read(0xFFFFC, bytes, 8));
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[4], 0xFF);
    // ROM ignores writes.
    const uint8_t ones[2] = {1, 1};
    ASSERT_TRUE(memory.Write(0xE0000, ones, 2));
    ASSERT_TRUE(memory.Read(0xE0000, bytes, 2));
    EXPECT_EQ(bytes[0], 0x00);
    M().GetFaults().Set("memory-unbacked-fails");
    EXPECT_FALSE(memory.Read(0x100000, bytes, 4));
    EXPECT_FALSE(memory.Read(0xFFFFFFFFFFFFFFFCull, bytes, 8));      // wraps
    // Overlapping regions are refused.
    EXPECT_FALSE(memory.AddRegion(0xEFFFF, 0x10, "overlap", std::make_shared<vb::BufferDevice>(0x10, 0, false)));

    uint64_t a = 0, b = 0;
    uint8_t *pa = nullptr, *pb = nullptr;
    ASSERT_TRUE(memory.Allocate(0x1800, 0, 0, &a, &pa));
    ASSERT_TRUE(memory.Allocate(0x1000, 0, 0x10000, &b, &pb));
    EXPECT_EQ(a % 0x1000, 0u);
    EXPECT_EQ(b % 0x10000, 0u);
    EXPECT_GE(b, a + 0x1800);
    EXPECT_FALSE(memory.Allocate(0x1000, 0x1000, 0, &a, &pa));        // no pool that low
    EXPECT_TRUE(memory.Free(b));
    EXPECT_FALSE(memory.Free(b));
}

TEST(PciModel, ConfigurationSpaceAndTheEcamWindow)
{
    vb::PciBus& pci = M().Get<vb::PciBus>();
    vb::PhysicalMemory& memory = M().Get<vb::PhysicalMemory>();
    uint32_t viaConfig = 0, viaEcam = 0;
    ASSERT_TRUE(pci.ReadConfig({0, 20, 0}, 0x90, reinterpret_cast<uint8_t*>(&viaConfig), 4));
    ASSERT_TRUE(memory.Read(0xE0000000ull + (20u << 15) + 0x90, reinterpret_cast<uint8_t*>(&viaEcam), 4));
    EXPECT_EQ(viaConfig, 0x00000B01u);
    EXPECT_EQ(viaEcam, viaConfig);
    // Absent functions read all ones; out-of-range accesses are refused.
    uint32_t absent = 0;
    ASSERT_TRUE(pci.ReadConfig({0, 20, 7}, 0, reinterpret_cast<uint8_t*>(&absent), 4));
    EXPECT_EQ(absent, 0xFFFFFFFFu);
    EXPECT_FALSE(pci.ReadConfig({0, 32, 0}, 0, reinterpret_cast<uint8_t*>(&absent), 4));
    EXPECT_FALSE(pci.ReadConfig({0, 0, 0}, 4094, reinterpret_cast<uint8_t*>(&absent), 4));
    // A device with more than function 0 says so; identity bytes are read-only.
    uint8_t header = 0;
    ASSERT_TRUE(pci.ReadConfig({0, 18, 0}, 0x0E, &header, 1));
    EXPECT_EQ(header & 0x80, 0x80);
    const uint8_t junk[4] = {0, 0, 0, 0};
    ASSERT_TRUE(pci.WriteConfig({0, 20, 0}, 0, junk, 4));
    ASSERT_TRUE(pci.ReadConfig({0, 20, 0}, 0, reinterpret_cast<uint8_t*>(&viaConfig), 4));
    EXPECT_EQ(viaConfig, 0x43851002u);
    // Faults: the window off, one function gone.
    M().GetFaults().Set("pci-ecam-off");
    ASSERT_TRUE(memory.Read(0xE0000000ull, reinterpret_cast<uint8_t*>(&viaEcam), 4));
    EXPECT_EQ(viaEcam, 0xFFFFFFFFu);
    M().GetFaults().Set("pci-absent-00:14.0");
    EXPECT_FALSE(pci.Exists({0, 20, 0}));
}

TEST(PhysicalMemoryModel, ScansPassOverOnlyWhatCanReadNothingButAllOnes)
{
    vb::PhysicalMemory& memory = M().Get<vb::PhysicalMemory>();
    const uint64_t ecam = 0xE0000000ull;
    const auto at = [ecam](uint64_t bus, uint64_t device, uint64_t function) {
        return ecam + (bus << 20 | device << 15 | function << 12);
    };
    // In the configuration window a scan goes from one answering function to the next.
    EXPECT_EQ(memory.FirstAnswering(at(0, 0, 0)), at(0, 0, 0));
    EXPECT_EQ(memory.FirstAnswering(at(0, 0, 1)), at(0, 2, 0));
    EXPECT_EQ(memory.FirstAnswering(at(0, 0x12, 0) + 0x40), at(0, 0x12, 0) + 0x40);
    EXPECT_EQ(memory.FirstAnswering(at(0, 0x19, 0)), at(1, 5, 0));
    EXPECT_GE(memory.FirstAnswering(at(1, 5, 2)), ecam + (64ull << 20));
    // Plain memory may hold anything; where nothing is backed, the next region is next.
    EXPECT_EQ(memory.FirstAnswering(0xE0010), 0xE0010u);
    uint64_t nextRegion = ~uint64_t(0);
    for (const vb::PhysicalMemory::Region& r : memory.Regions())
        if (r.base >= 0x100000 && r.base < nextRegion)
            nextRegion = r.base;
    EXPECT_EQ(memory.FirstAnswering(0x100000), nextRegion);
    // A function gone, then the whole window off.
    M().GetFaults().Set("pci-absent-00:14.0");
    EXPECT_EQ(memory.FirstAnswering(at(0, 0x14, 0)), at(0, 0x14, 1));
    M().GetFaults().Set("pci-ecam-off");
    EXPECT_GE(memory.FirstAnswering(at(0, 0, 0)), ecam + (64ull << 20));
    // The list the driver gives still reads every function that answers.
    M().GetFaults().Clear();
    const std::vector<vb::PciLocation> functions = M().Get<vb::PciBus>().Functions();
    std::vector<vb::PciLocation> scanned;
    for (uint64_t address = memory.FirstAnswering(ecam); address < ecam + (64ull << 20);
         address = memory.FirstAnswering(address + 0x1000))
        scanned.push_back({static_cast<uint32_t>((address - ecam) >> 20), static_cast<uint32_t>((address - ecam) >> 15 & 31),
                           static_cast<uint32_t>((address - ecam) >> 12 & 7)});
    ASSERT_EQ(scanned.size(), functions.size());
    for (size_t i = 0; i < scanned.size(); ++i)
        EXPECT_FALSE(scanned[i] < functions[i] || functions[i] < scanned[i]) << i;
}

TEST(SmbusModel, HostStateMachine)
{
    vb::IoPorts& ports = M().Get<vb::IoPorts>();
    uint32_t v = 0;
    ASSERT_TRUE(ports.Out(0x0B04, 1, 0x50 << 1 | 1));
    ASSERT_TRUE(ports.Out(0x0B03, 1, 0x02));
    ASSERT_TRUE(ports.Out(0x0B02, 1, 0x48));
    ASSERT_TRUE(ports.In(0x0B00, 1, &v));
    EXPECT_EQ(v, 0x01u);                        // busy
    ASSERT_TRUE(ports.In(0x0B00, 1, &v));
    EXPECT_EQ(v, 0x02u);                        // done
    ASSERT_TRUE(ports.In(0x0B05, 1, &v));
    EXPECT_EQ(v, 0x08u);                        // SPD byte 2: DDR2
    ASSERT_TRUE(ports.Out(0x0B00, 1, 0xFF));
    ASSERT_TRUE(ports.In(0x0B00, 1, &v));
    EXPECT_EQ(v, 0x00u);
    // A wide read is made of the byte registers.
    ASSERT_TRUE(ports.In(0x0B03, 2, &v));
    EXPECT_EQ(v, 0xA102u);
    EXPECT_FALSE(ports.In(0xFFFF, 2, &v));
    EXPECT_FALSE(ports.In(0x0B00, 3, &v));
}

TEST(SmbusModel, BadBoardEntriesAreReportedNotFatal)
{
    const QByteArray board = R"({"smbus": {"base": "0x0B00", "devices": [
        {"address": "0x90", "name": "too far", "bytes": "00"},
        {"address": "0x50", "name": "not hex", "bytes": "zz"}]},
        "pci": {"functions": [{"at": "0:40.0"}]}})";
    ASSERT_TRUE(M().LoadJson(board));
    EXPECT_TRUE(M().Get<vb::Smbus>().Addresses().empty());
    EXPECT_TRUE(M().Get<vb::PciBus>().Functions().empty());
    EXPECT_TRUE(M().GetJournal().Contains("unusable SMBus device \"too far\""));
    EXPECT_TRUE(M().GetJournal().Contains("bad PCI location"));
}

} // namespace
