#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/VykAcpi.h"

namespace {

QByteArray Command(uint32_t id, uint16_t item = 0, uint8_t value = 0)
{
    QByteArray in(256, '\0');
    for (int i = 0; i < 4; ++i)
        in[i] = char(id >> (8 * i));
    in[4] = char(item);
    in[5] = char(item >> 8);
    in[6] = char(value);
    return in;
}

uint32_t Status(const QVariantMap& out)
{
    const QByteArray r = out.value(QStringLiteral("Outbuf")).toMap().value(QStringLiteral("Result")).toByteArray();
    return uint8_t(r[0]) | uint8_t(r[1]) << 8 | uint8_t(r[2]) << 16 | uint32_t(uint8_t(r[3])) << 24;
}

TEST(VykAcpi, CorruptCmosStateIsSetAsideAndTheBoardValuesStand)
{
    const QString dir = vb::Machine::StateDir();
    QDir().mkpath(dir);
    QFile file(dir + QStringLiteral("/cmos.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{ not json");
    file.close();

    vb::VykAcpi& acpi = vb::Machine::Instance().Get<vb::VykAcpi>();
    EXPECT_EQ(acpi.CmosValue(1), 1);
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/cmos.json")));
    const QStringList aside = QDir(dir).entryList({QStringLiteral("cmos.json.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(test::LogContains("CMOS state file"));

    // A write makes a fresh, readable file.
    QVariantMap out;
    ASSERT_TRUE(acpi.Invoke(QStringLiteral("RunCMD"), {{QStringLiteral("Inbuf"), Command(0x30004, 1, 2)}}, &out));
    EXPECT_EQ(Status(out), 0u);
    vb::Machine::Instance().LoadDefault();
    EXPECT_EQ(vb::Machine::Instance().Get<vb::VykAcpi>().CmosValue(1), 2);
}

TEST(VykAcpi, CommandStatusesAndRecords)
{
    vb::VykAcpi& acpi = vb::Machine::Instance().Get<vb::VykAcpi>();
    struct Case {
        QByteArray in;
        uint32_t status;
    };
    const Case cases[] = {
        {Command(0x30001), vb::kBiosSuccess},
        {Command(0x30002, 0), vb::kBiosBadItem},
        {Command(0x30002, 7), vb::kBiosBadItem},
        {Command(0x30004, 2, 7), vb::kBiosBadValue},
        {Command(0x50001), vb::kBiosUnknownCommand},
    };
    for (const Case& c : cases) {
        QVariantMap out;
        ASSERT_TRUE(acpi.Invoke(QStringLiteral("RunCMD"), {{QStringLiteral("Inbuf"), c.in}}, &out));
        EXPECT_EQ(Status(out), c.status);
    }
    QVariantMap out;
    EXPECT_FALSE(acpi.Invoke(QStringLiteral("RunCMD"), {{QStringLiteral("Inbuf"), QByteArray(8, '\0')}}, &out));
    EXPECT_FALSE(acpi.Invoke(QStringLiteral("NoSuchMethod"), {}, &out));
}

TEST(VykAcpi, ReadsAreTracedAndChangesAndFailuresJournalled)
{
    vb::VykAcpi& acpi = vb::Machine::Instance().Get<vb::VykAcpi>();
    vb::Journal& journal = vb::Machine::Instance().GetJournal();
    journal.Clear();
    QVariantMap out;
    // The pages read the CMOS items at every showing: many reads keep the trace short.
    for (size_t i = 0; i < 3 * vb::Journal::kTraceLimit; ++i)
        ASSERT_TRUE(acpi.Invoke(QStringLiteral("RunCMD"), {{QStringLiteral("Inbuf"), Command(0x30003, 1)}}, &out));
    ASSERT_TRUE(acpi.Invoke(QStringLiteral("QueryVersion"), {}, &out));
    EXPECT_EQ(journal.Entries(), std::vector<std::string>{});
    EXPECT_TRUE(journal.Traced("firmware: RunCMD 0x30003 status 0"));
    EXPECT_TRUE(journal.Traced("firmware: VYK_ACPI.QueryVersion ok"));

    // A write, a read that fails and a call that fails stay in the journal.
    ASSERT_TRUE(acpi.Invoke(QStringLiteral("RunCMD"), {{QStringLiteral("Inbuf"), Command(0x30004, 1, 2)}}, &out));
    ASSERT_TRUE(acpi.Invoke(QStringLiteral("RunCMD"), {{QStringLiteral("Inbuf"), Command(0x30003, 7)}}, &out));
    EXPECT_FALSE(acpi.Invoke(QStringLiteral("RunCMD"), {{QStringLiteral("Inbuf"), QByteArray(8, '\0')}}, &out));
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
                                     "firmware: CMOS item 1 = 2", "firmware: RunCMD 0x30004 status 0",
                                     "firmware: VYK_ACPI.RunCMD ok", "firmware: RunCMD 0x30003 status 2",
                                     "firmware: VYK_ACPI.RunCMD failed"}));
}

} // namespace
