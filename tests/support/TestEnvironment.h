#pragma once
#include <QString>

#include <memory>

#include <gtest/gtest.h>

class QTemporaryDir;

namespace vb {
class ManualClock;
}

namespace test {

// Sets up and tears down what every test shares (see TestMain.cpp).
class TestEnvironment : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& info) override;
    void OnTestEnd(const testing::TestInfo& info) override;
};

// The current test's folder (also the current directory while it runs).
QString TestDir();
// Makes folder the home of this process (and of the programs it starts): HOME, the
// XDG_*_HOME folders and Qt's settings of the user scope (the file dialog keeps its
// state there), so that nothing lands in the real home. Each test gets "home" in
// its own folder.
void UseHome(const QString& folder);
// The clock installed for the current test: advances 1 us per read, and instantly on sleeps.
vb::ManualClock& Clock();

} // namespace test
