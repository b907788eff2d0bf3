#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

#include "Platform/Accounts.h"
#include "Platform/Privileges.h"

bool g_IsAdministratorAccount()
{
    std::u16string user;
    const bool bRetCode = plat::Accounts().GetUserNameEx(user) && user.size() < 260;
    LOG_PROCESS_ERROR(bRetCode);

    std::vector<std::u16string> groups;
    const uint32_t nStatus = plat::Accounts().GetLocalGroups(user, groups);
    const uint32_t NERR_Success = 0;
    LOG_PROCESS_ERROR(nStatus == NERR_Success);

    for (const std::u16string& group : groups)
        if (group == u"Administrators")
            return true;
    return false;
}

int g_EnableShutdownPrivilege()
{
    bool notAllAssigned = true;
    if (!plat::Privileges().EnablePrivilege(u"SeShutdownPrivilege", &notAllAssigned))
        return 0;
    return notAllAssigned ? 0 : 1;
}
