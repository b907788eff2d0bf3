// The storage driver's parameters in the registry, read and written one by one
// or all ten, and the restore of the default capabilities.
#include "SystemInfo/CorvaneSettings.h"

#include "Engine/LogCheck.h"
#include "Platform/Registry.h"
#include "Shell/MessageBox.h"
#include "SystemInfo/CorvaneRegistry.h"

bool QCorvaneSettings::ReadParameter(const char16_t* pszName, uint32_t* puValue)
{
    plat::RegistryKey key;
    if (!pszName || !puValue || key.Open(plat::RegistryHive::LocalMachine, kCorvaneParametersKey) != plat::ERROR_SUCCESS)
        return false;
    return key.QueryDword(pszName, *puValue) == plat::ERROR_SUCCESS;
}

bool QCorvaneSettings::WriteParameter(const char16_t* pszName, uint32_t uValue)
{
    plat::RegistryKey key;
    if (!pszName || key.Open(plat::RegistryHive::LocalMachine, kCorvaneParametersKey) != plat::ERROR_SUCCESS)
        return false;
    return key.SetDword(pszName, uValue) == plat::ERROR_SUCCESS;
}

std::array<std::pair<const char16_t*, uint32_t*>, 9> QCorvaneSettings::_NumberValues()
{
    // In the order the driver's record has them; "queuePriorityEnable" follows.
    return {{
        {u"CCCCompletionValue", &CCCCompletionValue},
        {u"CCCTimeoutValue", &CCCTimeoutValue},
        {u"GlobalCaps", &GlobalCaps},
        {u"GlobalCapsMask", &GlobalCapsMask},
        {u"InterfaceSpeed", &InterfaceSpeed},
        {u"InterfaceSpeedMask", &InterfaceSpeedMask},
        {u"MemoryMappedAddr", &MemoryMappedAddr},
        {u"SizeOfMemoryMapped", &SizeOfMemoryMapped},
        {u"SystemMemoryPhyAddr", &SystemMemoryPhyAddr},
    }};
}

bool QCorvaneSettings::ReadParameters()
{
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::LocalMachine, kCorvaneParametersKey) != plat::ERROR_SUCCESS)
        return false;
    // Every value is read even after one fails.
    bool bAllRead = true;
    for (const auto& [pszName, puValue] : _NumberValues())
        bAllRead = key.QueryDword(pszName, *puValue) == plat::ERROR_SUCCESS && bAllRead;
    uint32_t uQueuePriority = 0;
    if (key.QueryDword(u"queuePriorityEnable", uQueuePriority) == plat::ERROR_SUCCESS)
        queuePriorityEnable = uQueuePriority != 0;
    else
        bAllRead = false;
    return bAllRead;
}

bool QCorvaneSettings::WriteParameters()
{
    bool bAllWritten = true;
    for (const auto& [pszName, puValue] : _NumberValues())
        bAllWritten = WriteParameter(pszName, *puValue) && bAllWritten;
    return WriteParameter(u"queuePriorityEnable", queuePriorityEnable ? 1 : 0) && bAllWritten;
}

void QCorvaneSettings::on_btnDefault_clicked()
{
    const auto answer = msgbox::Show(nullptr, QMessageBox::Question, tr("Corvane Settings"),
                                     tr("Are you sure to reset these settings to default vaules?"),
                                     QMessageBox::Yes | QMessageBox::No);
    // Only a Yes writes the defaults: a box closed unanswered gives No.
    if (answer != QMessageBox::Yes)
        return;
    uint32_t uDefault = kDefaultGlobalCaps;
    if (!ReadParameter(u"GlobalCapsDefault", &uDefault))
        uDefault = kDefaultGlobalCaps;
    GlobalCaps = GlobalCapsMask = uDefault;
    for (const char16_t* pszName : {u"GlobalCaps", u"GlobalCapsMask"}) {
        const bool bRetCode = WriteParameter(pszName, uDefault);
        if (!bRetCode) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            return;
        }
    }
    SyncWidgets(false);
}
