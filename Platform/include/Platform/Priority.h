#pragma once
// Process priority class and thread priority, in the values the program uses
// (classes 0x40 idle ... 0x100 real-time, thread priorities -15 ... 15). On Linux
// they map onto nice values; raising them needs privileges, so a refusal is normal.
#include <cstdint>

namespace plat {

enum : uint32_t {
    IDLE_PRIORITY_CLASS = 0x40,
    BELOW_NORMAL_PRIORITY_CLASS = 0x4000,
    NORMAL_PRIORITY_CLASS = 0x20,
    ABOVE_NORMAL_PRIORITY_CLASS = 0x8000,
    HIGH_PRIORITY_CLASS = 0x80,
    REALTIME_PRIORITY_CLASS = 0x100,
};
enum : int {
    THREAD_PRIORITY_IDLE = -15,
    THREAD_PRIORITY_NORMAL = 0,
    THREAD_PRIORITY_HIGHEST = 2,
    THREAD_PRIORITY_TIME_CRITICAL = 15,
};

class IPriority {
public:
    virtual ~IPriority() = default;
    virtual bool GetPriorityClass(uint32_t* priorityClass) = 0;
    virtual bool SetPriorityClass(uint32_t priorityClass) = 0;
    virtual bool GetThreadPriority(int* priority) = 0;   // of the calling thread
    virtual bool SetThreadPriority(int priority) = 0;
};

IPriority& Priority();
void SetPriority(IPriority* priority);

} // namespace plat
