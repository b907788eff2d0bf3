#pragma once
// The flash-cache pages on the simulated machine: the storage driver's values in
// the registry as its installation leaves them, the board's disks and volumes,
// and what reached the command runner.
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Platform/Registry.h"
#include "VirtualBoard/Machine.h"
#include "support/BoardEdits.h"
#include "support/MessageBoxAnswers.h"

namespace test {

inline constexpr char16_t kDriverKey[] = u"SYSTEM\\CurrentControlSet\\services\\vykstor";
inline constexpr char16_t kDriverParametersKey[] = u"SYSTEM\\CurrentControlSet\\services\\vykstor\\parameters";
inline constexpr char16_t kExplorerPoliciesKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer";

// The driver's parameters after its installation.
inline std::map<std::u16string, uint32_t> DriverDefaults()
{
    return {{u"CCCCompletionValue", 8},      {u"CCCTimeoutValue", 10},   {u"GlobalCaps", 0x10004},
            {u"GlobalCapsMask", 0x10000},    {u"InterfaceSpeed", 0x1f},  {u"InterfaceSpeedMask", 0xff},
            {u"MemoryMappedAddr", 0xfed00000}, {u"SizeOfMemoryMapped", 0x1000}, {u"SystemMemoryPhyAddr", 0},
            {u"queuePriorityEnable", 1}};
}

// The storage driver's service key and parameters, as its installation writes them.
inline void InstallStorageDriver(const std::map<std::u16string, uint32_t>& parameters)
{
    plat::RegistryKey service, key;
    ASSERT_EQ(service.Create(plat::RegistryHive::LocalMachine, kDriverKey), plat::ERROR_SUCCESS);
    ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, kDriverParametersKey), plat::ERROR_SUCCESS);
    for (const auto& [name, value] : parameters)
        ASSERT_EQ(key.SetDword(name, value), plat::ERROR_SUCCESS);
}

class CorvaneTest : public testing::Test {
protected:
    void SetUp() override
    {
        InstallStorageDriver(DriverDefaults());
        // The policies key exists on every system; its "Explorer" sub-key need not.
        plat::RegistryKey policies;
        ASSERT_EQ(policies.Create(plat::RegistryHive::LocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies"),
                  plat::ERROR_SUCCESS);
    }

    // A registry value as text ("" when missing); DWORDs read back as decimals.
    static QString Value(const char16_t* keyPath, const char16_t* name)
    {
        plat::RegistryKey key;
        QString text;
        if (key.Open(plat::RegistryHive::LocalMachine, keyPath) != plat::ERROR_SUCCESS
            || key.QueryString(name, text) != plat::ERROR_SUCCESS)
            return QStringLiteral("<missing>");
        return text;
    }
    static uint32_t Parameter(const char16_t* name)
    {
        plat::RegistryKey key;
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(key.Open(plat::RegistryHive::LocalMachine, kDriverParametersKey), plat::ERROR_SUCCESS);
        EXPECT_EQ(key.QueryDword(name, value), plat::ERROR_SUCCESS) << QString::fromStdU16String(name).toStdString();
        return value;
    }
    static void SetValue(const char16_t* keyPath, const char16_t* name, const QString& text)
    {
        plat::RegistryKey key;
        ASSERT_EQ(key.Create(plat::RegistryHive::LocalMachine, keyPath), plat::ERROR_SUCCESS);
        ASSERT_EQ(key.SetString(name, text), plat::ERROR_SUCCESS);
    }

    // The default board with these disks in the disk-drive class and these drive letters in use.
    static void UseBoard(const QJsonArray& disks, const QString& letters = QStringLiteral("CD"))
    {
        ASSERT_TRUE(LoadDefaultBoardWith({{QStringLiteral("diskClass"), QJsonObject{{QStringLiteral("devices"), disks}}},
                                          {QStringLiteral("volumes"), QJsonObject{{QStringLiteral("letters"), letters}}}}));
    }
    static void UseLetters(const QString& letters)
    {
        UseBoard(DefaultBoard().value(QStringLiteral("diskClass")).toObject().value(QStringLiteral("devices")).toArray(),
                 letters);
    }
    static QJsonObject Disk(const QString& id, int uiNumber)
    {
        QJsonObject disk{{QStringLiteral("hardwareIds"), QJsonArray{id, QStringLiteral("GenDisk")}}};
        if (uiNumber >= 0)
            disk.insert(QStringLiteral("uiNumber"), uiNumber);
        return disk;
    }

    static void Fault(const std::string& name) { vb::Machine::Instance().GetFaults().Set(name); }

    // The command lines the runner was given, in order.
    static std::vector<std::string> Commands()
    {
        std::vector<std::string> lines;
        for (const std::string& entry : vb::Machine::Instance().GetJournal().Entries())
            if (entry.rfind("command: ", 0) == 0)
                lines.push_back(entry.substr(9));
        return lines;
    }
    // The script of the last "diskpart /s" run.
    static std::string LastScript()
    {
        std::string script = "<none>";
        for (const std::string& entry : vb::Machine::Instance().GetJournal().Entries())
            if (entry.rfind("command script: ", 0) == 0)
                script = entry.substr(16);
        return script;
    }

    MessageBoxAnswers answers;
};

} // namespace test
