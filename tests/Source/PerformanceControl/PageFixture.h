#pragma once
// One page of the performance group on the simulated board: the device library
// up, a board variant when asked, timers driven by sending the timer event.
#include <QJsonArray>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Source/MainWindow/MainWindowFixture.h"
#include "Shell/GlobalFlags.h"
#include "VirtualBoard/Machine.h"

namespace test {

class PerformancePageTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_bModified = false;
        g_bTestRunning = false;
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }

    void TearDown() override
    {
        ZAR::ReleaseInstanceForTests();
        g_DeviceManager.UnInit();
        CConfigParser::ReleaseInstance();
        g_bModified = false;
        g_bTestRunning = false;
    }

    // A device-library variant from tests/fixtures/boards laid over the default board.
    static void UseVariant(const char* name)
    {
        g_DeviceManager.UnInit();
        LoadBoardOver(QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(name)));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }

    // The default board with its device sections changed.
    static void UseBoardWith(const std::function<void(QJsonObject& devices)>& change)
    {
        g_DeviceManager.UnInit();
        LoadBoardWith(change);
        ASSERT_TRUE(g_DeviceManager.Init("test"));
    }

    // Changes one object inside the devices' JSON: devices[section] (and [key][index]).
    static void Edit(QJsonObject& devices, const char* section, const std::function<void(QJsonObject&)>& change)
    {
        QJsonObject o = devices.value(QLatin1String(section)).toObject();
        change(o);
        devices.insert(QLatin1String(section), o);
    }

    static void Tick(QObject* page) { SendTick(page); }

    static void Fault(const char* name) { vb::Machine::Instance().GetFaults().Set(name); }

    // The device library's journal lines since the last call (the journal is emptied), without "qvx: ".
    static std::vector<std::string> Writes()
    {
        std::vector<std::string> out;
        for (const std::string& line : vb::Machine::Instance().GetJournal().Entries())
            if (line.rfind("qvx: ", 0) == 0)
                out.push_back(line.substr(5));
        vb::Machine::Instance().GetJournal().Clear();
        return out;
    }
    static void ForgetWrites() { Writes(); }

    static QString Stored(const char* group, const char* subGroup, const char* item)
    {
        CConfigParser::ReleaseInstance();
        QString value;
        CConfigParser::GetInstance()->GetValue(QString::fromLatin1(group), QString::fromLatin1(subGroup), QString::fromLatin1(item), value);
        return value;
    }

    MessageBoxAnswers answers;
};

// A page of type P made and initialised by the test, deleted before the devices go.
template <class P>
class PageTest : public PerformancePageTest {
protected:
    void TearDown() override
    {
        page.reset();
        PerformancePageTest::TearDown();
    }

    void Create()
    {
        page = std::make_unique<P>();
        ASSERT_TRUE(page->Init());
    }

    std::unique_ptr<P> page;
};

} // namespace test
