#include "QvxTestSupport.h"

#include <QFile>

namespace test {

bool LoadBoard(const char* name)
{
    const QString file = QString::fromLatin1(name) + QStringLiteral(".json");
    for (const QString& dir : {QStringLiteral(VELOCREST_FIXTURES "/boards/"), QStringLiteral(":/boards/")}) {
        if (QFile::exists(dir + file))
            return vb::Machine::Instance().LoadFile(dir + file);
    }
    return false;
}

void QvxTest::SetUp() { ASSERT_TRUE(g_DeviceManager.Init("test")); }

void QvxTest::TearDown()
{
    g_PerformanceControl.UnInitialize();
    g_DeviceManager.UnInit();
}

void QvxTest::UseBoard(const char* name)
{
    g_DeviceManager.UnInit();
    ASSERT_TRUE(LoadBoard(name)) << name;
    ASSERT_TRUE(g_DeviceManager.Init("test"));
}

std::vector<std::string> QvxJournal()
{
    std::vector<std::string> out;
    for (const std::string& line : vb::Machine::Instance().GetJournal().Entries())
        if (line.rfind("qvx: ", 0) == 0)
            out.push_back(line.substr(5));
    return out;
}

QString Str(const char16_t* text) { return text ? QString::fromUtf16(text) : QStringLiteral("<null>"); }

} // namespace test
