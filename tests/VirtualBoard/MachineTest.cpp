#include <QFile>

#include <gtest/gtest.h>

#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/Processor.h"
#include "support/TestEnvironment.h"

namespace {

vb::Machine& M() { return vb::Machine::Instance(); }

TEST(Machine, BuiltInBoardHasAProcessor)
{
    EXPECT_FALSE(M().BoardName().isEmpty());
    EXPECT_EQ(M().Get<vb::Processor>().Vendor(), "AuthenticVyk");
    EXPECT_EQ(&M().Get<vb::Processor>(), &M().Get<vb::Processor>());
}

TEST(Machine, BoardFileFromEnvironmentAndFallback)
{
    QFile file(test::TestDir() + QStringLiteral("/board.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"name": "Tiny", "processor": {"cores": 2}, "faults": ["performance-counter"]})");
    file.close();
    qputenv("VELOCREST_BOARD", file.fileName().toLocal8Bit());
    M().LoadDefault();
    EXPECT_EQ(M().BoardName(), QStringLiteral("Tiny"));
    EXPECT_EQ(M().Get<vb::Processor>().CoreCount(), 2);
    EXPECT_TRUE(M().GetFaults().IsSet("performance-counter"));
    EXPECT_EQ(M().BoardDir(), test::TestDir());

    qputenv("VELOCREST_BOARD", "/nonexistent/board.json");
    M().LoadDefault();
    qunsetenv("VELOCREST_BOARD");
    EXPECT_EQ(M().BoardName(), QStringLiteral("Vyk Velocrest reference board"));
    EXPECT_TRUE(M().GetJournal().Contains("cannot load board file /nonexistent/board.json"));
    EXPECT_FALSE(M().GetFaults().IsSet("performance-counter"));
}

TEST(Machine, RejectsMalformedJson)
{
    QString error;
    EXPECT_FALSE(M().LoadJson("{not json", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(M().LoadJson("[1, 2]", &error));
    EXPECT_EQ(M().Get<vb::Processor>().Vendor(), "AuthenticVyk");   // the old board stays
}

TEST(Machine, NumbersAsTextOrJson)
{
    EXPECT_EQ(vb::ToU64(QJsonValue(QStringLiteral("0x1F"))), 31u);
    EXPECT_EQ(vb::ToU64(QJsonValue(42)), 42u);
    EXPECT_EQ(vb::ToU64(QJsonValue(QStringLiteral("zz")), 7), 7u);
    EXPECT_EQ(vb::ToU64(QJsonValue(true)), 1u);
    // A number no unsigned 64-bit integer holds is no number to it: the fallback,
    // never a conversion whose result is undefined.
    for (const double number : {-1.0, -0.5, 2.5, 1e30, 18446744073709551616.0}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(vb::ToU64(QJsonValue(number), 7), 7u);
    }
    EXPECT_EQ(vb::ToU64(QJsonValue(18446744073709549568.0), 7), 18446744073709549568u);
}

TEST(Processor, CpuidLeavesAndOverrides)
{
    vb::Processor& cpu = M().Get<vb::Processor>();
    const vb::CpuidRegs leaf0 = cpu.Cpuid(0);
    char vendor[13] = {};
    memcpy(vendor, &leaf0.ebx, 4);
    memcpy(vendor + 4, &leaf0.edx, 4);
    memcpy(vendor + 8, &leaf0.ecx, 4);
    EXPECT_STREQ(vendor, "AuthenticVyk");
    EXPECT_EQ(cpu.Cpuid(1).eax, 0x00100F42u);
    EXPECT_EQ((cpu.Cpuid(1).ebx >> 16) & 0xFF, 4u);
    EXPECT_EQ(cpu.Cpuid(0x80000008).ecx & 0xFF, 3u);
    EXPECT_EQ(cpu.Cpuid(0x80000007).edx & 0x86, 0x86u);
    EXPECT_EQ(cpu.Cpuid(6).eax, 0u);                   // above the highest leaf

    ASSERT_TRUE(M().LoadJson(R"({"processor": {"cpuid": {"0x1": ["0x00000F48", 0, 0, 0]}}})"));
    EXPECT_EQ(M().Get<vb::Processor>().Cpuid(1).eax, 0x00000F48u);
}

TEST(Processor, RegistersExistOnlyWhenListed)
{
    vb::Processor& cpu = M().Get<vb::Processor>();
    uint64_t v = 0;
    ASSERT_TRUE(cpu.ReadMsr(0xC0010071, &v));
    EXPECT_EQ((v >> 9) & 0x7F, 0x12u);
    EXPECT_TRUE(cpu.WriteMsr(0xC0010071, 0x1234));
    ASSERT_TRUE(cpu.ReadMsr(0xC0010071, &v));
    EXPECT_EQ(v, 0x1234u);
    EXPECT_FALSE(cpu.ReadMsr(0x12345, &v));
    EXPECT_FALSE(cpu.WriteMsr(0x12345, 1));
}

TEST(Processor, TimeStampCounterFollowsClockAndStaysMonotonic)
{
    vb::Processor& cpu = M().Get<vb::Processor>();
    test::Clock().SetStepPerRead(0);
    const uint64_t t0 = cpu.ReadTsc();
    test::Clock().Advance(1'000'000);                  // 1 ms at 3200 MHz
    const uint64_t t1 = cpu.ReadTsc();
    EXPECT_EQ(t1 - t0, 3'200'000u);
    cpu.SetCoreClockMHz(1000);
    test::Clock().Advance(1'000'000);
    EXPECT_EQ(cpu.ReadTsc() - t1, 1'000'000u);

    vb::ManualClock earlier(5);                        // a clock far behind the old one
    vb::ScopedClock scoped(earlier);
    EXPECT_GE(cpu.ReadTsc(), t1);
}

TEST(Clock, ManualClockMovesOnlyWhenTold)
{
    vb::ManualClock clock(100, 0);
    EXPECT_EQ(clock.NowNs(), 100u);
    clock.SleepNs(50);
    EXPECT_EQ(clock.NowNs(), 150u);
    EXPECT_EQ(clock.SleptNs(), 50u);
    clock.SetStepPerRead(10);
    EXPECT_EQ(clock.NowNs(), 160u);
}

} // namespace
