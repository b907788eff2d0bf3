// SMBus byte transfers on the south bridge's host controller.
#include "DriverTestSupport.h"

#include "VirtualBoard/Smbus.h"

namespace {

using namespace drvtest;

class DriverSmbus : public DriverTest {
protected:
    std::vector<uint8_t> SpdOf(uint8_t address7)
    {
        return vb::Machine::Instance().Get<vb::Smbus>().Device(address7)->Bytes();
    }
    // Status reads of the host (B+0) in the trace.
    size_t StatusReads()
    {
        size_t n = 0;
        for (const auto& e : Requests(drReadPort))
            if (e.in[0] == 0x00 && e.in[1] == 0x0B)
                ++n;
        return n;
    }
};

TEST_F(DriverSmbus, EveryModuleReadsBackItsSpd)
{
    for (uint8_t address : {0x50, 0x52}) {
        const std::vector<uint8_t> spd = SpdOf(address);
        for (int offset : {0, 2, 63, 64, 65, 73, 127}) {
            uint8_t value = 0;
            ASSERT_TRUE(handler.AccessSMBus(static_cast<uint8_t>(address << 1 | 1), static_cast<uint8_t>(offset), value));
            EXPECT_EQ(value, spd[offset]) << std::hex << int(address) << " byte " << offset;
        }
    }
    EXPECT_EQ(SpdOf(0x50)[2], 0x08);                 // DDR2
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
}

TEST_F(DriverSmbus, ByteWriteReachesTheDevice)
{
    uint8_t value = 0x5A;
    ASSERT_TRUE(handler.AccessSMBus(0x69 << 1, 0x05, value));
    EXPECT_EQ(SpdOf(0x69)[5], 0x5A);
    // The transfer's register sequence: address, command, data, then start.
    const auto outs = Requests(drWritePort);
    std::vector<std::pair<int, int>> seq;
    for (const auto& e : outs)
        seq.push_back({e.in[0], e.in[4]});
    const std::vector<std::pair<int, int>> expected{{0x00, 0xFF}, {0x04, 0xD2}, {0x03, 0x05}, {0x05, 0x5A}, {0x02, 0x48}};
    EXPECT_EQ(seq, expected);
}

TEST_F(DriverSmbus, AbsentDeviceFailsWithoutALine)
{
    uint8_t value = 0;
    EXPECT_FALSE(handler.AccessSMBus(0x57 << 1 | 1, 0, value));
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("smbus: read 0x57 cmd 0x00 data 0x00 status 0x04"));
}

TEST_F(DriverSmbus, ControllerFaults)
{
    struct Case {
        const char* fault;
        const char* line;
    };
    const Case cases[] = {
        {"smbus-absent", "LOG_PROCESS_ERROR(ucData != 0xFF)"},
        {"smbus-never-done", "LOG_PROCESS_ERROR(ucData & SMBUS_DONE)"},
        // Busy for ever: the transfer goes on after 1000 reads, then "done" never
        // comes, and the stale data register is not passed off as the answer.
        {"smbus-stuck-busy", "LOG_PROCESS_ERROR(ucData & SMBUS_DONE)"},
    };
    for (const Case& c : cases) {
        Faults().Clear();
        Faults().Set(c.fault);
        Driver().ClearTrace();
        test::LogCapture::Instance().Clear();
        uint8_t value = 0;
        EXPECT_FALSE(handler.AccessSMBus(0x50 << 1 | 1, 0, value)) << c.fault;
        EXPECT_TRUE(test::LogContains(c.line)) << c.fault;
        EXPECT_EQ(test::LogCapture::Instance().Lines().size(), 1u) << c.fault;
    }
    EXPECT_EQ(StatusReads(), 1000u + 1000u);         // both waits ran their course
    Faults().Clear();

    Faults().Set("smbus-collision");
    uint8_t value = 0;
    test::LogCapture::Instance().Clear();
    EXPECT_FALSE(handler.AccessSMBus(0x50 << 1 | 1, 0, value));
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
}

TEST_F(DriverSmbus, ReadBackMismatchStartsAgainOnce)
{
    Faults().Set("smbus-readback-once");
    uint8_t value = 0;
    ASSERT_TRUE(handler.AccessSMBus(0x50 << 1 | 1, 2, value));
    EXPECT_EQ(value, 0x08);
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR(ucData == ucAddress)"), 1u);
    EXPECT_EQ(test::LogCapture::Instance().Lines().size(), 1u);
    size_t starts = 0;
    for (const auto& e : Requests(drWritePort))
        if (e.in[0] == 0x02 && e.in[4] == 0x48)
            ++starts;
    EXPECT_EQ(starts, 2u);
}

TEST_F(DriverSmbus, ReadBackThatNeverMatchesGivesUp)
{
    Faults().Set("smbus-readback-bad");
    uint8_t value = 0;
    EXPECT_FALSE(handler.AccessSMBus(0x50 << 1 | 1, 0, value));
    EXPECT_EQ(test::LogCount("LOG_CHECK_ERROR(ucData == ucAddress)"), 4u);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(nRestart <= SMBUS_MAX_RESTART)"));
}

TEST(DriverSmbusBase, ZeroBaseTouchesNoPort)
{
    ScopedExecutable exe;
    ScopedMCFG mcfg(DefaultMCFG());
    LoadBoard([](QJsonObject& board) {
        EditPciFunction(board, "00:14.0", [](QJsonObject& f) { f = QJsonObject(); });
    });
    CDriverHandler handler;
    ASSERT_TRUE(handler.Init());                      // no SMBus is not fatal
    Driver().ClearTrace();
    uint8_t value = 0;
    EXPECT_FALSE(handler.AccessSMBus(0x50 << 1 | 1, 0, value));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_usSMBusBase != 0)"));
    EXPECT_TRUE(Requests(drReadPort).empty());
    EXPECT_TRUE(Requests(drWritePort).empty());
    handler.UnInit();
}

TEST(DriverSmbusBase, Ddr3BoardWithFourModules)
{
    ScopedExecutable exe;
    ScopedMCFG mcfg(DefaultMCFG());
    QFile file(QStringLiteral(VELOCREST_FIXTURES "/boards/ddr3-smbus.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject variant = QJsonDocument::fromJson(file.readAll()).object();
    LoadBoard([&](QJsonObject& board) { board.insert("smbus", variant.value("smbus")); });
    CDriverHandler handler;
    ASSERT_TRUE(handler.Init());
    for (uint8_t address : {0x50, 0x51, 0x52, 0x53}) {
        const auto& spd = vb::Machine::Instance().Get<vb::Smbus>().Device(address)->Bytes();
        for (int offset : {0, 2, 117, 118, 126, 127}) {
            uint8_t value = 0;
            ASSERT_TRUE(handler.AccessSMBus(static_cast<uint8_t>(address << 1 | 1), static_cast<uint8_t>(offset), value));
            EXPECT_EQ(value, spd[offset]);
        }
    }
    uint8_t type = 0;
    ASSERT_TRUE(handler.AccessSMBus(0x53 << 1 | 1, 2, type));
    EXPECT_EQ(type, 0x0B);                            // DDR3
    handler.UnInit();
}

} // namespace
