#include "Shell/GlobalFlags.h"

std::atomic<bool> g_bModified{false};
std::atomic<bool> g_bTestRunning{false};
std::atomic<bool> g_bRebootRequired{false};
std::atomic<int> g_nRestartRequest{0};
