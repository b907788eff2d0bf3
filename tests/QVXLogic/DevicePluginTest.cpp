// Device probe plug-ins as the Device List page reads them: Device/*.so with the
// two C exports; every probe is deleted by its caller.
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <memory>
#include <set>

#include "QVXLogic/DevicePlugin.h"
#include "QvxTestSupport.h"

namespace {

using test::QvxTest;
using test::Str;

struct Plugin {
    explicit Plugin(const QString& path) : library(path)
    {
        count = reinterpret_cast<GetDeviceClassCountFunction>(library.resolve(QVX_GET_DEVICE_CLASS_COUNT));
        create = reinterpret_cast<CreateDeviceFunction>(library.resolve(QVX_CREATE_DEVICE));
    }
    QLibrary library;
    GetDeviceClassCountFunction count = nullptr;
    CreateDeviceFunction create = nullptr;
};

TEST_F(QvxTest, TheShippedPluginOffersEveryClassOfTheSimulatedBoards)
{
    const QString path = QStringLiteral(VELOCREST_DEVICE_PLUGIN);
    EXPECT_EQ(QFileInfo(path).dir().dirName(), QStringLiteral("Device"));   // beside the program
    Plugin plugin(path);
    ASSERT_TRUE(plugin.count && plugin.create) << qPrintable(plugin.library.errorString());
    std::set<QString> offered;
    for (unsigned i = 0; i < plugin.count(); ++i) {
        std::unique_ptr<IDevice> probe(plugin.create(i));
        ASSERT_NE(probe, nullptr) << i;
        const QString className = Str(probe->GetClassName());
        EXPECT_TRUE(offered.insert(className).second) << qPrintable(className);   // each class once
        EXPECT_EQ(probe->GetBuildVersion(), g_DeviceManager.GetDevice(dtCPU, 0)->GetBuildVersion());
        // The type word is the one the library's devices of that type report.
        if (IDevice* device = g_DeviceManager.GetDevice(probe->GetType(), 0)) {
            EXPECT_EQ(Str(probe->GetTypeName()), Str(device->GetTypeName())) << qPrintable(className);
        }
    }
    EXPECT_EQ(plugin.create(plugin.count()), nullptr);

    for (const char* board : {"default", "qvx-ddr", "qvx-ddr3-external", "qvx-mx310", "qvx-family11h", "qvx-four-gpus"}) {
        UseBoard(board);
        for (int type = dtCPU; type <= dtKeyboard; ++type)
            for (unsigned long i = 0; IDevice* d = g_DeviceManager.GetDevice(static_cast<QVX_DEVICE_TYPE>(type), i); ++i)
                EXPECT_TRUE(offered.count(Str(d->GetClassName()))) << board << ": " << qPrintable(Str(d->GetClassName()));
    }
}

TEST_F(QvxTest, TheTestPluginHasAClassWithoutDevicesAndANullProbe)
{
    Plugin plugin(QStringLiteral(VELOCREST_TEST_PLUGINS "/Device/TestDevices.so"));
    ASSERT_TRUE(plugin.count && plugin.create) << qPrintable(plugin.library.errorString());
    ASSERT_EQ(plugin.count(), 3u);
    std::unique_ptr<IDevice> none(plugin.create(0));
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(none->GetClassName()), 0u);
    EXPECT_EQ(plugin.create(1), nullptr);
    std::unique_ptr<IDevice> cpu(plugin.create(2));
    ASSERT_NE(cpu, nullptr);
    EXPECT_EQ(g_DeviceManager.GetDeviceCount(cpu->GetClassName()), 4u);
    EXPECT_EQ(cpu->GetBuildVersion(), 7u);
}

} // namespace
