// Memory modules: their records are the SPD bytes on the SMBus, read by the same
// driver path the Engine uses, and their bus clock is the controller's.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "Engine/DriverHandler.h"
#include "Engine/MICDatabase.h"
#include "QvxTestSupport.h"
#include "support/BoardEdits.h"
#include "support/LogCapture.h"

namespace {

using test::QvxTest;
using test::Str;

std::vector<uint8_t> SpdOverTheDriver(uint8_t address)
{
    std::vector<uint8_t> bytes(128);
    for (uint8_t offset = 0; offset < 128; ++offset)
        EXPECT_TRUE(g_DriverHandler.AccessSMBus(static_cast<uint8_t>(address << 1 | 1), offset, bytes[offset]));
    return bytes;
}

struct Set {
    double mhz, tcl, trp, trrd, trcd, tras, twr, twtr, trtp, trc;
};

void ExpectSet(const SPD_TIMING& t, const Set& e, int k)
{
    SCOPED_TRACE(k);
    EXPECT_NEAR(t.dFrequency, e.mhz, 0.01);
    const double got[9] = {t.Tcl, t.Trp, t.Trrd, t.Trcd, t.Tras, t.Twr, t.Twtr, t.Trtp, t.Trc};
    const double want[9] = {e.tcl, e.trp, e.trrd, e.trcd, e.tras, e.twr, e.twtr, e.trtp, e.trc};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(got[i], want[i]) << i;
}

TEST_F(QvxTest, ModulesAreTheSpdEepromsOnTheSmbus)
{
    ASSERT_TRUE(g_DriverHandler.Init());
    ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtMemory), 2u);
    for (unsigned long i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        IMemoryModuleDevice* m = Module(i);
        EXPECT_EQ(m->GetSlotLocation(), 2.0 * i);     // DIMM slots 0 and 2
        const std::vector<uint8_t> bytes = SpdOverTheDriver(static_cast<uint8_t>(0x50 + 2 * i));
        const SPD_INFO* spd = m->GetSPDInfo();
        ASSERT_NE(spd, nullptr);
        EXPECT_EQ(spd->nMemoryType, bytes[2]);
        EXPECT_EQ(std::string(spd->szPartNumber), std::string(bytes.begin() + 73, bytes.begin() + 85));
        EXPECT_EQ(spd->uSerialNumber, uint32_t(bytes[95]) << 24 | bytes[96] << 16 | bytes[97] << 8 | bytes[98]);
        EXPECT_STREQ(spd->szManufacturer, g_MICDatabase.GetMIC(&bytes[64]));
        EXPECT_STREQ(spd->szManufacturer, "Juv Technologies");
        EXPECT_STREQ(spd->szDate, "Week 23, 2009");
        EXPECT_EQ(spd->bExtraSet, 0);
        EXPECT_TRUE(std::isnan(spd->ExtraTiming.dFrequency));
        // DDR2-800 CL5, then CL4 at 333 MHz and CL3 at 266 MHz.
        ExpectSet(spd->Timing[0], {400, 5, 6, 3, 6, 18, 6, 3, 3, 24}, 0);
        ExpectSet(spd->Timing[1], {333.33, 4, 5, 3, 5, 15, 5, 3, 3, 20}, 1);
        ExpectSet(spd->Timing[2], {266.67, 3, 4, 2, 4, 12, 4, 2, 2, 16}, 2);
        // The other slots agree with the record.
        EXPECT_EQ(m->GetCapacity(), 1024.0 * 1024 * 1024);
        EXPECT_EQ(spd->dCapacity, m->GetCapacity());
        EXPECT_EQ(m->GetMemoryType(), mtDDR2_SDRAM);
        EXPECT_DOUBLE_EQ(m->GetMaxBandwidth(), 6.4e9);
        EXPECT_EQ(spd->dMaxBandwidth, m->GetMaxBandwidth());
        EXPECT_STREQ(m->GetPartNumber(), spd->szPartNumber);
        EXPECT_EQ(m->GetSerialNumber(), spd->uSerialNumber);
        EXPECT_EQ(m->GetDataWidth(), 64);
        EXPECT_EQ(Str(m->GetName()), QString::fromLatin1(spd->szPartNumber));
        EXPECT_EQ(Str(m->GetVendor()), QStringLiteral("Juv Technologies"));
        EXPECT_EQ(Str(m->GetDescription()), QStringLiteral("1024 MB DDR2 SDRAM DIMM"));
    }
    EXPECT_NE(Module(0)->GetSerialNumber(), Module(1)->GetSerialNumber());
    g_DriverHandler.UnInit();
}

TEST_F(QvxTest, ModuleBusClockIsTheMemoryClockWritten)
{
    MEMORY_CONFIG config{};
    ASSERT_TRUE(MC()->GetConfig(&config));
    EXPECT_EQ(Module(0)->GetBusFrequency(), config.MemClk);
    double list[256];
    unsigned count = 256;
    ASSERT_TRUE(MC()->GetMemClkList(list, &count));
    config.MemClk = list[2];
    ASSERT_TRUE(MC()->SetConfig(&config));
    EXPECT_EQ(Module(1)->GetBusFrequency(), list[2]);
    EXPECT_EQ(MC()->GetMemoryFrequency(0, 0), list[2]);
}

// A DDR3-1866 module (13-13-13) of the board's own DDR3-1333 geometry: its times need
// the fine corrections (1 ps steps) to the medium timebase. Bytes 14 and 15 are the
// CAS latencies it supports (bit i: CL 4 + i).
std::vector<uint8_t> Ddr3Of1866(uint8_t latenciesLow = 0xFE, uint8_t latenciesHigh = 0x03)
{
    std::vector<uint8_t> b(256, 0);
    const uint8_t head[] = {0x92, 0x10, 0x0B, 0x02, 0x03, 0x11, 0x00, 0x01, 0x03,
                            0x11,               // fine timebase 1/1 ps
                            0x01, 0x08,         // medium timebase 1/8 ns
                            0x09, 0x00,         // tCK 1.125 ns, corrected by byte 34
                            latenciesLow, latenciesHigh,   // CL 5 to 13
                            0x70, 0x78, 0x70, 0x30, 0x70,   // tAA, tWR, tRCD, tRRD, tRP
                            0x11, 0x10, 0x82,   // tRAS 34 ns, tRC 48.25 ns
                            0x70, 0x03, 0x3C, 0x3C, 0x00, 0xF0, 0x83, 0x01, 0x00, 0x00,
                            0xCA, 0xA6, 0xA6, 0xA6, 0xA6};  // -54 ps on tCK, -90 ps on tAA, tRCD, tRP, tRC
    std::copy(std::begin(head), std::end(head), b.begin());
    const uint8_t maker[] = {0x83, 0x8F, 0x01, 0x10, 0x05, 0x10, 0x20, 0x30, 0x03};
    std::copy(std::begin(maker), std::end(maker), b.begin() + 117);
    const char part[] = "VK2G1866U13-2G    ";
    std::copy(part, part + 18, b.begin() + 128);
    unsigned crc = 0;                   // CRC-16 over bytes 0 to 116
    for (int i = 0; i < 117; ++i) {
        crc ^= unsigned(b[size_t(i)]) << 8;
        for (int k = 0; k < 8; ++k)
            crc = crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1;
    }
    b[126] = static_cast<uint8_t>(crc);
    b[127] = static_cast<uint8_t>(crc >> 8);
    return b;
}

// A board file of the fixtures, or the built-in default board.
QJsonObject BoardJson(const char* board)
{
    QFile file(QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(board)));
    if (!file.open(QIODevice::ReadOnly))
        return test::DefaultBoard();
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The first SPD EEPROM of a DDR or DDR2 board with some bytes changed, its checksum
// (byte 63, the sum of bytes 0 to 62) made right again.
std::vector<uint8_t> EditedSpd(const char* board, std::initializer_list<std::pair<int, uint8_t>> edits)
{
    const QJsonArray devices = BoardJson(board).value("smbus").toObject().value("devices").toArray();
    const QByteArray hex = QByteArray::fromHex(devices.at(0).toObject().value("bytes").toString().toLatin1());
    std::vector<uint8_t> b(hex.begin(), hex.end());
    for (const auto& [offset, value] : edits)
        b.at(static_cast<size_t>(offset)) = value;
    uint8_t sum = 0;
    for (size_t i = 0; i < 63; ++i)
        sum = static_cast<uint8_t>(sum + b[i]);
    b.at(63) = sum;
    return b;
}

// A board (of the fixtures, or the default one) with other bytes in the first SPD EEPROM.
bool LoadBoardWithSpd(const char* board, const std::vector<uint8_t>& spd)
{
    QJsonObject root = BoardJson(board);
    QJsonObject smbus = root.value("smbus").toObject();
    QJsonArray devices = smbus.value("devices").toArray();
    QJsonObject first = devices.at(0).toObject();
    first.insert("bytes", QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(spd.data()),
                                                         static_cast<qsizetype>(spd.size())).toHex(' ')));
    devices.replace(0, first);
    smbus.insert("devices", devices);
    root.insert("smbus", smbus);
    return vb::Machine::Instance().LoadJson(QJsonDocument(root).toJson(), nullptr, QString::fromLatin1(board));
}

TEST_F(QvxTest, ModulesOfTheMemoryVariants)
{
    const double kUnknown = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* board;
        unsigned long modules;
        int type;
        double capacityMB, bandwidth;
        double firstSet[6];       // set 0 of module 0, when present: MHz, Tcl, Trcd, Trp, Tras, Trc
        std::vector<uint8_t> spd = {};   // in place of the board's first module
        const char* present = "111";     // which of module 0's three timing sets hold values
    };
    // Only what the module's standard defines counts: reserved latency bits (DDR2 bits
    // 0, 1 and 7; DDR3 bit 15) and reserved tenths of a DDR cycle time (A to F) make no set.
    const Case cases[] = {
        {"qvx-ddr", 2, mtDDR_SDRAM, 512, 3.2e9, {200, 3, 3, 3, 8, 11}},
        // With no cycle time of its fastest set, the module's bandwidth is unknown.
        {"qvx-ddr", 2, mtDDR_SDRAM, 512, kUnknown, {}, EditedSpd("qvx-ddr", {{9, 0x5A}}), "011"},
        {"default", 2, mtDDR2_SDRAM, 1024, 6.4e9, {400, 3, 6, 6, 18, 24}, EditedSpd("default", {{18, 0x0E}, {25, 0x60}}),
         "110"},
        {"default", 2, mtDDR2_SDRAM, 1024, 6.4e9, {}, EditedSpd("default", {{18, 0x83}}), "000"},
        {"qvx-ddr3-external", 2, mtDDR3_SDRAM, 2048, 1000.0 / 1.5 * 16e6, {1000.0 / 1.5, 9, 9, 9, 24, 33}},
        {"qvx-ddr3-external", 2, mtDDR3_SDRAM, 2048, 1000.0 / 1.071 * 16e6, {2800.0 / 3, 13, 13, 13, 32, 45},
         Ddr3Of1866()},
        {"qvx-ddr3-external", 2, mtDDR3_SDRAM, 2048, 1000.0 / 1.071 * 16e6, {}, Ddr3Of1866(0xFE, 0x80), "001"},
        {"qvx-no-modules", 0, 0, 0, 0, {}},
        {"qvx-bare", 0, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.board);
        SCOPED_TRACE(c.spd.empty() ? "" : "own SPD");
        if (c.spd.empty()) {
            UseBoard(c.board);
        } else {
            g_DeviceManager.UnInit();
            ASSERT_TRUE(LoadBoardWithSpd(c.board, c.spd));
            ASSERT_TRUE(g_DeviceManager.Init("test"));
        }
        ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtMemory), c.modules);
        EXPECT_EQ(Module(c.modules), nullptr);
        if (c.modules == 0)
            continue;
        const SPD_INFO* spd = Module(0)->GetSPDInfo();
        ASSERT_NE(spd, nullptr);
        EXPECT_EQ(spd->nMemoryType, c.type);
        EXPECT_EQ(Module(0)->GetMemoryType(), c.type);
        EXPECT_EQ(Module(0)->GetCapacity(), c.capacityMB * 1048576);
        if (std::isnan(c.bandwidth))
            EXPECT_TRUE(std::isnan(spd->dMaxBandwidth)) << spd->dMaxBandwidth;
        else
            EXPECT_NEAR(spd->dMaxBandwidth, c.bandwidth, 1);
        std::string present;
        for (const SPD_TIMING& set : spd->Timing)
            present += std::isfinite(set.dFrequency) ? '1' : '0';
        EXPECT_EQ(present, c.present);
        if (c.present[0] != '1')
            continue;
        const SPD_TIMING& t = spd->Timing[0];
        EXPECT_NEAR(t.dFrequency, c.firstSet[0], 1e-9);
        const double got[5] = {t.Tcl, t.Trcd, t.Trp, t.Tras, t.Trc};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(got[i], c.firstSet[i + 1]) << i;
    }
}

TEST_F(QvxTest, DdrModulesWithHalfLatenciesEmptySetsAndAProfile)
{
    UseBoard("qvx-ddr");
    const SPD_INFO* full = Module(0)->GetSPDInfo();
    ASSERT_NE(full, nullptr);
    ExpectSet(full->Timing[1], {166.67, 2.5, 3, 2, 3, 7, 3, 1, 2, 10}, 1);
    ExpectSet(full->Timing[2], {133.33, 2, 2, 2, 2, 6, 2, 1, 2, 8}, 2);
    EXPECT_EQ(full->uSerialNumber, 2748u);      // shown as "ABC"
    EXPECT_STREQ(full->szManufacturer, "Juv Technologies");

    // One CAS latency only: sets 1 and 2 are empty, and the maker's profile fills in.
    const SPD_INFO* one = Module(1)->GetSPDInfo();
    ASSERT_NE(one, nullptr);
    EXPECT_TRUE(std::isfinite(one->Timing[0].dFrequency));
    EXPECT_TRUE(std::isnan(one->Timing[1].dFrequency));
    EXPECT_TRUE(std::isnan(one->Timing[2].dFrequency));
    EXPECT_NE(one->bExtraSet, 0);
    ExpectSet(one->ExtraTiming, {220, 2.5, 3, 2, 3, 7, 3, 1, 2, 10}, 3);
    // A maker code no maker has: the long "unknown" text.
    EXPECT_STREQ(one->szManufacturer, CMICDatabase::UNKNOWN_MIC);
    EXPECT_GT(std::strlen(one->szManufacturer), 20u);
}

TEST_F(QvxTest, ModulesWhoseSpdCannotBeRead)
{
    UseBoard("qvx-unreadable-records");
    ASSERT_EQ(g_DeviceManager.GetDeviceCount(dtMemory), 2u);
    EXPECT_NE(Module(0)->GetSPDInfo(), nullptr);
    IMemoryModuleDevice* blind = Module(1);
    EXPECT_EQ(blind->GetSPDInfo(), nullptr);             // no EEPROM answers for slot 2
    EXPECT_EQ(blind->GetSlotLocation(), 2);
    EXPECT_EQ(blind->GetCapacity(), 1024.0 * 1048576);   // what the controller sees
    EXPECT_EQ(blind->GetMemoryType(), MC()->GetMemoryType());
    EXPECT_STREQ(blind->GetPartNumber(), "");
    // Its speed and width are the SPD data's: unknown without them.
    EXPECT_TRUE(std::isnan(blind->GetMaxBandwidth())) << blind->GetMaxBandwidth();
    EXPECT_TRUE(std::isnan(blind->GetDataWidth())) << blind->GetDataWidth();
    EXPECT_EQ(Str(blind->GetVendor()), QString());

    // A damaged checksum is no SPD data either.
    QJsonObject smbus = test::DefaultBoard().value("smbus").toObject();
    QJsonArray devices = smbus.value("devices").toArray();
    QJsonObject first = devices.at(0).toObject();
    QString bytes = first.value("bytes").toString();
    bytes.replace(0, 2, QStringLiteral("81"));
    first.insert("bytes", bytes);
    devices.replace(0, first);
    smbus.insert("devices", devices);
    g_DeviceManager.UnInit();
    ASSERT_TRUE(test::LoadDefaultBoardWith({{"smbus", smbus}}));
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    EXPECT_EQ(Module(0)->GetSPDInfo(), nullptr);
    EXPECT_TRUE(test::LogContains("QVXLogic: SPD checksum"));
    EXPECT_NE(Module(1)->GetSPDInfo(), nullptr);

    vb::Machine::Instance().GetFaults().Set("qvx:Memory.GetSPDInfo");
    EXPECT_EQ(Module(1)->GetSPDInfo(), nullptr);
}

} // namespace
