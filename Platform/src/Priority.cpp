#include "Platform/Priority.h"
#include "Platform/Service.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace plat {

namespace {

struct ClassNice {
    uint32_t priorityClass;
    int nice;
};
const ClassNice kClasses[] = {
    {IDLE_PRIORITY_CLASS, 19}, {BELOW_NORMAL_PRIORITY_CLASS, 10}, {NORMAL_PRIORITY_CLASS, 0},
    {ABOVE_NORMAL_PRIORITY_CLASS, -5}, {HIGH_PRIORITY_CLASS, -10}, {REALTIME_PRIORITY_CLASS, -20},
};

int ThreadNice(int priority)
{
    if (priority <= THREAD_PRIORITY_IDLE)
        return 19;
    if (priority >= THREAD_PRIORITY_TIME_CRITICAL)
        return -20;
    return -priority * 2;
}

bool ReadNice(int which, id_t who, int* nice)
{
    errno = 0;
    const int n = getpriority(which, who);
    if (n == -1 && errno != 0)
        return false;
    *nice = n;
    return true;
}

class LinuxPriority final : public IPriority {
public:
    bool GetPriorityClass(uint32_t* priorityClass) override
    {
        int nice = 0;
        if (!priorityClass || !ReadNice(PRIO_PROCESS, 0, &nice))
            return false;
        // The nearest class at or above the current nice value.
        *priorityClass = NORMAL_PRIORITY_CLASS;
        int best = 100;
        for (const ClassNice& c : kClasses) {
            const int d = nice - c.nice;
            if (d >= 0 && d < best) {
                best = d;
                *priorityClass = c.priorityClass;
            }
        }
        return true;
    }

    bool SetPriorityClass(uint32_t priorityClass) override
    {
        for (const ClassNice& c : kClasses)
            if (c.priorityClass == priorityClass)
                return setpriority(PRIO_PROCESS, 0, c.nice) == 0;
        return false;
    }

    bool GetThreadPriority(int* priority) override
    {
        int nice = 0;
        if (!priority || !ReadNice(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), &nice))
            return false;
        *priority = nice >= 19 ? THREAD_PRIORITY_IDLE : nice <= -20 ? THREAD_PRIORITY_TIME_CRITICAL : -nice / 2;
        return true;
    }

    bool SetThreadPriority(int priority) override
    {
        return setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), ThreadNice(priority)) == 0;
    }
};

LinuxPriority g_linux;
Service<IPriority> g_service(g_linux);

} // namespace

IPriority& Priority() { return g_service.Get(); }
void SetPriority(IPriority* priority) { g_service.Set(priority); }

} // namespace plat
