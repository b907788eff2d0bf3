// The runtime and state folders and their files: whose they are, who may enter them,
// and what another local user can prepare for them in the shared temp folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Platform/NamedMutex.h"
#include "Platform/NamedObjects.h"
#include "Platform/Registry.h"
#include "Platform/RuntimeDir.h"
#include "Platform/ServiceManager.h"
#include "Platform/SingleInstance.h"
#include "VirtualBoard/CmosItems.h"
#include "VirtualBoard/Machine.h"
#include "support/OtherUsersTemp.h"
#include "support/TestEnvironment.h"

namespace {

using test::OtherUsersTemp;

int Mode(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the program keeps in its runtime folder: a service and a semaphore (open
// until the caller closes it).
plat::NamedHandle UseTheRuntimeFolder()
{
    plat::SC_HANDLE scm = plat::OpenSCManager();
    EXPECT_NE(scm, nullptr);
    plat::SC_HANDLE service = plat::CreateService(scm, u"QVXDriver", u"QVXDriver", plat::SERVICE_KERNEL_DRIVER,
                                                  plat::SERVICE_DEMAND_START, plat::SERVICE_ERROR_NORMAL, u"/x.sys");
    EXPECT_NE(service, nullptr);
    EXPECT_TRUE(plat::QueryServiceStatus(u"QVXDriver").exists);
    plat::DeleteService(service);
    plat::CloseServiceHandle(service);
    plat::CloseServiceHandle(scm);
    plat::NamedHandle semaphore = plat::CreateSemaphore(u"Global\\QVXDriverSemaphore", 1, 1, u"D:");
    EXPECT_NE(semaphore, nullptr);
    return semaphore;
}

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_previous(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_previous); }
private:
    mode_t m_previous;
};

} // namespace

TEST(PrivateFolders, AFolderAnotherUserPreparedInTheTempFolderIsNeverUsed)
{
    for (const auto trap : {OtherUsersTemp::LinkToHisFolder, OtherUsersTemp::HisFolder, OtherUsersTemp::FolderOpenToAll}) {
        SCOPED_TRACE(trap);
        OtherUsersTemp temp(trap);
        const QString folder = plat::RuntimeDir();
        EXPECT_NE(folder, temp.TakenName());
        EXPECT_TRUE(folder.startsWith(temp.TakenName() + "-")) << folder.toStdString();
        EXPECT_TRUE(plat::IsPrivateFolder(folder));
        EXPECT_EQ(plat::RuntimeDir(), folder) << "one folder for the whole process";
        EXPECT_TRUE(vb::Machine::Instance().GetJournal().Contains("this program uses " + folder.toStdString() + " instead"));

        // His socket does not answer for a running program, his lock file does not stop
        // this one, and nothing is written through his link.
        EXPECT_FALSE(plat::SingleInstance::RaiseRunning(200));
        plat::SingleInstance instance;
        EXPECT_TRUE(instance.TryLock()) << instance.ErrorString().toStdString();
        EXPECT_TRUE(instance.Listen([] {}));
        plat::CloseHandle(UseTheRuntimeFolder());
        instance.Release();
        EXPECT_EQ(Read(temp.VictimFile()), OtherUsersTemp::VictimContent());
        EXPECT_TRUE(temp.HisFolderUntouched());
    }
}

TEST(PrivateFolders, TheFolderOfItsOwnGoesAtTheEndAndNoneIsMadeAfterIt)
{
    OtherUsersTemp temp(OtherUsersTemp::HisFolder);
    const QString folder = plat::RuntimeDir();
    ASSERT_TRUE(folder.startsWith(temp.TakenName() + "-")) << folder.toStdString();
    // Still held at the end, as by a part of the program that never let go of it.
    const plat::NamedHandle semaphore = UseTheRuntimeFolder();
    ASSERT_TRUE(QFile::exists(folder + "/semaphore-Global_QVXDriverSemaphore.json"));

    plat::RemoveFreshFolders();
    EXPECT_FALSE(QFileInfo::exists(folder));
    QString error;
    EXPECT_EQ(plat::RuntimeDir(&error), QString());
    EXPECT_EQ(error, "the program has removed its folder in " + temp.TempFolder());
    // Its last user lets go of it without making anything anew.
    EXPECT_TRUE(plat::CloseHandle(semaphore));
    const QStringList left = QDir(temp.TempFolder()).entryList({QFileInfo(temp.TakenName()).fileName() + "-*"});
    EXPECT_EQ(left, QStringList());
    EXPECT_TRUE(temp.HisFolderUntouched());
}

TEST(PrivateFolders, TheTempFolderNameIsUsedWhenItIsFreeOrAlreadyOurs)
{
    const QString temp = test::TestDir() + "/tmp";
    ASSERT_TRUE(QDir().mkpath(temp));
    QString error;
    const QString folder = plat::UserFolderIn(temp, &error);
    EXPECT_EQ(folder, QStringLiteral("%1/VykVelocrest-%2").arg(temp).arg(::geteuid()));
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_EQ(plat::UserFolderIn(temp), folder) << "the next start finds it ours";
    EXPECT_TRUE(error.isEmpty());
}

TEST(PrivateFolders, FoldersAndFilesAreTheUsersOwnWhateverTheUmask)
{
    UmaskScope open(0);
    const QString state = vb::Machine::StateDir();
    const QString run = plat::RuntimeDir();
    EXPECT_EQ(run, state + "/run");
    const plat::NamedHandle semaphore = UseTheRuntimeFolder();
    plat::SingleInstance instance;
    ASSERT_TRUE(instance.TryLock());
    ASSERT_NE(plat::NamedMutex::OpenOrCreate("QVX_WMI_HANDLER_MUTEX"), nullptr);
    vb::CmosItems cmos;
    cmos.Load(QJsonArray{QJsonObject{{"name", "Item"}, {"options", QJsonArray{"Off", "On"}}}}, state + "/cmos/cmos.json");
    ASSERT_TRUE(cmos.SetValue(1, 1));
    plat::RegistryKey key;
    ASSERT_EQ(key.Create(plat::RegistryHive::CurrentUser, plat::kProductKey), plat::ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(u"EnableWarningMsg", 1), plat::ERROR_SUCCESS);

    for (const QString& folder : {state, run, state + "/locks", state + "/cmos", plat::RegistryRoot()})
        EXPECT_EQ(Mode(folder), 0700) << folder.toStdString();
    for (const QString& file : {run + "/services.json", run + "/services.json.lock", run + "/VykVelocrestMutex.lock",
                                run + "/semaphore-Global_QVXDriverSemaphore.json", state + "/locks/QVX_WMI_HANDLER_MUTEX",
                                state + "/cmos/cmos.json", plat::RegistryHiveFile(plat::RegistryHive::CurrentUser)})
        EXPECT_EQ(Mode(file), 0600) << file.toStdString();
    plat::CloseHandle(semaphore);
}

TEST(PrivateFolders, AChosenFolderOfTheUsersOwnIsClosedButAnotherUsersIsRefused)
{
    const QString mine = test::TestDir() + "/mine";
    ASSERT_TRUE(QDir().mkpath(mine));
    ::chmod(QFile::encodeName(mine).constData(), 0755);
    qputenv("VELOCREST_RUNTIME_DIR", QFile::encodeName(mine));
    EXPECT_EQ(plat::RuntimeDir(), mine);
    EXPECT_EQ(Mode(mine), 0700);

    const QString link = test::TestDir() + "/link";
    ASSERT_TRUE(QFile::link(mine, link));
    qputenv("VELOCREST_RUNTIME_DIR", QFile::encodeName(link));
    QString error;
    EXPECT_EQ(plat::RuntimeDir(&error), QString());
    EXPECT_EQ(error, link + " is a link, not a folder");
    plat::SingleInstance instance;
    EXPECT_FALSE(instance.TryLock());
    EXPECT_EQ(instance.ErrorString(), error) << "a lock that cannot be taken says why";
    qunsetenv("VELOCREST_RUNTIME_DIR");
}
