#include <gtest/gtest.h>

#include "Engine/LogCheck.h"
#include "support/LogCapture.h"

namespace {

TEST(LogFunctionName, Table)
{
    const std::pair<const char*, const char*> cases[] = {
        {"bool CLog::Init(const char*, int, int, int)", "CLog::Init"},
        {"bool g_InitEngine()", "g_InitEngine"},
        {"virtual bool CDriverHandler::RDMSR(uint32_t, uint32_t&, uint32_t&)", "CDriverHandler::RDMSR"},
        {"std::map<int, int> CFoo::Bar(int)", "CFoo::Bar"},
        {"bool {anonymous}::Helper()", "Helper"},
        {"const char16_t* g_GetCPURevision(uint32_t)", "g_GetCPURevision"},
        {"bool CCircleList<T>::Init(unsigned int) [with T = double]", "CCircleList<double>::Init"},
        {"void CPair<K, Type>::Set(const K&) [with K = int; Type = Type2]", "CPair<int, Type2>::Set"},
    };
    for (const auto& [pretty, expected] : cases)
        EXPECT_EQ(LogFunctionName(pretty), expected) << pretty;
}

struct Sample {
    bool Process(bool ok)
    {
        LOG_PROCESS_ERROR(ok);
        return true;
    }
    int Check(int value)
    {
        LOG_CHECK_ERROR(value > 0);
        return value;
    }
};

TEST(LogCheck, ProcessErrorLogsAndFails)
{
    Sample s;
    EXPECT_TRUE(s.Process(true));
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
    EXPECT_FALSE(s.Process(false));
    ASSERT_EQ(test::LogCapture::Instance().Lines().size(), 1u);
    const std::string line = test::LogCapture::Instance().Lines()[0];
    EXPECT_NE(line.find("<1>: LOG_PROCESS_ERROR(ok) at line "), std::string::npos) << line;
    EXPECT_NE(line.find(" in Sample::Process\n"), std::string::npos) << line;
}

TEST(LogCheck, CheckErrorLogsAndGoesOn)
{
    Sample s;
    EXPECT_EQ(s.Check(-3), -3);
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(value > 0) at line"));
}

} // namespace
