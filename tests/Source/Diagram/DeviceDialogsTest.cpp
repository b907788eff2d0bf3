// The device dialogs on their own: the drive and input-device family reading the
// three texts of their device (none of them trusted to be there), the empty USB
// storage dialog, and the chipset family's name and PCI identity in hexadecimal.
#include <QTranslator>

#include <memory>
#include <string>

#include "Diagram/ChipsetDialogs.h"
#include "Diagram/DeviceDialogs.h"
#include "Diagram/DialogSupport.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::DiagramTest;

namespace {

// A device whose texts are whatever the test says, null included; it counts the calls made on it.
class TextDevice : public IDevice {
public:
    TextDevice(const char16_t* name, const char16_t* description, const char16_t* vendor)
        : m_texts{name, description, vendor} {}
    const char16_t* GetName() override { return Call(m_texts[0]); }
    const char16_t* GetDescription() override { return Call(m_texts[1]); }
    const char16_t* GetVendor() override { return Call(m_texts[2]); }
    const char16_t* GetTypeName() override { return Call(u"Mouse"); }
    const char16_t* GetClassName() override { return Call(u"USB Mouse"); }
    QVX_DEVICE_TYPE GetType() override { ++calls; return dtMouse; }
    int GetIndex() override { ++calls; return 0; }
    unsigned long GetBuildVersion() override { ++calls; return 0; }
    int calls = 0;

private:
    const char16_t* Call(const char16_t* text) { ++calls; return text; }
    const char16_t* m_texts[3];
};

QStringList Cells(QDeviceTextDialog& dialog)
{
    const Ui::DeviceTextDialogClass& form = dialog.Form();
    return {form.Name->text(), form.Description->text(), form.Vendor->text()};
}

QStringList Cells(QChipsetDialog& dialog)
{
    const Ui::ChipsetDialogClass& form = dialog.Form();
    return {form.Name->text(), form.VendorID->text(), form.DeviceID->text(),
            form.Revision->text(), form.BusNum->text(), form.DevNum->text()};
}

} // namespace

TEST(DeviceTextTest, NullTextIsEmptyAndFieldsStopAtTheirSize)
{
    EXPECT_TRUE(DeviceText(nullptr).isEmpty());
    EXPECT_EQ(DeviceText(u"Vyk DVD"), "Vyk DVD");
    const char field[8] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};   // no terminating zero
    EXPECT_EQ(RecordText(field, sizeof field), "ABCDEFGH");
    EXPECT_EQ(RecordText("AB\0CD", 5), "AB");
    EXPECT_TRUE(RecordText(nullptr, 4).isEmpty());
}

TEST(DeviceTextTest, ThreeTextDialogsShowWhatTheDeviceSaysAndEmptyForNothing)
{
    TextDevice full(u"USB Optical Mouse", u"HID-compliant mouse", u"Vyk");
    TextDevice partial(u"USB Mouse", u"", nullptr);
    TextDevice none(nullptr, nullptr, nullptr);
    MouseDialog mouse;
    ASSERT_TRUE(mouse.SetDevice(&full));
    ASSERT_TRUE(mouse.Init());
    EXPECT_EQ(Cells(mouse), QStringList({"USB Optical Mouse", "HID-compliant mouse", "Vyk"}));
    EXPECT_EQ(full.calls, 3);
    ASSERT_TRUE(mouse.SetDevice(&partial));
    ASSERT_TRUE(mouse.Refresh());
    EXPECT_EQ(Cells(mouse), QStringList({"USB Mouse", "", ""}));
    CDDialog drive;
    ASSERT_TRUE(drive.SetDevice(&none));
    ASSERT_TRUE(drive.Init());
    EXPECT_EQ(Cells(drive), QStringList({"", "", ""}));

    // The family's names, sizes and help.
    KeyboardDialog keyboard;
    EXPECT_EQ(std::string(drive.GetName()), "CD/DVD Drive");
    EXPECT_EQ(std::string(keyboard.GetName()), "Keyboard");
    EXPECT_EQ(std::string(mouse.GetName()), "Mouse");
    EXPECT_EQ(drive.objectName(), "CDDialogClass");
    EXPECT_EQ(drive.size(), QSize(302, 83));
    EXPECT_EQ(keyboard.size(), QSize(252, 80));
    EXPECT_EQ(keyboard.Form().Name->minimumWidth(), 150);
    EXPECT_EQ(keyboard.Form().Vendor->minimumWidth(), 100);
    EXPECT_EQ(keyboard.Form().Vendor->maximumWidth(), 200);
    EXPECT_EQ(keyboard.Form().Description->whatsThis(), "The description of keyboard ");
    EXPECT_EQ(drive.Form().Name->whatsThis(), "CD/DVD drive model name ");
    EXPECT_EQ(drive.Form().label_53->text(), "Description");
}

TEST(DeviceTextTest, ADialogWithoutItsDeviceRefuses)
{
    KeyboardDialog keyboard;
    MouseDialog mouse;
    USBStorDialog storage;
    EXPECT_FALSE(keyboard.SetDevice(nullptr));
    EXPECT_FALSE(mouse.SetDevice(nullptr));
    EXPECT_FALSE(storage.SetDevice(nullptr));
    for (const char* line : {"LOG_PROCESS_ERROR(pKeyboard) at line", "in KeyboardDialog::SetDevice",
                             "LOG_PROCESS_ERROR(pMouse) at line", "in MouseDialog::SetDevice",
                             "LOG_PROCESS_ERROR(pUSBStorage) at line", "in USBStorDialog::SetDevice"})
        EXPECT_TRUE(test::LogContains(line)) << line;
    EXPECT_FALSE(keyboard.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_pKeyboard) at line"));

    // The optical drive's dialog takes the null device, and then its Init fails.
    CDDialog drive;
    EXPECT_TRUE(drive.SetDevice(nullptr));
    EXPECT_FALSE(drive.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_pCDRom) at line"));
    EXPECT_TRUE(test::LogContains("in CDDialog::Refresh"));
    EXPECT_EQ(Cells(drive), QStringList({"", "", ""}));
}

TEST(DeviceTextTest, TheUsbStorageDialogIsEmptyAndNeverReadsItsDevice)
{
    TextDevice stick(u"USB Flash Disk", u"USB Mass Storage Device", u"Vyk");
    USBStorDialog storage;
    ASSERT_TRUE(storage.SetDevice(&stick));
    EXPECT_TRUE(storage.Init());
    EXPECT_EQ(stick.calls, 0);
    EXPECT_EQ(std::string(storage.GetName()), "USB Storage");
    EXPECT_TRUE(storage.children().isEmpty());
    EXPECT_EQ(storage.size(), QSize(400, 300));
}

TEST(ChipsetDialogTest, NumbersShowInUpperCaseHexadecimalWithAnH)
{
    const struct {
        uint32_t value;
        const char* text;
    } kCases[] = {{0x1002, "1002H"}, {0, "0H"}, {0x9600, "9600H"}, {0x3c, "3CH"}, {0xabcdef, "ABCDEFH"},
                  {0xFFFFFFFF, "FFFFFFFFH"}};
    for (const auto& c : kCases)
        EXPECT_EQ(QChipsetDialog::Hex(c.value), c.text) << c.value;
}

TEST_F(DiagramTest, ChipsetDialogsReadTheirDeviceAndOnlyTheBridgesReadAgainWhenShown)
{
    UseBoard([](QJsonObject& devices) {
        QJsonObject nb = devices.value("northBridge").toObject();
        nb.insert("name", "vyk northbridge, rev. b");
        devices.insert("northBridge", nb);
        devices.insert("usbControllers", QJsonArray{QJsonObject{{"name", "First"}}, QJsonObject{{"name", "Second"}},
                                                    QJsonObject{{"name", "Third"}}});
    });
    const vb::DeviceBoard& board = vb::Machine::Instance().Get<vb::DeviceBoard>();

    NBDialog north;
    SBDialog south;
    SATADialog sata;
    IDEDialog ide;
    for (QChipsetDialog* dialog : std::initializer_list<QChipsetDialog*>{&north, &south, &sata, &ide})
        ASSERT_TRUE(dialog->Init()) << dialog->GetName();
    // Names as the device reports them; only the numbers are upper-cased.
    EXPECT_EQ(north.Form().Name->text(), "vyk northbridge, rev. b");
    EXPECT_EQ(north.Form().Name->objectName(), "Model");
    EXPECT_EQ(north.Form().label->text(), "Chipset Model");
    EXPECT_EQ(sata.Form().Name->objectName(), "Name");
    EXPECT_EQ(sata.Form().label->text(), "Name");
    EXPECT_EQ(sata.Form().DeviceID->whatsThis(), "Device ID of PCI devcie ");
    EXPECT_EQ(north.Form().DeviceID->whatsThis(), "Device ID of PCI device ");
    EXPECT_EQ(south.size(), QSize(370, 127));
    EXPECT_EQ(std::string(south.GetName()), "Southbridge");

    for (QChipsetDialog* dialog : std::initializer_list<QChipsetDialog*>{&north, &south, &sata, &ide}) {
        const uint64_t before = board.Accesses();
        dialog->show();
        const bool bridge = dialog == &north || dialog == &south;
        EXPECT_EQ(board.Accesses() > before, bridge) << dialog->GetName();
        dialog->hide();
    }

    // Controller k is read whatever other controllers exist.
    USBDialog third;
    third.SetIndex(2);
    ASSERT_TRUE(third.Init());
    EXPECT_EQ(third.Form().Name->text(), "Third");
    EXPECT_EQ(std::string(third.GetName()), "USB Controller");
    USBDialog missing;
    missing.SetIndex(3);
    EXPECT_FALSE(missing.Init());
    EXPECT_EQ(Cells(missing), QStringList({"", "", "", "", "", ""}));
    // An absent controller is no failure: no error line.
    EXPECT_FALSE(test::LogContains("pUSBController"));
    // A refresh that finds no controller fails and says so: the dialog stands for one.
    EXPECT_FALSE(missing.Refresh());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pUSBController) at line"));
    EXPECT_TRUE(test::LogContains("in USBDialog::Refresh"));
}

namespace {

// Translates only the texts of one context, so a test sees which context a text went through.
class ContextTranslator : public QTranslator {
public:
    explicit ContextTranslator(const char* context) : m_context(context) {}
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (m_context != context)
            return QString();
        return QStringLiteral("[%1]").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }

private:
    std::string m_context;
};

// Every caption and help text of a dialog's form; none may be left out of its context.
QStringList FormTexts(QWidget& dialog)
{
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts << label->text();
        if (!label->whatsThis().isEmpty())
            texts << label->whatsThis();
    }
    return texts;
}

template <class Dialog>
std::unique_ptr<QWidget> Make()
{
    return std::make_unique<Dialog>();
}

} // namespace

TEST(DeviceDialogFamiliesTest, EachDialogTranslatesItsFormInItsOwnContext)
{
    const struct {
        const char* context;
        std::unique_ptr<QWidget> (*make)();
    } kDialogs[] = {
        {"CDDialogClass", &Make<CDDialog>},
        {"KeyboardDialogClass", &Make<KeyboardDialog>},
        {"MouseDialogClass", &Make<MouseDialog>},
        {"NBDialogClass", &Make<NBDialog>},
        {"SBDialogClass", &Make<SBDialog>},
        {"SATADialogClass", &Make<SATADialog>},
        {"IDEDialogClass", &Make<IDEDialog>},
        {"USBDialogClass", &Make<USBDialog>},
    };
    for (const auto& d : kDialogs) {
        SCOPED_TRACE(d.context);
        ContextTranslator translator(d.context);
        QCoreApplication::installTranslator(&translator);
        const std::unique_ptr<QWidget> dialog = d.make();
        QCoreApplication::removeTranslator(&translator);
        const QStringList texts = FormTexts(*dialog);
        EXPECT_GE(texts.size(), 6);
        for (const QString& text : texts)
            EXPECT_TRUE(text.startsWith('[') && text.endsWith(']')) << qPrintable(text);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("[%1]").arg(QLatin1String(d.context).chopped(5)));
    }
    // The texts of the shared forms' own contexts reach no dialog.
    for (const char* shared : {"DeviceTextDialogClass", "ChipsetDialogClass"}) {
        ContextTranslator translator(shared);
        QCoreApplication::installTranslator(&translator);
        CDDialog drive;
        NBDialog bridge;
        QCoreApplication::removeTranslator(&translator);
        for (QWidget* dialog : {static_cast<QWidget*>(&drive), static_cast<QWidget*>(&bridge)})
            for (const QString& text : FormTexts(*dialog))
                EXPECT_FALSE(text.startsWith('[')) << shared << ": " << qPrintable(text);
    }
}
