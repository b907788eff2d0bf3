#include "FirmwareFixture.h"
#include "support/LogCapture.h"

#include <QJsonArray>

#include <cstring>

#include "Engine/VykBIOS.h"

namespace {

class VykBIOSTest : public test::FirmwareTest {};

TEST_F(VykBIOSTest, InitReadsVersionAndCommands)
{
    Connect();
    ASSERT_TRUE(g_VykBIOS.Init());
    EXPECT_EQ(g_VykBIOS.GetVersion(), 0u);
    for (uint32_t id : {0x30001u, 0x30004u, 0x40002u})
        EXPECT_TRUE(g_VykBIOS.IsValidCommand(id)) << id;
    EXPECT_FALSE(g_VykBIOS.IsValidCommand(0x50001));
}

TEST_F(VykBIOSTest, OnlyVersionZeroIsAccepted)
{
    LoadFirmware({{"version", 1}});
    Connect();
    EXPECT_FALSE(g_VykBIOS.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_uVersion == 0)"));
    EXPECT_EQ(g_VykBIOS.GetVersion(), 1u);
}

TEST_F(VykBIOSTest, CommandListIsBoundedByTheArray)
{
    struct Case {
        const char* name;
        QJsonObject board;
        const char* fault;
        size_t valid;                            // how many of the default six ids end up listed
    };
    const Case cases[] = {
        {"count 0", {{"commands", QJsonArray{}}}, nullptr, 0},
        {"count above the array", {}, "vyk-acpi-short:QueryCommandList", 3},
        {"count and array far longer", {}, "vyk-acpi-long:QueryCommandList", 6},
    };
    for (const Case& c : cases) {
        vb::Machine::Instance().LoadDefault();
        LoadFirmware(c.board);
        if (c.fault)
            SetFault(c.fault);
        DisconnectAll();
        Connect();
        ASSERT_TRUE(g_VykBIOS.Init()) << c.name;
        size_t valid = 0;
        for (uint32_t id : {0x30001u, 0x30002u, 0x30003u, 0x30004u, 0x40001u, 0x40002u})
            valid += g_VykBIOS.IsValidCommand(id);
        EXPECT_EQ(valid, c.valid) << c.name;
    }
}

TEST_F(VykBIOSTest, InitFailsOnEmptyAnswers)
{
    Connect();
    SetFault("vyk-acpi-empty:QueryVersion");
    EXPECT_FALSE(g_VykBIOS.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(varOut.vt == VT_I4)"));
    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-empty:QueryCommandList");
    EXPECT_FALSE(g_VykBIOS.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(varOut.vt != VT_EMPTY)"));
}

TEST_F(VykBIOSTest, RunCommandRefusesOversizeBuffersBeforeAnyCall)
{
    Connect();
    uint8_t in[257] = {}, out[513] = {};
    EXPECT_NE(g_VykBIOS.RunCommand(in, 257, out, 8), uint32_t(briSuccess));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(InDataSize <= sizeof(VYK_BIOS_COMMAND))"));
    EXPECT_NE(g_VykBIOS.RunCommand(in, 8, out, 513), uint32_t(briSuccess));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(OutDataSize <= sizeof(VYK_BIOS_RESULT))"));
    EXPECT_NE(g_VykBIOS.RunCommand(nullptr, 8, out, 8), uint32_t(briSuccess));
    EXPECT_NE(g_VykBIOS.RunCommand(in, 8, nullptr, 8), uint32_t(briSuccess));
    EXPECT_EQ(Firmware().CallCount(QStringLiteral("RunCMD")), 0);
}

TEST_F(VykBIOSTest, ShortCommandIsPaddedWithZeros)
{
    Connect();
    uint8_t in[8] = {0x03, 0x00, 0x03, 0x00, 0x02, 0x00, 0xAA, 0xBB};   // 0x30003, item 2, two stray bytes
    uint8_t out[8] = {};
    EXPECT_EQ(g_VykBIOS.RunCommand(in, sizeof in, out, sizeof out), uint32_t(briSuccess));
    const QByteArray inbuf = Firmware().LastInbuf();
    ASSERT_EQ(inbuf.size(), 256);
    EXPECT_EQ(std::memcmp(inbuf.constData(), in, 8), 0);
    EXPECT_EQ(inbuf.mid(8), QByteArray(248, '\0'));
}

TEST_F(VykBIOSTest, ResultsShorterOrLongerThanAskedAreCopiedOnlyAsFarAsTheyReach)
{
    Connect();
    VYK_BIOS_COMMAND command{};
    command.uCommandId = 0x40001;

    // A result shorter than a status word is a failure, never briSuccess from a zeroed buffer.
    SetFault("vyk-acpi-short:RunCMD");
    uint8_t out[68];
    std::memset(out, 0, sizeof out);
    EXPECT_NE(g_VykBIOS.RunCommand(&command, sizeof command, out, sizeof out), uint32_t(briSuccess));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(uCopied >= sizeof(uint32_t))"));
    EXPECT_EQ(out[3], 0);                        // three bytes came, the fourth was not invented

    // A far longer result does not spill past the caller's buffer.
    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-long:RunCMD");
    uint8_t guarded[68 + 16];
    std::memset(guarded, 0xEE, sizeof guarded);
    EXPECT_EQ(g_VykBIOS.RunCommand(&command, sizeof command, guarded, 68), uint32_t(briSuccess));
    EXPECT_STREQ(reinterpret_cast<const char*>(guarded + 4), "Vyk Velocrest Firmware Inc.");
    EXPECT_EQ(guarded[68], 0xEE);

    // An empty answer and a failed call are failures too.
    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-empty:RunCMD");
    EXPECT_NE(g_VykBIOS.RunCommand(&command, sizeof command, out, sizeof out), uint32_t(briSuccess));
    vb::Machine::Instance().GetFaults().Clear();
    SetFault("vyk-acpi-fail:RunCMD");
    EXPECT_NE(g_VykBIOS.RunCommand(&command, sizeof command, out, sizeof out), uint32_t(briSuccess));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));

    // Fewer than four bytes asked: no status can be read.
    vb::Machine::Instance().GetFaults().Clear();
    EXPECT_NE(g_VykBIOS.RunCommand(&command, sizeof command, out, 2), uint32_t(briSuccess));
}

} // namespace
