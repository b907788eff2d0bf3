#include "Platform/NamedMutex.h"
#include "Platform/StateDir.h"
#include "Platform/Time.h"
#include "PrivateFiles.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

const uint32_t kMagic = 0x584D5651;              // "QVMX"
const uint32_t kLayout = 1;

// The boot the file's mutex was made in: after a restart its state means nothing.
std::string BootId()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().trimmed().toStdString();
}

std::mutex g_registryLock;
std::map<std::string, std::weak_ptr<NamedMutex>> g_registry;

} // namespace

struct NamedMutex::Shared {
    uint32_t magic;
    uint32_t layout;
    char bootId[48];
    pthread_mutex_t mutex;
};

NamedMutex::NamedMutex(std::string name, int fd, Shared* shared) : m_name(std::move(name)), m_fd(fd), m_shared(shared) {}

NamedMutex::~NamedMutex()
{
    munmap(m_shared, sizeof(Shared));
    close(m_fd);
}

std::shared_ptr<NamedMutex> NamedMutex::OpenOrCreate(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return nullptr;
    const QString dir = StateDir() + QStringLiteral("/locks");
    const std::string path = (dir + QLatin1Char('/')).toStdString() + name;

    std::lock_guard<std::mutex> registry(g_registryLock);
    if (std::shared_ptr<NamedMutex> existing = g_registry[path].lock())
        return existing;

    if (!MakePrivateFolders(dir))
        return nullptr;
    const int fd = OpenPrivateFile(QString::fromStdString(path));
    if (fd < 0)
        return nullptr;
    // The file lock makes creation and first initialisation one step for all processes.
    if (flock(fd, LOCK_EX) != 0) {
        close(fd);
        return nullptr;
    }
    struct stat st {};
    const std::string boot = BootId();
    bool fresh = fstat(fd, &st) != 0 || size_t(st.st_size) < sizeof(Shared);
    if (fresh && ftruncate(fd, sizeof(Shared)) != 0) {
        flock(fd, LOCK_UN);
        close(fd);
        return nullptr;
    }
    void* mem = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mem == MAP_FAILED) {
        flock(fd, LOCK_UN);
        close(fd);
        return nullptr;
    }
    Shared* shared = static_cast<Shared*>(mem);
    fresh = fresh || shared->magic != kMagic || shared->layout != kLayout
            || std::strncmp(shared->bootId, boot.c_str(), sizeof shared->bootId) != 0;
    if (fresh) {
        std::memset(shared, 0, sizeof(Shared));
        pthread_mutexattr_t attr;
        pthread_mutexattr_init(&attr);
        pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
        pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
        pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
        pthread_mutex_init(&shared->mutex, &attr);
        pthread_mutexattr_destroy(&attr);
        std::strncpy(shared->bootId, boot.c_str(), sizeof shared->bootId - 1);
        shared->layout = kLayout;
        shared->magic = kMagic;
        msync(shared, sizeof(Shared), MS_SYNC);
    }
    flock(fd, LOCK_UN);

    std::shared_ptr<NamedMutex> created(new NamedMutex(name, fd, shared));
    g_registry[path] = created;
    return created;
}

uint32_t NamedMutex::Wait(uint32_t timeoutMs)
{
    const uint64_t deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const int rc = pthread_mutex_trylock(&m_shared->mutex);
        if (rc == 0)
            return WAIT_OBJECT_0;
        if (rc == EOWNERDEAD) {
            // The holder ended without releasing: we own it now, and it stays usable.
            pthread_mutex_consistent(&m_shared->mutex);
            return WAIT_ABANDONED;
        }
        if (rc != EBUSY)
            return WAIT_FAILED;
        if (GetTickCount64() >= deadline)
            return WAIT_TIMEOUT;
        Sleep(1);
    }
}

bool NamedMutex::Release() { return pthread_mutex_unlock(&m_shared->mutex) == 0; }

} // namespace plat
