#pragma once
// Where the maker's storage driver keeps its values (HKEY_LOCAL_MACHINE), shared
// by the flash-cache page and its settings page.
#include <cstdint>

inline constexpr char16_t kCorvaneServiceKey[] = u"SYSTEM\\CurrentControlSet\\services\\vykstor";
inline constexpr char16_t kCorvaneParametersKey[] = u"SYSTEM\\CurrentControlSet\\services\\vykstor\\parameters";

// The capability bit that both capability words always carry.
inline constexpr uint32_t kCorvaneBaseCap = 0x10000;
