// The Device List page: the classes of the probe plug-ins in "Device" that this
// computer has, one row per class and plug-in.
#include <QDir>
#include <QFile>
#include <QLibrary>

#include <QHeaderView>

#include "Preferences/DeviceList.h"
#include "Source/MainWindow/ContrastCheck.h"
#include "Source/Preferences/PreferencesFixture.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

using test::MainWindowTest;
using test::LogContains;
using test::LogCount;

namespace {

const QString kTestPlugin = QStringLiteral(VELOCREST_TEST_PLUGINS "/Device/TestDevices.so");

bool Install(const QString& source, const QString& name)
{
    QDir().mkpath(QStringLiteral("Device"));
    return QFile::copy(source, QStringLiteral("Device/") + name);
}

class DeviceListTest : public test::PreferencesTest {
protected:
    void SetUp() override
    {
        PreferencesTest::SetUp();
        ASSERT_TRUE(g_DeviceManager.Init(""));
    }

    QStringList Row(QDeviceList& page, int row)
    {
        QStringList texts;
        for (int column = 0; column < page.Form().DeviceList->columnCount(); ++column)
            texts << page.Form().DeviceList->item(row, column)->text();
        return texts;
    }
};

} // namespace

TEST_F(DeviceListTest, TheTestPluginAddsOnlyItsClassWithDevices)
{
    ASSERT_TRUE(Install(kTestPlugin, QStringLiteral("TestDevices.so")));
    QDeviceList page;
    ASSERT_TRUE(page.Init());
    auto* table = page.Form().DeviceList;
    EXPECT_EQ(table->columnCount(), 5);
    EXPECT_EQ(table->columnWidth(0), 250);
    EXPECT_EQ(table->columnWidth(2), 180);
    EXPECT_EQ(table->horizontalHeaderItem(4)->text(), QStringLiteral("Instance Count"));
    // Class 0 has no device, class 1 no probe: one row, one check line.
    ASSERT_EQ(table->rowCount(), 1);
    const QString cores = QString::number(g_DeviceManager.GetDeviceCount(dtCPU));
    EXPECT_EQ(Row(page, 0), (QStringList{QStringLiteral("Vyk Family 10h Processor"), QStringLiteral("CPU"),
                                         QStringLiteral("Device/TestDevices.so"), QStringLiteral("7"), cores}));
    EXPECT_EQ(LogCount("LOG_CHECK_ERROR(pDevice)"), 1u);

    // Every probe was deleted, by its own destructor.
    QLibrary plugin(QDir(QStringLiteral("Device")).absoluteFilePath(QStringLiteral("TestDevices.so")));
    const auto alive = reinterpret_cast<unsigned (*)()>(plugin.resolve("TestProbesAlive"));
    ASSERT_TRUE(alive);
    EXPECT_EQ(alive(), 0u);
}

TEST_F(DeviceListTest, TwoPluginsWithTheSameClassGiveTwoRowsWithTheSameCount)
{
    ASSERT_TRUE(Install(kTestPlugin, QStringLiteral("A.so")));
    ASSERT_TRUE(Install(QStringLiteral(VELOCREST_DEVICE_PLUGIN), QStringLiteral("VykDevices.so")));
    QDeviceList page;
    ASSERT_TRUE(page.Init());
    auto* table = page.Form().DeviceList;
    ASSERT_GT(table->rowCount(), 2);
    // In file order: the test plug-in's one row first.
    EXPECT_EQ(Row(page, 0).at(2), QStringLiteral("Device/A.so"));
    QStringList processorRows;
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 0)->text() == QLatin1String("Vyk Family 10h Processor"))
            processorRows << table->item(row, 2)->text() + QLatin1Char(' ') + table->item(row, 4)->text();
    const QString cores = QString::number(g_DeviceManager.GetDeviceCount(dtCPU));
    EXPECT_EQ(processorRows, (QStringList{QStringLiteral("Device/A.so ") + cores,
                                          QStringLiteral("Device/VykDevices.so ") + cores}));
}

TEST_F(DeviceListTest, WithoutPluginsOrWithABrokenOneThePageIsDropped)
{
    struct Case {
        const char* name;
        std::function<bool()> prepare;
        const char* line;
        const char* named = nullptr;    // the line naming the plug-in and why it is not loaded
    };
    const Case cases[] = {
        {"no folder", [] { return true; }, "LOG_PROCESS_ERROR(hFind != INVALID_HANDLE_VALUE)"},
        {"empty folder", [] { return QDir().mkpath(QStringLiteral("Device")); },
         "LOG_PROCESS_ERROR(hFind != INVALID_HANDLE_VALUE)"},
        {"not a library", [] { return Install(kTestPlugin, QStringLiteral("A.so")) && test::WriteFile(QStringLiteral("Device/B.so"), "text"); },
         "LOG_PROCESS_ERROR(hModule)", "Plug-in Device/B.so is not loaded: it is not a shared library (no ELF header)."},
        {"no exports", [] { return Install(QStringLiteral(VELOCREST_TEST_PLUGINS "/TestPagesFullR.so"), QStringLiteral("Pages.so")); },
         "LOG_PROCESS_ERROR(GetDeviceClassCount)", "Plug-in Device/Pages.so is not loaded: it has no entry point GetDeviceClassCount."},
        {"a folder named like one", [] { return Install(kTestPlugin, QStringLiteral("A.so")) && QDir().mkpath(QStringLiteral("Device/B.so")); },
         "LOG_PROCESS_ERROR(hModule)", "Plug-in Device/B.so is not loaded: it is not a regular file."},
        {"cut short",
         [] {
             return Install(QStringLiteral(VELOCREST_DEVICE_PLUGIN), QStringLiteral("VykDevices.so"))
                 && QFile::resize(QStringLiteral("Device/VykDevices.so"), 8192);
         },
         "Plug-in Device/VykDevices.so is not loaded: a loadable segment lies beyond the end of the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(QStringLiteral("Device")).removeRecursively();
        ASSERT_TRUE(c.prepare());
        test::LogCapture::Instance().Clear();
        QDeviceList page;
        EXPECT_FALSE(page.Init());
        EXPECT_TRUE(LogContains(c.line));
        if (c.named) {
            EXPECT_TRUE(LogContains(c.named));
        }
    }
}

TEST_F(DeviceListTest, TheShippedPluginListsTheSimulatedClassesInTheWindow)
{
    ASSERT_TRUE(Install(QStringLiteral(VELOCREST_DEVICE_PLUGIN), QStringLiteral("VykDevices.so")));
    g_DeviceManager.UnInit();
    ASSERT_TRUE(Open());
    auto* page = Page<QDeviceList>("Device List");
    ASSERT_TRUE(page);
    auto* table = page->Form().DeviceList;
    ASSERT_GT(table->rowCount(), 3);
    for (int row = 0; row < table->rowCount(); ++row) {
        const std::u16string name = table->item(row, 0)->text().toStdU16String();
        EXPECT_EQ(table->item(row, 4)->text(), QString::number(g_DeviceManager.GetDeviceCount(name.c_str())));
        EXPECT_GT(table->item(row, 4)->text().toInt(), 0);
        EXPECT_EQ(table->item(row, 2)->text(), QStringLiteral("Device/VykDevices.so"));
    }
    const QList<QTableWidgetItem*> cpu = table->findItems(QStringLiteral("Vyk Family 10h Processor"), Qt::MatchExactly);
    ASSERT_EQ(cpu.size(), 1);
    EXPECT_EQ(table->item(cpu[0]->row(), 1)->text(), QStringLiteral("CPU"));
}

TEST_F(MainWindowTest, TheDeviceListHeaderIsSkinnedToItsEndAndShowsEveryCaptionWhole)
{
    ForEachSkin([this](const QString&) {
        QDir().mkpath(QStringLiteral("Device"));
        QFile::copy(QStringLiteral(VELOCREST_DEVICE_PLUGIN), QStringLiteral("Device/VykDevices.so"));
        ASSERT_TRUE(Open());
        const QImage shot = SavePageScreenshot(QStringLiteral("Preference"), QStringLiteral("Device List"),
                                               QStringLiteral("device-list"));
        auto* page = dynamic_cast<QDeviceList*>(window->GetWidget(QStringLiteral("Preference"), QStringLiteral("Device List")));
        ASSERT_TRUE(page);
        QHeaderView* header = page->Form().DeviceList->horizontalHeader();
        for (int column = 0; column < header->count(); ++column)
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column))
                << qPrintable(page->Form().DeviceList->horizontalHeaderItem(column)->text()) << " is cut";
        // The header's far end, past the last caption, is drawn dark like the rest of the skin.
        const QPoint end = header->mapTo(window, QPoint(header->width() - 3, header->height() / 2));
        EXPECT_LT(test::Luminance(shot.pixel(end)), 0.1);
    });
}

TEST_F(MainWindowTest, ScreenshotsOfTheDeviceListInEachSkin)
{
    ForEachSkin([this](const QString&) {
        QDir().mkpath(QStringLiteral("Device"));
        QFile::copy(QStringLiteral(VELOCREST_DEVICE_PLUGIN), QStringLiteral("Device/VykDevices.so"));
        ASSERT_TRUE(Open());
        SavePageScreenshot(QStringLiteral("Preference"), QStringLiteral("Device List"), QStringLiteral("device-list"));
        window->hide();
    });
}
