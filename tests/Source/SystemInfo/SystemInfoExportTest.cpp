// "Output": the tree saved as text, byte for byte, and what happens when the user
// cancels or the file cannot be written.
#include <QDir>

#include <csignal>
#include <sys/resource.h>

#include "Source/Files.h"
#include "Source/SystemInfo/SystemInfoFixture.h"
#include "VirtualBoard/UsbBus.h"
#include "support/LogCapture.h"

using test::SystemInfoTest;

namespace {

QString InFolder(const char* name) { return QDir::current().absoluteFilePath(QLatin1String(name)); }

// While it lives, no file of this process may grow past `bytes`: a full disk as
// the writer sees it (a write past the limit fails instead of raising SIGXFSZ).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

const char kFailureLine[] = "LOG_PROCESS_ERROR(bRetCode)";
const char kSlot[] = "QSystemInfo::on_pushButton_2_clicked";

} // namespace

TEST_F(SystemInfoTest, OutputWritesTheDefaultBoardAsTheGoldenFileOverAnEarlierOne)
{
    Create();
    ASSERT_TRUE(test::WriteFile(InFolder("report.txt"), QByteArray(20000, 'x')));
    Output(InFolder("report.txt"));

    const QByteArray golden = test::ReadFile(QStringLiteral(VELOCREST_FIXTURES "/systeminfo/default-board.txt"));
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(test::ReadFile(InFolder("report.txt")), golden);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_EQ(dialogs.Dialogs()[0].caption, "Save File");
    EXPECT_EQ(dialogs.Dialogs()[0].dir, QString());
    EXPECT_EQ(dialogs.Dialogs()[0].filter, "System Info (*.txt)");
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_EQ(QDir::current().entryList(QDir::Files), QStringList{"report.txt"});
}

TEST_F(SystemInfoTest, LabelsArePaddedToFortyCharactersAndOtherCharactersBecomeQuestionMarks)
{
    // USB devices name the rows of their controller: labels of 39, 40 and 41 characters.
    const QString name39 = QString::fromUtf8("USB \u03A9 Pointer").leftJustified(39, QLatin1Char('.'));
    const QString name40 = QStringLiteral("USB Storage").leftJustified(40, QLatin1Char('.'));
    const QString name41 = QStringLiteral("USB Keyboard").leftJustified(41, QLatin1Char('.'));
    auto& usb = vb::Machine::Instance().Get<vb::UsbBus>();
    usb.Plug(vb::UsbDevice{name39, QString::fromUtf8("Vyk \u00E9 \U0001F5B1"), QString(), vb::UsbKind::Mouse, 3});
    usb.Plug(vb::UsbDevice{name40, QStringLiteral("Vyk"), QString(), vb::UsbKind::Storage, 3});
    usb.Plug(vb::UsbDevice{name41, QStringLiteral("Vyk"), QString(), vb::UsbKind::Keyboard, 3});
    ASSERT_TRUE(g_DeviceManager.Refresh());
    Create();
    Output(InFolder("usb.txt"));

    const QByteArray expected = "USB Controller 3\r\n"
                                "\tName                                    Vyk USB EHCI Controller 1\r\n"
                                "\tDescription                             Standard Enhanced PCI to USB Host Controller\r\n"
                                "\tVendor                                  Vyk\r\n"
                                "\tUSB ? Pointer.......................... Vyk \xE9 ?\r\n"
                                "\tUSB Storage.............................Vyk\r\n"
                                "\tUSB Keyboard.............................Vyk\r\n"
                                "\r\n";
    const QByteArray text = test::ReadFile(InFolder("usb.txt"));
    EXPECT_TRUE(text.endsWith(expected)) << text.right(expected.size() + 40).toStdString();
}

TEST_F(SystemInfoTest, AnEmptyTreeGivesAnEmptyFile)
{
    UseVariant("qvx-bare");
    Create();
    ASSERT_TRUE(test::WriteFile(InFolder("empty.txt"), "earlier report"));
    Output(InFolder("empty.txt"));
    EXPECT_TRUE(QFileInfo::exists(InFolder("empty.txt")));
    EXPECT_EQ(QFileInfo(InFolder("empty.txt")).size(), 0);
    EXPECT_TRUE(answers.Messages().empty());
}

TEST_F(SystemInfoTest, ACancelledDialogWritesNothingAndSaysNothing)
{
    Create();
    Output(QString());
    EXPECT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_TRUE(QDir::current().entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(answers.Messages().empty());
    EXPECT_FALSE(test::LogContains(kSlot));
}

TEST_F(SystemInfoTest, AFileThatCannotBeWrittenIsReportedAndTheEarlierOneStaysWhole)
{
    Create();
    // A folder nobody may write to: no file, a warning naming it, a log line.
    const QString unwritable = test::ReadOnlyFolder() + QStringLiteral("/report.txt");
    Output(unwritable);
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(answers.Messages()[0].title, "Save File");
    EXPECT_TRUE(answers.Messages()[0].text.contains(unwritable));
    EXPECT_EQ(test::LogCount(kFailureLine), 1u);
    EXPECT_EQ(test::LogCount(kSlot), 1u);

    // A disk that fills up half-way through: the earlier report is kept as it was,
    // and no half-written file is left beside it.
    const QByteArray earlier = "earlier report\r\n";
    ASSERT_TRUE(test::WriteFile(InFolder("report.txt"), earlier));
    {
        FileSizeLimit full(100);
        Output(InFolder("report.txt"));
    }
    EXPECT_EQ(test::ReadFile(InFolder("report.txt")), earlier);
    EXPECT_EQ(QDir::current().entryList(QDir::Files), QStringList{"report.txt"});
    ASSERT_EQ(answers.Messages().size(), 2u);
    EXPECT_TRUE(answers.Messages()[1].text.contains(InFolder("report.txt")));
    EXPECT_EQ(test::LogCount(kSlot), 2u);
}
