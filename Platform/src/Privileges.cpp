#include "Platform/Privileges.h"
#include "Platform/Service.h"

#include "VirtualBoard/Journal.h"
#include "VirtualBoard/Machine.h"

#include <QFile>
#include <QString>

namespace plat {

namespace {

bool HasBootCapability()
{
    // CapEff in /proc/self/status; CAP_SYS_BOOT is bit 22.
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    while (!status.atEnd()) {
        const QByteArray line = status.readLine();
        if (line.startsWith("CapEff:")) {
            bool ok = false;
            const qulonglong caps = line.mid(7).trimmed().toULongLong(&ok, 16);
            return ok && (caps & (1ull << 22));
        }
    }
    return false;
}

class LinuxPrivileges final : public IPrivileges {
public:
    bool EnablePrivilege(const std::u16string& name, bool* notAllAssigned) override
    {
        if (name != u"SeShutdownPrivilege")
            return false;                           // no such privilege to look up
        if (notAllAssigned)
            *notAllAssigned = !HasBootCapability();
        return true;
    }

    bool ExitSystem(bool reboot) override
    {
        vb::Machine::Instance().GetJournal().Record(reboot ? "system: restart requested" : "system: shutdown requested");
        return true;
    }
};

LinuxPrivileges g_linux;
Service<IPrivileges> g_service(g_linux);

} // namespace

IPrivileges& Privileges() { return g_service.Get(); }
void SetPrivileges(IPrivileges* privileges) { g_service.Set(privileges); }

} // namespace plat
