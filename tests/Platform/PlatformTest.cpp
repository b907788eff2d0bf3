#include <QCoreApplication>
#include <QString>

#include <atomic>
#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "Platform/Accounts.h"
#include "Platform/Cpuid.h"
#include "Platform/Module.h"
#include "Platform/Priority.h"
#include "Platform/SystemInformation.h"
#include "Platform/Time.h"
#include "support/TestEnvironment.h"
#include "VirtualBoard/Clock.h"

namespace {

TEST(Time, CountersComeFromTheMachineClock)
{
    test::Clock().SetStepPerRead(0);
    int64_t frequency = 0, c0 = 0, c1 = 0;
    ASSERT_TRUE(plat::QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency, 10'000'000);
    ASSERT_TRUE(plat::QueryPerformanceCounter(&c0));
    const uint64_t tick0 = plat::GetTickCount64();
    plat::Sleep(250);                                  // returns at once on the test clock
    ASSERT_TRUE(plat::QueryPerformanceCounter(&c1));
    EXPECT_EQ(c1 - c0, 2'500'000);
    EXPECT_EQ(plat::GetTickCount64() - tick0, 250u);
    EXPECT_EQ(test::Clock().SleptNs(), 250'000'000u);
}

TEST(Cpuid, ServedByTheSimulatedProcessor)
{
    EXPECT_TRUE(plat::IsCpuidAvailable());
    EXPECT_EQ(plat::Cpuid(1).eax, 0x00100F42u);
    EXPECT_EQ(plat::Cpuid(0).ebx, 0x68747541u);        // "Auth"
}

TEST(Module, ExecutablePathFitsOrIsRefused)
{
    char16_t buffer[4096];
    ASSERT_TRUE(plat::GetExecutablePath(buffer, std::size(buffer)));
    EXPECT_EQ(QString::fromStdU16String(buffer), QCoreApplication::applicationFilePath());
    char16_t tiny[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_FALSE(plat::GetExecutablePath(tiny, std::size(tiny)));
    EXPECT_EQ(tiny[0], 0);
}

TEST(Accounts, LinuxAdministratorsAreRootOrSudoers)
{
    std::u16string user;
    ASSERT_TRUE(plat::Accounts().GetUserNameEx(user));
    EXPECT_NE(user.find(u'\\'), std::u16string::npos);
    std::vector<std::u16string> groups;
    ASSERT_EQ(plat::Accounts().GetLocalGroups(user, groups), 0u);
    const bool admin = std::find(groups.begin(), groups.end(), u"Administrators") != groups.end();
    if (geteuid() == 0) {
        EXPECT_TRUE(admin);
    }
    EXPECT_NE(plat::Accounts().GetLocalGroups(u"HOST\\no-such-user-here", groups), 0u);
}

TEST(Priority, LoweringWorksAndRaisingMayBeRefused)
{
    // Run on a thread of its own: a lowered priority cannot always be raised back.
    std::atomic<bool> done{false};
    std::thread thread([&] {
        plat::IPriority& p = plat::Priority();
        int before = 0;
        ASSERT_TRUE(p.GetThreadPriority(&before));
        ASSERT_TRUE(p.SetThreadPriority(plat::THREAD_PRIORITY_IDLE));
        int now = 0;
        ASSERT_TRUE(p.GetThreadPriority(&now));
        EXPECT_EQ(now, plat::THREAD_PRIORITY_IDLE);
        uint32_t cls = 0;
        EXPECT_TRUE(p.GetPriorityClass(&cls));
        EXPECT_FALSE(p.SetPriorityClass(0x12345));      // not a class
        done = true;
    });
    thread.join();
    EXPECT_TRUE(done);
}

TEST(SystemInformation, LinuxRecordsAndLengthMismatch)
{
    plat::ISystemInformation& s = plat::SystemInformation();
    ASSERT_TRUE(s.IsAvailable());
    plat::ProcessorTimesRecord one{};
    uint32_t needed = 0;
    const int32_t status = s.Query(plat::SystemProcessorTimes, &one, 0, &needed);
    EXPECT_EQ(status, plat::STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(needed % sizeof(plat::ProcessorTimesRecord), 0u);
    EXPECT_EQ(needed / sizeof(plat::ProcessorTimesRecord), static_cast<uint32_t>(sysconf(_SC_NPROCESSORS_CONF)));
    EXPECT_EQ(s.Query(99, nullptr, 0, &needed), plat::STATUS_INVALID_INFO_CLASS);
    plat::FileCacheRecord cache{};
    EXPECT_EQ(s.Query(plat::SystemFileCacheInformation, &cache, sizeof cache, &needed), plat::STATUS_SUCCESS);
    EXPECT_GT(cache.MaximumWorkingSet, 0u);
}

} // namespace
