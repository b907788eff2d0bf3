#include "Platform/Accounts.h"
#include "Platform/Service.h"

#include <QString>
#include <QSysInfo>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace plat {

namespace {

std::u16string ToU16(const QString& s) { return s.toStdU16String(); }

class LinuxAccounts final : public IAccounts {
public:
    bool GetUserNameEx(std::u16string& name) override
    {
        const passwd* pw = getpwuid(geteuid());
        if (!pw)
            return false;
        name = ToU16(QSysInfo::machineHostName().toUpper() + QLatin1Char('\\') + QString::fromLocal8Bit(pw->pw_name));
        return true;
    }

    uint32_t GetLocalGroups(const std::u16string& user, std::vector<std::u16string>& groups) override
    {
        groups.clear();
        QString account = QString::fromStdU16String(user);
        account = account.mid(account.lastIndexOf(QLatin1Char('\\')) + 1);
        const QByteArray login = account.toLocal8Bit();
        const passwd* pw = getpwnam(login.constData());
        if (!pw)
            return 2221;                            // "user not found"
        int count = 64;
        std::vector<gid_t> gids(count);
        if (getgrouplist(login.constData(), pw->pw_gid, gids.data(), &count) < 0) {
            gids.resize(count);
            if (getgrouplist(login.constData(), pw->pw_gid, gids.data(), &count) < 0)
                return 8;                           // out of memory
        }
        gids.resize(count);
        bool admin = pw->pw_uid == 0;
        for (gid_t gid : gids) {
            const group* gr = getgrgid(gid);
            if (!gr)
                continue;
            const QString name = QString::fromLocal8Bit(gr->gr_name);
            groups.push_back(ToU16(name));
            admin = admin || name == QLatin1String("sudo") || name == QLatin1String("wheel");
        }
        if (admin)
            groups.push_back(u"Administrators");
        return 0;
    }
};

LinuxAccounts g_linux;
Service<IAccounts> g_service(g_linux);

} // namespace

IAccounts& Accounts() { return g_service.Get(); }
void SetAccounts(IAccounts* accounts) { g_service.Set(accounts); }

} // namespace plat
