#pragma once
// The four process-wide flags shared by the main window, the pages and start-up.
// Atomics, because the tuning and stability threads read g_bTestRunning.
#include <atomic>

// Set when the user changes a value on an editable page; read and cleared by the main window.
extern std::atomic<bool> g_bModified;
// Set while Auto Clock or the Stability Test runs.
extern std::atomic<bool> g_bTestRunning;
// Set when an applied setting needs a restart of the computer.
extern std::atomic<bool> g_bRebootRequired;
// 0 none, 1 rebuild the main window after it closes, 2 closed with OK.
extern std::atomic<int> g_nRestartRequest;
