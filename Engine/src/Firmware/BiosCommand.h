#pragma once
// Building the command records of the CMOS and BIOS-information commands.
#include <cstdint>
#include <cstring>

#include "Engine/VykBIOS.h"

enum : uint32_t {
    CMD_CMOS_ITEM_COUNT = 0x30001,
    CMD_CMOS_ITEM_INFO = 0x30002,
    CMD_CMOS_ITEM_GET = 0x30003,
    CMD_CMOS_ITEM_SET = 0x30004,
    CMD_BIOS_VENDOR = 0x40001,
    CMD_BIOS_IGP_INFO = 0x40002,
};

inline VYK_BIOS_COMMAND g_MakeCommand(uint32_t id)
{
    VYK_BIOS_COMMAND command{};
    command.uCommandId = id;
    return command;
}

// A command about one item: the 1-based item number at offset 4 (and a value at offset 6).
inline VYK_BIOS_COMMAND g_MakeItemCommand(uint32_t id, uint16_t itemNumber, uint8_t value = 0)
{
    VYK_BIOS_COMMAND command = g_MakeCommand(id);
    std::memcpy(command.Data, &itemNumber, sizeof itemNumber);
    command.Data[2] = value;
    return command;
}
