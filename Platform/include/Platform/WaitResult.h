#pragma once
// What a wait on a named object gives back.
#include <cstdint>

namespace plat {

enum : uint32_t {
    WAIT_OBJECT_0 = 0,
    WAIT_ABANDONED = 0x80,
    WAIT_TIMEOUT = 0x102,
    WAIT_FAILED = 0xFFFFFFFF,
    INFINITE = 0xFFFFFFFF,
};

} // namespace plat
