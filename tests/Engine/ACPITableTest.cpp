#include <gtest/gtest.h>

#include "Engine/ACPITable.h"
#include "Engine/DriverHandler.h"
#include "FirmwareBoard.h"
#include "support/LogCapture.h"

#include "VirtualBoard/Firmware/FirmwareTables.h"

namespace {

using test::AcpiTable;
using test::Blob;
using test::LoadDefaultBoardWith;
using test::U32s;

const uint64_t kFree = 0xBFF80000;   // above the board's own tables

class AcpiTables : public testing::Test {
protected:
    // Starting the driver reads the tables once already (for the PCI-express base).
    void SetUp() override
    {
        ASSERT_TRUE(g_DriverHandler.Init());
        test::LogCapture::Instance().Clear();
    }
    void TearDown() override
    {
        GetACPITable().UnInit();
        g_DriverHandler.UnInit();
    }
    static bool Has(const char* signature)
    {
        const char* data = nullptr;
        uint32_t length = 0;
        return GetACPITable().GetTable(AcpiSignature(signature), data, length);
    }
    static QByteArray Get(const char* signature)
    {
        const char* data = nullptr;
        uint32_t length = 0;
        if (!GetACPITable().GetTable(AcpiSignature(signature), data, length))
            return {};
        return QByteArray(data, static_cast<int>(length));
    }
    // A board whose root pointer leads to an RSDT of our own at kFree.
    static void LoadRsdt(const QByteArray& rsdt, const QJsonArray& moreBlobs = {})
    {
        QJsonArray blobs = moreBlobs;
        blobs.prepend(Blob(kFree, rsdt));
        ASSERT_TRUE(LoadDefaultBoardWith({{"acpi", QJsonObject{{"rsdpRevision", 0}, {"rsdtAddress", "0xBFF80000"}, {"blobs", blobs}}}}));
        test::LogCapture::Instance().Clear();
    }
};

TEST_F(AcpiTables, DefaultBoardThroughBothRootTables)
{
    ASSERT_TRUE(GetACPITable().Init());
    for (const auto& s : {"RSDT", "XSDT", "FACP", "FACS", "DSDT", "APIC", "MCFG", "OEMB"})
        EXPECT_TRUE(Has(s)) << s;
    // The XSDT lists the tables the RSDT already brought, at the same addresses:
    // nothing to report.
    EXPECT_FALSE(test::LogContains("InsRet.second"));
    EXPECT_FALSE(test::LogContains("LOG_CHECK_ERROR(bRetCode)"));
    EXPECT_TRUE(test::LogContains("<4>: Unknown ACPI table signature 4F454D42\n"));
    const QByteArray mcfg = Get("MCFG");
    uint64_t base = 0;
    std::memcpy(&base, mcfg.constData() + 44, 8);
    EXPECT_EQ(base, vb::Machine::Instance().Get<vb::FirmwareTables>().EcamBase());
}

TEST_F(AcpiTables, RootPointerFailuresLeaveNothing)
{
    struct Case {
        const char* name;
        QJsonObject acpi;
        const char* logged;
    };
    const Case cases[] = {
        {"no root pointer", {{"absent", true}}, "LOG_PROCESS_ERROR(m_uRSDPAddress < ACPI_SEARCH_END)"},
        {"bad checksum", {{"corrupt", QJsonArray{"RSDP"}}}, "LOG_PROCESS_ERROR(ucCheckSum == 0)"},
        {"bad extended checksum", {{"corrupt", QJsonArray{"RSDP-extended"}}}, "LOG_PROCESS_ERROR(ucCheckSum == 0)"},
        {"bad RSDT", {{"corrupt", QJsonArray{"RSDT"}}}, "LOG_PROCESS_ERROR(bRetCode)"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(LoadDefaultBoardWith({{"acpi", c.acpi}}));
        test::LogCapture::Instance().Clear();
        EXPECT_FALSE(GetACPITable().Init()) << c.name;
        EXPECT_TRUE(test::LogContains(c.logged)) << c.name;
        EXPECT_TRUE(test::LogContains("in CACPITable::Init")) << c.name;
        EXPECT_FALSE(Has("FACP")) << c.name;
    }
}

TEST_F(AcpiTables, RevisionZeroUsesTheRsdtOnly)
{
    ASSERT_TRUE(LoadDefaultBoardWith({{"acpi", QJsonObject{{"rsdpRevision", 0}}}}));
    ASSERT_TRUE(GetACPITable().Init());
    EXPECT_FALSE(Has("XSDT"));
    EXPECT_TRUE(Has("APIC"));
    EXPECT_FALSE(test::LogContains("InsRet.second"));
}

TEST_F(AcpiTables, EmptyRsdtAndZeroEntries)
{
    LoadRsdt(AcpiTable("RSDT"));
    ASSERT_TRUE(GetACPITable().Init());
    EXPECT_EQ(Get("RSDT").size(), 36);
    EXPECT_FALSE(Has("FACP"));

    GetACPITable().UnInit();
    LoadRsdt(AcpiTable("RSDT", U32s({0, uint32_t(kFree + 0x100)})), {Blob(kFree + 0x100, AcpiTable("SSDT", "xyz"))});
    ASSERT_TRUE(GetACPITable().Init());
    EXPECT_TRUE(Has("SSDT"));
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
}

TEST_F(AcpiTables, BadTableIsSkippedAndTheRestStored)
{
    ASSERT_TRUE(LoadDefaultBoardWith({{"acpi", QJsonObject{{"corrupt", QJsonArray{"APIC"}}, {"xsdt", false}}}}));
    test::LogCapture::Instance().Clear();
    ASSERT_TRUE(GetACPITable().Init());
    EXPECT_FALSE(Has("APIC"));
    EXPECT_TRUE(Has("MCFG"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(ucCheckSum == 0) at line"));
    EXPECT_TRUE(test::LogContains("in CACPITable::Parse"));
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR(bRetCode)"), 1u);
}

TEST_F(AcpiTables, MalformedLengthsAreRejectedNotOverRead)
{
    struct Case {
        const char* name;
        QByteArray table;
        bool stored;
        const char* logged;
        bool childStored;
    };
    const uint32_t child = uint32_t(kFree + 0x200);
    const Case cases[] = {
        {"length under the header", AcpiTable("APIC", {}, true, 20), false, "uLength >= kHeaderSize", false},
        {"absurd length", AcpiTable("APIC", {}, true, 0xFFFFFFF0u), false, "uLength <= kMaxTableLength", false},
        {"short FACP: only its first address", AcpiTable("FACP", U32s({child})), true, nullptr, true},
        {"FACP without addresses", AcpiTable("FACP", "ab"), true, nullptr, false},
    };
    for (const Case& c : cases) {
        GetACPITable().UnInit();
        LoadRsdt(AcpiTable("RSDT", U32s({uint32_t(kFree + 0x100)})),
                 {Blob(kFree + 0x100, c.table), Blob(child, AcpiTable("DSDT", "aml"))});
        ASSERT_TRUE(GetACPITable().Init()) << c.name;
        EXPECT_EQ(Has("APIC") || Has("FACP"), c.stored) << c.name;
        if (c.logged) {
            EXPECT_TRUE(test::LogContains(c.logged)) << c.name;
        }
        EXPECT_EQ(Has("DSDT"), c.childStored) << c.name;
    }

    // A root table whose length is no multiple of its entry width: whole entries only.
    GetACPITable().UnInit();
    LoadRsdt(AcpiTable("RSDT", U32s({uint32_t(kFree + 0x100)}) + "zz"), {Blob(kFree + 0x100, AcpiTable("HPET"))});
    ASSERT_TRUE(GetACPITable().Init());
    EXPECT_TRUE(Has("HPET"));
}

TEST_F(AcpiTables, TablesPointingAtEachOtherEnd)
{
    // A FACP whose DSDT is the RSDT again: that table is already read, the walk stops.
    const uint32_t facp = uint32_t(kFree + 0x100);
    LoadRsdt(AcpiTable("RSDT", U32s({facp})), {Blob(facp, AcpiTable("FACP", U32s({0, uint32_t(kFree)})))});
    ASSERT_TRUE(GetACPITable().Init());
    EXPECT_TRUE(Has("FACP"));
    EXPECT_EQ(test::LogCount("CACPITable::Parse"), 0u);
}

TEST_F(AcpiTables, ASignatureListedTwice)
{
    // The same table at the same address is read once, silently; another table
    // under a signature already read is an error, and the first copy stays.
    const uint32_t first = uint32_t(kFree + 0x100), second = uint32_t(kFree + 0x200);
    const struct {
        const char* name;
        uint32_t again;
        size_t errors;
    } cases[] = {
        {"same address", first, 0},
        {"another table", second, 1},
    };
    for (const auto& c : cases) {
        GetACPITable().UnInit();
        LoadRsdt(AcpiTable("RSDT", U32s({first, c.again})),
                 {Blob(first, AcpiTable("SSDT", "one")), Blob(second, AcpiTable("SSDT", "two"))});
        ASSERT_TRUE(GetACPITable().Init()) << c.name;
        EXPECT_EQ(Get("SSDT").mid(36), "one") << c.name;
        EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(InsRet.second)"), c.errors) << c.name;
        EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR(bRetCode)"), c.errors) << c.name;
    }
}

TEST_F(AcpiTables, MissingTableIsReported)
{
    ASSERT_TRUE(LoadDefaultBoardWith({{"acpi", QJsonObject{{"mcfg", false}}}}));
    ASSERT_TRUE(GetACPITable().Init());
    test::LogCapture::Instance().Clear();
    EXPECT_FALSE(Has("MCFG"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(it != m_TableList.end())"));
    EXPECT_TRUE(test::LogContains("in CACPITable::GetTable"));
}

struct RealSet {
    const char* folder;
    std::vector<const char*> images;
    const char* oemId;
};

TEST_F(AcpiTables, RealTablesParse)
{
    const RealSet sets[] = {
        {"qemu-pc", {"FACP.bin", "FACS.bin", "DSDT.bin", "APIC.bin", "HPET.bin", "WAET.bin"}, "BOCHS "},
        {"host-vm", {"FACP.bin", "DSDT.bin", "APIC.bin", "MCFG.bin"}, "FIRECK"},
    };
    for (const RealSet& set : sets) {
        GetACPITable().UnInit();
        QJsonArray images;
        for (const char* i : set.images)
            images << i;
        const QString dir = QStringLiteral(VELOCREST_FIXTURES "/firmware/") + QLatin1String(set.folder);
        ASSERT_TRUE(LoadDefaultBoardWith({{"acpi", QJsonObject{{"images", images}}}}, dir + QStringLiteral("/board.json")));
        ASSERT_TRUE(GetACPITable().Init()) << set.folder;
        for (const char* i : set.images) {
            const QByteArray sig = QByteArray(i).left(4);
            const QByteArray copy = Get(sig.constData());
            ASSERT_FALSE(copy.isEmpty()) << set.folder << " " << i;
            if (sig != "FACS") {
                EXPECT_EQ(copy.mid(10, 6), QByteArray(set.oemId)) << i;
            }
        }
    }
    EXPECT_EQ(Get("DSDT").size(), 3923);
    EXPECT_TRUE(Get("FACP").mid(16, 8) == "FCVMFADT");
    uint64_t base = 0;
    std::memcpy(&base, Get("MCFG").constData() + 44, 8);
    EXPECT_EQ(base, 0xEEC00000u);
    EXPECT_EQ(vb::Machine::Instance().Get<vb::FirmwareTables>().EcamBase(), 0xEEC00000u);
}

} // namespace

namespace {

TEST(AcpiStartup, DriverTakesThePciExpressBaseFromTheMcfg)
{
    // The tables are read through the one driver client.
    ASSERT_TRUE(g_DriverHandler.Init());
    const uint64_t base = vb::Machine::Instance().Get<vb::FirmwareTables>().EcamBase();
    EXPECT_TRUE(test::LogContains("Found PCI MMIO base address " + QString::number(base, 16).toUpper().toStdString() + "\n"));
    EXPECT_EQ(base, 0xE0000000u);
    g_DriverHandler.UnInit();
}

} // namespace
