#include "Engine/CMOSItemList.h"
#include "Engine/LogCheck.h"

#include "BiosCommand.h"

#include <cstring>

CCMOSItemList g_CMOSItemList;

bool CCMOSItemList::Init()
{
    VYK_BIOS_COMMAND command = g_MakeCommand(CMD_CMOS_ITEM_COUNT);
    uint8_t result[8] = {};
    uint32_t uRetCode = g_VykBIOS.RunCommand(&command, sizeof command, result, sizeof result);
    LOG_PROCESS_ERROR(uRetCode == briSuccess);
    uint16_t usCount = 0;
    std::memcpy(&usCount, result + 4, sizeof usCount);

    m_ItemList.resize(usCount);
    for (uint16_t i = 0; i < usCount; ++i) {
        command = g_MakeItemCommand(CMD_CMOS_ITEM_INFO, static_cast<uint16_t>(i + 1));
        ABR_CMOS_GET_ITEM_INFO info{};
        uRetCode = g_VykBIOS.RunCommand(&command, 8, &info, sizeof info);
        if (uRetCode != briSuccess) {
            // Keep only the items read whole: a zeroed record would pass for an item.
            m_ItemList.resize(i);
            LOG_PROCESS_ERROR(uRetCode == briSuccess);
        }
        m_ItemList[i] = info;
    }
    return true;
}

bool CCMOSItemList::UnInit()
{
    m_ItemList.clear();
    return true;
}

const ABR_CMOS_GET_ITEM_INFO* CCMOSItemList::GetItemInfo(uint16_t usItemIndex) const
{
    return usItemIndex < m_ItemList.size() ? &m_ItemList[usItemIndex] : nullptr;
}

int CCMOSItemList::GetItemValue(uint16_t usItemIndex)
{
    // The firmware judges the item number: no check against the list here.
    const VYK_BIOS_COMMAND command = g_MakeItemCommand(CMD_CMOS_ITEM_GET, static_cast<uint16_t>(usItemIndex + 1));
    uint8_t result[8] = {};
    const uint32_t uRetCode = g_VykBIOS.RunCommand(&command, 8, result, sizeof result);
    LOG_PROCESS_ERROR_RET(uRetCode == briSuccess, -1);
    return result[4];
}

bool CCMOSItemList::SetItemValue(uint16_t usItemIndex, int nNewValue)
{
    LOG_PROCESS_ERROR(usItemIndex < m_ItemList.size());
    LOG_PROCESS_ERROR(nNewValue >= 0 && nNewValue < 256);
    const VYK_BIOS_COMMAND command = g_MakeItemCommand(CMD_CMOS_ITEM_SET, static_cast<uint16_t>(usItemIndex + 1),
                                                       static_cast<uint8_t>(nNewValue));
    VYK_BIOS_RESULT result{};
    const uint32_t uRetCode = g_VykBIOS.RunCommand(&command, 8, &result, sizeof result);
    LOG_PROCESS_ERROR(uRetCode == briSuccess);
    return true;
}

uint16_t CCMOSItemList::FindItem(const char* pszItemName) const
{
    if (!pszItemName)
        return 0xFFFF;
    for (size_t i = 0; i < m_ItemList.size() && i < 0xFFFF; ++i)
        if (std::strncmp(m_ItemList[i].szName, pszItemName, CMOS_ITEM_NAME_LENGTH) == 0)
            return static_cast<uint16_t>(i);
    return 0xFFFF;
}
