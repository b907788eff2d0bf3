#include "Engine/Engine.h"

#include <atomic>

namespace {
std::atomic<unsigned> g_lastError{1};
}

unsigned g_GetLastError() { return g_lastError.exchange(1); }

void g_SetLastError(unsigned code) { g_lastError.store(code); }
