// The editable pages in the main window after the board changed behind them (Auto
// Clock, another page's Apply, a profile): shown again without a change of the
// user's, each page shows what the board holds now, and an Apply that changed
// nothing writes nothing back, to the board or to the value store.
#include <QCheckBox>
#include <QComboBox>
#include <QDomDocument>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

#include "Pages/DeviceLookup.h"
#include "QVXLogic/ClockGeneratorDevice.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/MemoryDevices.h"
#include "QVXLogic/SensorChipDevice.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "support/LogCapture.h"

using test::BoardVariant;
using test::MainWindowTest;
using test::SendTick;

namespace {

const QString kGroup = QStringLiteral("Performance\nControl");

// Every editable page of the group shown in the menu, so Apply runs over all of them.
const char kTable[] =
    "<PageList><Group Name=\"Performance\\nControl\">"
    "<Page Name=\"Novice Mode\"/><Page Name=\"Clock/Voltage\"/><Page Name=\"Memory\"/>"
    "<Page Name=\"JY Pstate\"/><Page Name=\"Fan Control\"/></Group></PageList>";

// What the device library and the firmware were asked to change since the last call.
std::vector<std::string> BoardWrites()
{
    std::vector<std::string> lines;
    for (const std::string& line : vb::Machine::Instance().GetJournal().Entries())
        if (line.rfind("qvx: ", 0) == 0 || line.rfind("firmware: CMOS item", 0) == 0)
            lines.push_back(line);
    vb::Machine::Instance().GetJournal().Clear();
    return lines;
}

// The applied values in the value store ("group/sub-group/item=value"), but for the
// record of the run that every Apply makes.
std::vector<std::string> StoredValues()
{
    std::vector<std::string> values;
    QFile file(CConfigParser::GetInstance()->GetFullPath());
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return values;
    for (QDomElement group = document.documentElement().firstChildElement(); !group.isNull();
         group = group.nextSiblingElement()) {
        if (group.tagName() == QLatin1String("QVXAssist"))
            continue;
        for (QDomElement sub = group.firstChildElement(); !sub.isNull(); sub = sub.nextSiblingElement())
            for (QDomElement item = sub.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
                if (item.tagName() == QLatin1String("ClockDivisor") || item.tagName() == QLatin1String("TLBCaching"))
                    continue;
                values.push_back(QStringLiteral("%1/%2/%3=%4")
                                     .arg(group.tagName(), sub.tagName(), item.tagName(), item.text())
                                     .toStdString());
            }
    }
    return values;
}

void EveryProcessor(const std::function<void(ICPUDevice*)>& change)
{
    for (unsigned long i = 0; dev::Cpu(i); ++i)
        change(dev::Cpu(i));
}

void SetTrcd(double trcd)
{
    MEMORY_TIMING timing{};
    ASSERT_TRUE(dev::MemCtrl()->GetTimings(&timing));
    timing.Trcd = trcd;
    ASSERT_TRUE(dev::MemCtrl()->SetTimings(&timing));
}

void SetPstateOneFid(double fid)
{
    EveryProcessor([fid](ICPUDevice* pCPU) {
        PSTATE_INFO info{};
        ASSERT_TRUE(pCPU->GetPstateInfo(1, &info));
        info.CpuFid = fid;
        ASSERT_TRUE(pCPU->SetPstateInfo(1, &info));
    });
}

void SetFanZeroManual(int percent)
{
    ASSERT_TRUE(dev::SensorChip()->SetFanMode(0, 2));
    ASSERT_TRUE(dev::SensorChip()->SetFanSpeedPercent(0, percent));
}

template <class W>
W* Find(IQVXWidget* page, const char* name)
{
    W* widget = page->findChild<W*>(QLatin1String(name));
    EXPECT_TRUE(widget) << name;
    return widget;
}

} // namespace

TEST_F(MainWindowTest, APageShownAgainShowsTheBoardAndAnUntouchedApplyWritesNothing)
{
    struct Case {
        const char* variant;
        const char* page;
        std::function<void(int value)> change;   // behind the page's back
        int first, second;                         // two values in turn
        std::function<QString(IQVXWidget* page)> shown;
        const char* expected[2];                   // what the two values show as
    };
    const Case cases[] = {
        // Auto Clock's reset to the start multiplier.
        {nullptr, "Clock/Voltage",
         [](int m) { EveryProcessor([m](ICPUDevice* pCPU) { EXPECT_TRUE(pCPU->SetMultiplier(m)); }); }, 4, 5,
         [](IQVXWidget* page) {
             SendTick(page);
             return Find<QLabel>(page, "CPUMulValLabel")->text() + " / "
                    + Find<QLineEdit>(page, "TargetCPUSpeed")->text();
         },
         {"4 X / 800 MHz", "5 X / 1000 MHz"}},
        {nullptr, "Memory", [](int trcd) { SetTrcd(trcd); }, 7, 4,
         [](IQVXWidget* page) { return Find<QComboBox>(page, "TrcdBox")->currentText(); },
         {"7 bus clock", "4 bus clock"}},
        {"qvx-ddr", "Memory", [](int trcd) { SetTrcd(trcd); }, 5, 6,
         [](IQVXWidget* page) { return Find<QComboBox>(page, "TrcdBox")->currentText(); },
         {"5 bus clock", "6 bus clock"}},
        // Another page's reference clock, and the memory clocks with it: the value
        // store keeps what it held, though the controller runs another memory clock.
        {nullptr, "Memory", [](int mhz) { EXPECT_TRUE(dev::ClockGen()->SetHTRefClock(mhz)); }, 211, 205,
         [](IQVXWidget* page) { return Find<QComboBox>(page, "MemClkBox")->currentText(); },
         {"211 MHz", "205 MHz"}},
        {nullptr, "Novice Mode", [](int mhz) { EXPECT_TRUE(dev::ClockGen()->SetPCIeClock(mhz)); }, 104, 106,
         [](IQVXWidget* page) {
             SendTick(page);
             return Find<QLabel>(page, "labelPCIEClock")->text();
         },
         {"104 MHz", "106 MHz"}},
        {nullptr, "JY Pstate", [](int fid) { SetPstateOneFid(fid); }, 12, 13,
         [](IQVXWidget* page) { return Find<QTreeWidget>(page, "treeWidget")->topLevelItem(1)->text(1); },
         {"0C", "0D"}},
        {nullptr, "Fan Control", [](int percent) { SetFanZeroManual(percent); }, 45, 50,
         [](IQVXWidget* page) {
             return QStringLiteral("%1 %2")
                 .arg(Find<QRadioButton>(page, "radioBtnManual0")->isChecked() ? "manual" : "auto")
                 .arg(Find<QSlider>(page, "Fan0Slider")->value());
         },
         {"manual 45", "manual 50"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " " + (c.variant ? c.variant : "default"));
        if (c.variant)
            test::LoadBoardOver(BoardVariant(c.variant));
        ASSERT_TRUE(Open(kTable));
        const QString name = QLatin1String(c.page);
        const QString other = name == QLatin1String("Novice Mode") ? QStringLiteral("Fan Control")
                                                                     : QStringLiteral("Novice Mode");
        IQVXWidget* page = window->GetWidget(kGroup, name);
        ASSERT_TRUE(page);
        window->show();
        ASSERT_TRUE(window->ShowWidget(kGroup, name));
        ASSERT_TRUE(window->ShowWidget(kGroup, other));

        c.change(c.first);
        ASSERT_TRUE(window->ShowWidget(kGroup, name));
        EXPECT_EQ(c.shown(page).toStdString(), c.expected[0]);
        EXPECT_FALSE(g_bModified);   // reading the board is no change of the user's

        ASSERT_TRUE(window->ShowWidget(kGroup, other));
        c.change(c.second);
        BoardWrites();
        test::LogCapture::Instance().Clear();
        const std::vector<std::string> stored = StoredValues();
        window->Apply();
        EXPECT_EQ(BoardWrites(), std::vector<std::string>{});
        EXPECT_EQ(StoredValues(), stored);   // nor into the value store
        EXPECT_FALSE(test::LogContains("apply failed."));
        // The board keeps what it was given behind the page, and the page shows it.
        ASSERT_TRUE(window->ShowWidget(kGroup, name));
        EXPECT_EQ(c.shown(page).toStdString(), c.expected[1]);
        window->hide();
        TearDown();
        SetUp();
    }
}

// One core changed behind the hidden page (core 0 stepped to another P-state, "Select
// All Cores" ticked): shown again, each core's Target is what an Apply would give it.
// Left alone, every core keeps its own multiplier, so each Target is its Current; once
// core 0's slider moves, every core would get core 0's multiplier.
TEST_F(MainWindowTest, EachCoreShownAgainTargetsWhatAnApplyWouldGiveIt)
{
    const QString name = QStringLiteral("Clock/Voltage");
    ASSERT_TRUE(Open(kTable));
    IQVXWidget* page = window->GetWidget(kGroup, name);
    ASSERT_TRUE(page);
    window->show();
    ASSERT_TRUE(window->ShowWidget(kGroup, name));
    ASSERT_TRUE(Find<QCheckBox>(page, "checkBox_SelectAll")->isChecked());
    ASSERT_TRUE(window->ShowWidget(kGroup, QStringLiteral("Novice Mode")));
    ASSERT_TRUE(dev::Cpu(0)->SetPstate(1));

    ASSERT_TRUE(window->ShowWidget(kGroup, name));
    SendTick(page);
    // Each core's speeds in MHz, core 0 first.
    auto speeds = [page](const char* field) {
        std::vector<double> mhz;
        for (const char* suffix : {"", "_2", "_3", "_4"}) {
            const QString text = Find<QLineEdit>(page, (std::string(field) + suffix).c_str())->text();
            mhz.push_back(text.section(QLatin1Char(' '), 0, 0).toDouble());
        }
        return mhz;
    };
    EXPECT_EQ(speeds("CurrentCPUSpeed"), (std::vector<double>{2500, 3200, 3200, 3200}));
    EXPECT_EQ(speeds("TargetCPUSpeed"), speeds("CurrentCPUSpeed"));
    EXPECT_EQ(Find<QLabel>(page, "CPUMulValLabel_2")->text(), "16 X");
    EXPECT_FALSE(g_bModified);

    Find<QSlider>(page, "CPUMulSlider")->setValue(28);   // 14 X
    SendTick(page);
    EXPECT_EQ(speeds("TargetCPUSpeed"), (std::vector<double>{2800, 2800, 2800, 2800}));
    window->Apply();
    SendTick(page);
    EXPECT_EQ(speeds("CurrentCPUSpeed"), (std::vector<double>{2800, 2800, 2800, 2800}));
    EXPECT_EQ(speeds("TargetCPUSpeed"), speeds("CurrentCPUSpeed"));
    window->hide();
}
