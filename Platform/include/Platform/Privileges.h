#pragma once
// Process privileges and the system restart. The Linux implementation reads the
// process's capabilities; it never restarts this machine, it only records the wish.
#include <cstdint>
#include <string>

namespace plat {

class IPrivileges {
public:
    virtual ~IPrivileges() = default;
    // Opens the process token, looks the privilege up and enables it. False when one of
    // those steps fails; *notAllAssigned tells that the adjustment went through without
    // the privilege actually being held.
    virtual bool EnablePrivilege(const std::u16string& name, bool* notAllAssigned) = 0;
    // Restarts (or shuts down) the system. Here: recorded in the machine journal.
    virtual bool ExitSystem(bool reboot) = 0;
};

IPrivileges& Privileges();
void SetPrivileges(IPrivileges* privileges);

} // namespace plat
