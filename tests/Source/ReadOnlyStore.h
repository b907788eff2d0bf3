#pragma once
// Puts the value store where nobody may write: the install folder the registry names
// is a read-only one, so the store lives in memory only and every save fails.
#include "Platform/Registry.h"
#include "Settings/ConfigParser.h"
#include "Source/Files.h"

namespace test {

// The path the store now has (empty when the registry could not be set): the
// caller checks it against CConfigParser::GetFullPath.
inline QString UseReadOnlyStore()
{
    plat::RegistryKey key;
    if (key.Create(plat::RegistryHive::LocalMachine, plat::kProductKey) != plat::ERROR_SUCCESS
        || key.SetString(u"InstallDir", ReadOnlyFolder() + QStringLiteral("/VykVelocrest")) != plat::ERROR_SUCCESS)
        return {};
    CConfigParser::ReleaseInstance();
    return ReadOnlyFolder() + QStringLiteral("/QVXConfig.xml");
}

} // namespace test
