// The fan page through its widgets: modes and speeds read from the sensor chip,
// Apply's writes and what it stores, the one-second refresh.
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>

#include "PerformanceControl/FanControl.h"
#include "PerformanceControl/NeedleGauge.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/SensorChipDevice.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "support/LogCapture.h"

using test::PerformancePageTest;

namespace {

class FanControlTest : public test::PageTest<QFanControl> {
protected:
    template <class W>
    W* Get(const QString& name) const
    {
        W* w = page->findChild<W*>(name);
        EXPECT_TRUE(w) << name.toStdString();
        return w;
    }
    QRadioButton* Auto(int i) const { return Get<QRadioButton>(QStringLiteral("radioBtnAuto%1").arg(i)); }
    QRadioButton* Manual(int i) const { return Get<QRadioButton>(QStringLiteral("radioBtnManual%1").arg(i)); }
    QGroupBox* ManualGroup(int i) const { return Get<QGroupBox>(QStringLiteral("groupBoxManual%1").arg(i)); }
    QGroupBox* Group(int i) const { return Get<QGroupBox>(QStringLiteral("groupBox%1").arg(i)); }
    QSlider* Slider(int i) const { return Get<QSlider>(QStringLiteral("Fan%1Slider").arg(i)); }
    QLabel* Percent(int i) const { return Get<QLabel>(QStringLiteral("Fan%1PercentLabel").arg(i)); }
    QLabel* Gauge(int i) const { return Get<QLabel>(QStringLiteral("Gauge%1").arg(i)); }
    // The texts and the bar the page puts on gauge i's needle: speed, temperature.
    QLabel* SpeedText(int i) const { return Texts(i).at(0); }
    QLabel* TemperatureText(int i) const { return Texts(i).at(1); }
    QProgressBar* Bar(int i) const { return Gauge(i)->findChild<QProgressBar*>(); }
    QList<QLabel*> Texts(int i) const
    {
        QList<QLabel*> texts;
        for (QLabel* l : Gauge(i)->findChildren<QLabel*>())
            if (!dynamic_cast<QNeedleLabel*>(l))
                texts << l;
        // Speed below the bar, temperature above it.
        std::sort(texts.begin(), texts.end(), [](QLabel* a, QLabel* b) { return a->y() > b->y(); });
        return texts;
    }

    static void SetFan(QJsonObject& devices, int fan, const char* key, int value)
    {
        Edit(devices, "sensorChip", [&](QJsonObject& sc) {
            QJsonArray fans = sc.value("fans").toArray();
            QJsonObject f = fans.at(fan).toObject();
            f.insert(QLatin1String(key), value);
            fans.replace(fan, f);
            sc.insert("fans", fans);
        });
    }

};

} // namespace

TEST_F(FanControlTest, ModesAndSpeedsAreReadAndApplied)
{
    UseBoardWith([](QJsonObject& devices) { SetFan(devices, 2, "mode", 1); });
    Create();
    EXPECT_EQ(page->GetName(), std::string("Fan Control"));
    // Fan 0 automatic.
    EXPECT_TRUE(Auto(0)->isChecked());
    EXPECT_FALSE(ManualGroup(0)->isEnabled());
    // Fan 1 manual at 60 %.
    EXPECT_TRUE(Manual(1)->isChecked());
    EXPECT_TRUE(ManualGroup(1)->isEnabled());
    EXPECT_EQ(Slider(1)->value(), 60);
    EXPECT_EQ(Percent(1)->text(), QStringLiteral("60%"));
    // Fan 2 cannot be controlled.
    EXPECT_FALSE(Gauge(2)->isEnabled());
    EXPECT_FALSE(Group(2)->isEnabled());
    EXPECT_FALSE(Auto(2)->isChecked() || Manual(2)->isChecked());

    // Nothing chosen by the user: nothing is set again, nothing stored.
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), std::vector<std::string>{});
    for (const char* item : {"Fan0SpeedPercentage", "Fan1SpeedPercentage", "Fan2SpeedPercentage"})
        EXPECT_TRUE(Stored("FanControl", "Settings", item).isEmpty()) << item;
}

TEST_F(FanControlTest, TheUsersChoicesReachTheSensorChip)
{
    Create();
    Manual(0)->click();
    EXPECT_TRUE(ManualGroup(0)->isEnabled());
    Slider(0)->setValue(75);
    EXPECT_EQ(Percent(0)->text(), QStringLiteral("75%"));
    Auto(1)->click();
    EXPECT_FALSE(ManualGroup(1)->isEnabled());
    Slider(2)->setValue(10);
    EXPECT_EQ(Slider(2)->value(), 26);   // the slowest a fan may be set
    EXPECT_EQ(Percent(2)->text(), QStringLiteral("26%"));
    EXPECT_FALSE(g_bModified);

    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), (std::vector<std::string>{"SC.SetFanMode(0, 2)", "SC.SetFanSpeedPercent(0, 75)",
                                                  "SC.SetFanMode(1, 3)", "SC.SetFanMode(2, 2)",
                                                  "SC.SetFanSpeedPercent(2, 26)"}));
    EXPECT_EQ(Stored("FanControl", "Settings", "Fan0SpeedPercentage"), QStringLiteral("75"));
    // The fans now run as chosen: a second Apply sets nothing again.
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Writes(), std::vector<std::string>{});

    // Discard shows the sensor chip's state again.
    Manual(1)->click();
    Slider(0)->setValue(40);
    EXPECT_TRUE(page->Discard());
    EXPECT_TRUE(Auto(1)->isChecked());
    EXPECT_EQ(Slider(0)->value(), 75);
}

TEST_F(FanControlTest, ARefusedWriteFailsApplyAndStoresNothing)
{
    Create();
    Slider(1)->setValue(70);
    Auto(2)->click();
    Fault("qvx:SC.SetFanSpeedPercent");
    ForgetWrites();
    EXPECT_FALSE(page->Apply());
    EXPECT_TRUE(test::LogContains("in QFanControl::Apply"));
    EXPECT_TRUE(Stored("FanControl", "Settings", "Fan1SpeedPercentage").isEmpty());
    // The other fans were still handled.
    const std::vector<std::string> writes = Writes();
    EXPECT_NE(std::find(writes.begin(), writes.end(), "SC.SetFanMode(2, 3)"), writes.end());
}

TEST_F(FanControlTest, AFanWhoseModeCannotBeReadIsNeverForcedToManual)
{
    Create();
    Manual(0)->click();
    // The mode cannot be read now: the choice on screen stays as it was.
    Fault("qvx:SC.GetFanMode");
    EXPECT_TRUE(page->Discard());
    EXPECT_TRUE(Manual(0)->isChecked());
    EXPECT_TRUE(Auto(0)->isEnabled());

    // A column showing neither choice is left alone by Apply.
    for (QRadioButton* b : {Auto(1), Manual(1)}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
    }
    ForgetWrites();
    EXPECT_TRUE(page->Apply());
    for (const std::string& w : Writes())
        EXPECT_EQ(w.find("(1,"), std::string::npos) << w;
}

TEST_F(FanControlTest, WithoutASensorChipNothingCanBeSet)
{
    UseBoardWith([](QJsonObject& devices) { devices.remove("sensorChip"); });
    Create();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(Group(i)->isEnabled());
        EXPECT_TRUE(Gauge(i)->isEnabled());
    }
    EXPECT_FALSE(page->Apply());
    EXPECT_TRUE(page->Discard());
}

TEST_F(FanControlTest, RefreshShowsSpeedsAndTemperaturesWhileVisible)
{
    UseBoardWith([](QJsonObject& devices) {
        SetFan(devices, 1, "maxRpm", 10000);
        SetFan(devices, 1, "percent", 70);
        SetFan(devices, 2, "maxRpm", 3125);
        Edit(devices, "sensorChip", [](QJsonObject& o) { o.insert("temperatures", QJsonArray{20, 33, 45}); });
    });
    Create();
    // Hidden: nothing is read.
    Tick(page.get());
    EXPECT_TRUE(SpeedText(1)->text().isEmpty());

    page->show();
    Tick(page.get());
    EXPECT_EQ(SpeedText(1)->text(), QStringLiteral("7000 rpm"));   // beyond the bar's range:
    EXPECT_EQ(Bar(1)->value(), 0);                                 // the bar keeps its value
    EXPECT_EQ(SpeedText(2)->text(), QStringLiteral("2500 rpm"));
    EXPECT_EQ(Bar(2)->value(), 2500);
    EXPECT_EQ(TemperatureText(1)->text(), QStringLiteral("33 C"));
    // Column 0 shows the processor's own temperature, not sensor 0's.
    const double* cpu = QvxGetDevice<ICPUDevice>(dtCPU, 0)->GetTemperature();
    ASSERT_TRUE(cpu);
    EXPECT_EQ(TemperatureText(0)->text(), QStringLiteral("%1 C").arg(cpu[0] != 0 ? cpu[0] : cpu[1]));
    EXPECT_NE(TemperatureText(0)->text(), QStringLiteral("20 C"));

    // The speed text fits inside the dial.
    EXPECT_LE(SpeedText(2)->geometry().bottom(), 119);

    Fault("qvx:SC.GetFanSpeed");
    Fault("qvx:SC.GetTemperature");
    Tick(page.get());
    EXPECT_TRUE(SpeedText(1)->text().isEmpty());
    EXPECT_TRUE(TemperatureText(1)->text().isEmpty());
    EXPECT_EQ(Bar(2)->value(), 2500);
}

TEST_F(FanControlTest, AProcessorWithoutTemperatureLeavesTheSensorReading)
{
    UseVariant("qvx-family11h");
    ASSERT_EQ(QvxGetDevice<ICPUDevice>(dtCPU, 0)->GetTemperature(), nullptr);
    Create();
    page->show();
    Tick(page.get());
    const int sensor0 = QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0)->GetTemperature(0);
    EXPECT_EQ(TemperatureText(0)->text(), QStringLiteral("%1 C").arg(sensor0));
}
