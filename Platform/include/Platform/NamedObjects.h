#pragma once
// Named counting semaphores and mutexes shared by every process of this user (state
// under RuntimeDir()). Like their models, an object lives while some process holds
// a handle to it: the last close (or the death of the last holder) removes it.
// Waits poll on the machine clock, so a test never waits for real time.
#include <cstdint>

#include "Platform/WaitResult.h"

namespace plat {

struct NamedObjectData;
using NamedHandle = NamedObjectData*;

// Open: null with kErrorFileNotFound when no such object exists.
// Create: an existing object is opened instead (GetLastError: kErrorAlreadyExists).
// The security descriptor text (SDDL) is required; every user-only file is 0600
// here, which is what it grants on this platform.
NamedHandle OpenSemaphore(const char16_t* name);
NamedHandle CreateSemaphore(const char16_t* name, int32_t initialCount, int32_t maximumCount,
                            const char16_t* securityDescriptor);
// previous (may be null) receives the count before the release.
bool ReleaseSemaphore(NamedHandle semaphore, int32_t count, int32_t* previous);

NamedHandle OpenMutex(const char16_t* name);
NamedHandle CreateMutex(const char16_t* name, bool initialOwner, const char16_t* securityDescriptor);
bool ReleaseMutex(NamedHandle mutex);

// A semaphore unit or the mutex: WAIT_OBJECT_0, WAIT_TIMEOUT, WAIT_ABANDONED (a
// mutex whose owner died; now owned by the caller) or WAIT_FAILED.
uint32_t WaitForSingleObject(NamedHandle object, uint32_t timeoutMs);
bool CloseHandle(NamedHandle object);

} // namespace plat
