#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

#include <gtest/gtest.h>

#include "VirtualBoard/Firmware/FirmwareTables.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/PhysicalMemory.h"

namespace {

using vb::FirmwareTables;

QByteArray Read(uint64_t address, uint32_t length)
{
    QByteArray out(static_cast<int>(length), '\0');
    vb::Machine::Instance().Get<vb::PhysicalMemory>().Read(address, reinterpret_cast<uint8_t*>(out.data()), length);
    return out;
}

uint32_t U32(const QByteArray& b, int at)
{
    uint32_t v;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

uint64_t U64(const QByteArray& b, int at)
{
    uint64_t v;
    std::memcpy(&v, b.constData() + at, 8);
    return v;
}

uint8_t Sum(const QByteArray& b)
{
    uint8_t s = 0;
    for (char c : b)
        s = static_cast<uint8_t>(s + static_cast<uint8_t>(c));
    return s;
}

QByteArray Table(uint64_t address) { return Read(address, U32(Read(address, 8), 4)); }

void LoadBoard(const char* json) { ASSERT_TRUE(vb::Machine::Instance().LoadJson(json)); }

TEST(FirmwareTables, DefaultBoardHasAValidAcpiTree)
{
    const QByteArray rsdp = Read(FirmwareTables::kRsdpAddress, 36);
    ASSERT_TRUE(rsdp.startsWith("RSD PTR "));
    EXPECT_EQ(FirmwareTables::kRsdpAddress % 16, 0u);
    EXPECT_EQ(Sum(rsdp.left(20)), 0);
    EXPECT_EQ(Sum(rsdp), 0);
    EXPECT_EQ(rsdp[15], 2);

    const QByteArray rsdt = Table(U32(rsdp, 16));
    const QByteArray xsdt = Table(U64(rsdp, 24));
    ASSERT_TRUE(rsdt.startsWith("RSDT"));
    ASSERT_TRUE(xsdt.startsWith("XSDT"));
    EXPECT_EQ(Sum(rsdt), 0);
    EXPECT_EQ(Sum(xsdt), 0);
    QStringList signatures;
    for (int at = 36; at < rsdt.size(); at += 4) {
        const QByteArray t = Table(U32(rsdt, at));
        EXPECT_EQ(Sum(t), 0) << t.left(4).toStdString();
        EXPECT_EQ(U64(xsdt, 36 + (at - 36) * 2), U32(rsdt, at));
        signatures << QString::fromLatin1(t.left(4));
        if (t.startsWith("FACP")) {
            EXPECT_TRUE(Table(U32(t, 36)).startsWith("FACS"));
            EXPECT_TRUE(Table(U32(t, 40)).startsWith("DSDT"));
            EXPECT_EQ(Sum(Table(U32(t, 40))), 0);
        }
        if (t.startsWith("MCFG")) {
            EXPECT_EQ(U64(t, 44), vb::Machine::Instance().Get<FirmwareTables>().EcamBase());
        }
    }
    EXPECT_EQ(signatures, QStringList({"FACP", "APIC", "MCFG", "OEMB"}));
    EXPECT_NE(vb::Machine::Instance().Get<FirmwareTables>().EcamBase(), 0u);
}

TEST(FirmwareTables, Variants)
{
    LoadBoard(R"({"acpi": {"rsdpRevision": 0, "mcfg": false, "oemTable": false}})");
    QByteArray rsdp = Read(FirmwareTables::kRsdpAddress, 36);
    EXPECT_EQ(rsdp[15], 0);
    EXPECT_EQ(U64(rsdp, 24), 0u);
    EXPECT_EQ(Table(U32(rsdp, 16)).size(), 36 + 2 * 4);       // FACP, APIC
    EXPECT_EQ(vb::Machine::Instance().Get<FirmwareTables>().EcamBase(), 0u);

    LoadBoard(R"({"acpi": {"xsdt": false, "corrupt": ["APIC", "RSDP"]}})");
    rsdp = Read(FirmwareTables::kRsdpAddress, 36);
    EXPECT_EQ(U64(rsdp, 24), 0u);
    EXPECT_NE(Sum(rsdp.left(20)), 0);
    const QByteArray rsdt = Table(U32(rsdp, 16));
    EXPECT_NE(Sum(Table(U32(rsdt, 36 + 4))), 0);               // APIC
    EXPECT_EQ(Sum(Table(U32(rsdt, 36))), 0);                   // FACP untouched
}

TEST(FirmwareTables, SmbiosEntryPointAndVersions)
{
    struct Case {
        const char* version;
        int biosLength, processorLength;
    };
    for (const Case& c : {Case{"2.3", 0x14, 0x23}, Case{"2.6", 0x18, 0x28}, Case{"3.2", 0x1A, 0x2A}}) {
        LoadBoard(QStringLiteral(R"({"smbios": {"version": "%1"}, "processor": {"sockets": 2}})")
                      .arg(QLatin1String(c.version)).toLatin1().constData());
        const QByteArray entry = Read(FirmwareTables::kSmbiosEntryAddress, 31);
        ASSERT_TRUE(entry.startsWith("_SM_"));
        EXPECT_EQ(Sum(entry), 0);
        EXPECT_EQ(entry.mid(0x10, 5), QByteArray("_DMI_"));
        const uint16_t length = static_cast<uint16_t>(U32(entry, 0x16) & 0xFFFF);
        const QByteArray table = Read(U32(entry, 0x18), length);
        EXPECT_EQ(table[0], 0);
        EXPECT_EQ(static_cast<uint8_t>(table[1]), c.biosLength) << c.version;
        // Walk to the end marker and count the processors.
        int at = 0, processors = 0, structures = 0;
        while (at < table.size()) {
            const int type = static_cast<uint8_t>(table[at]);
            if (type == 4) {
                ++processors;
                EXPECT_EQ(static_cast<uint8_t>(table[at + 1]), c.processorLength) << c.version;
            }
            ++structures;
            at += static_cast<uint8_t>(table[at + 1]);
            while (!(table[at] == 0 && table[at + 1] == 0))
                ++at;
            at += 2;
            if (type == 127)
                break;
        }
        EXPECT_EQ(at, table.size());
        EXPECT_EQ(processors, 2);
        EXPECT_EQ(static_cast<int>(U32(entry, 0x1C) & 0xFFFF), structures);
        EXPECT_TRUE(table.contains("Vyk Firmware Inc."));
    }
}

TEST(FirmwareTables, RawImagesFromTheBoardFolder)
{
    const QString dir = QStringLiteral(VELOCREST_FIXTURES "/firmware/qemu-pc");
    const QByteArray json = QStringLiteral(R"({"acpi": {"images": ["FACP.bin", "FACS.bin", "DSDT.bin", "HPET.bin"]},
                                               "smbios": {"image": "smbios-2.8.bin", "version": "2.8"}})")
                                .toLatin1();
    ASSERT_TRUE(vb::Machine::Instance().LoadJson(json, nullptr, dir + QStringLiteral("/board.json")));
    const QByteArray rsdp = Read(FirmwareTables::kRsdpAddress, 36);
    const QByteArray rsdt = Table(U32(rsdp, 16));
    const QByteArray facp = Table(U32(rsdt, 36));
    ASSERT_TRUE(facp.startsWith("FACP"));
    EXPECT_EQ(facp.size(), 116);                               // the image's own length
    EXPECT_EQ(Sum(facp), 0);                                   // re-sealed after pointing it at its children
    EXPECT_EQ(Table(U32(facp, 40)).size(), 6416);              // the image's DSDT
    EXPECT_TRUE(Table(U32(rsdt, rsdt.size() - 4)).startsWith("HPET"));
    const QByteArray entry = Read(FirmwareTables::kSmbiosEntryAddress, 31);
    EXPECT_EQ(U32(entry, 0x16) & 0xFFFF, 388u);
    EXPECT_TRUE(Read(U32(entry, 0x18), 388).contains("SeaBIOS"));
}

} // namespace
