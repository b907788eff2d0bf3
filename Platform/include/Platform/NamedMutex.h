#pragma once
// A mutex shared by name between the threads of all processes of this user, as the
// Engine uses one to serialise firmware calls across program instances.
//
// It lives in a small file under vb::Machine::StateDir()/locks (a robust,
// process-shared mutex mapped from it), so a holder that dies leaves it
// "abandoned" rather than locked for ever, and tests (each with their own state
// folder) never meet another test's mutex. Waits poll on the machine clock
// (plat::Sleep / plat::GetTickCount64), so a test never waits real seconds.
#include <cstdint>

#include "Platform/WaitResult.h"
#include <memory>
#include <string>

namespace plat {

class NamedMutex {
public:
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Opens the mutex of that name, creating it (not owned) when it does not exist.
    // One object per name and process: later calls hand out the same one. Null
    // when it can be neither opened nor created.
    static std::shared_ptr<NamedMutex> OpenOrCreate(const std::string& name);

    // WAIT_OBJECT_0 when acquired; WAIT_ABANDONED when acquired from a holder that
    // ended without releasing it; WAIT_TIMEOUT. The owning thread may acquire it again
    // (each acquisition needs its release).
    uint32_t Wait(uint32_t timeoutMs);
    // False when the calling thread does not hold it.
    bool Release();

    const std::string& Name() const { return m_name; }

private:
    struct Shared;
    NamedMutex(std::string name, int fd, Shared* shared);

    std::string m_name;
    int m_fd;
    Shared* m_shared;
};

} // namespace plat
