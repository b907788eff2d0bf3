#include "Shell/UserAccepted.h"

#include "Platform/Registry.h"

void SetUserAccepted(bool bAccepted)
{
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::CurrentUser, plat::kProductKey) != plat::ERROR_SUCCESS)
        return;
    key.SetDword(u"UserAccepted", bAccepted ? 1u : 0u);
    key.Close();
}
