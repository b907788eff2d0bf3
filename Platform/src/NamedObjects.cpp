#include "Platform/NamedObjects.h"
#include "Platform/LastError.h"
#include "Platform/Time.h"
#include "SharedStateFile.h"

#include <QJsonArray>
#include <QString>
#include <sys/syscall.h>
#include <unistd.h>

namespace plat {

struct NamedObjectData {
    bool mutex = false;
    QString file;
};

namespace {

QString FileName(bool mutex, const char16_t* name)
{
    QString safe;
    for (const QChar c : QString::fromStdU16String(name))
        safe += c.isLetterOrNumber() ? c : QLatin1Char('_');
    return (mutex ? QStringLiteral("mutex-") : QStringLiteral("semaphore-")) + safe + QStringLiteral(".json");
}

qint64 ThreadId() { return static_cast<qint64>(::syscall(SYS_gettid)); }

// The object's state with dead holders dropped; empty when it no longer exists.
QJsonObject Load(SharedStateFile& file)
{
    QJsonObject state = file.Read();
    const QJsonArray live = LiveHolders(state.value(QStringLiteral("holders")).toArray());
    if (live.isEmpty())
        return {};
    state.insert(QStringLiteral("holders"), live);
    return state;
}

NamedHandle Attach(bool mutex, const char16_t* name, const QJsonObject* create)
{
    if (!name || !*name) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    const QString fileName = FileName(mutex, name);
    SharedStateFile file(fileName);
    if (!file.IsLocked()) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    QJsonObject state = Load(file);
    SetLastError(kErrorSuccess);
    if (state.isEmpty()) {
        if (!create) {
            file.Remove();
            SetLastError(kErrorFileNotFound);
            return nullptr;
        }
        state = *create;
    } else if (create) {
        SetLastError(kErrorAlreadyExists);
    }
    QJsonArray holders = state.value(QStringLiteral("holders")).toArray();
    holders.append(static_cast<qint64>(getpid()));
    state.insert(QStringLiteral("holders"), holders);
    if (!file.Write(state)) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    return new NamedObjectData{mutex, fileName};
}

// Runs fn(state) under the lock; saves when fn returns true.
template <class Fn>
bool Update(NamedHandle h, Fn fn)
{
    SharedStateFile file(h->file);
    QJsonObject state = Load(file);
    if (state.isEmpty() || !fn(state))
        return false;
    return file.Write(state);
}

// One attempt at taking the object: WAIT_OBJECT_0, WAIT_ABANDONED or WAIT_TIMEOUT.
uint32_t TryTake(NamedHandle h)
{
    uint32_t result = WAIT_TIMEOUT;
    const bool ok = Update(h, [&](QJsonObject& s) {
        if (!h->mutex) {
            const qint64 count = s.value(QStringLiteral("count")).toInteger();
            if (count <= 0)
                return false;
            s.insert(QStringLiteral("count"), count - 1);
            result = WAIT_OBJECT_0;
            return true;
        }
        const qint64 ownerPid = s.value(QStringLiteral("ownerPid")).toInteger();
        const qint64 ownerTid = s.value(QStringLiteral("ownerTid")).toInteger();
        if (ownerPid == getpid() && ownerTid == ThreadId()) {
            s.insert(QStringLiteral("recursion"), s.value(QStringLiteral("recursion")).toInteger() + 1);
            result = WAIT_OBJECT_0;
            return true;
        }
        if (ownerPid != 0 && IsProcessAlive(ownerPid))
            return false;                          // another thread or process owns it
        result = ownerPid != 0 ? WAIT_ABANDONED : WAIT_OBJECT_0;
        s.insert(QStringLiteral("ownerPid"), static_cast<qint64>(getpid()));
        s.insert(QStringLiteral("ownerTid"), ThreadId());
        s.insert(QStringLiteral("recursion"), 1);
        return true;
    });
    return ok ? result : WAIT_TIMEOUT;
}

} // namespace

NamedHandle OpenSemaphore(const char16_t* name) { return Attach(false, name, nullptr); }

NamedHandle CreateSemaphore(const char16_t* name, int32_t initialCount, int32_t maximumCount,
                            const char16_t* securityDescriptor)
{
    if (!securityDescriptor || maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    const QJsonObject state{{"count", initialCount}, {"maximum", maximumCount}};
    return Attach(false, name, &state);
}

bool ReleaseSemaphore(NamedHandle semaphore, int32_t count, int32_t* previous)
{
    if (!semaphore || semaphore->mutex || count <= 0) {
        SetLastError(semaphore ? kErrorInvalidParameter : kErrorInvalidHandle);
        return false;
    }
    bool tooMany = false;
    const bool ok = Update(semaphore, [&](QJsonObject& s) {
        const qint64 current = s.value(QStringLiteral("count")).toInteger();
        if (current + count > s.value(QStringLiteral("maximum")).toInteger()) {
            tooMany = true;
            return false;
        }
        if (previous)
            *previous = static_cast<int32_t>(current);
        s.insert(QStringLiteral("count"), current + count);
        return true;
    });
    if (!ok)
        SetLastError(tooMany ? kErrorTooManyPosts : kErrorInvalidHandle);
    return ok;
}

NamedHandle OpenMutex(const char16_t* name) { return Attach(true, name, nullptr); }

NamedHandle CreateMutex(const char16_t* name, bool initialOwner, const char16_t* securityDescriptor)
{
    if (!securityDescriptor) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    const QJsonObject state{{"ownerPid", 0}, {"ownerTid", 0}, {"recursion", 0}};
    NamedHandle h = Attach(true, name, &state);
    const uint32_t created = GetLastError();
    if (h && initialOwner && created != kErrorAlreadyExists)
        TryTake(h);
    SetLastError(created);
    return h;
}

bool ReleaseMutex(NamedHandle mutex)
{
    if (!mutex || !mutex->mutex) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    const bool ok = Update(mutex, [](QJsonObject& s) {
        if (s.value(QStringLiteral("ownerPid")).toInteger() != getpid()
            || s.value(QStringLiteral("ownerTid")).toInteger() != ThreadId())
            return false;
        const qint64 recursion = s.value(QStringLiteral("recursion")).toInteger() - 1;
        s.insert(QStringLiteral("recursion"), recursion);
        if (recursion <= 0) {
            s.insert(QStringLiteral("ownerPid"), 0);
            s.insert(QStringLiteral("ownerTid"), 0);
        }
        return true;
    });
    if (!ok)
        SetLastError(kErrorNotOwner);
    return ok;
}

uint32_t WaitForSingleObject(NamedHandle object, uint32_t timeoutMs)
{
    if (!object) {
        SetLastError(kErrorInvalidHandle);
        return WAIT_FAILED;
    }
    const uint64_t start = GetTickCount64();
    for (;;) {
        const uint32_t result = TryTake(object);
        if (result != WAIT_TIMEOUT)
            return result;
        if (timeoutMs != INFINITE && GetTickCount64() - start >= timeoutMs)
            return WAIT_TIMEOUT;
        Sleep(1);
    }
}

bool CloseHandle(NamedHandle object)
{
    if (!object) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    {
        SharedStateFile file(object->file);
        QJsonObject state = Load(file);
        QJsonArray holders = state.value(QStringLiteral("holders")).toArray();
        for (qsizetype i = 0; i < holders.size(); ++i)
            if (holders.at(i).toInteger() == getpid()) {
                holders.removeAt(i);
                break;
            }
        if (holders.isEmpty()) {
            file.Remove();
        } else {
            state.insert(QStringLiteral("holders"), holders);
            file.Write(state);
        }
    }
    delete object;
    return true;
}

} // namespace plat
