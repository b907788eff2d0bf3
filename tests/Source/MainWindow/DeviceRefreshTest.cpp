// The main window and the hardware: USB arrivals and removals refresh the device
// library and the device pages at the next tick; the boost button; the default profile.
#include <QTimerEvent>

#include "Diagram/DialogManager.h"
#include "QVXLogic/CpuDevice.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "SystemInfo/SystemInfo.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/UsbBus.h"
#include "support/LogCapture.h"

using test::MainWindowTest;

namespace {

void Tick(ZAR* window)
{
    QTimerEvent tick(window->TimerId());
    QCoreApplication::sendEvent(window, &tick);
}

// The real "Detailed" page, noting "I" per Init and "U" per UnInit in call order.
class RecordingDetailed : public QSystemInfo {
public:
    bool Init() override
    {
        m_Calls += 'I';
        return QSystemInfo::Init();
    }
    bool UnInit() override
    {
        m_Calls += 'U';
        return QSystemInfo::UnInit();
    }
    const QString& Calls() const { return m_Calls; }

private:
    QString m_Calls;
};

// Its USB rows: the labels under every "USB Controller" block.
QStringList UsbRows(QSystemInfo* page)
{
    QStringList rows;
    auto* tree = page->findChild<QTreeWidget*>(QStringLiteral("SysInfoTree"));
    for (int i = 0; tree && i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0).startsWith(QLatin1String("USB Controller")))
            for (int r = 3; r < tree->topLevelItem(i)->childCount(); ++r)
                rows << tree->topLevelItem(i)->child(r)->text(1);
    return rows;
}

size_t JournalCount(const char* fragment)
{
    size_t n = 0;
    for (const auto& line : vb::Machine::Instance().GetJournal().Entries())
        n += line.find(fragment) != std::string::npos;
    return n;
}

} // namespace

TEST_F(MainWindowTest, ChangesWithinOneTickMakeOneRefreshOfTheDevicePages)
{
    RecordingDetailed* detailed = nullptr;
    UsePages({{"QSystemInfo", [&detailed] { return static_cast<IQVXWidget*>(detailed = new RecordingDetailed); }}});
    ASSERT_TRUE(Open());
    ASSERT_NE(detailed, nullptr);
    const QStringList usbRows = UsbRows(detailed);
    EXPECT_EQ(detailed->Calls(), "I");
    auto& usb = vb::Machine::Instance().Get<vb::UsbBus>();
    // Before the diagram was first shown there are no device dialogs to rebuild; the
    // diagram's own path through the tick is tested with the diagram's page.
    usb.Plug("USB Flash Disk");
    ASSERT_TRUE(usb.Unplug("USB Flash Disk"));
    EXPECT_TRUE(window->DeviceChanged());
    Tick(window);
    Tick(window);
    EXPECT_FALSE(window->DeviceChanged());
    EXPECT_EQ(detailed->Calls(), "IUI");
    EXPECT_EQ(UsbRows(detailed), usbRows);   // rebuilt from the bus as it is now
    EXPECT_FALSE(g_DialogManager.IsInit());

    // A closed window hears nothing more.
    ASSERT_TRUE(window->UnInit());
    usb.Plug("USB Mouse");
    EXPECT_FALSE(window->DeviceChanged());
}

TEST_F(MainWindowTest, AFailedDeviceRefreshIsNotRetriedUntilTheNextChange)
{
    RecordingDetailed* detailed = nullptr;
    UsePages({{"QSystemInfo", [&detailed] { return static_cast<IQVXWidget*>(detailed = new RecordingDetailed); }}});
    ASSERT_TRUE(Open());
    ASSERT_NE(detailed, nullptr);
    vb::Machine::Instance().GetFaults().Set("qvx:Manager.Refresh");
    vb::Machine::Instance().Get<vb::UsbBus>().Plug("USB Keyboard");
    Tick(window);
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode) at line"));
    EXPECT_TRUE(test::LogContains("ZAR::Refresh"));
    EXPECT_EQ(detailed->Calls(), "I");
    const size_t failures = test::LogCount("QVXLogic: Manager.Refresh failed");
    Tick(window);
    EXPECT_EQ(test::LogCount("QVXLogic: Manager.Refresh failed"), failures);
}

TEST_F(MainWindowTest, AWindowWhoseDeviceNotificationIsRefusedDoesNotStart)
{
    vb::Machine::Instance().GetFaults().Set("platform:DeviceNotification.Register");
    EXPECT_FALSE(Open());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_hDevNotify)"));
}

TEST_F(MainWindowTest, TheBoostButtonTogglesTheFirstFlagOfEveryProcessor)
{
    ASSERT_TRUE(Open());
    ASSERT_NE(window->Form().BoostBtn, nullptr);
    EXPECT_EQ(window->BoostState(), 0u);   // the default board's pair is (0, 1)
    EXPECT_EQ(window->Form().BoostBtn->styleSheet(), g_SkinManager.GetQssFile("boost_button_green.qss"));
    const unsigned long cores = g_DeviceManager.GetDeviceCount(dtCPU);
    ASSERT_GT(cores, 1u);

    window->Form().BoostBtn->click();
    EXPECT_EQ(window->BoostState(), 1u);
    EXPECT_EQ(window->Form().BoostBtn->styleSheet(), g_SkinManager.GetQssFile("boost_button_red.qss"));
    EXPECT_EQ(JournalCount("SetBoostMode(1, 1)"), cores);
    bool first = false, second = false;
    ASSERT_TRUE(static_cast<ICPUDevice*>(g_DeviceManager.GetDevice(dtCPU, 0))->GetBoostMode(&first, &second));
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);

    window->Form().BoostBtn->click();
    EXPECT_EQ(window->BoostState(), 0u);
    EXPECT_EQ(JournalCount("SetBoostMode(0, 1)"), cores);
    // Apply and Discard: the pair is stored, and the button shows the hardware again.
    EXPECT_TRUE(g_bModified == false);
}

TEST_F(MainWindowTest, ARefusedBoostSwitchLeavesTheButtonShowingTheHardware)
{
    ASSERT_TRUE(Open());
    vb::Machine::Instance().GetFaults().Set("qvx:CPU.SetBoostMode");
    window->Form().BoostBtn->click();
    EXPECT_EQ(window->BoostState(), 0u);
    EXPECT_EQ(window->Form().BoostBtn->styleSheet(), g_SkinManager.GetQssFile("boost_button_green.qss"));
    EXPECT_TRUE(test::LogContains("SetBoostMode"));
}

TEST_F(MainWindowTest, WithoutAFamily10hProcessorThereIsNoBoostButtonAndNoBoostCall)
{
    test::LoadBoardWith([](QJsonObject& devices) {
        QJsonObject cpu = devices.value("cpu").toObject();
        cpu.insert("class", "Vyk Family 11h Processor");
        devices.insert("cpu", cpu);
    });
    ASSERT_TRUE(Open());
    EXPECT_EQ(window->Form().BoostBtn, nullptr);
    EXPECT_EQ(JournalCount("BoostMode"), 0u);
    window->Discard();
    ASSERT_TRUE(window->UnInit());
    ASSERT_TRUE(g_WidgetManager.UnInit());
    ASSERT_TRUE(g_WidgetManager.Init());
    ASSERT_TRUE(window->Init(qobject_cast<QApplication*>(QCoreApplication::instance())));
    EXPECT_EQ(window->Form().BoostBtn, nullptr);
}

TEST_F(MainWindowTest, TheDefaultProfileIsWrittenOnceAndNeverOverwritten)
{
    ASSERT_TRUE(Open());
    const QByteArray first = test::ReadFile("DefaultConfig.xml");
    ASSERT_FALSE(first.isEmpty());
    ASSERT_TRUE(test::WriteFile("DefaultConfig.xml", "kept"));
    ASSERT_TRUE(window->UnInit());
    ASSERT_TRUE(g_WidgetManager.UnInit());
    ASSERT_TRUE(g_WidgetManager.Init());
    ASSERT_TRUE(window->Init(qobject_cast<QApplication*>(QCoreApplication::instance())));
    EXPECT_EQ(test::ReadFile("DefaultConfig.xml"), "kept");
}

TEST_F(MainWindowTest, ADefaultProfileThatCannotBeWrittenIsLoggedUnderInit)
{
    // Nothing can be written in this folder; the window is still built.
    test::CurrentFolder readOnly(test::ReadOnlyFolder());
    ASSERT_TRUE(Open());
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(rPS.SaveSettings(DEFAULT_CONFIG_FILE))", "ZAR::Init"), 1u);
}
