// The one test main: a QApplication on the offscreen platform, and around every
// test a fresh temporary folder as the current directory, the default board, a
// manual clock and a log that the test can read.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("VELOCREST_BOARD");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new test::TestEnvironment);
    return RUN_ALL_TESTS();
}
