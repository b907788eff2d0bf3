// Two running copies of the program share one driver: a second process of this
// test program holds the driver while this one starts and stops the Engine.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <iostream>
#include <string>

#include "DriverTestSupport.h"

#include "Engine/Engine.h"
#include "Platform/RuntimeDir.h"
#include "support/ChildOutput.h"

namespace {

using namespace drvtest;

// Runs only when started by the test below.
TEST(DriverTwoProcesses, Child)
{
    if (qEnvironmentVariable("VELOCREST_DRIVER_CHILD") != QLatin1String("1"))
        GTEST_SKIP() << "runs as the second process of DriverTwoProcesses.LastOneOutRemovesTheService";
    const bool started = g_InitEngine();
    std::cout << (started ? "child: started" : "child: failed") << std::endl;
    std::string line;
    std::getline(std::cin, line);
    g_UnInitEngine();
    std::cout << (DriverService().exists ? "child: service stays" : "child: service removed") << std::endl;
}

TEST(DriverTwoProcesses, LastOneOutRemovesTheService)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELOCREST_DRIVER_CHILD", "1");
    env.insert("VELOCREST_RUNTIME_DIR", plat::RuntimeDir());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=DriverTwoProcesses.Child"});
    ASSERT_TRUE(child.waitForStarted(30000));

    QByteArray seen;
    ASSERT_TRUE(test::WaitForLine(child, seen, "child: ")) << seen.constData();
    ASSERT_TRUE(seen.contains("child: started")) << seen.constData();
    EXPECT_TRUE(DriverService().running);

    // This process finds the driver running: it only takes a unit, and leaves the
    // service to the child, who still uses it.
    ASSERT_TRUE(g_InitEngine());
    EXPECT_FALSE(test::LogContains("Try to install QVX driver"));
    EXPECT_TRUE(g_UnInitEngine());
    EXPECT_TRUE(DriverService().running);
    EXPECT_FALSE(test::LogContains("has been removed"));

    child.write("go\n");
    child.closeWriteChannel();
    ASSERT_TRUE(test::WaitForLine(child, seen, "child: service")) << seen.constData();
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 0) << seen.constData();
    EXPECT_TRUE(seen.contains("child: service removed")) << seen.constData();
    EXPECT_FALSE(DriverService().exists);
}

} // namespace
