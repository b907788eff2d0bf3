// Named semaphores and mutexes, and the service table, shared across processes.
#include <QFile>

#include <thread>

#include <gtest/gtest.h>

#include "Platform/LastError.h"
#include "Platform/NamedObjects.h"
#include "Platform/RuntimeDir.h"
#include "Platform/ServiceManager.h"
#include "support/TestEnvironment.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/Machine.h"

namespace {

const char16_t kSddl[] = u"D:(A;OICI;GA;;;BA)";

TEST(NamedSemaphore, CountsAndPreviousCount)
{
    EXPECT_EQ(plat::OpenSemaphore(u"Global\\Test"), nullptr);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);
    plat::NamedHandle a = plat::CreateSemaphore(u"Global\\Test", 2, 2, kSddl);
    ASSERT_NE(a, nullptr);
    plat::NamedHandle b = plat::OpenSemaphore(u"Global\\Test");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(plat::WaitForSingleObject(a, 0), plat::WAIT_OBJECT_0);
    EXPECT_EQ(plat::WaitForSingleObject(b, 0), plat::WAIT_OBJECT_0);
    EXPECT_EQ(plat::WaitForSingleObject(b, 0), plat::WAIT_TIMEOUT);
    // A wait with a timeout runs on the machine clock, not on real time.
    const uint64_t slept = test::Clock().SleptNs();
    EXPECT_EQ(plat::WaitForSingleObject(b, 5000), plat::WAIT_TIMEOUT);
    EXPECT_GE(test::Clock().SleptNs() - slept, 4'000'000'000u);
    int32_t previous = -1;
    EXPECT_TRUE(plat::ReleaseSemaphore(a, 1, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_TRUE(plat::ReleaseSemaphore(a, 1, &previous));
    EXPECT_EQ(previous, 1);
    EXPECT_FALSE(plat::ReleaseSemaphore(a, 1, &previous));   // beyond the maximum
    EXPECT_EQ(plat::GetLastError(), plat::kErrorTooManyPosts);
    // Creating an existing one opens it.
    plat::NamedHandle c = plat::CreateSemaphore(u"Global\\Test", 0, 5, kSddl);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAlreadyExists);
    EXPECT_EQ(plat::WaitForSingleObject(c, 0), plat::WAIT_OBJECT_0);
    // The last close removes it.
    for (plat::NamedHandle h : {a, b, c})
        EXPECT_TRUE(plat::CloseHandle(h));
    EXPECT_EQ(plat::OpenSemaphore(u"Global\\Test"), nullptr);
    EXPECT_EQ(plat::CreateSemaphore(u"Global\\Test", 1, 1, nullptr), nullptr);
}

TEST(NamedMutex, OwnershipRecursionAndOtherThreads)
{
    plat::NamedHandle m = plat::CreateMutex(u"Global\\TestMutex", true, kSddl);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(plat::WaitForSingleObject(m, 0), plat::WAIT_OBJECT_0);   // recursive
    uint32_t otherResult = 0;
    std::thread other([&] { otherResult = plat::WaitForSingleObject(m, 0); });
    other.join();
    EXPECT_EQ(otherResult, plat::WAIT_TIMEOUT);
    EXPECT_TRUE(plat::ReleaseMutex(m));
    EXPECT_TRUE(plat::ReleaseMutex(m));
    EXPECT_FALSE(plat::ReleaseMutex(m));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorNotOwner);
    std::thread taker([&] {
        otherResult = plat::WaitForSingleObject(m, 0);
        plat::ReleaseMutex(m);
    });
    taker.join();
    EXPECT_EQ(otherResult, plat::WAIT_OBJECT_0);
    EXPECT_TRUE(plat::CloseHandle(m));
}

TEST(NamedMutex, OwnerThatDiedLeavesItAbandoned)
{
    plat::NamedHandle m = plat::CreateMutex(u"Global\\Abandoned", false, kSddl);
    ASSERT_NE(m, nullptr);
    // Rewrite the state as if a process that no longer runs owned it.
    const QString path = plat::RuntimeDir() + "/mutex-Global_Abandoned.json";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray state = f.readAll();
    f.close();
    state.replace("\"ownerPid\":0", "\"ownerPid\":999999999");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(state);
    f.close();
    EXPECT_EQ(plat::WaitForSingleObject(m, 0), plat::WAIT_ABANDONED);
    EXPECT_TRUE(plat::ReleaseMutex(m));
    plat::CloseHandle(m);
}

TEST(ServiceManager, LifecycleAndErrorCodes)
{
    plat::SC_HANDLE scm = plat::OpenSCManager();
    ASSERT_NE(scm, nullptr);
    const QString binary = test::TestDir() + "/driver.sys";
    EXPECT_EQ(plat::OpenService(scm, u"Svc"), nullptr);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorServiceDoesNotExist);
    plat::SC_HANDLE svc = plat::CreateService(scm, u"Svc", u"Svc", plat::SERVICE_KERNEL_DRIVER, plat::SERVICE_DEMAND_START,
                                              plat::SERVICE_ERROR_NORMAL, binary.toStdU16String().c_str());
    ASSERT_NE(svc, nullptr);
    EXPECT_EQ(plat::CreateService(scm, u"Svc", u"Svc", 1, 3, 1, u"/x"), nullptr);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorServiceExists);
    EXPECT_FALSE(plat::StartService(svc));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);
    QFile file(binary);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(plat::StartService(svc));
    EXPECT_FALSE(plat::StartService(svc));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorServiceAlreadyRunning);
    EXPECT_TRUE(plat::ControlServiceStop(svc));
    EXPECT_FALSE(plat::ControlServiceStop(svc));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorServiceNotActive);
    // Deleted, it goes when its last handle closes.
    plat::SC_HANDLE second = plat::OpenService(scm, u"Svc");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(plat::DeleteService(svc));
    EXPECT_TRUE(plat::CloseServiceHandle(svc));
    EXPECT_TRUE(plat::QueryServiceStatus(u"Svc").deletePending);
    EXPECT_TRUE(plat::CloseServiceHandle(second));
    EXPECT_FALSE(plat::QueryServiceStatus(u"Svc").exists);
    EXPECT_TRUE(plat::CloseServiceHandle(scm));

    vb::Machine::Instance().GetFaults().Set("scm-unavailable");
    EXPECT_EQ(plat::OpenSCManager(), nullptr);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAccessDenied);
}

TEST(RuntimeDir, IsolatedPerTest)
{
    EXPECT_TRUE(plat::RuntimeDir().startsWith(test::TestDir()));
}

} // namespace
