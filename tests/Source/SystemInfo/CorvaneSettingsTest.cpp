// The flash-cache settings page against the driver's values in the registry: what
// it shows, the capability rules, the number fields, the refusals, the interlock,
// the restore of the defaults and the profile file.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QValidator>

#include "Platform/PrivateProfile.h"
#include "Source/SystemInfo/CorvaneFixture.h"
#include "SystemInfo/CorvaneSettings.h"
#include "support/LogCapture.h"

namespace {

const char kWarning[] = "< Settings will take effect after you restart this computer! >";

class CorvaneSettingsTest : public test::CorvaneTest {
protected:
    template <class W>
    W* Get(const char* name) const
    {
        W* widget = page->findChild<W*>(QLatin1String(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    QCheckBox* Box(const char* name) const { return Get<QCheckBox>(name); }
    QLineEdit* Edit(const char* name) const { return Get<QLineEdit>(name); }
    QString Warning() const { return Get<QLabel>("labelWarning")->text(); }
    // Any write of these values now fails, so a test sees whether Apply tried one.
    static void ForbidWrites(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            Fault(std::string("registry-write-fails:") + name);
    }
    static QString Profile()
    {
        QSettings profile(plat::PrivateProfilePath(u"Corvane.ini"), QSettings::IniFormat);
        return profile.value(QStringLiteral("Corvane/DefaultGlobalCapsSettings"), QStringLiteral("<missing>")).toString();
    }

    std::unique_ptr<QCorvaneSettings> page = std::make_unique<QCorvaneSettings>();
};

} // namespace

TEST_F(CorvaneSettingsTest, FormAndDiscardShowTheDriversValues)
{
    EXPECT_EQ(page->GetName(), std::string("CorvaneSettings"));
    EXPECT_EQ(page->size(), QSize(686, 434));
    EXPECT_EQ(page->windowTitle(), QStringLiteral("Form"));
    EXPECT_FALSE(Get<QRadioButton>("radioBtnDefault")->isChecked());
    EXPECT_FALSE(Get<QRadioButton>("radioBtnCustom")->isChecked());
    EXPECT_TRUE(Get<QGroupBox>("groupBoxCustom")->isEnabled());
    // Qt gives the mask back without its default blank ("; ").
    EXPECT_EQ(Edit("editIFSpeed")->inputMask(), QStringLiteral("\\0\\xHHHHHHHH"));
    EXPECT_EQ(Box("checkBox_2")->text(), QStringLiteral("NCQ_ENABLE"));
    EXPECT_EQ(Box("checkBox_2")->whatsThis(), QStringLiteral("Enable \u201CNative Command Queue\u201D support. "));
    EXPECT_FALSE(page->findChild<QPushButton*>(QStringLiteral("btnDefault")));
    EXPECT_TRUE(Edit("editCCCCompValue")->text().isEmpty()) << "the constructor reads nothing";

    ASSERT_TRUE(page->Discard());
    EXPECT_EQ(Edit("editCCCCompValue")->text(), QStringLiteral("8"));
    EXPECT_EQ(Edit("editCCCTimeoutValue")->text(), QStringLiteral("10"));
    EXPECT_EQ(Edit("editIFSpeed")->text(), QStringLiteral("0x0000001f"));
    EXPECT_TRUE(Get<QCheckBox>("checkBoxQueuePriority")->isChecked());
    for (const char* name : {"checkBox_2", "checkBox_5", "checkBox_6", "checkBox_7", "checkBox_8", "checkBox_9",
                             "checkBox_10", "checkBox_11", "checkBox_15"})
        EXPECT_FALSE(Box(name)->isChecked()) << name;
    EXPECT_TRUE(Box("checkBox_3")->isChecked()) << "0x10004 carries hot plug";
    EXPECT_FALSE(Box("checkBox_6")->isEnabled()) << "hot plug excludes link power management";
    EXPECT_TRUE(page->ReadParameters());
}

TEST_F(CorvaneSettingsTest, AnUnreadableValueDoesNotStopTheOthers)
{
    Fault("registry-read-fails:CCCTimeoutValue");
    EXPECT_FALSE(page->ReadParameters());
    EXPECT_TRUE(page->Discard());
    EXPECT_EQ(Edit("editCCCTimeoutValue")->text(), QStringLiteral("0"));
    EXPECT_EQ(Edit("editCCCCompValue")->text(), QStringLiteral("8"));
    EXPECT_EQ(Edit("editIFSpeed")->text(), QStringLiteral("0x0000001f"));
    EXPECT_TRUE(Get<QCheckBox>("checkBoxQueuePriority")->isChecked()) << "read after the failure";
}

TEST_F(CorvaneSettingsTest, CapabilityRules)
{
    // Use Default with the default words already stored: nothing but the profile is written.
    ASSERT_TRUE(page->Discard());
    Get<QRadioButton>("radioBtnDefault")->setChecked(true);
    ForbidWrites({"GlobalCaps", "GlobalCapsMask", "CCCCompletionValue", "CCCTimeoutValue", "InterfaceSpeed",
                  "queuePriorityEnable"});
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Warning(), QString());
    EXPECT_EQ(Profile(), QStringLiteral("1"));
    vb::Machine::Instance().GetFaults().Clear();

    // Custom with no box: only the base bit.
    Get<QRadioButton>("radioBtnCustom")->setChecked(true);
    Box("checkBox_3")->setChecked(false);
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10000u);
    EXPECT_EQ(Parameter(u"GlobalCapsMask"), 0x10000u);
    EXPECT_EQ(Warning(), QLatin1String(kWarning));
    EXPECT_EQ(Profile(), QStringLiteral("0"));

    // Custom with boxes: written at every Apply.
    Box("checkBox_2")->setChecked(true);
    Box("checkBox_10")->setChecked(true);
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10202u);
    EXPECT_EQ(Parameter(u"GlobalCapsMask"), 0x10000u);
    ForbidWrites({"GlobalCaps"});
    EXPECT_FALSE(page->Apply()) << "the same words are written again";
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bRetCode) at line"));
    EXPECT_TRUE(test::LogContains("QCorvaneSettings::Apply"));
    vb::Machine::Instance().GetFaults().Clear();

    // Use Default over other stored words writes the default ones.
    Get<QRadioButton>("radioBtnDefault")->setChecked(true);
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10004u);
    EXPECT_EQ(Parameter(u"GlobalCapsMask"), 0x10000u);
    EXPECT_EQ(Profile(), QStringLiteral("1"));
}

TEST_F(CorvaneSettingsTest, NumberFields)
{
    ASSERT_TRUE(page->Discard());
    ForbidWrites({"InterfaceSpeed", "CCCTimeoutValue"});
    // "0x0000001f" is read back as the 0x1f it came from: nothing changed.
    Get<QRadioButton>("radioBtnDefault")->setChecked(true);
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Warning(), QString());
    vb::Machine::Instance().GetFaults().Clear();

    Edit("editIFSpeed")->setText(QStringLiteral("0x000000ff"));
    Edit("editCCCCompValue")->clear();                     // empty counts as 0
    Edit("editCCCTimeoutValue")->setText(QStringLiteral("4294967295"));
    Get<QCheckBox>("checkBoxQueuePriority")->setChecked(false);
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Parameter(u"InterfaceSpeed"), 0xffu);
    EXPECT_EQ(Parameter(u"CCCCompletionValue"), 0u);
    EXPECT_EQ(Parameter(u"CCCTimeoutValue"), 0xFFFFFFFFu);
    EXPECT_EQ(Parameter(u"queuePriorityEnable"), 0u);
    EXPECT_EQ(Warning(), QLatin1String(kWarning));

    // Stored 0 and an empty field: nothing to write.
    ForbidWrites({"CCCCompletionValue"});
    EXPECT_TRUE(page->Apply());
}

TEST_F(CorvaneSettingsTest, TextThatIsNoNumberIsRefusedAndNothingIsWritten)
{
    ASSERT_TRUE(page->Discard());
    Get<QRadioButton>("radioBtnCustom")->setChecked(true);
    Box("checkBox_2")->setChecked(true);
    Edit("editCCCCompValue")->setText(QStringLiteral("12"));
    const struct { const char* field; const char* text; } cases[] = {
        {"editCCCTimeoutValue", "abc"},
        {"editCCCTimeoutValue", "99999999999"},
        {"editCCCTimeoutValue", "-1"},
        {"editCCCTimeoutValue", "1 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString before = Edit(c.field)->text();
        Edit(c.field)->setText(QLatin1String(c.text));
        test::LogCapture::Instance().Clear();
        const size_t boxes = answers.Messages().size();
        EXPECT_FALSE(page->Apply());
        ASSERT_EQ(answers.Messages().size(), boxes + 1);
        EXPECT_TRUE(answers.Messages().back().text.contains(QLatin1String("is not a valid number")));
        EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(bParsed)"));
        Edit(c.field)->setText(before);
    }
    // Nothing of that Apply reached the driver, not even the fields before the bad one.
    EXPECT_EQ(Parameter(u"CCCCompletionValue"), 8u);
    EXPECT_EQ(Parameter(u"CCCTimeoutValue"), 10u);
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10004u);
    EXPECT_EQ(Profile(), QStringLiteral("<missing>"));
    // Typing lets only digits into the decimal fields; the mask only hexadecimal digits into the speed.
    QString typed = QStringLiteral("12a");
    int position = 0;
    EXPECT_EQ(Edit("editCCCCompValue")->validator()->validate(typed, position), QValidator::Invalid);
    Edit("editIFSpeed")->setText(QStringLiteral("0xzz"));
    EXPECT_EQ(Edit("editIFSpeed")->text(), QStringLiteral("0x"));
}

TEST_F(CorvaneSettingsTest, ApplyBeforeAnyReadWritesNothing)
{
    ForbidWrites({"GlobalCaps", "GlobalCapsMask"});
    EXPECT_FALSE(page->Apply());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_bValuesRead)"));
    vb::Machine::Instance().GetFaults().Clear();
    EXPECT_FALSE(page->Apply());
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10004u);
    EXPECT_EQ(Parameter(u"CCCCompletionValue"), 8u);
}

TEST_F(CorvaneSettingsTest, AFailedWriteEndsApplyAndKeepsTheEarlierWrites)
{
    ASSERT_TRUE(page->Discard());
    Edit("editCCCCompValue")->setText(QStringLiteral("16"));
    Edit("editCCCTimeoutValue")->setText(QStringLiteral("20"));
    Edit("editIFSpeed")->setText(QStringLiteral("0x00000003"));
    ForbidWrites({"CCCTimeoutValue"});
    EXPECT_FALSE(page->Apply());
    EXPECT_EQ(Parameter(u"CCCCompletionValue"), 16u);
    EXPECT_EQ(Parameter(u"CCCTimeoutValue"), 10u);
    EXPECT_EQ(Parameter(u"InterfaceSpeed"), 0x1fu) << "nothing after the failure";
    EXPECT_EQ(Warning(), QString());
}

TEST_F(CorvaneSettingsTest, HotPlugAndLinkPowerManagementExcludeEachOther)
{
    QCheckBox* hotPlug = Box("checkBox_3");
    QCheckBox* dipm = Box("checkBox_6");
    QCheckBox* hipm = Box("checkBox_7");
    hotPlug->setChecked(true);
    EXPECT_FALSE(dipm->isEnabled());
    EXPECT_FALSE(hipm->isEnabled());
    hotPlug->setChecked(false);
    EXPECT_TRUE(dipm->isEnabled() && hipm->isEnabled());
    dipm->setChecked(true);
    EXPECT_FALSE(hotPlug->isEnabled());
    hipm->setChecked(true);
    dipm->setChecked(false);
    EXPECT_FALSE(hotPlug->isEnabled()) << "until both are unchecked";
    hipm->setChecked(false);
    EXPECT_TRUE(hotPlug->isEnabled());

    auto* custom = Get<QGroupBox>("groupBoxCustom");
    Get<QRadioButton>("radioBtnDefault")->setChecked(true);
    EXPECT_FALSE(custom->isEnabled());
    Get<QRadioButton>("radioBtnCustom")->setChecked(true);
    EXPECT_TRUE(custom->isEnabled());
}

TEST_F(CorvaneSettingsTest, RestoringTheDefaultCapabilities)
{
    ASSERT_TRUE(page->Discard());
    Box("checkBox_3")->setChecked(false);
    answers.Queue(QMessageBox::No);
    ASSERT_TRUE(QMetaObject::invokeMethod(page.get(), "on_btnDefault_clicked"));
    EXPECT_EQ(answers.Messages().back().text, QStringLiteral("Are you sure to reset these settings to default vaules?"));
    EXPECT_EQ(answers.Messages().back().title, QStringLiteral("Corvane Settings"));
    EXPECT_FALSE(Box("checkBox_3")->isChecked()) << "No changes nothing";

    // Without "GlobalCapsDefault" the driver's own default.
    answers.Queue(QMessageBox::Yes);
    ASSERT_TRUE(QMetaObject::invokeMethod(page.get(), "on_btnDefault_clicked"));
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10004u);
    EXPECT_EQ(Parameter(u"GlobalCapsMask"), 0x10004u);
    EXPECT_TRUE(Box("checkBox_3")->isChecked());

    test::InstallStorageDriver({{u"GlobalCapsDefault", 0x10022}});
    answers.Queue(QMessageBox::Yes);
    ASSERT_TRUE(QMetaObject::invokeMethod(page.get(), "on_btnDefault_clicked"));
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10022u);
    EXPECT_TRUE(Box("checkBox_2")->isChecked() && Box("checkBox_6")->isChecked());

    ForbidWrites({"GlobalCapsMask"});
    answers.Queue(QMessageBox::Yes);
    test::InstallStorageDriver({{u"GlobalCapsDefault", 0x10006}});
    ASSERT_TRUE(QMetaObject::invokeMethod(page.get(), "on_btnDefault_clicked"));
    EXPECT_TRUE(test::LogContains("QCorvaneSettings::on_btnDefault_clicked"));
    EXPECT_EQ(Parameter(u"GlobalCaps"), 0x10006u) << "written before the failure";
    EXPECT_FALSE(Box("checkBox_3")->isChecked()) << "the widgets are not refreshed after a failure";
}

TEST_F(CorvaneSettingsTest, UnusedOperationsStillWork)
{
    ASSERT_TRUE(page->Discard());
    Get<QPushButton>("btnUpdateROM")->click();
    test::InstallStorageDriver({{u"CCCCompletionValue", 1}, {u"queuePriorityEnable", 0}});
    EXPECT_TRUE(page->WriteParameters()) << "the values the page read, back";
    EXPECT_EQ(Parameter(u"CCCCompletionValue"), 8u);
    EXPECT_EQ(Parameter(u"queuePriorityEnable"), 1u);
    EXPECT_EQ(Parameter(u"MemoryMappedAddr"), 0xfed00000u);
    page->show();
    page->HideFlashOptions();
    EXPECT_FALSE(Get<QLabel>("label_4")->isVisible());
    EXPECT_FALSE(Get<QPushButton>("btnUpdateROM")->isVisible());
    EXPECT_FALSE(Box("checkBox_5")->isVisible());
    EXPECT_TRUE(Box("checkBox_2")->isVisible());
}

TEST_F(CorvaneSettingsTest, WithoutTheDriverTheFieldsShowZerosAndApplyFails)
{
    QSettings(plat::RegistryHiveFile(plat::RegistryHive::LocalMachine), QSettings::IniFormat).clear();
    EXPECT_FALSE(page->ReadParameters());
    EXPECT_TRUE(page->Discard());
    EXPECT_EQ(Edit("editCCCCompValue")->text(), QStringLiteral("0"));
    EXPECT_EQ(Edit("editIFSpeed")->text(), QStringLiteral("0x00000000"));
    EXPECT_FALSE(page->Apply());
    plat::RegistryKey key;
    EXPECT_EQ(key.Open(plat::RegistryHive::LocalMachine, test::kDriverParametersKey), plat::ERROR_FILE_NOT_FOUND)
        << "the page never makes the driver's key";
}
