// The one test main: a QApplication on the offscreen platform, and around every
// test a fresh temporary folder as the current directory, the default board, a
// manual clock and a log that the test can read.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include "support/TestEnvironment.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("VELOCREST_BOARD");
    // Without a login session Qt makes itself a runtime folder in the temp folder and
    // leaves it there: the tests' one goes with them.
    std::optional<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime.emplace(QDir::tempPath() + QStringLiteral("/VelocrestTestRuntime-XXXXXX"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    // Nothing lands in the user's home: each test has one of its own, and until the
    // first one starts the process has one that goes with it.
    const QTemporaryDir home(QDir::tempPath() + QStringLiteral("/VelocrestTestHome-XXXXXX"));
    test::UseHome(home.path());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new test::TestEnvironment);
    return RUN_ALL_TESTS();
}
