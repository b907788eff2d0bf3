// The board the user names: found from the folder the program started in, kept
// when the program changes folder, and refused (never replaced) when it cannot load.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "Platform/SimulatedBoard.h"
#include "support/TestEnvironment.h"
#include "VirtualBoard/Machine.h"

namespace {

// Names a board for one test and forgets it again, whatever happens.
struct NamedBoard {
    explicit NamedBoard(const QByteArray& path) { qputenv("VELOCREST_BOARD", path); }
    ~NamedBoard() { qunsetenv("VELOCREST_BOARD"); }
};

} // namespace

TEST(SimulatedBoard, ARelativeNameIsTakenFromTheStartingFolder)
{
    ASSERT_TRUE(QDir().mkpath("boards"));
    ASSERT_TRUE(QFile::copy(VELOCREST_FIXTURES "/boards/qvx-mx310.json", "boards/mx310.json"));
    NamedBoard named("boards/mx310.json");
    QString error;
    ASSERT_TRUE(plat::SelectSimulatedBoard(&error)) << qPrintable(error);
    EXPECT_EQ(vb::Machine::Instance().BoardName(), QStringLiteral("MX310 south bridge, no sensor chip"));
    EXPECT_EQ(qEnvironmentVariable("VELOCREST_BOARD"), test::TestDir() + "/boards/mx310.json");

    // After a change of folder the same board loads again.
    ASSERT_TRUE(QDir().mkpath("elsewhere"));
    ASSERT_TRUE(QDir::setCurrent("elsewhere"));
    vb::Machine::Instance().LoadDefault();
    EXPECT_EQ(vb::Machine::Instance().BoardName(), QStringLiteral("MX310 south bridge, no sensor chip"));
}

TEST(SimulatedBoard, ABoardThatCannotLoadIsAnErrorNamingTheFileAndTheReason)
{
    {
        QFile broken("broken.json");
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("{ \"name\": ");
    }
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"missing.json", "No such file"}, {"broken.json", "unterminated object"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NamedBoard named(c.name);
        QString error;
        EXPECT_FALSE(plat::SelectSimulatedBoard(&error));
        EXPECT_TRUE(error.contains(test::TestDir() + "/" + c.name)) << qPrintable(error);
        EXPECT_TRUE(error.contains(QLatin1String(c.reason), Qt::CaseInsensitive)) << qPrintable(error);
    }
    QString error;
    EXPECT_TRUE(plat::SelectSimulatedBoard(&error)) << "no board named: the built-in one";
}
