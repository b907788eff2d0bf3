#pragma once
// Test doubles of the platform services. Each installs itself for its lifetime.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Platform/Accounts.h"
#include "Platform/Priority.h"
#include "Platform/Privileges.h"
#include "Platform/SystemInformation.h"

namespace test {

class FakeAccounts : public plat::IAccounts {
public:
    FakeAccounts() { plat::SetAccounts(this); }
    ~FakeAccounts() override { plat::SetAccounts(nullptr); }

    bool nameOk = true;
    std::u16string user = u"SIMHOST\\tester";
    uint32_t status = 0;
    std::vector<std::u16string> groups{u"Users", u"Administrators"};

    bool GetUserNameEx(std::u16string& name) override
    {
        if (nameOk)
            name = user;
        return nameOk;
    }
    uint32_t GetLocalGroups(const std::u16string&, std::vector<std::u16string>& out) override
    {
        if (status == 0)
            out = groups;
        return status;
    }
};

class FakePrivileges : public plat::IPrivileges {
public:
    FakePrivileges() { plat::SetPrivileges(this); }
    ~FakePrivileges() override { plat::SetPrivileges(nullptr); }

    bool enableOk = true;
    bool notAllAssigned = false;
    std::vector<std::u16string> enabled;
    std::vector<bool> exits;                      // true: restart

    bool EnablePrivilege(const std::u16string& name, bool* notAll) override
    {
        enabled.push_back(name);
        if (notAll)
            *notAll = notAllAssigned;
        return enableOk;
    }
    bool ExitSystem(bool reboot) override
    {
        exits.push_back(reboot);
        return true;
    }
};

// Records every change; each operation can be made to fail.
class RecordingPriority : public plat::IPriority {
public:
    RecordingPriority() { plat::SetPriority(this); }
    ~RecordingPriority() override { plat::SetPriority(nullptr); }

    bool getClassOk = true, setClassOk = true, getThreadOk = true, setThreadOk = true;
    uint32_t priorityClass = 0x20;
    int threadPriority = 0;
    std::vector<std::string> calls;

    bool GetPriorityClass(uint32_t* c) override
    {
        calls.push_back("GetPriorityClass");
        if (getClassOk)
            *c = priorityClass;
        return getClassOk;
    }
    bool SetPriorityClass(uint32_t c) override
    {
        calls.push_back("SetPriorityClass " + std::to_string(c));
        if (setClassOk)
            priorityClass = c;
        return setClassOk;
    }
    bool GetThreadPriority(int* p) override
    {
        calls.push_back("GetThreadPriority");
        if (getThreadOk)
            *p = threadPriority;
        return getThreadOk;
    }
    bool SetThreadPriority(int p) override
    {
        calls.push_back("SetThreadPriority " + std::to_string(p));
        if (setThreadOk)
            threadPriority = p;
        return setThreadOk;
    }
};

// Answers each information class with fixed bytes.
class FixedSystemInformation : public plat::ISystemInformation {
public:
    FixedSystemInformation() { plat::SetSystemInformation(this); }
    ~FixedSystemInformation() override { plat::SetSystemInformation(nullptr); }

    bool available = true;
    std::map<uint32_t, std::vector<uint8_t>> records;
    std::map<uint32_t, int32_t> statuses;

    template <class T>
    void Set(uint32_t cls, const T& record)
    {
        std::vector<uint8_t> bytes(sizeof record);
        std::memcpy(bytes.data(), &record, sizeof record);
        records[cls] = std::move(bytes);
    }

    bool IsAvailable() override { return available; }
    int32_t Query(uint32_t cls, void* buffer, uint32_t length, uint32_t* returnLength) override
    {
        if (statuses.count(cls))
            return statuses[cls];
        const auto it = records.find(cls);
        if (it == records.end())
            return plat::STATUS_INVALID_INFO_CLASS;
        *returnLength = static_cast<uint32_t>(it->second.size());
        if (length < it->second.size())
            return plat::STATUS_INFO_LENGTH_MISMATCH;
        std::memcpy(buffer, it->second.data(), it->second.size());
        return plat::STATUS_SUCCESS;
    }
};

} // namespace test
