#include <QStringList>

#include <gtest/gtest.h>

#include "Engine/DriverHandler.h"
#include "Engine/SMBIOS.h"
#include "FirmwareBoard.h"
#include "support/LogCapture.h"
#include "support/SmbiosImage.h"

namespace {

using test::Base64;
using test::Blob;
using test::LoadDefaultBoardWith;

using test::smbios::Structure;

const QByteArray kEnd = Structure(127, 4, {});

class Smbios : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(g_DriverHandler.Init()); }
    void TearDown() override { g_DriverHandler.UnInit(); }
    static void LoadTable(const QByteArray& table)
    {
        ASSERT_TRUE(LoadDefaultBoardWith({{"smbios", QJsonObject{{"image", Base64(table)}}}}));
        test::LogCapture::Instance().Clear();
    }
};

TEST_F(Smbios, DefaultBoardValues)
{
    ASSERT_TRUE(LoadDefaultBoardWith({{"processor", QJsonObject{{"sockets", 2}, {"cores", 4}}}}));
    CSMBIOS smbios;
    ASSERT_TRUE(smbios.Init());
    EXPECT_STREQ(smbios.GetBIOSInfo().szVendor, "Vyk Firmware Inc.");
    EXPECT_STREQ(smbios.GetBIOSInfo().szBIOSRelease, "2.10");
    EXPECT_STREQ(smbios.GetBIOSInfo().szControllerRelease, "1.04");
    EXPECT_EQ(smbios.GetBIOSInfo().dRomSize, 1024.0 * 1024.0);
    EXPECT_TRUE(smbios.GetBIOSInfo().bPCI);
    EXPECT_STREQ(smbios.GetSystemInfo().szProductName, "Velocrest Reference");
    EXPECT_STREQ(smbios.GetBaseBoardInfo().szManufacturer, "Vyk Computer Works");
    EXPECT_TRUE(smbios.GetBaseBoardInfo().bHostingBoard);
    EXPECT_EQ(smbios.GetChassisInfo().uType, 3u);
    EXPECT_EQ(smbios.GetProcessorCount(), 2u);
    const SMBIOS_PROCESSOR_INFO* cpu = smbios.GetProcessorInfo(1);
    ASSERT_NE(cpu, nullptr);
    EXPECT_STREQ(cpu->szSocketDesignation, "CPU 2");
    EXPECT_STREQ(cpu->szManufacturer, "AuthenticVyk");
    EXPECT_EQ(cpu->ullProcessorID & 0xFFFFFFFF, 0x00100F42u);
    EXPECT_EQ(cpu->ucCoreCount, 4);
    EXPECT_TRUE(cpu->b64BitCapable);
    EXPECT_TRUE(cpu->bSocketPopulated);
    // The board reports its current voltage, so no legacy voltage is claimed.
    EXPECT_FALSE(cpu->b5V || cpu->b33V || cpu->b29V);
    EXPECT_EQ(smbios.GetProcessorInfo(2)->ucCoreCount, 0);
    EXPECT_EQ(smbios.GetProcessorInfo(16), nullptr);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uProcessorIndex < MAX_DEVICE_COUNT)"));
}

TEST_F(Smbios, StringsAndFieldsTheLengthCovers)
{
    const QString longText(300, QLatin1Char('v'));
    // Vendor index 0, version index 9 (of 2 strings), date a 300-character string.
    const QByteArray bios = Structure(0, 0x14, {{0x04, 0}, {0x05, 9}, {0x08, 1}, {0x12, 0x81}, {0x13, 0x05}},
                                      {longText, QStringLiteral("x")});
    LoadTable(bios + Structure(2, 0x0F, {{0x04, 1}}, {QStringLiteral("First")}) +
              Structure(2, 0x0F, {{0x04, 1}, {0x09, 0x10}}, {QStringLiteral("Second")}) +
              // The string set right behind a 0x23-long processor: its bytes sit where
              // later versions keep the core counts and flags.
              Structure(4, 0x23, {}, {QStringLiteral("\x08\x08\x08\x04")}) + kEnd);
    CSMBIOS smbios;
    ASSERT_TRUE(smbios.Init());
    const SMBIOS_BIOS_INFO& b = smbios.GetBIOSInfo();
    EXPECT_STREQ(b.szVendor, "");
    EXPECT_STREQ(b.szVersion, "");
    EXPECT_EQ(strlen(b.szReleaseDate), 255u);
    EXPECT_TRUE(b.bACPI);
    EXPECT_TRUE(b.bSmartBattery);
    EXPECT_TRUE(b.bBIOSBootSpec);
    EXPECT_TRUE(b.bTargetedContent);
    EXPECT_FALSE(b.bNetworkBoot);
    EXPECT_STREQ(b.szBIOSRelease, "");                         // 0x14 long: no release bytes
    EXPECT_STREQ(smbios.GetBaseBoardInfo().szManufacturer, "Second");
    EXPECT_TRUE(smbios.GetBaseBoardInfo().bHotSwappable);
    const SMBIOS_PROCESSOR_INFO* p = smbios.GetProcessorInfo(0);
    EXPECT_EQ(p->ucCoreCount, 0);                               // beyond a 0x23-long structure
    EXPECT_FALSE(p->b64BitCapable);
}

TEST_F(Smbios, ReleaseBytesAtTheirFixedPlace)
{
    for (int length : {0x18, 0x1A}) {
        LoadTable(Structure(0, length, {{0x14, 5}, {0x15, 7}, {0x16, 1}, {0x17, 2}, {0x18, 0x10}}) + kEnd);
        CSMBIOS smbios;
        ASSERT_TRUE(smbios.Init());
        EXPECT_STREQ(smbios.GetBIOSInfo().szBIOSRelease, "5.07") << length;
        EXPECT_STREQ(smbios.GetBIOSInfo().szControllerRelease, "1.02") << length;
    }
}

TEST_F(Smbios, VoltageFlagsOnlyWhenTheByteHoldsNoCurrentVoltage)
{
    const struct {
        uint8_t byte;
        bool b5V, b33V, b29V;
    } cases[] = {
        {0x02, false, true, false},   // legacy flags: 3.3 V
        {0x07, true, true, true},
        {0x8C, false, false, false},  // current voltage 1.2 V
        {0x8B, false, false, false},  // 1.1 V: its low bits are not flags
        {0x00, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.byte);
        LoadTable(Structure(4, 0x28, {{0x11, c.byte}}) + kEnd);
        CSMBIOS smbios;
        ASSERT_TRUE(smbios.Init());
        const SMBIOS_PROCESSOR_INFO* p = smbios.GetProcessorInfo(0);
        EXPECT_EQ(p->b5V, c.b5V);
        EXPECT_EQ(p->b33V, c.b33V);
        EXPECT_EQ(p->b29V, c.b29V);
    }
}

TEST_F(Smbios, RomSizeFromTheSizeByteOrTheExtendedSize)
{
    const double MB = 1024.0 * 1024.0;
    const struct {
        int length;
        uint8_t size;
        uint16_t extended;
        double bytes;
    } cases[] = {
        {0x1A, 0x3F, 0, 4 * MB},
        {0x1A, 0x3F, 32, 4 * MB},               // the extended size counts only after 0xFF
        {0x1A, 0xFF, 16, 16 * MB},
        {0x1A, 0xFF, 32, 32 * MB},
        {0x1A, 0xFF, 0x4002, 2048 * MB},        // unit bits 01: gigabytes
        {0x1A, 0xFF, 0x8002, 16 * MB},          // a unit not defined: the byte's own size
        {0x1A, 0xFF, 0, 16 * MB},
        {0x18, 0xFF, 0, 16 * MB},               // too short for an extended size
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " " << int(c.size) << " " << c.extended);
        QByteArray bios = Structure(0, c.length, {{0x09, c.size}});
        if (c.length >= 0x1A) {
            bios[0x18] = static_cast<char>(c.extended);
            bios[0x19] = static_cast<char>(c.extended >> 8);
        }
        LoadTable(bios + kEnd);
        CSMBIOS smbios;
        ASSERT_TRUE(smbios.Init());
        EXPECT_EQ(smbios.GetBIOSInfo().dRomSize, c.bytes);
    }
}

TEST_F(Smbios, SeventeenProcessorsFail)
{
    QByteArray table;
    for (int i = 0; i < 17; ++i)
        table += Structure(4, 0x28, {{0x16, static_cast<uint8_t>(i + 1)}});
    LoadTable(table + kEnd);
    CSMBIOS smbios;
    EXPECT_FALSE(smbios.Init());
    EXPECT_EQ(smbios.GetProcessorCount(), 16u);
    EXPECT_EQ(smbios.GetProcessorInfo(15)->usCurrentSpeed, 16);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_uProcessorCount < MAX_DEVICE_COUNT)"));
    EXPECT_TRUE(test::LogContains("in CSMBIOS::_ExtractProcessor"));
}

TEST_F(Smbios, CutOrCorruptTablesStopTheWalk)
{
    const QByteArray board = Structure(2, 0x0F, {{0x04, 1}}, {QStringLiteral("Kept")});
    struct Case {
        const char* name;
        QByteArray tail;
    };
    const Case cases[] = {
        {"string set without its end", Structure(1, 0x1B, {{0x04, 1}}, {QStringLiteral("Cut")}).chopped(2)},
        {"formatted length past the end", QByteArray::fromHex("01ff0000")},
        {"formatted length under the header", QByteArray::fromHex("01020000") + QByteArray(8, '\0')},
        {"header cut", QByteArray::fromHex("0104")},
    };
    for (const Case& c : cases) {
        LoadTable(board + c.tail);
        CSMBIOS smbios;
        EXPECT_TRUE(smbios.Init()) << c.name;
        EXPECT_STREQ(smbios.GetBaseBoardInfo().szManufacturer, "Kept") << c.name;
        EXPECT_STREQ(smbios.GetSystemInfo().szManufacturer, "") << c.name;
        EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(")) << c.name;
    }
}

TEST_F(Smbios, NoAnchorOrAnchorTooLate)
{
    ASSERT_TRUE(LoadDefaultBoardWith({{"smbios", QJsonObject{{"absent", true}}}}));
    CSMBIOS none;
    EXPECT_FALSE(none.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bFound)"));

    // An anchor whose entry point would run past the end of the window.
    ASSERT_TRUE(LoadDefaultBoardWith({{"smbios", QJsonObject{{"absent", true}}},
                               {"acpi", QJsonObject{{"blobs", QJsonArray{Blob(0xFFFF0, "_SM_")}}}}}));
    test::LogCapture::Instance().Clear();
    CSMBIOS late;
    EXPECT_FALSE(late.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bFound)"));
}

TEST_F(Smbios, RealTableParses)
{
    const QString dir = QStringLiteral(VELOCREST_FIXTURES "/firmware/qemu-pc");
    ASSERT_TRUE(LoadDefaultBoardWith({{"smbios", QJsonObject{{"image", "smbios-2.8.bin"}, {"version", "2.8"}}}},
                              dir + QStringLiteral("/board.json")));
    CSMBIOS smbios;
    ASSERT_TRUE(smbios.Init());
    EXPECT_STREQ(smbios.GetBIOSInfo().szVendor, "SeaBIOS");
    EXPECT_STREQ(smbios.GetBIOSInfo().szVersion, "1.16.2-debian-1.16.2-1");
    EXPECT_STREQ(smbios.GetBIOSInfo().szReleaseDate, "04/01/2014");
    EXPECT_STREQ(smbios.GetSystemInfo().szManufacturer, "QEMU");
    EXPECT_STREQ(smbios.GetSystemInfo().szProductName, "Standard PC (i440FX + PIIX, 1996)");
    EXPECT_STREQ(smbios.GetSystemInfo().szVersion, "pc-i440fx-7.2");
    EXPECT_STREQ(smbios.GetChassisInfo().szManufacturer, "QEMU");
    EXPECT_STREQ(smbios.GetBaseBoardInfo().szManufacturer, "");    // this machine has no type 2
    ASSERT_EQ(smbios.GetProcessorCount(), 1u);
    EXPECT_STREQ(smbios.GetProcessorInfo(0)->szSocketDesignation, "CPU 0");
    EXPECT_STREQ(smbios.GetProcessorInfo(0)->szManufacturer, "QEMU");
}

} // namespace
