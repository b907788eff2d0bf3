#include "Platform/ServiceManager.h"
#include "Platform/LastError.h"
#include "SharedStateFile.h"

#include "VirtualBoard/Machine.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QString>
#include <unistd.h>

namespace plat {

struct ServiceHandleData {
    bool manager = false;
    QString name;
};

namespace {

const char* const kTableFile = "services.json";

bool Fault(const char* name) { return vb::Machine::Instance().GetFaults().IsSet(name); }

// The table with the services whose deletion is complete taken out.
QJsonObject LoadTable(SharedStateFile& file)
{
    QJsonObject table = file.Read();
    const bool stuck = Fault("scm-delete-stuck");
    for (const QString& name : table.keys()) {
        QJsonObject s = table.value(name).toObject();
        s.insert(QStringLiteral("handles"), LiveHolders(s.value(QStringLiteral("handles")).toArray()));
        table.insert(name, s);
        if (s.value(QStringLiteral("deletePending")).toBool() && !s.value(QStringLiteral("running")).toBool()
            && s.value(QStringLiteral("handles")).toArray().isEmpty() && !stuck)
            table.remove(name);
    }
    return table;
}

bool Fail(uint32_t code)
{
    SetLastError(code);
    return false;
}

// Runs fn(service record) on the named service under the table lock and saves the
// table when fn returns true.
template <class Fn>
bool Update(SC_HANDLE handle, Fn fn)
{
    if (!handle || handle->manager)
        return Fail(kErrorInvalidHandle);
    SharedStateFile file(QString::fromLatin1(kTableFile));
    if (!file.IsLocked())
        return Fail(kErrorAccessDenied);
    QJsonObject table = LoadTable(file);
    if (!table.contains(handle->name))
        return Fail(kErrorServiceDoesNotExist);
    QJsonObject s = table.value(handle->name).toObject();
    if (!fn(s))
        return false;
    table.insert(handle->name, s);
    if (!file.Write(table))
        return Fail(kErrorAccessDenied);
    return true;
}

SC_HANDLE OpenOrCreate(SC_HANDLE manager, const char16_t* name, const QJsonObject* create)
{
    if (!manager || !manager->manager || !name) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    SharedStateFile file(QString::fromLatin1(kTableFile));
    if (!file.IsLocked()) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    const QString key = QString::fromStdU16String(name);
    QJsonObject table = LoadTable(file);
    QJsonObject s;
    if (create) {
        if (table.contains(key)) {
            const bool pending = table.value(key).toObject().value(QStringLiteral("deletePending")).toBool();
            SetLastError(pending ? kErrorServiceMarkedForDelete : kErrorServiceExists);
            return nullptr;
        }
        s = *create;
    } else {
        if (!table.contains(key)) {
            SetLastError(kErrorServiceDoesNotExist);
            return nullptr;
        }
        s = table.value(key).toObject();
    }
    QJsonArray handles = s.value(QStringLiteral("handles")).toArray();
    handles.append(static_cast<qint64>(getpid()));
    s.insert(QStringLiteral("handles"), handles);
    table.insert(key, s);
    if (!file.Write(table)) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    return new ServiceHandleData{false, key};
}

} // namespace

SC_HANDLE OpenSCManager()
{
    if (Fault("scm-unavailable")) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    return new ServiceHandleData{true, {}};
}

SC_HANDLE OpenService(SC_HANDLE manager, const char16_t* name) { return OpenOrCreate(manager, name, nullptr); }

SC_HANDLE CreateService(SC_HANDLE manager, const char16_t* name, const char16_t* displayName, uint32_t type,
                        uint32_t startType, uint32_t errorControl, const char16_t* binaryPath)
{
    if (Fault("scm-create-fails")) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    if (!displayName || !binaryPath) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    const QJsonObject record{
        {"displayName", QString::fromStdU16String(displayName)},
        {"type", static_cast<qint64>(type)},
        {"startType", static_cast<qint64>(startType)},
        {"errorControl", static_cast<qint64>(errorControl)},
        {"binaryPath", QString::fromStdU16String(binaryPath)},
        {"running", false},
        {"deletePending", false},
    };
    return OpenOrCreate(manager, name, &record);
}

bool StartService(SC_HANDLE service)
{
    return Update(service, [](QJsonObject& s) {
        if (s.value(QStringLiteral("running")).toBool())
            return Fail(kErrorServiceAlreadyRunning);
        if (s.value(QStringLiteral("deletePending")).toBool())
            return Fail(kErrorServiceMarkedForDelete);
        if (!QFileInfo(s.value(QStringLiteral("binaryPath")).toString()).isFile())
            return Fail(kErrorFileNotFound);
        s.insert(QStringLiteral("running"), true);
        return true;
    });
}

bool ControlServiceStop(SC_HANDLE service)
{
    return Update(service, [](QJsonObject& s) {
        if (Fault("scm-stop-fails"))
            return Fail(kErrorServiceCannotAcceptControl);
        if (!s.value(QStringLiteral("running")).toBool())
            return Fail(kErrorServiceNotActive);
        s.insert(QStringLiteral("running"), false);
        return true;
    });
}

bool DeleteService(SC_HANDLE service)
{
    return Update(service, [](QJsonObject& s) {
        if (s.value(QStringLiteral("deletePending")).toBool())
            return Fail(kErrorServiceMarkedForDelete);
        s.insert(QStringLiteral("deletePending"), true);
        return true;
    });
}

bool CloseServiceHandle(SC_HANDLE handle)
{
    if (!handle)
        return Fail(kErrorInvalidHandle);
    if (!handle->manager) {
        SharedStateFile file(QString::fromLatin1(kTableFile));
        QJsonObject table = LoadTable(file);
        if (table.contains(handle->name)) {
            QJsonObject s = table.value(handle->name).toObject();
            QJsonArray handles = s.value(QStringLiteral("handles")).toArray();
            for (qsizetype i = 0; i < handles.size(); ++i)
                if (handles.at(i).toInteger() == getpid()) {
                    handles.removeAt(i);
                    break;
                }
            s.insert(QStringLiteral("handles"), handles);
            table.insert(handle->name, s);
            // The last handle of a stopped, deleted service completes the deletion.
            if (s.value(QStringLiteral("deletePending")).toBool() && !s.value(QStringLiteral("running")).toBool()
                && handles.isEmpty() && !Fault("scm-delete-stuck"))
                table.remove(handle->name);
            file.Write(table);
        }
    }
    delete handle;
    return true;
}

ServiceStatus QueryServiceStatus(const char16_t* name)
{
    ServiceStatus status;
    SharedStateFile file(QString::fromLatin1(kTableFile));
    const QJsonObject table = LoadTable(file);
    const QString key = QString::fromStdU16String(name ? name : u"");
    if (!table.contains(key))
        return status;
    const QJsonObject s = table.value(key).toObject();
    status.exists = true;
    status.running = s.value(QStringLiteral("running")).toBool();
    status.deletePending = s.value(QStringLiteral("deletePending")).toBool();
    status.binaryPath = s.value(QStringLiteral("binaryPath")).toString().toStdU16String();
    return status;
}

} // namespace plat
