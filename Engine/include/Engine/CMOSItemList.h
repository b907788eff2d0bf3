#pragma once
// The firmware's setup (CMOS) items: every description read once at start, values
// read and written on demand through the command channel (never cached).
#include <cstddef>
#include <cstdint>
#include <vector>

const unsigned CMOS_ITEM_NAME_LENGTH = 32;
const unsigned CMOS_ITEM_MAX_RULES = 14;
const unsigned CMOS_ITEM_MAX_OPTIONS = 20;
const unsigned CMOS_OPTION_NAME_LENGTH = 20;

// The 512-byte answer of command 0x30002, stored as received. The counts are the
// firmware's raw bytes: a reader takes at most CMOS_ITEM_MAX_RULES rules and
// CMOS_ITEM_MAX_OPTIONS options, and the names are not terminated when full.
#pragma pack(push, 1)
struct ABR_CMOS_GET_ITEM_INFO {
    uint32_t uStatus;
    char szName[CMOS_ITEM_NAME_LENGTH];
    uint8_t ucRuleCount;
    uint8_t Rules[CMOS_ITEM_MAX_RULES][5];       // condition (bit 7 negates), value, target item, action, unused
    uint8_t RuleAreaEnd[4];                      // the rule area runs to offset 110
    uint8_t ucOptionCount;
    char szOptions[CMOS_ITEM_MAX_OPTIONS][CMOS_OPTION_NAME_LENGTH];   // "RESERVED": a placeholder
};
#pragma pack(pop)
static_assert(sizeof(ABR_CMOS_GET_ITEM_INFO) == 512);
static_assert(offsetof(ABR_CMOS_GET_ITEM_INFO, szName) == 4);
static_assert(offsetof(ABR_CMOS_GET_ITEM_INFO, ucRuleCount) == 36);
static_assert(offsetof(ABR_CMOS_GET_ITEM_INFO, Rules) == 37);
static_assert(offsetof(ABR_CMOS_GET_ITEM_INFO, ucOptionCount) == 111);
static_assert(offsetof(ABR_CMOS_GET_ITEM_INFO, szOptions) == 112);

class CCMOSItemList {
public:
    virtual ~CCMOSItemList() = default;

    // Reads every item's description. On a failure part-way the list holds only the
    // items read whole.
    bool Init();
    bool UnInit();
    uint16_t GetItemCount() const { return static_cast<uint16_t>(m_ItemList.size()); }
    // Null when the index is not below the count; valid until the next Init or UnInit.
    const ABR_CMOS_GET_ITEM_INFO* GetItemInfo(uint16_t usItemIndex) const;
    // 0 to 255, or -1 on failure. Always asks the firmware.
    int GetItemValue(uint16_t usItemIndex);
    bool SetItemValue(uint16_t usItemIndex, int nNewValue);
    // Index of the first item named so (compared over 32 characters), 0xFFFF when none.
    uint16_t FindItem(const char* pszItemName) const;

private:
    std::vector<ABR_CMOS_GET_ITEM_INFO> m_ItemList;
};

extern CCMOSItemList g_CMOSItemList;
