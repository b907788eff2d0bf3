// Installing, counting and removing the driver service.
#include "DriverTestSupport.h"

#include "Engine/Engine.h"
#include "Platform/LastError.h"
#include "Platform/NamedObjects.h"
#include "Platform/RuntimeDir.h"
#include "VirtualBoard/Clock.h"

namespace {

using namespace drvtest;

const char16_t kSemaphore[] = u"Global\\QVXDriverSemaphore";
const char16_t kSddl[] = u"D:(D;OICI;GA;;;BG)";

TEST(DriverService, FirstUserInstallsAndLastUserRemoves)
{
    ScopedExecutable exe;
    CDriverHandler first, second;

    ASSERT_TRUE(first.Init());
    EXPECT_TRUE(test::LogContains("Try to install QVX driver"));
    // The first user finds no semaphore to open and makes it: a note, no error.
    EXPECT_TRUE(test::LogContains("<4>: AddReference: no other user of the driver, its semaphore is created"));
    EXPECT_FALSE(test::LogContains("error code returned from OpenSemaphore"));
    plat::ServiceStatus s = DriverService();
    EXPECT_TRUE(s.exists);
    EXPECT_TRUE(s.running);
    EXPECT_EQ(QString::fromStdU16String(s.binaryPath), exe.DriverFile());
    EXPECT_TRUE(first.Is64bitOS());

    // A second user finds the device open: no service call, one more unit.
    test::LogCapture::Instance().Clear();
    ASSERT_TRUE(second.Init());
    EXPECT_FALSE(test::LogContains("Try to install"));
    ASSERT_TRUE(second.UnInit());
    EXPECT_TRUE(DriverService().running);
    EXPECT_FALSE(test::LogContains("has been removed"));

    ASSERT_TRUE(first.UnInit());
    EXPECT_TRUE(test::LogContains("QVXDriver service has been removed.(0)"));
    EXPECT_FALSE(DriverService().exists);
}

TEST(DriverService, ASemaphoreThatCannotBeOpenedForAnotherReasonIsAnError)
{
    ScopedExecutable exe;
    // Something in the way of the semaphore's lock: neither opened nor created.
    ASSERT_TRUE(QDir().mkpath(plat::RuntimeDir() + "/semaphore-Global_QVXDriverSemaphore.json.lock"));
    CDriverHandler handler;
    EXPECT_FALSE(handler.Init());
    EXPECT_TRUE(test::LogContains("<1>: AddReference: error code returned from OpenSemaphore is: 5"));
    EXPECT_FALSE(test::LogContains("no other user of the driver"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_hSemaphore != NULL) at line"));
    ASSERT_TRUE(QDir(plat::RuntimeDir() + "/semaphore-Global_QVXDriverSemaphore.json.lock").removeRecursively());
}

TEST(DriverService, UnitIsGivenBackOnlyOnce)
{
    ScopedExecutable exe;
    CDriverHandler other, mine;
    ASSERT_TRUE(other.Init());
    ASSERT_TRUE(mine.Init());
    EXPECT_TRUE(mine.UnInit());
    EXPECT_TRUE(mine.UnInit());             // must not give back the other user's unit
    EXPECT_TRUE(DriverService().exists);
    EXPECT_TRUE(other.UnInit());
    EXPECT_FALSE(DriverService().exists);   // the other user was indeed the last
}

TEST(DriverService, MissingDriverFileFailsAndLeavesNoService)
{
    ScopedExecutable exe(false);
    CDriverHandler handler;
    EXPECT_FALSE(handler.Init());
    EXPECT_TRUE(test::LogContains("StartDriver: error code returned from StartService is: 2"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode) at line"));
    EXPECT_TRUE(test::LogContains("in CDriverHandler::Init"));
    // The service created for nothing is removed again.
    EXPECT_FALSE(DriverService().exists);
    // Nothing was taken, nothing is given back.
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_hSemaphore != NULL) at line"));
}

TEST(DriverService, EngineStartFailsWithTheDriver)
{
    ScopedExecutable exe(false);
    EXPECT_FALSE(g_InitEngine());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode)"));
    EXPECT_TRUE(test::LogContains("in g_InitEngine"));
    EXPECT_FALSE(test::LogContains("Engine library initialized successfully."));
    EXPECT_TRUE(g_UnInitEngine());          // a second shutdown is harmless
}

TEST(DriverService, AnInstallPathTooLongForTheDriverFileIsToldAsSuch)
{
    // The program's path fits the 256 characters, its driver file's does not.
    const QString folder = test::TestDir() + "/" + QString(237 - test::TestDir().size() - 1, 'p');
    const std::u16string program = (folder + "/VykVelocrest").toStdU16String();
    plat::SetExecutablePathForTesting(program.c_str());
    g_GetLastError();
    EXPECT_FALSE(g_InitEngine());
    EXPECT_EQ(g_GetLastError(), unsigned(plat::kErrorFilenameExcedRange));
    EXPECT_FALSE(DriverService().exists);
    plat::SetExecutablePathForTesting(nullptr);
}

TEST(DriverService, EngineStartsAndStopsTheDriver)
{
    ScopedExecutable exe;
    ScopedMCFG mcfg(DefaultMCFG());
    ASSERT_TRUE(g_InitEngine());
    EXPECT_TRUE(DriverService().running);
    EXPECT_TRUE(test::LogContains("Engine library initialized successfully."));
    EXPECT_TRUE(g_UnInitEngine());
    EXPECT_FALSE(DriverService().exists);
    EXPECT_TRUE(g_UnInitEngine());
    EXPECT_EQ(test::LogCount("has been removed"), 1u);
}

TEST(DriverService, ShutdownLetsGoOfTheSemaphoreBeforeTheProcessEnds)
{
    ScopedExecutable exe;
    ScopedMCFG mcfg(DefaultMCFG());
    const QString semaphore = plat::RuntimeDir() + "/semaphore-Global_QVXDriverSemaphore.json";
    ASSERT_TRUE(g_InitEngine());
    EXPECT_TRUE(QFile::exists(semaphore));
    EXPECT_TRUE(g_UnInitEngine());
    // Its only holder has let go: nothing is left for the end of the process to close.
    EXPECT_FALSE(QFile::exists(semaphore));
    // A second shutdown knows the semaphore was there and says nothing about it.
    EXPECT_TRUE(g_UnInitEngine());
    EXPECT_EQ(test::LogCount("m_hSemaphore != NULL"), 0u);
    EXPECT_FALSE(QFile::exists(semaphore));
}

TEST(DriverService, FullSemaphoreFailsStartUp)
{
    ScopedExecutable exe;
    // Someone holds every unit.
    plat::NamedHandle held = plat::CreateSemaphore(kSemaphore, 0, 10000, kSddl);
    ASSERT_NE(held, nullptr);
    CDriverHandler handler;
    EXPECT_FALSE(handler.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(dwWaitResult == WAIT_OBJECT_0)"));
    EXPECT_TRUE(test::LogContains("in CDriverHandler::AddReference"));
    EXPECT_TRUE(handler.UnInit());
    // No unit appeared out of nowhere.
    EXPECT_EQ(plat::WaitForSingleObject(held, 0), plat::WAIT_TIMEOUT);
    plat::CloseHandle(held);
}

TEST(DriverService, ReleaseWithoutSemaphoreOnlyLogs)
{
    ScopedExecutable exe;
    Faults().Set("os-bitness-unknown");
    CDriverHandler handler;
    EXPECT_FALSE(handler.Init());
    EXPECT_EQ(test::LogCount("LOG_PROCESS_ERROR(m_hSemaphore != NULL)"), 1u);
    EXPECT_TRUE(test::LogContains("in CDriverHandler::ReleaseReference"));
    EXPECT_TRUE(handler.UnInit());
}

TEST(DriverService, ServiceManagerFailures)
{
    struct Case {
        const char* fault;
        const char* line;
    };
    const Case cases[] = {
        {"scm-create-fails", "InstallDriver: error code returned from CreateService is: 5"},
        {"scm-unavailable", "LOG_PROCESS_ERROR(hSCManager)"},
    };
    for (const Case& c : cases) {
        ScopedExecutable exe;
        vb::Machine::Instance().LoadDefault();
        test::LogCapture::Instance().Clear();
        Faults().Set(c.fault);
        CDriverHandler handler;
        EXPECT_FALSE(handler.Init()) << c.fault;
        EXPECT_TRUE(test::LogContains(c.line)) << c.fault;
        handler.UnInit();
    }
}

TEST(DriverService, StopFailureIsLoggedWithItsCode)
{
    ScopedExecutable exe;
    CDriverHandler handler;
    ASSERT_TRUE(handler.Init());
    Faults().Set("scm-stop-fails");
    EXPECT_TRUE(handler.UnInit());
    EXPECT_TRUE(test::LogContains("StopDriver: error code returned from ControlService is 1061"));
}

TEST(DriverService, ServiceThatWillNotGoIsGivenUpAfterAHundredTries)
{
    ScopedExecutable exe;
    CDriverHandler handler;
    ASSERT_TRUE(handler.Init());
    Faults().Set("scm-delete-stuck");
    const uint64_t slept = test::Clock().SleptNs();
    EXPECT_TRUE(handler.UnInit());
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(bRetCode)"));
    EXPECT_TRUE(test::LogContains("in CDriverHandler::UnInit"));
    EXPECT_EQ(test::Clock().SleptNs() - slept, 100u * 10'000'000u);
    // The next start removes it first and installs afresh.
    Faults().Set("scm-delete-stuck", false);
    CDriverHandler next;
    ASSERT_TRUE(next.Init());
    EXPECT_TRUE(next.UnInit());
    EXPECT_FALSE(DriverService().exists);
}

} // namespace
