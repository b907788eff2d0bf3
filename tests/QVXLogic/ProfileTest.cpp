// Profiles: saved and applied in the value store's format.
#include <QFile>
#include <QJsonObject>

#include <sys/stat.h>

#include "QvxTestSupport.h"

#include "support/BoardEdits.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

namespace {

using test::QvxJournal;
using test::QvxTest;

std::u16string Path(const char* name) { return (test::TestDir() + QLatin1Char('/') + QLatin1String(name)).toStdU16String(); }

void Write(const char* name, const QByteArray& text)
{
    QFile file(test::TestDir() + QLatin1Char('/') + QLatin1String(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST_F(QvxTest, SavedProfileRoundTrips)
{
    ASSERT_TRUE(Clock()->SetHTRefClock(210));
    ASSERT_TRUE(Cpu(0)->SetMultiplier(14.5));
    ASSERT_TRUE(Cpu(3)->SetMultiplier(10));
    ASSERT_TRUE(Cpu(0)->SetCPUVid(1.4));
    ASSERT_TRUE(Cpu(0)->SetNBVid(1.2));
    MEMORY_CONFIG config{};
    ASSERT_TRUE(MC()->GetConfig(&config));
    config.MemClk = 333.333 * 210 / 200;
    ASSERT_TRUE(MC()->SetConfig(&config));
    ASSERT_TRUE(Pwm()->SetMemVDDQ(195000));
    const std::u16string path = Path("profile.xml");
    ASSERT_TRUE(CProfileSettgins::m_Self.SaveSettings(path.c_str()));

    // Change everything, then apply the profile through a copy, as the Settings page does.
    ASSERT_TRUE(Clock()->SetHTRefClock(200));
    ASSERT_TRUE(Cpu(0)->SetMultiplier(16));
    ASSERT_TRUE(Cpu(3)->SetMultiplier(16));
    ASSERT_TRUE(Cpu(0)->SetCPUVid(1.3));
    ASSERT_TRUE(Cpu(0)->SetNBVid(1.1));
    config.MemClk = 400;
    ASSERT_TRUE(MC()->SetConfig(&config));
    ASSERT_TRUE(Pwm()->SetMemVDDQ(180000));
    vb::Machine::Instance().GetJournal().Clear();

    CProfileSettgins copy(CProfileSettgins::m_Self);
    ASSERT_TRUE(copy.ApplySettings(path.c_str()));
    EXPECT_DOUBLE_EQ(Clock()->GetHTRefClock(), 210);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentMultiplier(), 14.5);
    EXPECT_DOUBLE_EQ(Cpu(3)->GetCurrentMultiplier(), 10);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCPUVid(), 1.4);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetNBVid(), 1.2);
    ASSERT_TRUE(MC()->GetConfig(&config));
    EXPECT_NEAR(config.MemClk, 333.333 * 210 / 200, 1e-6);
    EXPECT_DOUBLE_EQ(Pwm()->GetMemVDDQ(), 195000);

    // Voltages up before the clocks move.
    const std::vector<std::string> j = QvxJournal();
    ASSERT_GE(j.size(), 4u);
    EXPECT_EQ(j[0], "CPU0.SetCPUVid(1.4)");
    EXPECT_EQ(j[1], "CPU0.SetNBVid(1.2)");
    EXPECT_EQ(j[2], "PWM.SetMemVDDQ(195000)");
    EXPECT_EQ(j[3], "CG.SetHTRefClock(210)");   // VTT followed VDDQ: nothing to write

    QFile file(QString::fromStdU16String(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("<?QVX_Configuration_File version = \"1.0\"?>"));
    EXPECT_TRUE(text.contains("<Vyk_Tarrow_T40_Quad-Core_Processor>"));
    EXPECT_TRUE(text.contains("<CPUVID>140000</CPUVID>"));
}

TEST_F(QvxTest, AppliesTheProgramsValueStoreWithDecimalCommas)
{
    Write("QVXConfig.xml", R"(<?QVX_Configuration_File version = "1.0"?>
<Configuration>
 <CPU><Vyk_Tarrow_T40_Quad-Core_Processor>
  <Multiplier>12,5</Multiplier><Multiplier2>13</Multiplier2><CPUVID>135000</CPUVID>
  <MultiplierTune>15</MultiplierTune>
 </Vyk_Tarrow_T40_Quad-Core_Processor></CPU>
 <ClockGen><Vyk_Clock_Generator><HTRefClock>205</HTRefClock><CPUTune>230</CPUTune></Vyk_Clock_Generator></ClockGen>
 <QVXAssist><ApplySettings><LastRunStatus>Succeeded</LastRunStatus></ApplySettings></QVXAssist>
 <FanControl><Settings><Fan1SpeedPercentage>45</Fan1SpeedPercentage></Settings></FanControl>
 <PWMController2><Vyk_Voltage_Controller><Mem_VDDQ>190000</Mem_VDDQ></Vyk_Voltage_Controller></PWMController2>
</Configuration>
)");
    ASSERT_TRUE(CProfileSettgins::m_Self.ApplySettings(u"QVXConfig.xml"));   // relative to the current folder
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentMultiplier(), 12.5);
    EXPECT_DOUBLE_EQ(Cpu(1)->GetCurrentMultiplier(), 13);
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCPUVid(), 1.35);
    EXPECT_DOUBLE_EQ(Clock()->GetHTRefClock(), 205);
    EXPECT_DOUBLE_EQ(Pwm2()->GetChannelVoltage(0), 190000);
    EXPECT_EQ(Sensors()->GetFanSpeed(1), 3000 * 45 / 100);
}

TEST_F(QvxTest, BadProfilesFailAndRefusedItemsDoNotStopTheRest)
{
    EXPECT_FALSE(CProfileSettgins::m_Self.ApplySettings(u"missing.xml"));
    Write("broken.xml", "<Configuration><CPU>");
    EXPECT_FALSE(CProfileSettgins::m_Self.ApplySettings(Path("broken.xml").c_str()));
    Write("other.xml", "<Other/>");
    EXPECT_FALSE(CProfileSettgins::m_Self.ApplySettings(Path("other.xml").c_str()));
    EXPECT_FALSE(CProfileSettgins::m_Self.ApplySettings(nullptr));
    EXPECT_TRUE(QvxJournal().empty());

    Write("refused.xml", R"(<Configuration>
 <CPU><Vyk_Tarrow_T40_Quad-Core_Processor><Multiplier>40</Multiplier><Multiplier2>9</Multiplier2>
 <CPUVID>abc</CPUVID></Vyk_Tarrow_T40_Quad-Core_Processor></CPU>
</Configuration>)");
    EXPECT_FALSE(CProfileSettgins::m_Self.ApplySettings(Path("refused.xml").c_str()));
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentMultiplier(), 16);
    EXPECT_DOUBLE_EQ(Cpu(1)->GetCurrentMultiplier(), 9);
    EXPECT_TRUE(test::LogContains("profile value Multiplier = 40 was refused"));
    EXPECT_TRUE(test::LogContains("is not a number"));
}

TEST_F(QvxTest, SaveFailsOnAnUnwritablePath)
{
    EXPECT_FALSE(CProfileSettgins::m_Self.SaveSettings(u"/nonexistent/folder/p.xml"));
    EXPECT_TRUE(test::LogContains("cannot write the profile"));
}

TEST_F(QvxTest, ASaveThatRunsOutOfDiskKeepsTheEarlierProfile)
{
    Write("earlier.xml", "<Configuration/>\n");
    {
        test::FileSizeLimit full(10);
        EXPECT_FALSE(CProfileSettgins::m_Self.SaveSettings(Path("earlier.xml").c_str()));
    }
    QFile file(QString::fromStdU16String(Path("earlier.xml")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "<Configuration/>\n");
    EXPECT_TRUE(test::LogContains("cannot write the profile"));
}

TEST_F(QvxTest, NobodyElseMayChangeASavedProfileWhateverTheUmask)
{
    const mode_t previous = ::umask(0);
    const bool saved = CProfileSettgins::m_Self.SaveSettings(Path("open.xml").c_str());
    ::umask(previous);
    ASSERT_TRUE(saved);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(QString::fromStdU16String(Path("open.xml"))).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(QvxTest, ADeviceNameThatIsNoXmlNameFailsTheSaveInsteadOfWritingAnUnreadableProfile)
{
    struct Case { const char* brand; bool saved; const char* element; };
    const Case cases[] = {
        {"Vyk (Tarrow) X4/955+", true, "<Vyk__Tarrow__X4_955_>"},   // the value store's own rule
        {"Vyk@Tarrow", false, nullptr},
        {"955 Tarrow", false, nullptr},
        {"Vyk&Tarrow", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.brand);
        g_DeviceManager.UnInit();
        QJsonObject processor = test::DefaultBoard().value("processor").toObject();
        processor.insert("brand", c.brand);
        ASSERT_TRUE(test::LoadDefaultBoardWith({{"processor", processor}}));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
        test::LogCapture::Instance().Clear();
        QFile::remove(QString::fromStdU16String(Path("named.xml")));

        EXPECT_EQ(CProfileSettgins::m_Self.SaveSettings(Path("named.xml").c_str()), c.saved);
        if (c.saved) {
            QFile file(QString::fromStdU16String(Path("named.xml")));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(file.readAll().contains(c.element));
            EXPECT_TRUE(CProfileSettgins::m_Self.ApplySettings(Path("named.xml").c_str())) << "what was saved reads back";
        } else {
            EXPECT_FALSE(QFile::exists(QString::fromStdU16String(Path("named.xml"))));
            EXPECT_TRUE(test::LogContains("cannot write the profile"));
        }
    }
}

TEST_F(QvxTest, AProfileNestedFarDeeperThanAnyProfileIsRefused)
{
    QByteArray deep = "<Configuration><CPU><Vyk_Tarrow_X4_955_Quad-Core_Processor><Multiplier>12</Multiplier>"
                      "<Note>";
    for (int i = 0; i < 20; ++i)
        deep += "<a>";
    for (int i = 0; i < 20; ++i)
        deep += "</a>";
    deep += "</Note></Vyk_Tarrow_X4_955_Quad-Core_Processor></CPU></Configuration>";
    Write("deep.xml", deep);
    EXPECT_FALSE(CProfileSettgins::m_Self.ApplySettings(Path("deep.xml").c_str()));
    EXPECT_TRUE(test::LogContains("nest deeper than"));
    EXPECT_DOUBLE_EQ(Cpu(0)->GetCurrentMultiplier(), 16) << "nothing of a damaged profile is applied";
}

} // namespace
