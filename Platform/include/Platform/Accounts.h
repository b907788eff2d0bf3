#pragma once
// The current user and the local groups it belongs to. On Linux, root and members
// of "sudo" or "wheel" count as the group "Administrators".
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class IAccounts {
public:
    virtual ~IAccounts() = default;
    // "DOMAIN\account"; false when the name cannot be had.
    virtual bool GetUserNameEx(std::u16string& name) = 0;
    // 0 on success, else a status code.
    virtual uint32_t GetLocalGroups(const std::u16string& user, std::vector<std::u16string>& groups) = 0;
};

IAccounts& Accounts();
void SetAccounts(IAccounts* accounts);

} // namespace plat
